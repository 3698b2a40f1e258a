#pragma once

#include "types/LineSpan.h"

#include <QList>

#include <cstdint>
#include <optional>

/** Finds what a point of a scrolling line shows. Pure functions of the line's geometry. */
namespace LineHit {

/**
 * The loop column under a point `x` points from the line's left edge while the line shows
 * loop column `leftColumn` there, with LEDs `pitch` points wide: any number of whole bitmaps
 * further on is the same place, so the result is in [0, bitmapWidth). Nothing when the
 * geometry is unusable.
 */
std::optional<std::int64_t> columnAt(double leftColumn, double x, double pitch, std::int64_t bitmapWidth);

/** The span holding bitmap column `column` of `spans` (ordered, not overlapping); nothing in a gap. */
std::optional<LineSpan> spanAt(const QList<LineSpan> &spans, std::int64_t column);

/** Both steps at once: the span under the point `x`. */
std::optional<LineSpan> spanAt(const QList<LineSpan> &spans, double leftColumn, double x, double pitch,
                               std::int64_t bitmapWidth);

} // namespace LineHit
