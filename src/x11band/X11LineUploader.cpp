#include "x11band/X11LineUploader.h"

#include "x11band/X11BandLog.h"
#include "band/Renderer.h"

#include <QImage>

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

/** A shared-memory segment the server reads uploads from, grown as needed. */
struct X11LineUploader::Shm
{
    xcb_connection_t *connection = nullptr;
    xcb_shm_seg_t seg = 0;
    std::uint8_t *data = nullptr;
    std::size_t size = 0;

    ~Shm() { release(); }

    void release()
    {
        if (data) {
            xcb_shm_detach(connection, seg);
            shmdt(data);
        }
        data = nullptr;
        size = 0;
    }

    bool reserve(std::size_t bytes)
    {
        if (bytes <= size)
            return true;
        release();
        const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        if (id < 0)
            return false;
        void *mapped = shmat(id, nullptr, 0);
        if (mapped == reinterpret_cast<void *>(-1)) {
            shmctl(id, IPC_RMID, nullptr);
            return false;
        }
        seg = xcb_generate_id(connection);
        xcb_generic_error_t *error =
            xcb_request_check(connection, xcb_shm_attach_checked(connection, seg, static_cast<std::uint32_t>(id), 1));
        // Marked for removal at once: it goes away with the last of us and the server.
        shmctl(id, IPC_RMID, nullptr);
        if (error) {
            std::free(error);
            shmdt(mapped);
            return false;
        }
        data = static_cast<std::uint8_t *>(mapped);
        size = bytes;
        return true;
    }
};

X11LineUploader::X11LineUploader(QObject *context, Receiver receiver)
    : m_context(context)
    , m_receiver(std::move(receiver))
{
    m_connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_connection)) {
        qCWarning(lcX11Band) << "cannot open a second connection to the X server for uploads";
        return;
    }
    const xcb_query_extension_reply_t *shm = xcb_get_extension_data(m_connection, &xcb_shm_id);
    if (shm && shm->present) {
        m_shm = new Shm;
        m_shm->connection = m_connection;
    }
    m_worker = new QObject;
    m_worker->moveToThread(&m_thread);
    m_thread.setObjectName(QStringLiteral("band uploads"));
    m_thread.start();
}

X11LineUploader::~X11LineUploader()
{
    for (auto &latest : m_latest)
        latest = ~quint64{0}; // whatever is under way stops at its next tile
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
    delete m_shm;
    // Closing the connection frees every pixmap it made that nobody took.
    if (m_connection)
        xcb_disconnect(m_connection);
}

bool X11LineUploader::isConnected() const
{
    return m_worker && !xcb_connection_has_error(m_connection);
}

quint64 X11LineUploader::submit(int lineIndex, const ScrollLine &line, int deviceWidth, std::uint32_t drawable,
                                std::uint8_t depth)
{
    const quint64 generation = ++m_next;
    m_latest[static_cast<std::size_t>(lineIndex)] = generation;
    if (!isConnected()) {
        QMetaObject::invokeMethod(
            m_context, [receiver = m_receiver, lineIndex, generation] { receiver(Result{lineIndex, generation, {}}); },
            Qt::QueuedConnection);
        return generation;
    }
    Job job{lineIndex, generation, line, deviceWidth, drawable, depth};
    QMetaObject::invokeMethod(m_worker, [this, job] { run(job); }, Qt::QueuedConnection);
    return generation;
}

