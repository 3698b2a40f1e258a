#include "line/ItemMarks.h"
#include "types/Kind.h"

#include <QTest>

namespace {

/** `w` × `h` raw values, given row by row. */
LedBitmap bitmapOf(std::int64_t w, std::int64_t h, std::vector<std::uint8_t> cells)
{
    LedBitmap bitmap;
    bitmap.w = w;
    bitmap.h = h;
    bitmap.cells = std::move(cells);
    return bitmap;
}

Quote quoteOf(const QUuid &id)
{
    Quote quote;
    quote.id = id;
    quote.name = QStringLiteral("X");
    quote.price = QStringLiteral("1.00");
    return quote;
}

constexpr std::uint8_t name = static_cast<std::uint8_t>(Kind::name);
constexpr std::uint8_t up = static_cast<std::uint8_t>(Kind::up);

} // namespace

/** Marks on single items of a built line: inverted for an alert, bright for a change. */
class TestItemMarks : public QObject
{
    Q_OBJECT
private slots:
    void invertAndBrightenOnlyTheSpansColumns()
    {
        // Two rows of six columns; the span covers columns 2 and 3.
        const LedBitmap before = bitmapOf(6, 2,
                                          {1, 0, 2, 0, 3, 0, //
                                           0, 1, staleRaw(2), 0, 0, 4});
        LedBitmap inverted = before;
        ItemMarks::invert(inverted, LineSpan{2, 4, LineSpan::Part::quote, 0});
        QCOMPARE(inverted, bitmapOf(6, 2,
                                    {1, 0, 0, name, 3, 0, //
                                     0, 1, 0, name, 0, 4}));

        LedBitmap bright = before;
        ItemMarks::brighten(bright, LineSpan{2, 4, LineSpan::Part::quote, 0});
        // Lit live cells take their bright variant; off and stale cells stay as they were.
        QCOMPARE(bright, bitmapOf(6, 2,
                                  {1, 0, brightRaw(up), 0, 3, 0, //
                                   0, 1, staleRaw(2), 0, 0, 4}));
    }

    void spansOutsideTheBitmapAreClipped()
    {
        const LedBitmap before = bitmapOf(3, 1, {1, 0, 2});
        LedBitmap bitmap = before;
        ItemMarks::invert(bitmap, LineSpan{-5, 1, LineSpan::Part::quote, 0});
        QCOMPARE(bitmap, bitmapOf(3, 1, {0, 0, 2}));
        bitmap = before;
        ItemMarks::invert(bitmap, LineSpan{2, 99, LineSpan::Part::quote, 0});
        QCOMPARE(bitmap, bitmapOf(3, 1, {1, 0, 0}));
        bitmap = before;
        ItemMarks::invert(bitmap, LineSpan{5, 2, LineSpan::Part::quote, 0}); // backwards: nothing
        QCOMPARE(bitmap, before);
        // A malformed bitmap (fewer cells than it claims) is left alone.
        LedBitmap malformed = bitmapOf(4, 2, {1, 1});
        ItemMarks::brighten(malformed, LineSpan{0, 4, LineSpan::Part::quote, 0});
        QCOMPARE(malformed.cells, (std::vector<std::uint8_t>{1, 1}));
    }

    void markFindsTheItemsByTheirQuotesIds()
    {
        const QUuid a = QUuid::createUuid();
        const QUuid b = QUuid::createUuid();
        const QList<Quote> quotes{quoteOf(a), quoteOf(b), quoteOf(QUuid())};
        const QList<LineSpan> spans{LineSpan{0, 2, LineSpan::Part::quote, 0}, LineSpan{2, 4, LineSpan::Part::quote, 1},
                                    LineSpan{4, 6, LineSpan::Part::quote, 2},
                                    LineSpan{6, 8, LineSpan::Part::quote, 7}}; // names no quote
        const LedBitmap before = bitmapOf(8, 1, {1, 0, 1, 0, 1, 0, 1, 0});

        LedBitmap bitmap = before;
        ItemMarks::mark(bitmap, spans, quotes, {}, {});
        QCOMPARE(bitmap, before);

        // b alerting, a flashing; the quote without an id and the span naming none stay as they are.
        ItemMarks::mark(bitmap, spans, quotes, {b, QUuid()}, {a, QUuid()});
        QCOMPARE(bitmap, bitmapOf(8, 1, {brightRaw(1), 0, 0, name, 1, 0, 1, 0}));

        // Both at once: the inverted block is drawn bright.
        bitmap = before;
        ItemMarks::mark(bitmap, spans, quotes, {a}, {a});
        QCOMPARE(bitmap, bitmapOf(8, 1, {0, brightRaw(name), 1, 0, 1, 0, 1, 0}));
    }
};

QTEST_GUILESS_MAIN(TestItemMarks)
#include "TestItemMarks.moc"
