#include "x11band/X11FrameThread.h"

#include "band/BandLines.h"
#include "band/FrameStats.h"
#include "band/MonotonicClock.h"
#include "x11band/X11FrameQueue.h"
#include "x11band/X11LoopCopy.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
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
    if (qEnvironmentVariable("DOTBANNER_X11_SYNC") != QLatin1String("0")) {
        auto queue = std::make_unique<X11FrameQueue>(m_connection);
        if (queue->isValid())
            m_queued =
                std::make_unique<X11QueuedFrames>(m_connection, std::move(queue), m_lines, m_stats, m_frames, m_letGo);
    }
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
    m_queued.reset();
    if (m_gc)
        xcb_free_gc(m_connection, m_gc);
    xcb_disconnect(m_connection);
}

void X11FrameThread::setLine(int index, Line line)
{
    if (!isValid())
        return;
    bool retired = false;
    xcb_get_input_focus_cookie_t roundTrip{};
    {
        std::lock_guard lock(m_mutex);
        Line &current = m_lines[static_cast<std::size_t>(index)];
        if (current == line)
            return;
        retired =
            current.isDrawn() && (current.window != line.window || !sharesPixmaps(current.segments, line.segments));
        // What was queued goes first: nothing on this connection waits behind it any more.
        cancelQueued();
        if (line.isDrawn())
            learnDepth(line.window);
        current = std::move(line);
        m_changedLines = true;
        // Frames are sent with the lock held, and the queued ones were just let go: once this
        // round trip is back, the server has done every copy from the old pixmaps into the
        // old window.
        if (retired)
            roundTrip = xcb_get_input_focus(m_connection);
        queueSoon();
    }
    m_changed.notify_one();
    if (retired)
        std::free(xcb_get_input_focus_reply(m_connection, roundTrip, nullptr));
}

void X11FrameThread::setInterval(qint64 intervalNs)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_intervalNs == intervalNs)
            return;
        cancelQueued();
        m_intervalNs = intervalNs;
        m_changedLines = true;
        queueSoon();
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

bool X11FrameThread::queuesFrames() const
{
    std::lock_guard lock(m_mutex);
    return m_queued != nullptr;
}

bool X11FrameThread::drawsFrames() const
{
    return m_intervalNs > 0 && std::any_of(m_lines.begin(), m_lines.end(),
                                           [](const Line &line) { return line.isDrawn() && line.motion.isMoving(); });
}

void X11FrameThread::learnDepth(std::uint32_t window)
{
    // The depth and screen of each new window are asked once.
    if (window == m_depthWindow)
        return;
    xcb_get_geometry_reply_t *geometry =
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
    if (!geometry)
        return;
    m_depthWindow = window;
    m_depth = geometry->depth;
    m_root = geometry->root;
    std::free(geometry);
}

std::uint32_t X11FrameThread::frameGc()
{
    if (!m_depth)
        return 0;
    if (m_queued)
        return m_queued->gc(screen());
    // Frames drawn one by one share one context for every window of the band's depth, made
    // on a pixmap of that depth; without graphics exposures off, every copy would send a
    // NoExpose event back.
    if (m_gc && m_gcDepth == m_depth)
        return m_gc;
    if (m_gc)
        xcb_free_gc(m_connection, m_gc);
    m_gc = createCopyGc(m_connection, m_depth, m_root);
    m_gcDepth = m_depth;
    return m_gc;
}

void X11FrameThread::discardEvents(bool read)
{
    // Nothing is asked for; what comes is an error for a window that went between two
    // frames, which the next hand-over settles. Reading the socket costs a system call, so
    // it is read only now and then; the replies of hand-overs read it anyway.
    while (xcb_generic_event_t *event =
               read ? xcb_poll_for_event(m_connection) : xcb_poll_for_queued_event(m_connection))
        std::free(event);
}

void X11FrameThread::run()
{
    Lock lock(m_mutex);
    while (!m_stop) {
        if (!drawsFrames()) {
            cancelQueued();
            if (m_letGo) {
                // Frames let go by a cancel may have been drawn over what the lines show now
                // (a stop drawn meanwhile on another connection): one frame of the still
                // lines, after them, puts it right.
                m_letGo = false;
                if (const std::uint32_t gc = frameGc())
                    X11FrameLine::drawAll(m_connection, gc, m_lines, BandLines::now());
                xcb_flush(m_connection);
            }
            m_nextFrameNs = 0;
            m_changed.wait(lock, [this] { return m_stop || drawsFrames(); });
            continue;
        }
        if (m_queued)
            queueAhead(lock);
        else
            drawNextFrame(lock);
    }
}

void X11FrameThread::drawNextFrame(Lock &lock)
{
    constexpr quint64 readEvery = 64;
    const qint64 interval = m_intervalNs;
    if (!m_nextFrameNs)
        m_nextFrameNs = monotonicNs() + interval;
    // Sleeps to the frame's time without the lock: a hand-over meanwhile shows in this
    // frame. One system call per frame, no wake-up of anyone else.
    lock.unlock();
    const timespec due{static_cast<time_t>(m_nextFrameNs / 1'000'000'000),
                       static_cast<long>(m_nextFrameNs % 1'000'000'000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr) == EINTR) {
    }
    lock.lock();
    if (m_stop || !drawsFrames())
        return;
    const double t = BandLines::now();
    if (const std::uint32_t gc = frameGc())
        X11FrameLine::drawAll(m_connection, gc, m_lines, t);
    xcb_flush(m_connection);
    ++m_frames;
    if (m_stats)
        m_stats->record();
    discardEvents(m_frames % readEvery == 0);
    const qint64 now = monotonicNs();
    m_nextFrameNs += interval;
    if (m_nextFrameNs <= now)
        m_nextFrameNs = now + interval;
}

void X11FrameThread::queueAhead(Lock &lock)
{
    switch (m_queued->topUp(m_intervalNs, screen())) {
    case X11QueuedFrames::TopUp::serverGone:
        m_queued.reset(); // the server stopped answering: frames one by one from now on
        return;
    case X11QueuedFrames::TopUp::oneByOne:
        drawNextFrame(lock);
        return;
    case X11QueuedFrames::TopUp::queued:
        break;
    }
    m_changedLines = false;
    m_changed.wait_until(lock, std::chrono::steady_clock::now() + std::chrono::nanoseconds(m_queued->wakeAfterNs()),
                         [this] { return m_stop || m_changedLines; });
}

void X11FrameThread::queueSoon()
{
    // The first frames after a hand-over are queued at once, by the caller, so that none is
    // missed while the thread wakes to queue the rest.
    if (m_queued && drawsFrames())
        m_queued->queueSoon(m_intervalNs, screen());
}

void X11FrameThread::cancelQueued()
{
    if (m_queued)
        m_queued->cancel();
}
