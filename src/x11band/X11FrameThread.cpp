#include "x11band/X11FrameThread.h"

#include "band/BandLines.h"
#include "band/FrameStats.h"
#include "band/MonotonicClock.h"
#include "x11band/X11LoopCopy.h"
#include "util/Clock.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include <time.h>

namespace {

constexpr qint64 queueAheadNs = 1'000'000'000; // frames queued on the server ahead of their time
constexpr qint64 topUpNs = 500'000'000;        // and topped up this often
constexpr qint64 handMovedClockNs = 50'000'000; // how often a clock moved by hand is looked at
constexpr qint64 serverClockCheckNs = 10'000'000'000;
constexpr qint64 firstFrameLeadNs = 2'000'000; // a grid started now has its first frame this late
constexpr qint64 recentFrameNs = 5'000'000;    // a frame due this recently may not be drawn yet

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
        m_queue = std::make_unique<X11FrameQueue>(m_connection);
        if (!m_queue->isValid())
            m_queue.reset();
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
    m_queue.reset();
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
        retired = current.isDrawn()
               && (current.window != line.window || !sharesPixmaps(current.segments, line.segments));
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
    return m_queue != nullptr;
}

std::vector<double> X11FrameThread::recentFrameTimes() const
{
    std::lock_guard lock(m_mutex);
    const std::size_t count = std::min(m_recentCount, m_recent.size());
    std::vector<double> times;
    times.reserve(count);
    for (std::size_t i = m_recentCount - count; i < m_recentCount; ++i)
        times.push_back(m_recent[i % m_recent.size()]);
    return times;
}

bool X11FrameThread::drawsFrames() const
{
    return m_intervalNs > 0 && std::any_of(m_lines.begin(), m_lines.end(), [](const Line &line) {
               return line.isDrawn() && line.motion.isMoving();
           });
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
    if (m_queue)
        return m_queue->gc(m_depth, m_root);
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
    while (xcb_generic_event_t *event = read ? xcb_poll_for_event(m_connection) : xcb_poll_for_queued_event(m_connection))
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
                    drawLines(gc, BandLines::now());
                xcb_flush(m_connection);
            }
            m_nextFrameNs = 0;
            m_changed.wait(lock, [this] { return m_stop || drawsFrames(); });
            continue;
        }
        if (m_queue)
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
        drawLines(gc, t);
    xcb_flush(m_connection);
    noteFrame(t);
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
    const qint64 now = monotonicNs();
    if (!m_serverCheckedAt || now - m_serverCheckedAt >= serverClockCheckNs) {
        // The server's clock is read at the start and again now and then, not for each
        // hand-over (its round trip would delay the new frames): a 32-bit count of it wraps.
        const std::optional<X11FrameQueue::ClockReading> reading = m_queue->readServerClock();
        if (!reading) {
            cancelQueued();
            m_queue.reset(); // the server stopped answering: frames one by one from now on
            return;
        }
        // The reading is as good as its round trip is short: only a larger change counts.
        if (!m_serverCheckedAt || std::abs(reading->offsetMs - m_serverOffsetMs) > 2 + reading->roundTripMs) {
            cancelQueued();
            m_serverOffsetMs = reading->offsetMs;
        }
        m_serverCheckedAt = now;
    }
    // Read again: the band's time is placed against the moment it is read.
    const qint64 queuedAt = monotonicNs();
    if (!queueFrames(queuedAt, queuedAt + queueAheadNs)) {
        // Nothing could be queued (the server's clock is about to wrap): one by one
        // meanwhile, its clock read again at each frame until it wrapped.
        m_queuedUntilNs = 0;
        m_serverCheckedAt = 0;
        drawNextFrame(lock);
        return;
    }
    // The server reports each frame as it lets it go; read in batches, each with its time.
    const std::vector<std::int64_t> shown = m_queue->takeShown();
    if (m_stats) {
        const qint64 serverNowMs = monotonicNs() / 1'000'000 + m_serverOffsetMs;
        for (std::int64_t at : shown)
            m_stats->recordAt(m_stats->elapsedNs() - (serverNowMs - at) * 1'000'000);
    }
    m_changedLines = false;
    const qint64 wake = m_bandRate == 0 ? handMovedClockNs : topUpNs;
    m_changed.wait_until(lock, std::chrono::steady_clock::now() + std::chrono::nanoseconds(wake),
                         [this] { return m_stop || m_changedLines; });
}