void X11LineUploader::sync()
{
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

std::uint32_t X11LineUploader::gcFor(std::uint32_t pixmap, std::uint8_t depth)
{
    if (m_gc && m_gcDepth == depth)
        return m_gc;
    if (m_gc)
        xcb_free_gc(m_connection, m_gc);
    m_gc = xcb_generate_id(m_connection);
    m_gcDepth = depth;
    // A 32-bit pixmap keeps the alpha byte: the background must stay opaque there.
    const std::uint32_t values[] = {depth == 32 ? Renderer::background : (Renderer::background & 0xFFFFFF), 0};
    xcb_create_gc(m_connection, m_gc, pixmap, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, values);
    return m_gc;
}

bool X11LineUploader::putImage(std::uint32_t pixmap, const QImage &image, int dstX)
{
    const auto stride = static_cast<std::size_t>(image.bytesPerLine());
    const auto bytes = stride * static_cast<std::size_t>(image.height());
    const std::uint32_t gc = m_gc;
    if (m_shm && m_shm->reserve(bytes)) {
        std::memcpy(m_shm->data, image.constBits(), bytes);
        xcb_shm_put_image(m_connection, pixmap, gc, static_cast<std::uint16_t>(image.width()),
                          static_cast<std::uint16_t>(image.height()), 0, 0, static_cast<std::uint16_t>(image.width()),
                          static_cast<std::uint16_t>(image.height()), static_cast<std::int16_t>(dstX), 0, m_gcDepth,
                          XCB_IMAGE_FORMAT_Z_PIXMAP, 0, m_shm->seg, 0);
        // The segment is reused by the next tile: wait until the server has read it.
        sync();
        return true;
    }
    // Without shared memory the rows go in requests as large as the server takes.
    const std::size_t maxBytes = static_cast<std::size_t>(xcb_get_maximum_request_length(m_connection)) * 4;
    const std::size_t rowsPerRequest = std::max<std::size_t>(1, (maxBytes - 64) / stride);
    for (int y = 0; y < image.height();) {
        const int rows =
            static_cast<int>(std::min<std::size_t>(rowsPerRequest, static_cast<std::size_t>(image.height() - y)));
        xcb_put_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, static_cast<std::uint16_t>(image.width()),
                      static_cast<std::uint16_t>(rows), static_cast<std::int16_t>(dstX), static_cast<std::int16_t>(y),
                      0, m_gcDepth, static_cast<std::uint32_t>(stride * static_cast<std::size_t>(rows)),
                      image.constScanLine(y));
        y += rows;
    }
    return true;
}

void X11LineUploader::run(const Job &job)
{
    if (job.generation != latest(job.line))
        return; // a newer job for this line is queued behind this one
    Result result{job.line, job.generation, {}};
    const auto deliver = [&] {
        QMetaObject::invokeMethod(
            m_context, [receiver = m_receiver, result] { receiver(result); }, Qt::QueuedConnection);
    };
    const auto abandon = [&] {
        for (const Segment &segment : result.segments)
            xcb_free_pixmap(m_connection, segment.pixmap);
        xcb_flush(m_connection);
    };
    const ScrollLine &line = job.snapshot;
    const int loop = line.loopPixels();
    const QRect rect = line.deviceRect(job.deviceWidth);
    const int height = rect.height();
    if (loop <= 0 || height <= 0 || height > maxPixmapWidth || job.deviceWidth <= 0 || line.tiles().isEmpty()
        || xcb_connection_has_error(m_connection)) {
        deliver();
        return;
    }
    const auto newPixmap = [&](int width) {
        const std::uint32_t pixmap = xcb_generate_id(m_connection);
        xcb_create_pixmap(m_connection, job.depth, pixmap, job.drawable, static_cast<std::uint16_t>(width),
                          static_cast<std::uint16_t>(height));
        gcFor(pixmap, job.depth);
        return pixmap;
    };
    const long long strip = static_cast<long long>(loop) + job.deviceWidth;
    if (strip <= maxPixmapWidth) {
        // The loop followed by one window width of its start: any offset is then one copy.
        const auto width = static_cast<int>(strip);
        const std::uint32_t pixmap = newPixmap(width);
        result.segments.push_back({pixmap, 0, width});
        const xcb_rectangle_t all{0, 0, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height)};
        xcb_poly_fill_rectangle(m_connection, pixmap, m_gc, 1, &all); // where a tile failed to render
        for (const ScrollLine::Tile &tile : line.tiles()) {
            if (job.generation != latest(job.line)) {
                abandon();
                return;
            }
            if (tile.image.height() == height && tile.deviceX < loop)
                putImage(pixmap, tile.image, tile.deviceX);
        }
        // The start of the loop again after its end, doubling what is done until the window is
        // covered; the server copies, nothing is sent twice.
        for (int done = loop; done < width;) {
            const int n = std::min(done, width - done);
            xcb_copy_area(m_connection, pixmap, pixmap, m_gc, 0, 0, static_cast<std::int16_t>(done), 0,
                          static_cast<std::uint16_t>(n), static_cast<std::uint16_t>(height));
            done += n;
        }
    } else {
        // Longer loops keep one pixmap per tile, and a frame takes one copy per visible tile.
        for (const ScrollLine::Tile &tile : line.tiles()) {
            if (job.generation != latest(job.line)) {
                abandon();
                return;
            }
            if (tile.image.height() != height || tile.image.width() <= 0)
                continue;
            const std::uint32_t pixmap = newPixmap(tile.image.width());
            putImage(pixmap, tile.image, 0);
            result.segments.push_back({pixmap, tile.deviceX, tile.image.width()});
        }
    }
    // Everything above is done by the server before anyone on another connection uses the pixmaps.
    sync();
    if (xcb_connection_has_error(m_connection)) {
        qCWarning(lcX11Band) << "the X server connection for uploads failed";
        result.segments.clear();
    }
    deliver();
}
