#include "line/LedBuilder.h"
#include "line/Sparklines.h"

#include <QTest>

#include <cmath>
#include <limits>

namespace {

QList<DayPoint> closesOf(const QList<double> &values)
{
    QList<DayPoint> points;
    qint64 time = 1772460000;
    for (double value : values)
        points.append({time += 300, value});
    return points;
}

Quote stock(const QString &name, double change, const QList<double> &closes)
{
    Quote quote;
    quote.id = QUuid::createUuid();
    quote.name = name;
    quote.price = QStringLiteral("100.00");
    quote.change = change;
    quote.at = QDateTime(QDate(2026, 3, 2), QTime(15, 0), Qt::UTC);
    quote.dayCloses = closesOf(closes);
    return quote;
}

/** The lit rows of column `x`, top first. */
QList<int> litRows(const LedBitmap &bitmap, std::int64_t x)
{
    QList<int> rows;
    for (std::int64_t y = 0; y < bitmap.h; ++y) {
        if (bitmap.at(x, y) != 0)
            rows.append(int(y));
    }
    return rows;
}

/** Columns [from, to) of `bitmap`. */
LedBitmap columns(const LedBitmap &bitmap, std::int64_t from, std::int64_t to)
{
    LedBitmap part;
    part.w = to - from;
    part.h = bitmap.h;
    for (std::int64_t y = 0; y < bitmap.h; ++y)
        for (std::int64_t x = from; x < to; ++x)
            part.cells.push_back(bitmap.at(x, y));
    return part;
}

constexpr auto up = static_cast<std::uint8_t>(Kind::up);
constexpr auto down = static_cast<std::uint8_t>(Kind::down);

} // namespace

/** The small charts of a stock's day on the quotes line. */
class TestSparklines : public QObject
{
    Q_OBJECT
private slots:
    void chartRunsFromTheLowToTheHighRow()
    {
        // A day that only rises: the first column on the bottom row, the last on the top one.
        QList<double> rising;
        for (int i = 0; i < 78; ++i)
            rising.append(100 + i);
        const LedBitmap chart = Sparklines::chart(closesOf(rising), 7, Kind::up);
        QCOMPARE(chart.w, std::int64_t(Sparklines::columns));
        QCOMPARE(chart.h, std::int64_t(7));
        QCOMPARE(litRows(chart, 0), QList<int>{6});
        QCOMPARE(litRows(chart, Sparklines::columns - 1).first(), 0);
        // Every column is lit in the kind asked for, joined to the one before it.
        int previousTop = 6;
        for (int x = 0; x < Sparklines::columns; ++x) {
            const QList<int> lit = litRows(chart, x);
            QVERIFY2(!lit.isEmpty(), qPrintable(QString::number(x)));
            QVERIFY(lit.first() <= previousTop && previousTop - lit.first() <= lit.size());
            for (int y : lit)
                QCOMPARE(chart.at(x, y), up);
            previousTop = lit.first();
        }
    }

    void flatAndUnusableDays()
    {
        // A flat day is a line across the middle.
        const LedBitmap flat = Sparklines::chart(closesOf({5, 5, 5}), 7, Kind::down);
        for (int x = 0; x < Sparklines::columns; ++x)
            QCOMPARE(litRows(flat, x), QList<int>{3});
        QCOMPARE(flat.at(0, 3), down);
        // Too few points, points that are not numbers, or no rows: no chart.
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QCOMPARE(Sparklines::chart(closesOf({5}), 7, Kind::up).w, std::int64_t(0));
        QCOMPARE(Sparklines::chart(closesOf({nan, 5, inf}), 7, Kind::up).w, std::int64_t(0));
        QCOMPARE(Sparklines::chart(closesOf({1, 2}), 0, Kind::up).w, std::int64_t(0));
        // Non-finite points among good ones are skipped, and a huge range stays in the rows.
        const LedBitmap wide = Sparklines::chart(closesOf({-1e308, nan, 1e308}), 7, Kind::up);
        QCOMPARE(wide.w, std::int64_t(Sparklines::columns));
        QCOMPARE(litRows(wide, 0), QList<int>{3}); // the range overflows: drawn flat
    }