bool X11FrameThread::queueFrames(qint64 now, qint64 until)
{
    if (!placeBandTime(now))
        cancelQueued();
    m_letGo = false; // what follows is drawn after what a cancel let go
    const std::uint32_t gc = frameGc();
    if (!gc)
        return true; // no window whose depth is known: nothing to draw until a hand-over
    if (m_bandRate == 0) {
        // A clock moved by hand: the band stands still between its moves, so nothing is
        // queued; the frame is drawn again at each look, in case a draw made on another
        // connection before the clock moved reached the server after it.
        drawLines(gc, m_bandTime);
        xcb_flush(m_connection);
        noteFrame(m_bandTime);
        if (m_stats)
            m_stats->record();
        m_queuedUntilNs = now;
        return true;
    }
    const qint64 interval = m_intervalNs;
    qint64 next = m_queuedUntilNs + interval;
    if (m_queuedUntilNs && next <= now) {
        // The queue ran dry (a stall): the grid starts again from now.
        m_gridNs = now + firstFrameLeadNs;
        next = m_gridNs;
    } else if (!m_queuedUntilNs) {
        // A new queue goes on from the frame a cancel may just have let go undrawn: the next
        // on the grid, or one due a moment ago that the server may not have drawn yet (it
        // lets a frame go at the next millisecond, or later when busy). Were it skipped, the
        // band would stand still for a frame; drawn twice, it shows the same place.
        if (!m_gridNs)
            m_gridNs = now + firstFrameLeadNs;
        const qint64 from = now - recentFrameNs;
        next = from < m_gridNs ? m_gridNs : m_gridNs + ((from - m_gridNs) / interval + 1) * interval;
    }
    for (; next <= until; next += interval) {
        const std::int64_t serverMs = (next + 999'999) / 1'000'000 + m_serverOffsetMs;
        if (!m_queue->canWaitFor(serverMs))
            break;
        m_queue->await(serverMs, m_stats != nullptr);
        const double t = m_bandTime + static_cast<double>(next - m_bandSince) / 1e9;
        drawLines(gc, t);
        noteFrame(t);
        m_queuedUntilNs = next;
    }
    xcb_flush(m_connection);
    return m_queue->hasQueued() && m_queuedUntilNs >= now;
}

void X11FrameThread::queueSoon()
{
    // The first frames after a hand-over are queued at once, by the caller, so that none is
    // missed while the thread wakes to queue the rest.
    constexpr qint64 soonNs = 50'000'000;
    if (m_queue && m_serverCheckedAt && drawsFrames()) {
        const qint64 now = monotonicNs();
        queueFrames(now, now + soonNs);
    }
}

bool X11FrameThread::placeBandTime(qint64 nowNs)
{
    // Where the band's time stands: taken anew when nothing is queued, and checked at every
    // top-up, so a clock that jumped or was moved by hand re-queues what follows.
    const double actual = BandLines::now();
    const double rate = Clock::current().drivesTimers() ? 0.0 : 1.0;
    const double predicted = m_bandTime + m_bandRate * static_cast<double>(nowNs - m_bandSince) / 1e9;
    // The real clock is read to the millisecond; one moved by hand must show its every move.
    const double tolerance = rate == 0 ? 0.0 : 0.003;
    const bool placed = m_queuedUntilNs && rate == m_bandRate && std::abs(actual - predicted) <= tolerance;
    if (!placed) {
        m_bandTime = actual;
        m_bandSince = nowNs;
        m_bandRate = rate;
    }
    return placed;
}

void X11FrameThread::cancelQueued()
{
    if (m_queue && m_queue->hasQueued()) {
        m_queue->cancel();
        m_letGo = true;
    }
    m_queuedUntilNs = 0;
}

void X11FrameThread::drawLines(std::uint32_t gc, double bandTime)
{
    for (const Line &line : m_lines) {
        if (line.isDrawn())
            copyLoopColumns(m_connection, gc, line.segments, line.motion.loopPixels, line.motion.rect.height(),
                            line.window, line.motion.offsetAt(bandTime), line.width);
    }
}

void X11FrameThread::noteFrame(double bandTime)
{
    ++m_frames;
    m_recent[m_recentCount++ % m_recent.size()] = bandTime;
}
