#pragma once

#include "line/LedBuilder.h"
#include "types/Kind.h"
#include "types/LedBitmap.h"
#include "types/MarketSession.h"
#include "types/Quote.h"

#include <QList>

/**
 * Small LED charts of a stock's day on the quotes line: after the change of each quote that
 * carries the day's closes, a chart of `columns` LED columns by the line's height, lit in the
 * up or down kind of the day's change. Quotes without closes (other services, metals,
 * weather) get none, and a line without any chart is left exactly as built.
 */
namespace Sparklines {

/** LED columns of one chart. */
inline constexpr int columns = 24;
/** Blank columns between the change and its chart. */
inline constexpr int gapBefore = 4;
/** Fewest closes that make a chart: a single point shows no movement. */
inline constexpr qsizetype minPoints = 2;

/**
 * The chart of `closes` (oldest first) in `rows` rows: each column shows the close at its
 * share of the day, joined to the column before it, the day's lowest close on the bottom row
 * and its highest on the top one; a flat day is a line across the middle. Closes that are not
 * finite are skipped. Empty (0 × 0) with fewer than minPoints usable closes or no rows.
 */
LedBitmap chart(const QList<DayPoint> &closes, int rows, Kind kind);

/**
 * Puts a chart into the quotes line `line` built from `quotes`, after the change of each
 * quote span whose quote has closes, moving what follows and the spans along. The charts of
 * quotes drawn stale (`stale`, as for LedBuilder::buildLine) are stale too. Charts that would
 * take the line past LedBuilder::maxLineCells are left out.
 */
void insert(LedBuilder::Line &line, const QList<Quote> &quotes, const QList<bool> &stale = {});

} // namespace Sparklines
