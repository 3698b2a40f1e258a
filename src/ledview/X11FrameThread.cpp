#include "ledview/X11FrameThread.h"

#include "ledview/BandLines.h"
#include "ledview/FrameStats.h"
#include "ledview/X11LoopCopy.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cstdlib>

#include <time.h>

namespace {

bool sharesPixmaps(const std::vector<X11LineUploader::Segment> &a, const std::vector<X11LineUploader::Segment> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const auto &x, const auto &y) { return x.pixmap == y.pixmap; });
}

} // namespace

X11FrameThread::X11FrameThread(FrameStats *stats)
    : m_stats(stats)
{
    m_connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_connection))
        return;
    m_thread = std::thread([this] { run(); });
}

X11FrameThread::~X11FrameThread()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    if (m_gc)
        xcb_free_gc(m_connection, m_gc);
    xcb_disconnect(m_connection);
}

void X11FrameThread::setLine(int index, Line line)
{
    if (!isValid())
        return;
    bool retired = false;
    {
        std::lock_guard lock(m_mutex);
        Line &current = m_lines[static_cast<std::size_t>(index)];
        retired = current.isDrawn()
               && (current.window != line.window || !sharesPixmaps(current.segments, line.segments));
        if (line.isDrawn())
            ensureGc(line.window);
        current = std::move(line);
    }
    m_changed.notify_one();
    // Frames are drawn with the lock held and sent before it is let go: a round trip after it
    // means the server has done every copy from the old pixmaps into the old window.
    if (retired)
        std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

void X11FrameThread::setInterval(qint64 intervalNs)
{
    {
        std::lock_guard lock(m_mutex);
        m_intervalNs = intervalNs;
    }
    m_changed.notify_one();
}

bool X11FrameThread::isDrawing() const
{
    std::lock_guard lock(m_mutex);
    return drawsFrames();
}

quint64 X11FrameThread::frames() const
{
    std::lock_guard lock(m_mutex);
    return m_frames;
}

bool X11FrameThread::drawsFrames() const
{
    return m_intervalNs > 0 && std::any_of(m_lines.begin(), m_lines.end(), [](const Line &line) {
               return line.isDrawn() && line.motion.isMoving();
           });
}

void X11FrameThread::ensureGc(std::uint32_t drawable)
{
    // One graphics context, made on this connection, serves every window of the band's depth;
    // a window of another depth (a new band window) gets a new one. Asked only for a window
    // not seen before.
    if (m_gc && drawable == m_gcWindow)
        return;
    xcb_get_geometry_reply_t *geometry =
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, drawable), nullptr);
    if (!geometry)
        return;
    const std::uint8_t depth = geometry->depth;
    std::free(geometry);
    m_gcWindow = drawable;
    if (m_gc && depth == m_gcDepth)
        return;
    if (m_gc)
        xcb_free_gc(m_connection, m_gc);
    m_gc = xcb_generate_id(m_connection);
    m_gcDepth = depth;
    // Without graphics exposures off, every copy would send a NoExpose event back.
    const std::uint32_t values[] = {0};
    xcb_create_gc(m_connection, m_gc, drawable, XCB_GC_GRAPHICS_EXPOSURES, values);
}

void X11FrameThread::discardEvents(bool read)
{
    // Nothing is asked for; what comes is an error for a window that went between two
    // frames, which the next hand-over settles. Reading the socket costs a system call, so
    // it is read only now and then; the replies of hand-overs read it anyway.
    while (xcb_generic_event_t *event = read ? xcb_poll_for_event(m_connection) : xcb_poll_for_queued_event(m_connection))
        std::free(event);
}

void X11FrameThread::run()
{
    using Clock = std::chrono::steady_clock; // CLOCK_MONOTONIC
    constexpr quint64 readEvery = 64;
    Clock::time_point next;
    bool drawing = false;
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        if (!drawsFrames()) {
            drawing = false;
            m_changed.wait(lock, [this] { return m_stop || drawsFrames(); });
            continue;
        }
        const auto interval = std::chrono::nanoseconds(m_intervalNs);
        if (!drawing) {
            drawing = true;
            next = Clock::now() + interval;
        }
        // Sleeps to the frame's time without the lock: a hand-over meanwhile shows in this
        // frame. One system call per frame, no wake-up of anyone else.
        lock.unlock();
        const auto since = std::chrono::duration_cast<std::chrono::nanoseconds>(next.time_since_epoch()).count();
        const timespec due{static_cast<time_t>(since / 1000000000), static_cast<long>(since % 1000000000)};
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr) == EINTR) {
        }
        lock.lock();
        if (m_stop || !drawsFrames())
            continue;
        const double t = BandLines::now();
        for (const Line &line : m_lines) {
            if (line.isDrawn() && m_gc)
                copyLoopColumns(m_connection, m_gc, line.segments, line.motion.loopPixels,
                                line.motion.rect.height(), line.window, line.motion.offsetAt(t), line.width);
        }
        xcb_flush(m_connection);
        ++m_frames;
        if (m_stats)
            m_stats->record();
        discardEvents(m_frames % readEvery == 0);
        const Clock::time_point now = Clock::now();
        next += interval;
        if (next <= now)
            next = now + interval;
    }
}
