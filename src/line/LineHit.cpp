#include "line/LineHit.h"

#include <algorithm>
#include <cmath>

namespace LineHit {

std::optional<std::int64_t> columnAt(double leftColumn, double x, double pitch, std::int64_t bitmapWidth)
{
    if (bitmapWidth <= 0 || !(pitch > 0) || !std::isfinite(leftColumn) || !std::isfinite(x) || !std::isfinite(pitch))
        return std::nullopt;
    // The loop is a whole number of bitmaps and the view repeats the loop, so the bitmap
    // column is the distance from the loop's start modulo the bitmap's width.
    const double column = std::floor(leftColumn + x / pitch);
    double wrapped = std::fmod(column, static_cast<double>(bitmapWidth));
    if (wrapped < 0)
        wrapped += static_cast<double>(bitmapWidth);
    return std::min(static_cast<std::int64_t>(wrapped), bitmapWidth - 1);
}

std::optional<LineSpan> spanAt(const QList<LineSpan> &spans, std::int64_t column)
{
    const auto it = std::upper_bound(spans.cbegin(), spans.cend(), column,
                                     [](std::int64_t c, const LineSpan &span) { return c < span.end; });
    if (it == spans.cend() || column < it->start)
        return std::nullopt;
    return *it;
}

std::optional<LineSpan> spanAt(const QList<LineSpan> &spans, double leftColumn, double x, double pitch,
                               std::int64_t bitmapWidth)
{
    const std::optional<std::int64_t> column = columnAt(leftColumn, x, pitch, bitmapWidth);
    if (!column)
        return std::nullopt;
    return spanAt(spans, *column);
}

} // namespace LineHit
