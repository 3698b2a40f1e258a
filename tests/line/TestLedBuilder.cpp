#include "LedTestUtil.h"

#include "led/Grid.h"
#include "led/HDFont.h"
#include "led/PixelFont.h"
#include "led/WeatherIconArt.h"
#include "line/LedBuilder.h"

#include <QtTest>

#include <cmath>
#include <limits>

using LedTestUtil::columnsOf;
using LedTestUtil::picture;

namespace {

Quote quote(const QString &name, const QString &price, std::optional<double> change = std::nullopt,
            std::optional<WeatherIcon> icon = std::nullopt)
{
    Quote q;
    q.name = name;
    q.price = price;
    q.change = change;
    q.icon = icon;
    return q;
}

// The cells of the columns [first, last] of a bitmap, as a grid of their own.
QStringList columns(const LedBitmap &bitmap, std::int64_t first, std::int64_t last)
{
    QStringList rows = picture(bitmap);
    for (QString &row : rows)
        row = row.mid(first, last - first + 1);
    return rows;
}

QStringList text(const LedFont &font, const QString &s, Kind kind, std::int64_t h)
{
    Grid grid(font.width(s, false), h);
    font.draw(grid, s, 0, font.yThin(), kind, false);
    return picture(grid);
}

QList<std::pair<std::int64_t, std::int64_t>> cellsOfKind(const LedBitmap &bitmap, Kind kind)
{
    QList<std::pair<std::int64_t, std::int64_t>> found;
    for (std::int64_t y = 0; y < bitmap.h; ++y) {
        for (std::int64_t x = 0; x < bitmap.w; ++x) {
            if (bitmap.at(x, y) == static_cast<std::uint8_t>(kind))
                found.append({x, y});
        }
    }
    return found;
}

} // namespace

class TestLedBuilder : public QObject
{
    Q_OBJECT

private slots:
    void rows()
    {
        QCOMPARE(LedBuilder::rows(FontStyle::pixel, BarVariant::thin), 11);
        QCOMPARE(LedBuilder::rows(FontStyle::pixelBold, BarVariant::thin), 11);
        QCOMPARE(LedBuilder::rows(FontStyle::pixelBold, BarVariant::thick), 22);
        QCOMPARE(LedBuilder::rows(FontStyle::hd, BarVariant::thin), 18);
        QCOMPARE(LedBuilder::rows(FontStyle::hd, BarVariant::thick), 36);
    }

    void workedExample()
    {
        const LedBitmap line =
            LedBuilder::build({quote("CAC 40", "7 512,30", 0.5)}, FontStyle::pixel, BarVariant::thin);
        QCOMPARE(line.w, 133);
        QCOMPARE(line.h, 11);
        const PixelFont font(false);
        QCOMPARE(columns(line, 0, 32), text(font, "CAC 40", Kind::name, 11));
        QCOMPARE(columns(line, 33, 36), columns(LedBitmap{4, 11, std::vector<std::uint8_t>(44, 0)}, 0, 3));
        QCOMPARE(columns(line, 37, 78), text(font, "7 512,30", Kind::name, 11));
        QCOMPARE(columns(line, 83, 114), text(font, QString::fromUtf8("▲0.50%"), Kind::up, 11));
        QCOMPARE(columnsOf(line.cells, line.w, line.h, 0).last, 126);
        QCOMPARE(cellsOfKind(line, Kind::dim),
                 (QList<std::pair<std::int64_t, std::int64_t>>{{125, 5}, {126, 5}, {125, 6}, {126, 6}}));
        QCOMPARE(columnsOf(line.cells, line.w, line.h, std::uint8_t(Kind::up)).first, 83);
        QCOMPARE(columnsOf(line.cells, line.w, line.h, std::uint8_t(Kind::name)).last, 78);

        // The variant only adds a news line elsewhere; the quotes line is the same.
        QCOMPARE(LedBuilder::build({quote("CAC 40", "7 512,30", 0.5)}, FontStyle::pixel, BarVariant::thick), line);
    }

