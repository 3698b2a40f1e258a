#pragma once

#include "band/BandTimeline.h"
#include "band/FrameGrid.h"
#include "band/ServerClock.h"
#include "x11band/X11FrameLine.h"

#include <QtGlobal>

#include <array>
#include <cstdint>
#include <memory>

struct xcb_connection_t;
class FrameStats;
class X11FrameQueue;

/**
 * The drawing thread's frames queued on the server a second ahead of their time, behind
 * waits on the server's clock (X11FrameQueue), topped up twice a second. The frames fall on
 * one grid of the monotonic clock (FrameGrid); each shows the lines at the band's time of its
 * instant (BandTimeline), and waits for the server's millisecond of it (ServerClock). A band
 * clock that jumped re-queues what follows; a clock moved by hand (tests) stands still
 * between its moves, so nothing is queued and its frame is drawn again at each look.
 *
 * Used by the drawing thread with its lock held, as are the lines, the frame count and the
 * flag it shares.
 */
class X11QueuedFrames
{
public:
    /** Where the lines' windows are: their depth and their screen's root. */
    struct Screen
    {
        std::uint8_t depth = 0;
        std::uint32_t root = 0;
    };

    /** What a top-up came to. */
    enum class TopUp {
        queued,     ///< frames are queued ahead
        oneByOne,   ///< none could be (the server's clock is about to wrap): draw the next one by one
        serverGone, ///< the server no longer answers: queue no more
    };

    /** How far ahead frames are queued, and how often more are. */
    static constexpr std::int64_t queueAheadNs = 1'000'000'000;
    static constexpr std::int64_t topUpNs = 500'000'000;
    /** How often a clock moved by hand is looked at. */
    static constexpr std::int64_t handMovedClockNs = 50'000'000;

    /**
     * Queues on `connection` through `queue`, drawing `lines`; counts each frame queued or
     * drawn in `frames` and sets `letGo` when a cancel let frames go that may have drawn over
     * what the lines show now. `stats` (may be null) records the frames the server reports
     * shown. Nothing here is owned but the queue; all must outlive this.
     */
    X11QueuedFrames(xcb_connection_t *connection, std::unique_ptr<X11FrameQueue> queue,
                    const std::array<X11FrameLine, 2> &lines, FrameStats *stats, quint64 &frames, bool &letGo);
    ~X11QueuedFrames();
    X11QueuedFrames(const X11QueuedFrames &) = delete;
    X11QueuedFrames &operator=(const X11QueuedFrames &) = delete;

    /**
     * Queues frames `intervalNs` apart up to a second ahead of now, reading the server's clock
     * when due, and records the frames the server reports shown.
     */
    TopUp topUp(std::int64_t intervalNs, Screen screen);
    /** Queues the frames of the next 50 ms at once, after a hand-over, so none is missed meanwhile. */
    void queueSoon(std::int64_t intervalNs, Screen screen);
    /** Lets every queued frame go, drawing nothing. */
    void cancel();
    /** The graphics context for copies of frames on `screen`. Zero if that failed. */
    std::uint32_t gc(Screen screen);
    /** How long the thread may sleep before the next top-up. */
    std::int64_t wakeAfterNs() const;

private:
    bool queueFrames(std::int64_t nowNs, std::int64_t untilNs, std::int64_t intervalNs, Screen screen);
    bool placeBandTime(std::int64_t nowNs);

    xcb_connection_t *m_connection;
    std::unique_ptr<X11FrameQueue> m_queue;
    const std::array<X11FrameLine, 2> &m_lines;
    FrameStats *m_stats;
    quint64 &m_frames;
    bool &m_letGo;
    BandTimeline m_timeline{0.003}; ///< the real clock is read to the millisecond
    ServerClock m_server;
    FrameGrid m_grid;
};
