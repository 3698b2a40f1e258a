#pragma once

#include "types/LineSpan.h"

#include <QList>

#include <cstdint>

/**
 * Where a line that moves in steps stands still: the columns of its bitmap at which an item
 * starts, repeated every bitmap width round the loop. The line's column then goes on as it
 * would when scrolling, but what shows is the last stop it passed: the picture stands still
 * while the column crosses an item and moves on by that item at once, so the steps keep the
 * speed the user chose on average and come as often as items pass.
 */
class LineSteps
{
public:
    /** Steps every this many columns where nothing says where the items start. */
    static constexpr std::int64_t fallbackStep = 48;

    LineSteps() = default;

    /**
     * Stops at the starts of `spans` in a bitmap `period` columns wide, never more than
     * `maxStep` columns apart: an item wider than that (a long headline) is crossed in several
     * steps so each part of it shows. Spans outside the bitmap are ignored.
     */
    static LineSteps fromSpans(const QList<LineSpan> &spans, std::int64_t period, std::int64_t maxStep);

    /** The last stop at or before `column`, in [0, loopColumns); `column` itself without stops. */
    double snap(double column, double loopColumns) const;

    bool isEmpty() const { return m_stops.isEmpty(); }
    const QList<std::int64_t> &stops() const { return m_stops; }
    std::int64_t period() const { return m_period; }

    friend bool operator==(const LineSteps &, const LineSteps &) = default;

private:
    QList<std::int64_t> m_stops; ///< ascending, in [0, m_period), the first one 0
    std::int64_t m_period = 0;
};