    void withoutChange()
    {
        const LedBitmap line = LedBuilder::build({quote("CAC 40", "7 512,30")}, FontStyle::pixel, BarVariant::thin);
        QCOMPARE(line.w, 97);
        QCOMPARE(cellsOfKind(line, Kind::dim),
                 (QList<std::pair<std::int64_t, std::int64_t>>{{89, 5}, {90, 5}, {89, 6}, {90, 6}}));
        QVERIFY(cellsOfKind(line, Kind::up).isEmpty());
        QVERIFY(cellsOfKind(line, Kind::down).isEmpty());
        // A change that is not a number is shown as no change rather than as "NAN%".
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QCOMPARE(LedBuilder::build({quote("CAC 40", "7 512,30", nan)}, FontStyle::pixel, BarVariant::thin), line);
        QCOMPARE(LedBuilder::build({quote("CAC 40", "7 512,30", -inf)}, FontStyle::pixel, BarVariant::thin), line);
    }

    void changeTexts_data()
    {
        QTest::addColumn<double>("change");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("kind");
        QTest::newRow("zero") << 0.0 << QString::fromUtf8("▲0.00%") << int(Kind::up);
        QTest::newRow("negative zero") << -0.0 << QString::fromUtf8("▲0.00%") << int(Kind::up);
        QTest::newRow("tiny fall") << -0.001 << QString::fromUtf8("▼0.00%") << int(Kind::down);
        QTest::newRow("fall") << -1.234 << QString::fromUtf8("▼1.23%") << int(Kind::down);
        QTest::newRow("rise") << 12.5 << QString::fromUtf8("▲12.50%") << int(Kind::up);
    }

    void changeTexts()
    {
        QFETCH(double, change);
        QFETCH(QString, expected);
        QFETCH(int, kind);
        for (const FontStyle style : {FontStyle::pixel, FontStyle::pixelBold}) {
            const PixelFont font(style == FontStyle::pixelBold);
            const LedBitmap line = LedBuilder::build({quote("X", "1", change)}, style, BarVariant::thin);
            const int mn = font.width("X");
            const int mp = font.width("1");
            const int mc = font.width(expected);
            QCOMPARE(line.w, mn + 4 + mp + 4 + mc + 18);
            const std::int64_t start = mn + 4 + mp + 4;
            QCOMPARE(columns(line, start, start + mc - 1), text(font, expected, Kind(kind), 11));
        }
    }

    void iconInPixelStyles()
    {
        const LedBitmap line =
            LedBuilder::build({quote("PARIS", QString::fromUtf8("12°"), std::nullopt, WeatherIcon::sun)},
                              FontStyle::pixelBold, BarVariant::thin);
        const PixelFont font(true);
        const int mn = font.width("PARIS");
        const int mp = font.width(QString::fromUtf8("12°"));
        QCOMPARE(line.w, mn + 4 + 9 + 4 + mp + 18);
        Grid icon(9, 11);
        drawWeatherIcon(WeatherIcon::sun, icon, 0, 1, 9);
        QCOMPARE(columns(line, mn + 4, mn + 12), picture(icon));
        QCOMPARE(columns(line, mn + 17, mn + 16 + mp), text(font, QString::fromUtf8("12°"), Kind::name, 11));
        // The icon uses rows 1 to 9 only.
        for (const auto &cell : cellsOfKind(line, Kind::sun))
            QVERIFY(cell.second >= 1 && cell.second <= 9);
    }

    void itemsFollowEachOther()
    {
        const QList<Quote> quotes = {quote("AAPL", "189.20", 1.2), quote("BTC", "61 000", -3.0),
                                     quote("OR", "2 300", std::nullopt)};
        const LedBitmap line = LedBuilder::build(quotes, FontStyle::pixelBold, BarVariant::thin);
        std::int64_t x = 0;
        for (const Quote &q : quotes) {
            const LedBitmap one = LedBuilder::build({q}, FontStyle::pixelBold, BarVariant::thin);
            QCOMPARE(columns(line, x, x + one.w - 1), picture(one));
            x += one.w;
        }
        QCOMPARE(line.w, x);
    }

