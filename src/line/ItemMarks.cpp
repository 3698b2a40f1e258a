#include "line/ItemMarks.h"

#include "types/Kind.h"

#include <algorithm>

namespace ItemMarks {

namespace {

/** Calls `change` on every cell of the span's columns that lie in the bitmap. */
template<typename Change> void forEachCell(LedBitmap &bitmap, const LineSpan &span, Change change)
{
    if (bitmap.w <= 0 || bitmap.h <= 0 ||
        bitmap.cells.size() < static_cast<std::size_t>(bitmap.w) * static_cast<std::size_t>(bitmap.h))
        return;
    const std::int64_t start = std::clamp<std::int64_t>(span.start, 0, bitmap.w);
    const std::int64_t end = std::clamp<std::int64_t>(span.end, start, bitmap.w);
    for (std::int64_t y = 0; y < bitmap.h; ++y) {
        std::uint8_t *row = bitmap.cells.data() + y * bitmap.w;
        for (std::int64_t x = start; x < end; ++x)
            row[x] = change(row[x]);
    }
}

} // namespace

void invert(LedBitmap &bitmap, const LineSpan &span)
{
    forEachCell(bitmap, span, [](std::uint8_t raw) {
        return raw == 0 ? static_cast<std::uint8_t>(Kind::name) : static_cast<std::uint8_t>(Kind::off);
    });
}

void brighten(LedBitmap &bitmap, const LineSpan &span)
{
    forEachCell(bitmap, span, [](std::uint8_t raw) { return brightRaw(raw); });
}

void mark(LedBitmap &bitmap, const QList<LineSpan> &spans, const QList<Quote> &quotes, const QList<QUuid> &alerting,
          const QList<QUuid> &flashing)
{
    if (alerting.isEmpty() && flashing.isEmpty())
        return;
    for (const LineSpan &span : spans) {
        if (span.part != LineSpan::Part::quote || span.index < 0 || span.index >= quotes.size())
            continue;
        const QUuid &id = quotes.at(span.index).id;
        if (id.isNull())
            continue;
        if (alerting.contains(id))
            invert(bitmap, span);
        if (flashing.contains(id))
            brighten(bitmap, span);
    }
}

} // namespace ItemMarks
