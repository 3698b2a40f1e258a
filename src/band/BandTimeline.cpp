#include "band/BandTimeline.h"

#include "util/Clock.h"

#include <cmath>

BandTimeline::BandTimeline(double toleranceSeconds)
    : m_tolerance(toleranceSeconds)
{}

BandTimeline::Pace BandTimeline::paceOf(const Clock &clock)
{
    return clock.drivesTimers() ? Pace::standing : Pace::real;
}

bool BandTimeline::follow(double band, std::int64_t nowNs, Pace pace)
{
    const double tolerance = pace == Pace::standing ? 0.0 : m_tolerance;
    if (m_anchored && pace == m_pace && std::abs(band - at(nowNs)) <= tolerance)
        return true;
    m_anchored = true;
    m_pace = pace;
    m_rate = pace == Pace::standing ? 0.0 : 1.0;
    m_band = band;
    m_anchorNs = nowNs;
    return false;
}