    void unknownCharactersInQuotesAreQuestionMarks()
    {
        const LedBitmap hash = LedBuilder::build({quote("A#B", "1*2")}, FontStyle::pixel, BarVariant::thin);
        const LedBitmap question = LedBuilder::build({quote("A?B", "1?2")}, FontStyle::pixel, BarVariant::thin);
        QCOMPARE(hash, question);
    }

    void emptyInputs()
    {
        for (const FontStyle style : {FontStyle::pixel, FontStyle::pixelBold, FontStyle::hd}) {
            const int h = LedBuilder::rows(style, BarVariant::thin);
            const LedBitmap empty = LedBuilder::build({}, style, BarVariant::thick);
            QCOMPARE(empty, (LedBitmap{1, h, std::vector<std::uint8_t>(static_cast<std::size_t>(h), 0)}));
            const LedBitmap nothing = LedBuilder::buildNews({}, QString(), style);
            QCOMPARE(nothing.w, 60);
            QCOMPARE(nothing.h, h);
            QCOMPARE(LedTestUtil::litCount(nothing.cells), 0);
        }
        // A quote with empty texts still takes its spacing and its dot.
        const LedBitmap blank = LedBuilder::build({quote(QString(), QString())}, FontStyle::pixel, BarVariant::thin);
        QCOMPARE(blank.w, 22);
        QCOMPARE(cellsOfKind(blank, Kind::dim).size(), 4);
    }

    void newsMessage()
    {
        const QString message = "Chargement des actualites...";
        const LedBitmap line = LedBuilder::buildNews({}, message, FontStyle::pixelBold);
        const PixelFont font(true);
        const int mw = font.width(message);
        QCOMPARE(line.w, mw + 60);
        QCOMPARE(line.h, 11);
        QCOMPARE(columns(line, 0, mw - 1), text(font, message, Kind::dim, 11));
        QCOMPARE(columnsOf(line.cells, line.w, line.h, 0).last, mw - 1);
        // The message shows only when there are no headlines.
        const LedBitmap news = LedBuilder::buildNews({{"Le Monde", "Titre"}}, message, FontStyle::pixelBold);
        QVERIFY(cellsOfKind(news, Kind::sun).size() > 0);
        QCOMPARE(news, LedBuilder::buildNews({{"Le Monde", "Titre"}}, QString(), FontStyle::pixelBold));
    }

    void newsHeadlines()
    {
        const QList<Headline> headlines = {{"Le Monde", QString::fromUtf8("L’été — 3…")}, {"AFP", "Pluie #2"}};
        const LedBitmap line = LedBuilder::buildNews(headlines, QString(), FontStyle::pixel);
        const PixelFont font(false);
        const int s1 = font.width("LE MONDE");
        const int t1 = font.width("L'ETE - 3...");
        const int s2 = font.width("AFP");
        const int t2 = font.width("PLUIE 2");
        QCOMPARE(line.w, (s1 + 8) + (t1 + 24) + (s2 + 8) + (t2 + 24));
        QCOMPARE(columns(line, 0, s1 - 1), text(font, "LE MONDE", Kind::sun, 11));
        QCOMPARE(columns(line, s1 + 8, s1 + 7 + t1), text(font, "L'ETE - 3...", Kind::name, 11));
        const std::int64_t e1 = s1 + 8 + t1 + 24;
        const std::int64_t e2 = e1 + s2 + 8 + t2 + 24;
        QCOMPARE(columns(line, e1, e1 + s2 - 1), text(font, "AFP", Kind::sun, 11));
        // "#" has no glyph: dropped from news text instead of shown as "?".
        QCOMPARE(columns(line, e1 + s2 + 8, e1 + s2 + 7 + t2), text(font, "PLUIE 2", Kind::name, 11));
        // One dot after each title, twelve columns before its end.
        QCOMPARE(cellsOfKind(line, Kind::dim), (QList<std::pair<std::int64_t, std::int64_t>>{{e1 - 12, 5},
                                                                                             {e1 - 11, 5},
                                                                                             {e2 - 12, 5},
                                                                                             {e2 - 11, 5},
                                                                                             {e1 - 12, 6},
                                                                                             {e1 - 11, 6},
                                                                                             {e2 - 12, 6},
                                                                                             {e2 - 11, 6}}));
        QCOMPARE(line.w, e2);
    }

