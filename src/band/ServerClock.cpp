#include "band/ServerClock.h"

#include <cstdlib>

bool ServerClock::take(const Reading &reading, std::int64_t nowNs)
{
    m_lastServerMs = reading.serverMs;
    const std::int64_t offset = reading.serverMs - (reading.beforeMs + reading.afterMs) / 2;
    const std::int64_t roundTrip = reading.afterMs - reading.beforeMs;
    const bool changed = !m_checkedAt || std::abs(offset - m_offsetMs) > roundingMs + roundTrip;
    if (changed)
        m_offsetMs = offset;
    m_checkedAt = nowNs;
    return changed;
}

bool ServerClock::canWaitFor(std::int64_t serverMs) const
{
    // A server whose clock already passed 32 bits counts in 64: it never wraps.
    constexpr std::int64_t wrap = std::int64_t{1} << 32;
    return m_lastServerMs >= wrap || serverMs < wrap - wrapMarginMs;
}
