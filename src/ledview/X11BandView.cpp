#include "ledview/X11BandView.h"

#include "ledview/BandLines.h"
#include "ledview/Renderer.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

/** Pixmaps and 16-bit request coordinates stop here. */
constexpr int maxPixmapWidth = 32767;

xcb_connection_t *qtConnection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !qGuiApp)
        return nullptr;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

/** Whether 32-bit RGB32 image rows can go to the server unchanged for a drawable of `depth`. */
bool acceptsRgb32(xcb_connection_t *connection, std::uint8_t depth)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
        return false;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it)) {
        if (it.data->depth == depth)
            return it.data->bits_per_pixel == 32;
    }
    return false;
}

} // namespace

/** A shared-memory segment the server reads uploads from, grown as needed. */
struct X11BandView::Shm
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

X11BandView::X11BandView(BandLines *lines, QWidget *parent)
    : BandWidget(lines, parent)
    , m_stats(FrameStats::fromEnvironment())
{
    // A window of its own that Qt never paints into: the server copies the frames there.
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);

    m_frameTimer.setTimerType(Qt::PreciseTimer);
    m_frameTimer.setSingleShot(true);
    connect(&m_frameTimer, &QTimer::timeout, this, &X11BandView::frame);
    m_frameClock.start();
}

X11BandView::~X11BandView()
{
    if (!m_connection || xcb_connection_has_error(m_connection))
        return;
    for (LinePixmaps &line : m_pixmaps)
        releaseLine(line);
    if (m_gc)
        xcb_free_gc(m_connection, m_gc);
    m_shm.reset();
    xcb_flush(m_connection);
}

bool X11BandView::isAvailable()
{
    xcb_connection_t *connection = qtConnection();
    if (!connection || xcb_connection_has_error(connection))
        return false;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    return screen && acceptsRgb32(connection, screen->root_depth);
}

bool X11BandView::usesSharedMemory() const
{
    return m_shm != nullptr;
}

int X11BandView::deviceWidth() const
{
    return static_cast<int>(std::ceil(width() * backingScale()));
}

void X11BandView::ensureResources()
{
    if (!m_connection) {
        m_connection = qtConnection();
        if (!m_connection)
            return;
        const xcb_query_extension_reply_t *shm = xcb_get_extension_data(m_connection, &xcb_shm_id);
        if (shm && shm->present) {
            m_shm = std::make_unique<Shm>();
            m_shm->connection = m_connection;
        }
    }
    const auto window = static_cast<std::uint32_t>(winId());
    if (window == m_window && m_gc)
        return;
    m_window = window;
    if (m_gc)
        xcb_free_gc(m_connection, m_gc);
    xcb_get_geometry_reply_t *geometry =
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, m_window), nullptr);
    const std::uint8_t depth = geometry ? geometry->depth : 0;
    std::free(geometry);
    if (depth != m_depth) {
        // Pixmaps must match the window's depth to be copied there.
        for (LinePixmaps &line : m_pixmaps)
            releaseLine(line);
        m_depth = depth;
    }
    m_gc = xcb_generate_id(m_connection);
    // Without graphics exposures off, every copy would send a NoExpose event back to us.
    const std::uint32_t values[] = {Renderer::background & 0xFFFFFF, 0};
    xcb_create_gc(m_connection, m_gc, m_window, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, values);
}

void X11BandView::releaseLine(LinePixmaps &line)
{
    for (const Segment &segment : line.segments)
        xcb_free_pixmap(m_connection, segment.pixmap);
    line = LinePixmaps{};
}

