#include "band/LineSteps.h"

#include <algorithm>
#include <cmath>

LineSteps LineSteps::fromSpans(const QList<LineSpan> &spans, std::int64_t period, std::int64_t maxStep)
{
    LineSteps steps;
    if (period <= 0)
        return steps;
    maxStep = std::clamp<std::int64_t>(maxStep, 1, fallbackStep * 64);

    QList<std::int64_t> starts{0};
    for (const LineSpan &span : spans) {
        if (span.start > 0 && span.start < period && span.end > span.start)
            starts.append(span.start);
    }
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    if (starts.size() == 1 && spans.isEmpty())
        maxStep = std::min(maxStep, fallbackStep);

    // Gaps wider than a step (and the last one, back round to the period) are cut evenly.
    starts.append(period);
    for (qsizetype i = 0; i + 1 < starts.size(); ++i) {
        const std::int64_t from = starts[i];
        const std::int64_t gap = starts[i + 1] - from;
        steps.m_stops.append(from);
        const std::int64_t pieces = (gap + maxStep - 1) / maxStep;
        for (std::int64_t k = 1; k < pieces; ++k)
            steps.m_stops.append(from + gap * k / pieces);
    }
    steps.m_period = period;
    return steps;
}

double LineSteps::snap(double column, double loopColumns) const
{
    if (m_stops.isEmpty() || m_period <= 0 || !std::isfinite(column))
        return column;
    const double period = static_cast<double>(m_period);
    const double copy = std::floor(column / period);
    const double within = column - copy * period;
    // The first stop is 0, so some stop is at or before any column of the copy.
    auto after = std::upper_bound(m_stops.cbegin(), m_stops.cend(), within,
                                  [](double c, std::int64_t stop) { return c < static_cast<double>(stop); });
    const std::int64_t stop = after == m_stops.cbegin() ? 0 : *(after - 1);
    double snapped = copy * period + static_cast<double>(stop);
    if (loopColumns > 0) {
        snapped = std::fmod(snapped, loopColumns);
        if (snapped < 0)
            snapped += loopColumns;
    }
    return snapped;
}