    void insertGoesAfterEachStockWithASeriesOnly()
    {
        const Quote rising = stock(QStringLiteral("AAA"), 1.5, {10, 11, 12, 13});
        Quote metal = stock(QStringLiteral("OR"), 0.2, {});
        const Quote falling = stock(QStringLiteral("BBB"), -2, {13, 12, 11, 10});
        const QList<Quote> quotes{rising, metal, falling};
        const LedBuilder::Line plain = LedBuilder::buildLine(quotes, FontStyle::pixelBold);
        LedBuilder::Line line = plain;
        Sparklines::insert(line, quotes);

        const std::int64_t added = Sparklines::gapBefore + Sparklines::columns;
        QCOMPARE(line.bitmap.w, plain.bitmap.w + 2 * added);
        QCOMPARE(line.bitmap.h, plain.bitmap.h);
        QCOMPARE(line.spans.size(), plain.spans.size());
        // The spans follow their items: the first and third grow, the ones after move along.
        QCOMPARE(line.spans[0].start, plain.spans[0].start);
        QCOMPARE(line.spans[0].end, plain.spans[0].end + added);
        QCOMPARE(line.spans[1].start, plain.spans[1].start + added);
        QCOMPARE(line.spans[1].end, plain.spans[1].end + added);
        QCOMPARE(line.spans[2].start, plain.spans[2].start + added);
        QCOMPARE(line.spans[2].end, plain.spans[2].end + 2 * added);

        // Each item is its old columns with the chart between the change and the trailing dot.
        for (int i : {0, 2}) {
            const LineSpan &was = plain.spans[i];
            const LineSpan &now = line.spans[i];
            const std::int64_t cut = was.end - LedBuilder::quoteTrailColumns;
            QCOMPARE(columns(line.bitmap, now.start, now.start + (cut - was.start)),
                     columns(plain.bitmap, was.start, cut));
            QCOMPARE(columns(line.bitmap, now.end - LedBuilder::quoteTrailColumns, now.end),
                     columns(plain.bitmap, cut, was.end));
            const std::int64_t chartStart = now.start + (cut - was.start) + Sparklines::gapBefore;
            const Kind kind = i == 0 ? Kind::up : Kind::down;
            QCOMPARE(columns(line.bitmap, chartStart, chartStart + Sparklines::columns),
                     Sparklines::chart(quotes[i].dayCloses, int(plain.bitmap.h), kind));
            QVERIFY(litRows(line.bitmap, chartStart - 1).isEmpty());
        }
        QCOMPARE(columns(line.bitmap, line.spans[1].start, line.spans[1].end),
                 columns(plain.bitmap, plain.spans[1].start, plain.spans[1].end));
    }

    void insertKeepsStaleAndBoundsAndLeavesOtherLinesAlone()
    {
        const QList<Quote> quotes{stock(QStringLiteral("AAA"), 1.5, {10, 11, 12, 13})};
        // A stale quote's chart is stale too.
        LedBuilder::Line stale = LedBuilder::buildLine(quotes, FontStyle::pixel, {true});
        Sparklines::insert(stale, quotes, {true});
        const std::int64_t chartStart = stale.spans[0].end - LedBuilder::quoteTrailColumns - Sparklines::columns;
        bool anyLit = false;
        for (std::int64_t y = 0; y < stale.bitmap.h; ++y)
            for (std::int64_t x = chartStart; x < chartStart + Sparklines::columns; ++x) {
                const std::uint8_t cell = stale.bitmap.at(x, y);
                QVERIFY(cell == 0 || cell == staleRaw(up));
                anyLit = anyLit || cell != 0;
            }
        QVERIFY(anyLit);

        // Quotes without a series: the line is left exactly as built.
        const QList<Quote> none{stock(QStringLiteral("AAA"), 1.5, {})};
        const LedBuilder::Line plain = LedBuilder::buildLine(none, FontStyle::hd);
        LedBuilder::Line line = plain;
        Sparklines::insert(line, none);
        QCOMPARE(line.bitmap, plain.bitmap);
        QCOMPARE(line.spans, plain.spans);

        // A line already at its bound gets no chart that would pass it.
        QList<Quote> many;
        for (int i = 0; i < 2000; ++i)
            many.append(stock(QStringLiteral("Q%1").arg(i), 1, {1, 2, 3}));
        LedBuilder::Line full = LedBuilder::buildLine(many, FontStyle::pixelBold);
        Sparklines::insert(full, many);
        QVERIFY(full.bitmap.w * full.bitmap.h <= LedBuilder::maxLineCells);
    }
};

QTEST_GUILESS_MAIN(TestSparklines)
#include "TestSparklines.moc"
