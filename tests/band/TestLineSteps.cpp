#include "band/BandLines.h"
#include "band/LineMotion.h"
#include "band/LineSteps.h"
#include "band/ScrollLine.h"

#include <QTest>

#include <set>

namespace {

LedBitmap bitmapOf(std::int64_t w, std::int64_t h = 7)
{
    LedBitmap b;
    b.w = w;
    b.h = h;
    b.cells.assign(static_cast<std::size_t>(w * h), 1);
    return b;
}

LineSpan span(std::int64_t start, std::int64_t end)
{
    return LineSpan{start, end, LineSpan::Part::quote, 0};
}

/** Four items of 100 columns: a bitmap of 400 columns, the loop 400 columns too. */
QList<LineSpan> fourItems()
{
    return {span(0, 100), span(100, 200), span(200, 300), span(300, 400)};
}

constexpr double pitch = 5;
constexpr double width = 1366; // points: 273 columns, so steps of up to 136 columns

} // namespace

class TestLineSteps : public QObject
{
    Q_OBJECT
private slots:
    void stopsAtItemStarts();
    void snapGoesBackToTheLastStop();
    void picturesStandStillAndMoveOnWithinSeconds();
    void surfacesQueuingAheadSeeTheSameSteps();
    void pauseAndResumeKeepTheStop();
    void endingTheStepsScrollsOnFromTheStopShown();
    void bandLinesStepBothLines();
};

void TestLineSteps::stopsAtItemStarts()
{
    // Unsorted, repeated and outside spans: the stops are the starts within the bitmap, from 0.
    const LineSteps steps =
        LineSteps::fromSpans({span(120, 200), span(40, 120), span(40, 120), span(250, 260), span(400, 410)}, 300, 1000);
    QCOMPARE(steps.stops(), (QList<std::int64_t>{0, 40, 120, 250}));
    QCOMPARE(steps.period(), 300);

    // A headline wider than a step is read in even pieces, the gap back to the period too.
    const LineSteps cut = LineSteps::fromSpans({span(0, 250), span(250, 300)}, 300, 100);
    QCOMPARE(cut.stops(), (QList<std::int64_t>{0, 83, 166, 250}));

    // Nothing known about the items: a fixed step.
    const LineSteps plain = LineSteps::fromSpans({}, 100, 1000);
    QCOMPARE(plain.stops(), (QList<std::int64_t>{0, 33, 66}));

    // No bitmap: no steps, and a column goes through unchanged.
    QVERIFY(LineSteps::fromSpans(fourItems(), 0, 100).isEmpty());
    QCOMPARE(LineSteps().snap(12.5, 64), 12.5);
}

void TestLineSteps::snapGoesBackToTheLastStop()
{
    // A 40-column bitmap repeated twice in an 80-column loop, stops at 0 and 25.
    const LineSteps steps = LineSteps::fromSpans({span(0, 25), span(25, 40)}, 40, 1000);
    QCOMPARE(steps.snap(0, 80), 0.0);
    QCOMPARE(steps.snap(24.99, 80), 0.0);
    QCOMPARE(steps.snap(25, 80), 25.0);
    QCOMPARE(steps.snap(39.5, 80), 25.0);
    QCOMPARE(steps.snap(41, 80), 40.0); // the second copy
    QCOMPARE(steps.snap(79.9, 80), 65.0);
}

void TestLineSteps::picturesStandStillAndMoveOnWithinSeconds()
{
    ScrollLine line;
    line.update(bitmapOf(400), 0, width, pitch, ColorTheme::greenRed, 3, 1, 100);
    QVERIFY(line.setSteps(LineSteps::fromSpans(fourItems(), 400, 136), 100));
    QVERIFY(!line.setSteps(LineSteps::fromSpans(fourItems(), 400, 136), 100)); // unchanged
    QVERIFY(line.isMoving());

    // Pictures 0.12 s apart over 30 s: the offset drawn changes only at the steps.
    int changes = 0;
    int pictures = 0;
    double firstChange = -1;
    int previous = line.offsetPixels(line.columnAt(100));
    for (double t = 100.12; t < 130; t += 0.12, ++pictures) {
        const double column = line.columnAt(t);
        QVERIFY2(std::fmod(column, 100) == 0, qPrintable(QString::number(column))); // always an item's start
        const int offset = line.offsetPixels(column);
        if (offset != previous) {
            ++changes;
            if (firstChange < 0)
                firstChange = t - 100;
        }
        previous = offset;
    }
    // At speed 3 (21 columns a second) a 100-column item passes in under 5 s.
    QVERIFY2(firstChange > 0 && firstChange < 5, qPrintable(QString::number(firstChange)));
    QVERIFY(changes >= 5 && changes <= 7);
    QVERIFY(changes * 20 < pictures); // nearly all pictures equal to the one before

    // Faster with the speed: twice the speed, twice the steps.
    ScrollLine fast;
    fast.update(bitmapOf(400), 0, width, pitch, ColorTheme::greenRed, 6, 1, 0);
    fast.setSteps(LineSteps::fromSpans(fourItems(), 400, 136), 0);
    QCOMPARE(fast.columnAt(2.3), 0.0);
    QCOMPARE(fast.columnAt(2.4), 100.0); // 42 columns a second
}

