#include "LedTestUtil.h"

#include "led/Grid.h"
#include "led/HDFont.h"
#include "types/Kind.h"
#include "types/LedBitmap.h"
#include "led/PixelFont.h"
#include "led/TextFold.h"

#include <QtTest>

using LedTestUtil::picture;

class TestPixelFont : public QObject
{
    Q_OBJECT

private:
    static QStringList drawn(const QString &text, bool bold, int x = 0, int w = 40)
    {
        Grid grid(w, 9);
        PixelFont(bold).draw(grid, text, x, 1, Kind::name);
        return picture(grid);
    }

private slots:
    void kindsAndBitmaps()
    {
        // Cells store the raw values 0 to 7; from 8 up they are the stale variants of those.
        QCOMPARE(std::uint8_t(Kind::rain), std::uint8_t(7));
        QCOMPARE(std::uint8_t(Kind::off), std::uint8_t(0));
        QCOMPARE(staleRaw(std::uint8_t(Kind::rain)), std::uint8_t(15));
        QCOMPARE(staleRaw(staleOffset), staleOffset);
        QCOMPARE(staleRaw(255), std::uint8_t(255));

        const LedBitmap a{2, 1, {0, 1}};
        QVERIFY(a == (LedBitmap{2, 1, {0, 1}}));
        QVERIFY(a != (LedBitmap{2, 1, {0, 2}}));
        QVERIFY(a != (LedBitmap{1, 2, {0, 1}}));
    }

    void gridDropsWritesOutside()
    {
        Grid grid(3, 2);
        QCOMPARE(grid.cells().size(), std::size_t(6));
        QCOMPARE(LedTestUtil::litCount(grid.cells()), 0);
        grid.set(-1, 0, Kind::name);
        grid.set(3, 0, Kind::name);
        grid.set(0, -1, Kind::name);
        grid.set(0, 2, Kind::name);
        QCOMPARE(LedTestUtil::litCount(grid.cells()), 0);
        grid.set(2, 1, Kind::rain);
        QCOMPARE(grid.at(2, 1), std::uint8_t(7));
        const LedBitmap bitmap = grid.takeBitmap();
        QCOMPARE(bitmap.w, 3);
        QCOMPARE(bitmap.h, 2);
        QCOMPARE(bitmap.at(2, 1), std::uint8_t(7));
        QCOMPARE(bitmap.cells[5], std::uint8_t(7));
    }

    void glyphTable()
    {
        // 59 glyphs in the table, each character once.
        const auto &glyphs = PixelFont::glyphs();
        QCOMPARE(glyphs.size(), 59);
        QCOMPARE(glyphs.value(u'.').width, 2);
        QCOMPARE(glyphs.value(u' ').width, 3);
        QCOMPARE(glyphs.value(u'\'').width, 1);
        QCOMPARE(glyphs.value(u'"').width, 3);
        QCOMPARE(glyphs.value(QChar(0x25B2)).width, 5);
        QVERIFY(!glyphs.contains(u'a'));
        QVERIFY(!glyphs.contains(u'#'));
        // Row 6 of "!" is lit, row 5 is not.
        QVERIFY(glyphs.value(u'!').lit(6, 0));
        QVERIFY(!glyphs.value(u'!').lit(5, 0));
    }

    void advancesAndWidths()
    {
        const PixelFont thin(false);
        const PixelFont bold(true);
        QCOMPARE(thin.width(QString()), 0);
        QCOMPARE(bold.width(QString()), 0);
        QCOMPARE(thin.width("A"), 5);
        QCOMPARE(bold.width("A"), 6);
        QCOMPARE(thin.width("AB"), 11);
        QCOMPARE(bold.width("AB"), 13);
        QCOMPARE(thin.width("1.5"), 14);
        QCOMPARE(thin.width(" "), 3);
        QCOMPARE(bold.width("  "), 9);
        QCOMPARE(thin.width("#"), 5);
        QCOMPARE(thin.width("#A"), 11);
        QCOMPARE(bold.width("#A"), 13);
        QCOMPARE(thin.width(QString::fromUtf8("▲0.50%")), 32);
    }

    void emptyTextDrawsNothing()
    {
        Grid grid(10, 9);
        PixelFont(true).draw(grid, QString(), 0, 0, Kind::name);
        QCOMPARE(LedTestUtil::litCount(grid.cells()), 0);
    }

    void drawsGlyphRows()
    {
        const QStringList rows = drawn("1", false, 0, 6);
        QCOMPARE(rows, QStringList(
                           {"......", "..1...", ".11...", "..1...", "..1...", "..1...", "..1...", ".111..", "......"}));
    }

