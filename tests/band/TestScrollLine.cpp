#include "band/BandLines.h"
#include "band/ScrollLine.h"

#include <QPainter>
#include <QTest>

namespace {

LedBitmap bitmapOf(std::int64_t w, std::int64_t h = 11, std::uint8_t kind = 1)
{
    LedBitmap b;
    b.w = w;
    b.h = h;
    b.cells.assign(static_cast<std::size_t>(w * h), kind);
    return b;
}

} // namespace

class TestScrollLine : public QObject
{
    Q_OBJECT
private slots:
    void loopColumns();
    void cellSizeRounding();
    void tileLengths();
    void example133Columns();
    void oneColumnLoop();
    void unchangedUpdateDoesNothing();
    void placementChangeKeepsTiles();
    void speedChangeKeepsColumn();
    void pauseHoldsTheColumn();
    void newLoopContinuesFromColumnReached();
    void clearing();
    void fractionalPitchTilesMeetExactly();
    void paintPlacesTilesAtSnappedOffset();
    void tilesRenderedAheadAreTakenOnlyForTheirContent();
    void wholePixelLedsAtFractionalScale();
};

void TestScrollLine::loopColumns()
{
    QCOMPARE(ScrollLine::loopColumnsFor(1), 64);
    QCOMPARE(ScrollLine::loopColumnsFor(10), 70);
    QCOMPARE(ScrollLine::loopColumnsFor(32), 64);
    QCOMPARE(ScrollLine::loopColumnsFor(33), 66);
    QCOMPARE(ScrollLine::loopColumnsFor(64), 64);
    QCOMPARE(ScrollLine::loopColumnsFor(133), 133);
}

void TestScrollLine::cellSizeRounding()
{
    QCOMPARE(ScrollLine::cellFor(5, 2), 10);
    QCOMPARE(ScrollLine::cellFor(4.6, 1), 5);
    QCOMPARE(ScrollLine::cellFor(2.5, 1), 3); // halves away from zero
    QCOMPARE(ScrollLine::cellFor(0.2, 1), 1);
    QCOMPARE(ScrollLine::cellFor(5, 1.25), 6);
}

void TestScrollLine::tileLengths()
{
    QCOMPARE(ScrollLine::tileColumnsFor(10), 204);
    QCOMPARE(ScrollLine::tileColumnsFor(5), 409);
    QCOMPARE(ScrollLine::tileColumnsFor(2048), 1);
    QCOMPARE(ScrollLine::tileColumnsFor(3000), 1);

    // 500 columns at cell 10: tiles of 204, 204 and 92 columns, none wider than 2048 pixels.
    ScrollLine line;
    line.update(bitmapOf(500), 0, 1000, 5, ColorTheme::greenRed, 3, 2, 0);
    const auto &tiles = line.tiles();
    QCOMPARE(tiles.size(), 3);
    QCOMPARE(tiles[0].x, 0.0);
    QCOMPARE(tiles[0].width, 204 * 5.0);
    QCOMPARE(tiles[1].x, 204 * 5.0);
    QCOMPARE(tiles[2].width, 92 * 5.0);
    QCOMPARE(tiles[0].image.size(), QSize(2040, 110));
    QCOMPARE(tiles[2].image.size(), QSize(920, 110));
}

void TestScrollLine::example133Columns()
{
    ScrollLine line;
    QCOMPARE(line.update(bitmapOf(133), 0, 1440, 5, ColorTheme::greenRed, 3, 1, 10), ScrollLine::Change::content);
    QCOMPARE(line.loopColumns(), 133);
    QCOMPARE(line.loopPixels(), 665); // 133 LEDs of 5 points at one pixel per point
    QCOMPARE(line.columnsPerSecond(), 21.0);
    QCOMPARE(line.copies(), 4);
    QCOMPARE(line.height(), 55.0);
    QCOMPARE(line.tiles().size(), 1);
    QCOMPARE(line.columnAt(10), 0.0);
    QCOMPARE(line.columnAt(11), 21.0);
    // One loop lasts 133 / 21 s, after which the line shows its start again.
    QVERIFY(qAbs(line.columnAt(10 + 133.0 / 21)) < 1e-9 || qAbs(line.columnAt(10 + 133.0 / 21) - 133) < 1e-9);
}