    void staleQuotesUseTheirStaleKinds()
    {
        const QList<Quote> quotes{quote("AAA", "1", 0.5), quote("PARIS", "7", std::nullopt, WeatherIcon::sun),
                                  quote("CCC", "3", -0.5)};
        const LedBuilder::Line live = LedBuilder::buildLine(quotes, FontStyle::pixel);
        QCOMPARE(live.bitmap, LedBuilder::build(quotes, FontStyle::pixel, BarVariant::thick));
        QCOMPARE(LedBuilder::buildLine(quotes, FontStyle::pixel, {false, false, false}).bitmap, live.bitmap);
        QCOMPARE(LedBuilder::buildNewsLine({{"S", "T"}}, QString(), FontStyle::hd).bitmap,
                 LedBuilder::buildNews({{"S", "T"}}, QString(), FontStyle::hd));

        // Only the second item turns stale, icon and dot included; a short list leaves the rest live.
        const LedBuilder::Line stale = LedBuilder::buildLine(quotes, FontStyle::pixel, {false, true});
        QCOMPARE(stale.spans, live.spans);
        QCOMPARE(stale.bitmap.w, live.bitmap.w);
        const LineSpan middle = live.spans[1];
        int changed = 0;
        for (std::int64_t y = 0; y < live.bitmap.h; ++y) {
            for (std::int64_t x = 0; x < live.bitmap.w; ++x) {
                const std::uint8_t before = live.bitmap.at(x, y);
                const std::uint8_t after = stale.bitmap.at(x, y);
                const bool inside = x >= middle.start && x < middle.end;
                QCOMPARE(after, inside ? staleRaw(before) : before);
                changed += after != before;
            }
        }
        QVERIFY(changed > 20);
    }

    void linesStayBoundedWhateverTheyAreGiven()
    {
        // A megabyte title draws exactly as its cut form.
        const QString huge(1024 * 1024, QChar(u'W'));
        const QString cut = QString(Headline::maxTitleLength - 1, QChar(u'W')) + QChar(u'\u2026');
        QCOMPARE(LedBuilder::buildNews({{"AFP", huge}}, QString(), FontStyle::hd),
                 LedBuilder::buildNews({{"AFP", cut}}, QString(), FontStyle::hd));

        // Many long headlines: whole headlines are left out once the line is full.
        QList<Headline> many;
        for (int i = 0; i < 500; ++i)
            many.append({QStringLiteral("Source %1").arg(i), QString(2000, QChar(u'M'))});
        for (FontStyle style : {FontStyle::hd, FontStyle::pixel}) {
            const LedBitmap line = LedBuilder::buildNews(many, QString(), style);
            QVERIFY(line.w * line.h <= LedBuilder::maxLineCells);
            bool same = false;
            for (qsizetype n = 1; n <= 64 && !same; ++n)
                same = line == LedBuilder::buildNews(many.first(n), QString(), style);
            QVERIFY(same);
        }

        // Short headlines: at most maxNewsHeadlines of them.
        QList<Headline> tiny;
        for (int i = 0; i < 300; ++i)
            tiny.append({QStringLiteral("S"), QStringLiteral("T%1").arg(i)});
        QCOMPARE(LedBuilder::buildNews(tiny, QString(), FontStyle::pixelBold),
                 LedBuilder::buildNews(tiny.first(LedBuilder::maxNewsHeadlines), QString(), FontStyle::pixelBold));

        // The quotes line: names from the record are cut, and the line ends when it is full.
        const QString label(100000, QChar(u'Q')); // shared by every quote
        QList<Quote> quotes;
        for (int i = 0; i < 10000; ++i)
            quotes.append(quote(label, QStringLiteral("1,00"), 0.5));
        const LedBitmap line = LedBuilder::build(quotes, FontStyle::hd, BarVariant::thin);
        QVERIFY(line.w * line.h <= LedBuilder::maxLineCells);
        QVERIFY(line.w * line.h > LedBuilder::maxLineCells / 2);
    }