bool X11BandView::putImage(std::uint32_t pixmap, const QImage &image)
{
    const auto stride = static_cast<std::size_t>(image.bytesPerLine());
    const auto bytes = stride * static_cast<std::size_t>(image.height());
    if (m_shm && m_shm->reserve(bytes)) {
        std::memcpy(m_shm->data, image.constBits(), bytes);
        xcb_shm_put_image(m_connection, pixmap, m_gc, static_cast<std::uint16_t>(image.width()),
                          static_cast<std::uint16_t>(image.height()), 0, 0, static_cast<std::uint16_t>(image.width()),
                          static_cast<std::uint16_t>(image.height()), 0, 0, m_depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0,
                          m_shm->seg, 0);
        // The segment is reused by the next upload: wait until the server has read it.
        std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
        return true;
    }
    // Without shared memory the rows go in requests as large as the server takes.
    const std::size_t maxBytes = static_cast<std::size_t>(xcb_get_maximum_request_length(m_connection)) * 4;
    const std::size_t rowsPerRequest = std::max<std::size_t>(1, (maxBytes - 64) / stride);
    for (int y = 0; y < image.height();) {
        const int rows = static_cast<int>(std::min<std::size_t>(rowsPerRequest, static_cast<std::size_t>(image.height() - y)));
        xcb_put_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, m_gc, static_cast<std::uint16_t>(image.width()),
                      static_cast<std::uint16_t>(rows), 0, static_cast<std::int16_t>(y), 0, m_depth,
                      static_cast<std::uint32_t>(stride * static_cast<std::size_t>(rows)), image.constScanLine(y));
        y += rows;
    }
    return true;
}

void X11BandView::upload(int index, int width)
{
    LinePixmaps &target = m_pixmaps[static_cast<std::size_t>(index)];
    releaseLine(target);
    const ScrollLine &line = lines().line(index);
    if (!line.isRunning() || line.tiles().isEmpty() || !m_gc)
        return;
    const int loop = line.loopPixels();
    const QRect rect = line.deviceRect(width);
    if (loop <= 0 || rect.height() <= 0 || rect.height() > maxPixmapWidth)
        return;
    target.loopPixels = loop;
    target.key = line.tiles().first().image.cacheKey();
    target.deviceWidth = width;
    ++m_uploads;

    const auto newPixmap = [&](int w) {
        const std::uint32_t pixmap = xcb_generate_id(m_connection);
        xcb_create_pixmap(m_connection, m_depth, pixmap, m_window, static_cast<std::uint16_t>(w),
                          static_cast<std::uint16_t>(rect.height()));
        return pixmap;
    };
    const long long strip = static_cast<long long>(loop) + width;
    if (strip <= maxPixmapWidth) {
        // The loop followed by one window width of its start: any offset is then one copy.
        QImage image(static_cast<int>(strip), rect.height(), QImage::Format_RGB32);
        if (image.isNull())
            return;
        image.fill(QColor::fromRgba(Renderer::background));
        {
            QPainter painter(&image);
            painter.translate(0, -rect.top());
            line.paint(painter, 0, static_cast<int>(strip));
        }
        const std::uint32_t pixmap = newPixmap(image.width());
        putImage(pixmap, image);
        target.segments.push_back({pixmap, 0, image.width()});
        target.copies = 1;
        return;
    }
    // Longer loops keep one pixmap per tile and take a copy per visible tile.
    for (const ScrollLine::Tile &tile : line.tiles()) {
        QImage image = tile.image;
        if (image.height() != rect.height())
            continue;
        const std::uint32_t pixmap = newPixmap(image.width());
        putImage(pixmap, image);
        target.segments.push_back({pixmap, tile.deviceX, image.width()});
    }
    target.copies = line.copies();
}

void X11BandView::refresh()
{
    const bool changed = layoutLines();
    const double scale = backingScale();
    if (!testAttribute(Qt::WA_WState_Created) && !isVisible()) {
        // Nothing on the server yet: uploads wait for the window.
        updateAnimation();
        return;
    }
    ensureResources();
    if (!m_gc) {
        updateAnimation();
        return;
    }
    const int width = deviceWidth();
    bool uploaded = false;
    for (int i = 0; i < BandLines::lineCount; ++i) {
        const ScrollLine &line = lines().line(i);
        const LinePixmaps &held = m_pixmaps[static_cast<std::size_t>(i)];
        const qint64 key = line.tiles().isEmpty() ? 0 : line.tiles().first().image.cacheKey();
        if (key != held.key || held.deviceWidth != width || held.loopPixels != line.loopPixels()) {
            upload(i, width);
            uploaded = true;
        }
    }
    if ((changed || uploaded || scale != m_scale) && isVisible()) {
        m_scale = scale;
        update();
    }
    m_scale = scale;
    updateAnimation();
}