void TestScrollLine::oneColumnLoop()
{
    ScrollLine line;
    line.update(bitmapOf(1), 0, 800, 5, ColorTheme::greenRed, 1, 1, 0);
    QCOMPARE(line.loopColumns(), 64);
    QCOMPARE(line.tiles().size(), 1);
    QCOMPARE(line.tiles()[0].image.width(), 64 * 5);
    QCOMPARE(line.columnsPerSecond(), 7.0);
}

void TestScrollLine::unchangedUpdateDoesNothing()
{
    ScrollLine line;
    line.update(bitmapOf(133), 0, 1440, 5, ColorTheme::greenRed, 3, 1, 0);
    const qint64 image = line.tiles()[0].image.cacheKey();
    QCOMPARE(line.update(bitmapOf(133), 0, 1440, 5, ColorTheme::greenRed, 3, 1, 4), ScrollLine::Change::none);
    QCOMPARE(line.anchorTime(), 0.0); // the motion goes on undisturbed
    QCOMPARE(line.anchorColumn(), 0.0);
    QCOMPARE(line.tiles()[0].image.cacheKey(), image);
}

void TestScrollLine::placementChangeKeepsTiles()
{
    ScrollLine line;
    line.update(bitmapOf(133), 0, 1440, 5, ColorTheme::greenRed, 3, 1, 0);
    const qint64 image = line.tiles()[0].image.cacheKey();
    QCOMPARE(line.update(bitmapOf(133), 55, 700, 5, ColorTheme::greenRed, 3, 1, 1), ScrollLine::Change::placement);
    QCOMPARE(line.tiles()[0].image.cacheKey(), image);
    QCOMPARE(line.copies(), 3);
    QCOMPARE(line.anchorColumn(), 21.0);

    // Content means bitmap, pitch, theme and scale: each rebuilds the tiles.
    QCOMPARE(line.update(bitmapOf(133), 55, 700, 5, ColorTheme::amber, 3, 1, 1), ScrollLine::Change::content);
    QCOMPARE(line.update(bitmapOf(133), 55, 700, 5, ColorTheme::amber, 3, 2, 1), ScrollLine::Change::content);
    QCOMPARE(line.update(bitmapOf(133), 55, 700, 6, ColorTheme::amber, 3, 2, 1), ScrollLine::Change::content);
    QCOMPARE(line.update(bitmapOf(133, 11, 2), 55, 700, 6, ColorTheme::amber, 3, 2, 1), ScrollLine::Change::content);
}

void TestScrollLine::speedChangeKeepsColumn()
{
    ScrollLine line;
    line.update(bitmapOf(133), 0, 1440, 5, ColorTheme::greenRed, 3, 1, 100);
    const double t = 100 + 40.0 / 21; // column 40 at the left edge
    QVERIFY(qAbs(line.columnAt(t) - 40) < 1e-9);
    QCOMPARE(line.update(bitmapOf(133), 0, 1440, 5, ColorTheme::greenRed, 6, 1, t), ScrollLine::Change::placement);
    QVERIFY(qAbs(line.anchorColumn() - 40) < 1e-9);
    QCOMPARE(line.columnsPerSecond(), 42.0);
    QVERIFY(qAbs(line.columnAt(t) - 40) < 1e-9);
    QVERIFY(qAbs(line.columnAt(t + 1) - 82) < 1e-9);
}

void TestScrollLine::pauseHoldsTheColumn()
{
    ScrollLine line;
    line.update(bitmapOf(133), 0, 1440, 5, ColorTheme::greenRed, 3, 1, 100);
    const double t0 = 100 + 40.0 / 21; // column 40
    QVERIFY(line.pause(t0));
    QVERIFY(!line.pause(t0 + 1)); // already paused
    QVERIFY(line.isPaused());
    QVERIFY(!line.isMoving());
    QVERIFY(qAbs(line.columnAt(t0 + 7) - 40) < 1e-9);
    // New content while paused stays where it stopped: still column 40.
    QCOMPARE(line.update(bitmapOf(140), 0, 1440, 5, ColorTheme::greenRed, 3, 1, t0 + 3), ScrollLine::Change::content);
    QVERIFY(qAbs(line.columnAt(t0 + 9) - 40) < 1e-9);
    // Resumed 10 s after the pause: no jump, and it moves on at its speed from there.
    QVERIFY(line.resume(t0 + 10));
    QVERIFY(!line.resume(t0 + 10));
    QVERIFY(line.isMoving());
    QVERIFY(qAbs(line.columnAt(t0 + 10) - 40) < 1e-9);
    QVERIFY(qAbs(line.columnAt(t0 + 11) - 61) < 1e-9);
}

