#pragma once

#include <QtGlobal>

/**
 * The schedule of frames drawn from a timer: frames fall on a fixed grid of the frame
 * interval, so waits of 16 and 17 ms alternate to give 60 frames per second without drift.
 * After a stall (a frame due more than one interval ago) the grid restarts from now instead
 * of rushing to catch up with frames nobody will see. Times are nanoseconds on any monotonic
 * clock the caller chooses.
 */
class FramePacer
{
public:
    /** Starts a schedule at `nowNs`; returns the milliseconds to wait for the first frame. */
    int start(qint64 nowNs, qint64 intervalNs);
    /** A frame is being drawn at `nowNs`: returns the milliseconds to wait for the next one. */
    int next(qint64 nowNs, qint64 intervalNs);
    /** When the next frame is due. */
    qint64 dueNs() const { return m_nextNs; }

private:
    int waitMs(qint64 nowNs) const;

    qint64 m_nextNs = 0;
};
