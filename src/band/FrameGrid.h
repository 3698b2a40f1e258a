#pragma once

#include <cstdint>

/**
 * The times of frames queued ahead in batches: frames fall on a fixed grid of the frame
 * interval, and each batch goes on from the last frame queued. A batch that finds the queue
 * run dry (a stall) starts the grid again from now rather than queueing frames nobody will
 * see. A queue let go (a change) goes on from the frame it may have let go undrawn: the next
 * on the grid, or one due a moment ago that the server may not have drawn yet; were it
 * skipped, the band would stand still for a frame, while drawn twice it shows the same place.
 * Times are nanoseconds on the monotonic clock.
 */
class FrameGrid
{
public:
    /** A grid started now has its first frame this late, so that it can still be queued. */
    static constexpr std::int64_t firstFrameLeadNs = 2'000'000;
    /** A frame due this recently may not have been drawn yet. */
    static constexpr std::int64_t recentFrameNs = 5'000'000;

    /** The first frame to queue at `nowNs`, frames `intervalNs` apart. */
    std::int64_t firstToQueue(std::int64_t nowNs, std::int64_t intervalNs);
    /** Frames are queued up to `frameNs` (or, for a clock moved by hand, drawn at that instant). */
    void queuedUntil(std::int64_t frameNs) { m_queuedUntilNs = frameNs; }
    /** The queue was let go: the next batch goes on from the grid. */
    void clear() { m_queuedUntilNs = 0; }

    /** Whether frames are queued, or drawn at an instant the next look goes on from. */
    bool hasQueued() const { return m_queuedUntilNs != 0; }
    /** The last frame queued; 0 when none is. */
    std::int64_t lastQueuedNs() const { return m_queuedUntilNs; }

private:
    std::int64_t m_gridNs = 0;        ///< a frame time; the others are whole intervals away
    std::int64_t m_queuedUntilNs = 0; ///< the last frame queued; 0 when none is
};
