#include "LedTestUtil.h"

#include "led/Grid.h"
#include "led/HDFont.h"

#include <QFontInfo>
#include <QtTest>

using LedTestUtil::picture;

class TestHDFont : public QObject
{
    Q_OBJECT

private:
    static Grid drawn(const QString &text, int x = 0, int y = 0, bool small = false, int h = 19)
    {
        const HDFont font;
        Grid grid(font.width(text, small) + 4, h);
        font.draw(grid, text, x, y, Kind::name, small);
        return grid;
    }

    static int lowestRow(const Grid &grid)
    {
        for (std::int64_t y = grid.h() - 1; y >= 0; --y) {
            for (std::int64_t x = 0; x < grid.w(); ++x) {
                if (grid.at(x, y))
                    return static_cast<int>(y);
            }
        }
        return -1;
    }

    static int highestRow(const Grid &grid)
    {
        for (std::int64_t y = 0; y < grid.h(); ++y) {
            for (std::int64_t x = 0; x < grid.w(); ++x) {
                if (grid.at(x, y))
                    return static_cast<int>(y);
            }
        }
        return -1;
    }

private slots:
    void metrics()
    {
        const HDFont font;
        QCOMPARE(font.hThin(), 18);
        QCOMPARE(font.hThick(), 30);
        QCOMPARE(font.sparkW(), 26);
        QCOMPARE(font.gap(), 6);
        QCOMPARE(font.yThin(), 1);
        QCOMPARE(font.yLine1(), 1);
        QCOMPARE(font.yLine2(), 15);
        QCOMPARE(HDFont::font(false).pixelSize(), 14);
        QCOMPARE(HDFont::font(true).pixelSize(), 12);
        QVERIFY(QFontInfo(HDFont::font(false)).bold());
    }

    void emptyText()
    {
        const HDFont font;
        QCOMPARE(font.width(QString()), 0);
        Grid grid(4, 19);
        font.draw(grid, QString(), 0, 0, Kind::name);
        QCOMPARE(LedTestUtil::litCount(grid.cells()), 0);
    }

    void widthIsTheRoundedUpAdvance()
    {
        const HDFont font;
        const int one = font.width("8");
        QVERIFY(one >= 7 && one <= 11);
        QVERIFY(font.width("88") >= 2 * one - 1);
        QVERIFY(font.width("Paris", true) < font.width("Paris"));
    }

    void sameCellsOnEveryRun()
    {
        const QString text = QString::fromUtf8("CAC 40 7 512,30 ▲0,50% Évian");
        const Grid first = drawn(text);
        QVERIFY(LedTestUtil::litCount(first.cells()) > 100);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(drawn(text).cells(), first.cells());
    }

    void inkStaysInsideTheRaster()
    {
        const HDFont font;
        const QString text = "HIMW";
        const Grid grid = drawn(text, 0, 0);
        const auto span = LedTestUtil::columnsOf(grid.cells(), grid.w(), grid.h(), 0);
        // One column of margin on the left (plus the glyph's own side bearing); the ink may
        // reach one column past the width.
        QVERIFY(span.first >= 1 && span.first <= 3);
        QVERIFY(span.last <= font.width(text) + 1);
        QVERIFY(span.last >= font.width(text) - 3);
        // Capitals stand on the baseline, three rows plus the descent above the bottom.
        const int bottom = lowestRow(grid);
        QVERIFY2(bottom >= 11 && bottom <= 13, qPrintable(QString::number(bottom)));
        QVERIFY(highestRow(grid) >= 1);
        // A descender reaches below the capitals; accents reach above them.
        QVERIFY(lowestRow(drawn("gjpq")) > bottom);
        QVERIFY(highestRow(drawn(QString::fromUtf8("ÉÈ"))) < highestRow(drawn("EE")));
    }

    void drawsAtTheGivenOrigin()
    {
        const Grid base = drawn("Hx", 0, 0, false, 22);
        const Grid moved = drawn("Hx", 2, 3, false, 22);
        for (std::int64_t y = 0; y + 3 < 22; ++y) {
            for (std::int64_t x = 0; x + 2 < base.w(); ++x)
                QCOMPARE(moved.at(x + 2, y + 3), base.at(x, y));
        }
        // In an 18-row line at row 1, raster rows beyond the grid are dropped silently.
        const Grid clipped = drawn("gjpq", 0, 1, false, 18);
        QVERIFY(LedTestUtil::litCount(clipped.cells()) > 0);
        // Drawn partly off the left edge: only the visible part remains.
        const Grid left = drawn("HH", -5, 0);
        for (std::int64_t y = 0; y < 19; ++y) {
            for (std::int64_t x = 0; x + 5 < left.w(); ++x)
                QCOMPARE(left.at(x, y), drawn("HH").at(x + 5, y));
        }
    }

    void smallRasterIsShorter()
    {
        const Grid grid = drawn("Hg", 0, 0, true, 25);
        QVERIFY(lowestRow(grid) < 17);
        QVERIFY(lowestRow(grid) < lowestRow(drawn("Hg", 0, 0, false, 25)));
    }

    void lowerCaseAndAccentsAreKept()
    {
        QVERIFY(drawn("abc").cells() != drawn("ABC").cells());
        QVERIFY(drawn(QString::fromUtf8("é")).cells() != drawn("e").cells());
    }

    void thresholdIsStrict()
    {
        QImage raster(4, 2, QImage::Format_Grayscale8);
        raster.fill(0);
        raster.scanLine(0)[0] = 110;
        raster.scanLine(0)[1] = 111;
        raster.scanLine(1)[2] = 255;
        raster.scanLine(1)[3] = 109;
        Grid grid(6, 4);
        HDFont::lightCells(grid, raster, 1, 1, Kind::sun);
        QCOMPARE(picture(grid), QStringList({"......", "..5...", "...5..", "......"}));
    }

    void longTextIsDrawnWhole()
    {
        // Wider than one drawing slice: the text continues across the slice boundaries.
        const QString text = QString("HELLO ").repeated(120);
        const HDFont font;
        const int w = font.width(text);
        QVERIFY(w > 5000);
        Grid grid(w + 2, 18);
        font.draw(grid, text, 0, 1, Kind::name);
        const auto span = LedTestUtil::columnsOf(grid.cells(), grid.w(), grid.h(), 0);
        QVERIFY(span.first >= 1 && span.first <= 3);
        QVERIFY(span.last > w - 60);
        // Nothing is lost around the places where one drawing slice ends and the next begins.
        for (std::int64_t boundary = 2048; boundary < w; boundary += 2048) {
            std::vector<std::uint8_t> around;
            for (std::int64_t y = 0; y < 18; ++y) {
                for (std::int64_t x = boundary - 30; x < boundary + 30; ++x)
                    around.push_back(grid.at(x, y));
            }
            QVERIFY(LedTestUtil::litCount(around) > 40);
        }
    }
};

QTEST_MAIN(TestHDFont)
#include "TestHDFont.moc"