    void sanitize()
    {
        const QString raw = QString::fromUtf8("L’été — 3…");
        QCOMPARE(LedBuilder::sanitize(raw, false), QString("L'ETE - 3..."));
        QCOMPARE(LedBuilder::sanitize(raw, true), QString::fromUtf8("L'été - 3..."));
        for (const QChar c : LedBuilder::sanitize(raw, false))
            QVERIFY(PixelFont::glyphs().contains(c));
        QCOMPARE(LedBuilder::sanitize(QString::fromUtf8("«Œuvre» “cœur” ‘æ’ – a\u00A0b\u202Fc"), true),
                 QString::fromUtf8("\"OEuvre\" \"coeur\" 'ae' - a b c"));
        QCOMPARE(LedBuilder::sanitize(QString::fromUtf8("«Œuvre» “cœur” ‘æ’ – a\u00A0b\u202Fc"), false),
                 QString("\"OEUVRE\" \"COEUR\" 'AE' - A B C"));
        QCOMPARE(LedBuilder::sanitize("#1 * 2 = 2 @ 100% [ok]", false), QString("1  2 = 2  100% OK"));
        QCOMPARE(LedBuilder::sanitize(QString::fromUtf8("Straße Ørsted 👍🏽"), false), QString("STRASSE RSTED "));
        QCOMPARE(LedBuilder::sanitize(QString(), false), QString());
        QCOMPARE(LedBuilder::sanitize(QString(), true), QString());
    }

    void hdLines()
    {
        const HDFont font;
        const LedBitmap line =
            LedBuilder::build({quote("Paris", QString::fromUtf8("12°C"), std::nullopt, WeatherIcon::rain),
                               quote("CAC 40", "7 512,30", -0.4)},
                              FontStyle::hd, BarVariant::thin);
        QCOMPARE(line.h, 18);
        const int mn = font.width("Paris");
        const int mp = font.width(QString::fromUtf8("12°C"));
        const std::int64_t first = mn + 6 + 16 + 6 + mp + 18;
        const std::int64_t second =
            font.width("CAC 40") + 6 + font.width("7 512,30") + 6 + font.width(QString::fromUtf8("▼0.40%")) + 18;
        QCOMPARE(line.w, first + second);
        // The 16-cell sampled icon sits at row 1, gap columns after the name.
        Grid icon(16, 18);
        drawWeatherIcon(WeatherIcon::rain, icon, 0, 1, 16);
        QCOMPARE(columns(line, mn + 6, mn + 21), picture(icon));
        // Dots on rows 9 and 10, eight columns before each item's end.
        const auto dots = cellsOfKind(line, Kind::dim);
        QCOMPARE(dots.size(), 8);
        QVERIFY(dots.contains(std::pair<std::int64_t, std::int64_t>(first - 8, 9)));
        QVERIFY(dots.contains(std::pair<std::int64_t, std::int64_t>(first + second - 7, 10)));
        QVERIFY(!cellsOfKind(line, Kind::down).isEmpty());
        // Building again gives the same cells.
        QCOMPARE(LedBuilder::build({quote("Paris", QString::fromUtf8("12°C"), std::nullopt, WeatherIcon::rain),
                                    quote("CAC 40", "7 512,30", -0.4)},
                                   FontStyle::hd, BarVariant::thick),
                 line);

        // News text keeps its case and accents in hd.
        const LedBitmap news = LedBuilder::buildNews({{"AFP", QString::fromUtf8("Été")}}, QString(), FontStyle::hd);
        QCOMPARE(news.w, font.width("AFP") + 12 + font.width(QString::fromUtf8("Été")) + 24);
        QVERIFY(news != LedBuilder::buildNews({{"AFP", "ETE"}}, QString(), FontStyle::hd));
    }
};

QTEST_MAIN(TestLedBuilder)
#include "TestLedBuilder.moc"
