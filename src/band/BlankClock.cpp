#include "band/BlankClock.h"

#include <algorithm>
#include <cmath>

BlankClock::Update BlankClock::take(Reading reading)
{
    if (reading.ust == 0)
        return Update::ignored;
    if (!m_reference) {
        m_reference = reading;
        m_baseline = reading;
        return Update::first;
    }
    const double predicted = static_cast<double>(m_reference->msc) +
                             (static_cast<double>(reading.ust) - static_cast<double>(m_reference->ust)) / m_intervalUs;
    if (std::abs(predicted - static_cast<double>(reading.msc)) > jumpBlanks) {
        m_reference = reading;
        m_baseline = reading;
        return Update::jumped;
    }
    // Measured over as long a span as there is, so that the time of a blank far ahead stays exact.
    if (reading.msc >= m_baseline.msc + measuringSpan && reading.ust > m_baseline.ust)
        m_intervalUs =
            static_cast<double>(reading.ust - m_baseline.ust) / static_cast<double>(reading.msc - m_baseline.msc);
    if (reading.msc > m_reference->msc)
        m_reference = reading;
    return Update::followed;
}

std::uint64_t BlankClock::mscAt(std::uint64_t ustNow) const
{
    const double since = static_cast<double>(ustNow) - static_cast<double>(m_reference->ust);
    return m_reference->msc + static_cast<std::uint64_t>(std::max(0.0, std::floor(since / m_intervalUs)));
}

double BlankClock::ustOf(std::uint64_t msc) const
{
    return static_cast<double>(m_reference->ust) +
           (static_cast<double>(msc) - static_cast<double>(m_reference->msc)) * m_intervalUs;
}

std::uint64_t BlankClock::blanksFor(double seconds) const
{
    return static_cast<std::uint64_t>(std::ceil(seconds * 1e6 / m_intervalUs));
}
