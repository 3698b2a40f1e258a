#include "band/FramePacer.h"

#include <algorithm>

int FramePacer::start(qint64 nowNs, qint64 intervalNs)
{
    m_nextNs = nowNs + intervalNs;
    return waitMs(nowNs);
}

int FramePacer::next(qint64 nowNs, qint64 intervalNs)
{
    m_nextNs += intervalNs;
    if (m_nextNs < nowNs)
        m_nextNs = nowNs + intervalNs;
    return waitMs(nowNs);
}

int FramePacer::waitMs(qint64 nowNs) const
{
    // Rounded to the nearest millisecond: the timer fires on whole milliseconds, and
    // rounding keeps the waits on both sides of the grid instead of always early.
    return static_cast<int>(std::max<qint64>(0, (m_nextNs - nowNs + 500000) / 1000000));
}