void X11BandView::drawFrame(double t)
{
    if (!m_connection || !m_gc || !isVisible())
        return;
    const int width = deviceWidth();
    for (int i = 0; i < BandLines::lineCount; ++i) {
        const ScrollLine &line = lines().line(i);
        const LinePixmaps &held = m_pixmaps[static_cast<std::size_t>(i)];
        if (!line.isRunning() || held.segments.empty())
            continue;
        const int offset = line.offsetPixels(line.columnAt(t));
        const QRect rect = line.deviceRect(width);
        for (int copy = 0; copy < held.copies; ++copy) {
            const long long base = static_cast<long long>(copy) * held.loopPixels - offset;
            if (base >= width)
                break;
            for (const Segment &segment : held.segments) {
                const long long x = base + segment.x;
                if (x >= width)
                    break;
                if (x + segment.width <= 0)
                    continue;
                const long long srcX = std::max(0LL, -x);
                const long long dstX = std::max(0LL, x);
                const long long w = std::min<long long>(segment.width - srcX, width - dstX);
                xcb_copy_area(m_connection, segment.pixmap, m_window, m_gc, static_cast<std::int16_t>(srcX), 0,
                              static_cast<std::int16_t>(dstX), static_cast<std::int16_t>(rect.top()),
                              static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(rect.height()));
            }
        }
    }
    xcb_flush(m_connection);
    if (m_stats)
        m_stats->record();
}

void X11BandView::paintEvent(QPaintEvent *)
{
    // An exposure or a change: the background where no line is, then the lines as they stand.
    ensureResources();
    if (!m_gc)
        return;
    const int width = deviceWidth();
    const int height = static_cast<int>(std::ceil(this->height() * backingScale()));
    std::vector<xcb_rectangle_t> uncovered;
    int y = 0;
    for (int i = 0; i < BandLines::lineCount; ++i) {
        const QRect rect = m_pixmaps[static_cast<std::size_t>(i)].segments.empty()
                               ? QRect()
                               : lines().line(i).deviceRect(width);
        if (rect.isEmpty())
            continue;
        if (rect.top() > y)
            uncovered.push_back({0, static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width),
                                 static_cast<std::uint16_t>(rect.top() - y)});
        y = std::max(y, rect.bottom() + 1);
    }
    if (height > y)
        uncovered.push_back({0, static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width),
                             static_cast<std::uint16_t>(height - y)});
    if (!uncovered.empty())
        xcb_poly_fill_rectangle(m_connection, m_window, m_gc, static_cast<std::uint32_t>(uncovered.size()),
                                uncovered.data());
    drawFrame(BandLines::now());
}

void X11BandView::showEvent(QShowEvent *event)
{
    BandWidget::showEvent(event);
    refresh();
}

void X11BandView::hideEvent(QHideEvent *event)
{
    BandWidget::hideEvent(event);
    m_frameTimer.stop();
}

void X11BandView::updateAnimation()
{
    const bool moving = isVisible() && lines().isMoving();
    if (!moving) {
        m_frameTimer.stop();
        return;
    }
    if (!m_frameTimer.isActive()) {
        m_nextFrameNs = m_frameClock.nsecsElapsed() + frameIntervalNs();
        m_frameTimer.start(frameIntervalNs() / 1000000);
    }
}

void X11BandView::frame()
{
    if (!lines().isMoving() || !isVisible())
        return;
    if (backingScale() != m_scale)
        refresh(); // another pixel density: the pixmaps are made anew
    // A fixed schedule: 16 and 17 ms waits alternate to give 60 frames per second; after a
    // stall the schedule restarts from now instead of rushing to catch up.
    const qint64 interval = frameIntervalNs();
    const qint64 current = m_frameClock.nsecsElapsed();
    m_nextFrameNs += interval;
    if (m_nextFrameNs < current)
        m_nextFrameNs = current + interval;
    m_frameTimer.start(static_cast<int>((m_nextFrameNs - current + 500000) / 1000000));
    drawFrame(BandLines::now());
}