    void boldSmearsOneColumnRight()
    {
        const QStringList rows = drawn("L", true, 0, 8);
        QCOMPARE(rows[1], QString("11......"));
        QCOMPARE(rows[7], QString("111111.."));
        // The rightmost lit column of "-" lights the column the thin advance would leave blank.
        const QStringList dash = drawn("-A", true, 0, 14);
        QCOMPARE(dash[4], QString("111111.111111."));
        QCOMPARE(drawn("-A", false, 0, 14)[4], QString("11111.11111..."));
    }

    void foldsCaseAndDiacritics()
    {
        QCOMPARE(drawn("abc", false), drawn("ABC", false));
        QCOMPARE(drawn(QString::fromUtf8("é"), false), drawn("E", false));
        QCOMPARE(drawn(QString::fromUtf8("Ç"), true), drawn("C", true));
        QCOMPARE(drawn(QString::fromUtf8("e\u0301t\u00E9"), false), drawn("ETE", false));
        QCOMPARE(drawn(QString::fromUtf8("ß"), false), drawn("SS", false));
        QCOMPARE(PixelFont(false).width(QString::fromUtf8("ß")), 11);
        QCOMPARE(TextFold::foldUpper(QString::fromUtf8("Noël à Besançon")), QString("NOEL A BESANCON"));
        // No decomposition: the letter is kept, and the pixel font shows it as "?".
        QCOMPARE(TextFold::foldDiacritics(QString::fromUtf8("Ø")), QString::fromUtf8("Ø"));
        QCOMPARE(drawn(QString::fromUtf8("Ø"), false), drawn("?", false));
    }

    void missingGlyphsAreQuestionMarks()
    {
        QCOMPARE(drawn("#", false), drawn("?", false));
        QCOMPARE(drawn("#*", true), drawn("??", true));
        // One user-perceived character, however many code points, is one "?".
        const QString thumb = QString::fromUtf8("👍🏽");
        const QString flag = QString::fromUtf8("🇫🇷");
        QCOMPARE(PixelFont(false).width(thumb), 5);
        QCOMPARE(PixelFont(false).width(flag + "A"), 11);
        QCOMPARE(drawn(flag, false), drawn("?", false));
        QCOMPARE(PixelFont(false).width("\r\n"), 5);
        QCOMPARE(PixelFont(false).width(QString::fromUtf8("\u00E9\u0328")), 5); // e with acute and ogonek
    }

    void clipsAtEdgesButKeepsAdvancing()
    {
        // "AB" at -6 in pixel: "A" lies wholly off the left edge, "B" starts at column 0.
        QCOMPARE(drawn("AB", false, -6, 10), drawn("B", false, 0, 10));
        // Partly off the left edge: only the visible columns of "B" remain.
        const QStringList partial = drawn("B", false, -3, 4);
        QCOMPARE(partial[1], QString("1..."));
        QCOMPARE(partial[2], QString(".1.."));
        // Partly off the right edge.
        const QStringList right = drawn("AB", true, 5, 10);
        const QStringList wide = drawn("AB", true, 5, 20);
        for (int r = 0; r < 9; ++r)
            QCOMPARE(right[r], wide[r].left(10));
        // Wholly outside: nothing lit and nothing corrupted.
        Grid grid(5, 3);
        PixelFont(true).draw(grid, "HELLO", 100, 0, Kind::up);
        PixelFont(true).draw(grid, "HELLO", -100, 0, Kind::up);
        PixelFont(true).draw(grid, "HELLO", 0, -20, Kind::up);
        QCOMPARE(LedTestUtil::litCount(grid.cells()), 0);
    }

    void drawingOnlyAddsCells()
    {
        Grid grid(6, 9);
        PixelFont(false).draw(grid, "+", 0, 1, Kind::up);
        PixelFont(false).draw(grid, "-", 0, 1, Kind::down);
        const QStringList rows = picture(grid);
        QCOMPARE(rows[4], QString("33333."));
        QCOMPARE(rows[3], QString("..2..."));
    }

    void hdFontWithoutGuiApplicationDrawsNothing()
    {
        // This test runs under a plain QCoreApplication: no font database to ask.
        const HDFont font;
        QCOMPARE(font.width("ABC"), 0);
        Grid grid(20, 19);
        font.draw(grid, "ABC", 0, 0, Kind::name);
        QCOMPARE(LedTestUtil::litCount(grid.cells()), 0);
    }

    void widthMatchesDrawnSpan()
    {
        for (const bool bold : {false, true}) {
            for (const QString &text : {QString("W"), QString("1.5"), QString("A B"), QString("%$"), QString("!")}) {
                Grid grid(60, 9);
                PixelFont(bold).draw(grid, text, 0, 0, Kind::name);
                const auto span = LedTestUtil::columnsOf(grid.cells(), grid.w(), grid.h(), 0);
                QCOMPARE(span.last + 1, PixelFont(bold).width(text));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestPixelFont)
#include "TestPixelFont.moc"
