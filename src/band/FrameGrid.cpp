#include "band/FrameGrid.h"

std::int64_t FrameGrid::firstToQueue(std::int64_t nowNs, std::int64_t intervalNs)
{
    const std::int64_t next = m_queuedUntilNs + intervalNs;
    if (m_queuedUntilNs && next <= nowNs) {
        // The queue ran dry: the grid starts again from now.
        m_gridNs = nowNs + firstFrameLeadNs;
        return m_gridNs;
    }
    if (m_queuedUntilNs)
        return next;
    if (!m_gridNs)
        m_gridNs = nowNs + firstFrameLeadNs;
    const std::int64_t from = nowNs - recentFrameNs;
    return from < m_gridNs ? m_gridNs : m_gridNs + ((from - m_gridNs) / intervalNs + 1) * intervalNs;
}
