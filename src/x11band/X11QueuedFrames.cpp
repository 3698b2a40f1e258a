#include "x11band/X11QueuedFrames.h"

#include "band/BandLines.h"
#include "band/FrameStats.h"
#include "band/MonotonicClock.h"
#include "util/Clock.h"
#include "x11band/X11FrameQueue.h"

#include <xcb/xcb.h>

namespace {
constexpr std::int64_t soonNs = 50'000'000;
} // namespace

X11QueuedFrames::X11QueuedFrames(xcb_connection_t *connection, std::unique_ptr<X11FrameQueue> queue,
                                 const std::array<X11FrameLine, 2> &lines, FrameStats *stats, quint64 &frames,
                                 bool &letGo)
    : m_connection(connection)
    , m_queue(std::move(queue))
    , m_lines(lines)
    , m_stats(stats)
    , m_frames(frames)
    , m_letGo(letGo)
{}

X11QueuedFrames::~X11QueuedFrames() = default;

std::uint32_t X11QueuedFrames::gc(Screen screen)
{
    return screen.depth ? m_queue->gc(screen.depth, screen.root) : 0;
}

std::int64_t X11QueuedFrames::wakeAfterNs() const
{
    return m_timeline.pace() == BandTimeline::Pace::standing ? handMovedClockNs : topUpNs;
}

X11QueuedFrames::TopUp X11QueuedFrames::topUp(std::int64_t intervalNs, Screen screen)
{
    const std::int64_t now = monotonicNs();
    if (m_server.isDue(now)) {
        // The server's clock is read at the start and again now and then, not for each
        // hand-over (its round trip would delay the new frames): a 32-bit count of it wraps.
        const std::optional<ServerClock::Reading> reading = m_queue->readServerClock();
        if (!reading) {
            cancel();
            return TopUp::serverGone;
        }
        if (m_server.take(*reading, now))
            cancel();
    }
    // Read again: the band's time is placed against the moment it is read.
    const std::int64_t queuedAt = monotonicNs();
    if (!queueFrames(queuedAt, queuedAt + queueAheadNs, intervalNs, screen)) {
        // Nothing could be queued (the server's clock is about to wrap): one by one
        // meanwhile, its clock read again at each frame until it wrapped.
        m_grid.clear();
        m_server.forget();
        return TopUp::oneByOne;
    }
    // The server reports each frame as it lets it go; read in batches, each with its time.
    const std::vector<std::int64_t> shown = m_queue->takeShown();
    if (m_stats) {
        const std::int64_t nowNs = monotonicNs();
        for (std::int64_t at : shown)
            m_stats->recordAt(m_stats->elapsedNs() - m_server.nsSince(at, nowNs));
    }
    return TopUp::queued;
}

void X11QueuedFrames::queueSoon(std::int64_t intervalNs, Screen screen)
{
    if (!m_server.isKnown())
        return;
    const std::int64_t now = monotonicNs();
    queueFrames(now, now + soonNs, intervalNs, screen);
}

bool X11QueuedFrames::queueFrames(std::int64_t now, std::int64_t until, std::int64_t intervalNs, Screen screen)
{
    if (!placeBandTime(now))
        cancel();
    m_letGo = false; // what follows is drawn after what a cancel let go
    const std::uint32_t gc = this->gc(screen);
    if (!gc)
        return true; // no window whose depth is known: nothing to draw until a hand-over
    if (m_timeline.pace() == BandTimeline::Pace::standing) {
        // A clock moved by hand: the band stands still between its moves, so nothing is
        // queued; the frame is drawn again at each look, in case a draw made on another
        // connection before the clock moved reached the server after it.
        const double t = m_timeline.at(now);
        X11FrameLine::drawAll(m_connection, gc, m_lines, t);
        xcb_flush(m_connection);
        ++m_frames;
        if (m_stats)
            m_stats->record();
        m_grid.queuedUntil(now);
        return true;
    }
    for (std::int64_t next = m_grid.firstToQueue(now, intervalNs); next <= until; next += intervalNs) {
        const std::int64_t serverMs = m_server.serverMsFor(next);
        if (!m_server.canWaitFor(serverMs))
            break;
        m_queue->await(serverMs, m_stats != nullptr);
        X11FrameLine::drawAll(m_connection, gc, m_lines, m_timeline.at(next));
        ++m_frames;
        m_grid.queuedUntil(next);
    }
    xcb_flush(m_connection);
    return m_queue->hasQueued() && m_grid.lastQueuedNs() >= now;
}

bool X11QueuedFrames::placeBandTime(std::int64_t nowNs)
{
    // Where the band's time stands: taken anew when nothing is queued, and checked at every
    // top-up, so a clock that jumped or was moved by hand re-queues what follows.
    if (!m_grid.hasQueued())
        m_timeline.forget();
    return m_timeline.follow(BandLines::now(), nowNs, BandTimeline::paceOf(Clock::current()));
}

void X11QueuedFrames::cancel()
{
    if (m_queue->hasQueued()) {
        m_queue->cancel();
        m_letGo = true;
    }
    m_grid.clear();
}
