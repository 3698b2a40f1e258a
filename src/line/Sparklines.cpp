#include "line/Sparklines.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Sparklines {

namespace {

/** The kind of the day's change: the quote's own, else the last close against the first. */
Kind changeKind(const Quote &quote, const QList<double> &closes)
{
    if (quote.change && std::isfinite(*quote.change))
        return *quote.change < 0 ? Kind::down : Kind::up;
    return closes.last() < closes.first() ? Kind::down : Kind::up;
}

QList<double> finiteCloses(const QList<DayPoint> &points)
{
    QList<double> closes;
    closes.reserve(std::min(points.size(), Quote::maxDayPoints));
    for (const DayPoint &point : points) {
        if (closes.size() >= Quote::maxDayPoints)
            break;
        if (std::isfinite(point.close))
            closes.append(point.close);
    }
    return closes;
}

} // namespace

LedBitmap chart(const QList<DayPoint> &points, int rows, Kind kind)
{
    const QList<double> closes = finiteCloses(points);
    if (closes.size() < minPoints || rows <= 0)
        return {};
    LedBitmap bitmap;
    bitmap.w = columns;
    bitmap.h = rows;
    bitmap.cells.assign(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), 0);
    const auto [low, high] = std::minmax_element(closes.cbegin(), closes.cend());
    const double range = *high - *low;
    // The row of each column, 0 at the top.
    const auto rowOf = [&](int column) {
        const double at = double(column) * double(closes.size() - 1) / double(columns - 1);
        const double close = closes.at(static_cast<qsizetype>(std::lround(at)));
        if (!(range > 0) || !std::isfinite(range))
            return rows / 2;
        const double share = (close - *low) / range;
        return std::clamp(static_cast<int>(std::lround((1.0 - share) * (rows - 1))), 0, rows - 1);
    };
    const auto raw = static_cast<std::uint8_t>(kind);
    int previous = rowOf(0);
    for (int x = 0; x < columns; ++x) {
        const int row = rowOf(x);
        // A steep step is drawn as a vertical run, so the line stays joined.
        const int from = x == 0 ? row : std::min(row, previous + (row > previous ? 1 : 0));
        const int to = x == 0 ? row : std::max(row, previous - (row < previous ? 1 : 0));
        for (int y = from; y <= to; ++y)
            bitmap.cells[static_cast<std::size_t>(x + y * columns)] = raw;
        previous = row;
    }
    return bitmap;
}

void insert(LedBuilder::Line &line, const QList<Quote> &quotes, const QList<bool> &stale)
{
    const LedBitmap &old = line.bitmap;
    if (old.w <= 0 || old.h <= 0 ||
        old.cells.size() < static_cast<std::size_t>(old.w) * static_cast<std::size_t>(old.h))
        return;
    const std::int64_t maxColumns = LedBuilder::maxLineCells / old.h;
    const std::int64_t added = gapBefore + columns;

    // Which spans get a chart, and the chart of each, within the bound.
    QList<LedBitmap> charts(line.spans.size());
    std::int64_t width = old.w;
    for (qsizetype i = 0; i < line.spans.size(); ++i) {
        const LineSpan &span = line.spans.at(i);
        if (span.part != LineSpan::Part::quote || span.index < 0 || span.index >= quotes.size())
            continue;
        const Quote &quote = quotes.at(span.index);
        if (quote.icon || span.end - span.start < LedBuilder::quoteTrailColumns || span.end > old.w)
            continue;
        const QList<double> closes = finiteCloses(quote.dayCloses);
        if (closes.size() < minPoints || width + added > maxColumns)
            continue;
        LedBitmap made = chart(quote.dayCloses, static_cast<int>(old.h), changeKind(quote, closes));
        if (stale.value(span.index)) {
            for (std::uint8_t &cell : made.cells)
                cell = staleRaw(cell);
        }
        charts[i] = std::move(made);
        width += added;
    }
    if (width == old.w)
        return;

    // Copied row by row: each piece of the old row, then the chart that follows it.
    LedBitmap wider;
    wider.w = width;
    wider.h = old.h;
    wider.cells.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(old.h), 0);
    std::int64_t shift = 0;
    std::int64_t copiedUpTo = 0;
    const auto copy = [&](std::int64_t from, std::int64_t to, std::int64_t into) {
        for (std::int64_t y = 0; y < old.h; ++y)
            std::memcpy(wider.cells.data() + y * width + into, old.cells.data() + y * old.w + from,
                        static_cast<std::size_t>(to - from));
    };
    for (qsizetype i = 0; i < line.spans.size(); ++i) {
        LineSpan &span = line.spans[i];
        span.start += shift;
        if (charts.at(i).w == 0) {
            span.end += shift;
            continue;
        }
        // After the change, before the trailing blank and dot.
        const std::int64_t at = span.end - LedBuilder::quoteTrailColumns;
        copy(copiedUpTo, at, copiedUpTo + shift);
        const LedBitmap &made = charts.at(i);
        for (std::int64_t y = 0; y < old.h; ++y)
            std::memcpy(wider.cells.data() + y * width + at + shift + gapBefore, made.cells.data() + y * made.w,
                        static_cast<std::size_t>(made.w));
        copiedUpTo = at;
        shift += added;
        span.end += shift;
    }
    copy(copiedUpTo, old.w, copiedUpTo + shift);
    line.bitmap = std::move(wider);
}

} // namespace Sparklines