void TestScrollLine::newLoopContinuesFromColumnReached()
{
    ScrollLine line;
    line.update(bitmapOf(133), 0, 1440, 5, ColorTheme::greenRed, 3, 1, 0);
    // Bring the anchor to column 100 at time 50.
    line.update(bitmapOf(133), 0, 1440, 5, ColorTheme::greenRed, 3, 1, 0); // unchanged, nothing happens
    line.update(bitmapOf(133), 1, 1440, 5, ColorTheme::greenRed, 3, 1, (100 + 133 * 3) / 21.0);
    QVERIFY(qAbs(line.anchorColumn() - 100) < 1e-9);
    const double anchorTime = line.anchorTime();
    line.update(bitmapOf(140), 1, 1440, 5, ColorTheme::greenRed, 3, 1, anchorTime + 5);
    QCOMPARE(line.loopColumns(), 140);
    QVERIFY(qAbs(line.anchorColumn() - 65) < 1e-9); // (100 + 5 × 21) mod 140
    QCOMPARE(line.anchorTime(), anchorTime + 5);
}

void TestScrollLine::clearing()
{
    ScrollLine line;
    line.update(bitmapOf(133), 0, 1440, 5, ColorTheme::greenRed, 3, 1, 7);
    QCOMPARE(line.update(std::nullopt, 0, 1440, 5, ColorTheme::greenRed, 3, 1, 9), ScrollLine::Change::cleared);
    QVERIFY(!line.isRunning());
    QVERIFY(!line.isMoving());
    QVERIFY(line.tiles().isEmpty());
    QVERIFY(!line.content());
    QVERIFY(!line.placement());
    QCOMPARE(line.anchorColumn(), 0.0);
    QCOMPARE(line.columnsPerSecond(), 0.0);
    QCOMPARE(line.anchorTime(), 7.0);
    QCOMPARE(line.loopColumns(), 133);
    QCOMPARE(line.update(std::nullopt, 0, 1440, 5, ColorTheme::greenRed, 3, 1, 9), ScrollLine::Change::none);

    // A zero width clears too, and the line starts again from column 0 afterwards.
    line.update(bitmapOf(10), 0, 1440, 5, ColorTheme::greenRed, 3, 1, 20);
    QCOMPARE(line.anchorColumn(), 0.0);
    QCOMPARE(line.update(bitmapOf(10), 0, 0, 5, ColorTheme::greenRed, 3, 1, 21), ScrollLine::Change::cleared);
    // A bitmap without columns never reaches the loop arithmetic.
    QCOMPARE(line.update(bitmapOf(0), 0, 100, 5, ColorTheme::greenRed, 3, 1, 21), ScrollLine::Change::none);
    QVERIFY(!line.isRunning());
}

void TestScrollLine::fractionalPitchTilesMeetExactly()
{
    // 5 points at 1.25 device pixels per point: 6.25 pixels per LED, rendered at cell 6 and
    // resampled once so consecutive tiles meet on whole pixels without gaps.
    ScrollLine line;
    line.update(bitmapOf(700, 11), 0, 1000, 5, ColorTheme::greenRed, 3, 1.25, 0);
    const auto &tiles = line.tiles();
    QCOMPARE(tiles.size(), 3); // 341 columns per tile at cell 6
    int expectedX = 0;
    for (const auto &tile : tiles) {
        QCOMPARE(tile.deviceX, expectedX);
        QCOMPARE(tile.image.height(), 69); // 11 × 6.25, rounded
        expectedX += tile.image.width();
    }
    QCOMPARE(expectedX, 4375); // 700 × 6.25
}