void TestLineSteps::surfacesQueuingAheadSeeTheSameSteps()
{
    // The X11 band queues frames from a LineMotion copied at a change; it must draw the very
    // steps the line reports, for any time ahead, also after a pause.
    ScrollLine line;
    line.update(bitmapOf(150), 0, width, pitch, ColorTheme::greenRed, 2, 1.5, 10);
    line.setSteps(LineSteps::fromSpans({span(0, 60), span(60, 150)}, 150, 136), 10);
    LineMotion motion = LineMotion::of(line, 2049);
    QCOMPARE(motion.steps, line.steps());
    std::set<int> offsets;
    for (double t = 10; t < 40; t += 0.016) {
        QCOMPARE(motion.offsetAt(t), line.offsetPixels(line.columnAt(t)));
        offsets.insert(motion.offsetAt(t));
    }
    QCOMPARE(offsets.size(), std::size_t(2)); // the two items' starts

    line.pause(20);
    motion.pause(20);
    QCOMPARE(motion, LineMotion::of(line, 2049));
    QCOMPARE(motion.offsetAt(25), line.offsetPixels(line.columnAt(25)));

    // Steps from another bitmap are not applied to this one.
    line.update(bitmapOf(90), 0, width, pitch, ColorTheme::greenRed, 2, 1.5, 30);
    QVERIFY(LineMotion::of(line, 2049).steps.isEmpty());
}

void TestLineSteps::pauseAndResumeKeepTheStop()
{
    ScrollLine line;
    line.update(bitmapOf(400), 0, width, pitch, ColorTheme::greenRed, 3, 1, 0);
    line.setSteps(LineSteps::fromSpans(fourItems(), 400, 136), 0);
    QCOMPARE(line.columnAt(6), 100.0); // 126 columns gone: the second item
    line.pause(6);
    QCOMPARE(line.columnAt(60), 100.0);
    // After the pointer leaves, the item shows for a whole item's time again, then moves on.
    line.resume(60);
    QCOMPARE(line.columnAt(64.7), 100.0);
    QCOMPARE(line.columnAt(64.8), 200.0);
}

void TestLineSteps::endingTheStepsScrollsOnFromTheStopShown()
{
    ScrollLine line;
    line.update(bitmapOf(400), 0, width, pitch, ColorTheme::greenRed, 3, 1, 0);
    line.setSteps(LineSteps::fromSpans(fourItems(), 400, 136), 0);
    QCOMPARE(line.columnAt(7), 100.0);
    QVERIFY(line.setSteps({}, 7));
    QCOMPARE(line.columnAt(7), 100.0); // no jump
    QCOMPARE(line.columnAt(8), 121.0); // then 21 columns a second
}

void TestLineSteps::bandLinesStepBothLines()
{
    BandLines lines;
    lines.bitmap = bitmapOf(400);
    lines.newsBitmap = bitmapOf(1000);
    lines.pitch = pitch;
    lines.spans = {fourItems(), {span(0, 900), span(900, 1000)}};
    QVERIFY(lines.layout(width, 1, 0));
    QVERIFY(lines.quotesLine().steps().isEmpty());

    lines.steps = true;
    QVERIFY(lines.layout(width, 1, 0));
    QVERIFY(!lines.layout(width, 1, 0));
    QCOMPARE(lines.quotesLine().steps().stops(), (QList<std::int64_t>{0, 100, 200, 300}));
    // The 900-column headline is read in pieces of at most half the band's 273 columns.
    const QList<std::int64_t> &news = lines.newsLine().steps().stops();
    QVERIFY(news.size() > 7);
    for (qsizetype i = 1; i < news.size(); ++i)
        QVERIFY(news[i] - news[i - 1] <= 136);
    QVERIFY(news.contains(900));
    QVERIFY(lines.isMoving());

    lines.steps = false;
    QVERIFY(lines.layout(width, 1, 0));
    QVERIFY(lines.newsLine().steps().isEmpty());
}

QTEST_GUILESS_MAIN(TestLineSteps)
#include "TestLineSteps.moc"