void TestScrollLine::paintPlacesTilesAtSnappedOffset()
{
    // Two columns of different kinds, so the painted picture shows where the loop starts.
    LedBitmap b = bitmapOf(64, 1, 0);
    b.cells[0] = 1;
    ScrollLine line;
    line.update(b, 2, 100, 4, ColorTheme::greenRed, 3, 1, 0);
    QImage canvas(100, 10, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::magenta);
    {
        QPainter painter(&canvas);
        QVERIFY(line.paint(painter, 63.3, 100)); // 253.2 pixels, snapped to 253
    }
    // Column 0 (the lit one) starts 3 pixels from the left: 256 − 253.
    const QRgb lit = canvas.pixel(5, 4);
    QCOMPARE(qGreen(lit), 242);
    QCOMPARE(qGreen(canvas.pixel(1, 4)), 27);   // column 63's off dot
    QCOMPARE(canvas.pixel(0, 0), QColor(Qt::magenta).rgba()); // above the line: untouched
    QVERIFY(canvas.pixel(99, 5) != QColor(Qt::magenta).rgba()); // the line reaches the right edge
}

void TestScrollLine::tilesRenderedAheadAreTakenOnlyForTheirContent()
{
    const LedBitmap bitmap = bitmapOf(700);
    const auto ahead = ScrollLine::render({bitmap, 5, ColorTheme::greenRed, 1});
    QCOMPARE(ahead->loopColumns, std::int64_t(700));
    QCOMPARE(ahead->loopPixels, 3500);
    QCOMPARE(ahead->tiles.size(), ahead->expectedTiles);

    // Made from this very content: the line shows those images, rendering nothing itself.
    ScrollLine line;
    QCOMPARE(line.update(bitmap, 0, 1920, 5, ColorTheme::greenRed, 3, 1, 0, ahead), ScrollLine::Change::content);
    QCOMPARE(line.tiles().size(), ahead->tiles.size());
    QCOMPARE(line.tiles().first().image.cacheKey(), ahead->tiles.first().image.cacheKey());
    QCOMPARE(line.loopPixels(), 3500);

    // Made for another theme or pixel density: the line renders its own, equal to a fresh render.
    ScrollLine other;
    other.update(bitmap, 0, 1920, 5, ColorTheme::amber, 3, 2, 0, ahead);
    QVERIFY(other.tiles().first().image.cacheKey() != ahead->tiles.first().image.cacheKey());
    const auto expected = ScrollLine::render({bitmap, 5, ColorTheme::amber, 2});
    QCOMPARE(other.loopPixels(), expected->loopPixels);
    QCOMPARE(other.tiles().first().image, expected->tiles.first().image);
}

void TestScrollLine::wholePixelLedsAtFractionalScale()
{
    BandLines lines;
    lines.bitmap = bitmapOf(300, 7);
    lines.newsBitmap = bitmapOf(300, 7);
    lines.pitch = 5;

    // Resampled to the exact pitch by default: 7.5 device pixels an LED at 1.5.
    QVERIFY(lines.layout(1280, 1.5, 0));
    QCOMPARE(lines.shownPitch(), 5.0);
    QCOMPARE(lines.quotesLine().loopPixels(), int(std::llround(lines.quotesLine().loopColumns() * 7.5)));

    // Whole pixels: the 7 that fit in 7.5, with no resampling, the news line right under the quotes.
    QVERIFY(lines.layout(1280, 1.5, 0, true));
    QCOMPARE(lines.shownPitch() * 1.5, 7.0);
    const ScrollLine &quotes = lines.quotesLine();
    QCOMPARE(quotes.content()->pitch, lines.shownPitch());
    QCOMPARE(quotes.loopPixels(), int(quotes.loopColumns() * 7));
    QCOMPARE(quotes.height() * 1.5, 49.0);
    QCOMPARE(lines.newsLine().placement()->y, 7 * lines.shownPitch());
    for (const ScrollLine::Tile &tile : quotes.tiles()) {
        QCOMPARE(tile.deviceX % 7, 0);
        QCOMPARE(tile.image.width() % 7, 0);
    }

    // Whole scales already give whole pixels: nothing changes there.
    QVERIFY(lines.layout(1280, 2, 0, true));
    QCOMPARE(lines.shownPitch(), 5.0);
}

QTEST_GUILESS_MAIN(TestScrollLine)
#include "TestScrollLine.moc"
