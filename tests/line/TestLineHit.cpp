#include "line/LedBuilder.h"
#include "line/LineHit.h"
#include "line/LineTargets.h"

#include <QtTest>

namespace {

Quote quote(const QString &name, const QString &price, QUuid id = QUuid::createUuid())
{
    Quote q;
    q.id = id;
    q.name = name;
    q.price = price;
    return q;
}

using Col = std::optional<std::int64_t>;

} // namespace

class TestLineHit : public QObject
{
    Q_OBJECT

private slots:
    void columnWrapsOverLoopsAndCopies()
    {
        // A 100-column bitmap, 5-point LEDs: the loop is 100 columns.
        QCOMPARE(LineHit::columnAt(0, 0, 5, 100), Col(0));
        QCOMPARE(LineHit::columnAt(0, 4.99, 5, 100), Col(0));
        QCOMPARE(LineHit::columnAt(0, 5, 5, 100), Col(1));
        QCOMPARE(LineHit::columnAt(30.5, 2.4, 5, 100), Col(30));
        QCOMPARE(LineHit::columnAt(30.5, 2.6, 5, 100), Col(31));
        // Past the loop's end the next copy starts over: on a wide screen the same item shows twice.
        QCOMPARE(LineHit::columnAt(90, 50, 5, 100), Col(0));
        QCOMPARE(LineHit::columnAt(0, 1500 + 35, 5, 100), Col(7));
        // A loop of several whole bitmaps (a short line) repeats the bitmap inside the loop too.
        QCOMPARE(LineHit::columnAt(63.0, 0, 5, 21), Col(0));
        QCOMPARE(LineHit::columnAt(0, -5, 5, 100), Col(99));
        QCOMPARE(LineHit::columnAt(0, 0, 0, 100), Col(std::nullopt));
        QCOMPARE(LineHit::columnAt(0, 0, 5, 0), Col(std::nullopt));
        QCOMPARE(LineHit::columnAt(qQNaN(), 0, 5, 10), Col(std::nullopt));
    }

    void spansOfBothLinesAreFound()
    {
        const QList<Quote> quotes{quote("AAA", "1.00"), quote("BB", "22.00")};
        const LedBuilder::Line line = LedBuilder::buildLine(quotes, FontStyle::pixel);
        QCOMPARE(line.spans.size(), 2);
        const LineSpan first = line.spans[0];
        const LineSpan second = line.spans[1];
        QCOMPARE(first.start, std::int64_t(0));
        QCOMPARE(second.start, first.end);
        QCOMPARE(second.end, line.bitmap.w);
        // Every column of the item, its trailing dot included, belongs to it.
        for (std::int64_t c = 0; c < line.bitmap.w; ++c)
            QCOMPARE(LineHit::spanAt(line.spans, c)->index, c < first.end ? 0 : 1);
        QVERIFY(!LineHit::spanAt(line.spans, line.bitmap.w));
        QVERIFY(!LineHit::spanAt(line.spans, -1));
        // The second copy of the line on a wide screen: the point one loop further on.
        const double pitch = 4;
        const double x = pitch * (line.bitmap.w + first.end + 1);
        QCOMPARE(LineHit::spanAt(line.spans, 0, x, pitch, line.bitmap.w)->index, 1);
        // Scrolled so the second quote's last column is at the left edge, then wrapping to the first.
        QCOMPARE(LineHit::spanAt(line.spans, double(line.bitmap.w - 1), 0, pitch, line.bitmap.w)->index, 1);
        QCOMPARE(LineHit::spanAt(line.spans, double(line.bitmap.w - 1), pitch, pitch, line.bitmap.w)->index, 0);

        const QList<Headline> headlines{{"SRC", "TITLE ONE"}, {"OTHER", "TWO"}};
        const LedBuilder::Line news = LedBuilder::buildNewsLine(headlines, QString(), FontStyle::pixel);
        QCOMPARE(news.spans.size(), 4);
        const QList<std::pair<LineSpan::Part, int>> expected{{LineSpan::Part::source, 0},
                                                             {LineSpan::Part::title, 0},
                                                             {LineSpan::Part::source, 1},
                                                             {LineSpan::Part::title, 1}};
        for (int i = 0; i < 4; ++i) {
            const LineSpan span = news.spans[i];
            QCOMPARE(std::pair(span.part, span.index), expected[i]);
            QCOMPARE(LineHit::spanAt(news.spans, span.start), span);
            QCOMPARE(LineHit::spanAt(news.spans, span.end - 1), span);
        }
        // The title's span runs through the gap and the dot up to the next source.
        QCOMPARE(news.spans[1].end, news.spans[2].start);
        QCOMPARE(news.spans[3].end, news.bitmap.w);

        const LedBuilder::Line message = LedBuilder::buildNewsLine({}, "WAIT", FontStyle::pixel);
        QCOMPARE(message.spans, (QList<LineSpan>{{0, message.bitmap.w, LineSpan::Part::message, 0}}));
    }

    void quotePagesAreEscaped()
    {
        QCOMPARE(LineTargets::quotePage("^GSPC").toString(QUrl::FullyEncoded),
                 QStringLiteral("https://finance.yahoo.com/quote/%5EGSPC"));
        QCOMPARE(LineTargets::quotePage(" MC.PA ").toString(QUrl::FullyEncoded),
                 QStringLiteral("https://finance.yahoo.com/quote/MC.PA"));
        QCOMPARE(LineTargets::quotePage("EURUSD=X").toString(QUrl::FullyEncoded),
                 QStringLiteral("https://finance.yahoo.com/quote/EURUSD%3DX"));
        // Nothing in a symbol can leave the quote path.
        QCOMPARE(LineTargets::quotePage("../x?y#z").toString(QUrl::FullyEncoded),
                 QStringLiteral("https://finance.yahoo.com/quote/..%2Fx%3Fy%23z"));
        QVERIFY(LineTargets::quotePage("  ").isEmpty());
        // A whole segment of dots would climb out of /quote/ in the browser, escaped or not.
        QVERIFY(LineTargets::quotePage("..").isEmpty());
        QVERIFY(LineTargets::quotePage(" . ").isEmpty());
        QCOMPARE(LineTargets::quotePage("../../x").toString(QUrl::FullyEncoded),
                 QStringLiteral("https://finance.yahoo.com/quote/..%2F..%2Fx"));
        QCOMPARE(LineTargets::quotePage("...").path(QUrl::FullyEncoded), QStringLiteral("/quote/..."));
    }

    void tooltipsAreTidy()
    {
        // Overrides and isolates go; the text around them stays in its order.
        const QString rlo = QStringLiteral("abc\u202Egpj.exe\u202C \u2066x\u2069 \u202Ay\u202D");
        QCOMPARE(LineTargets::tidyTooltip(rlo), QStringLiteral("abcgpj.exe x y"));
        // Other marks of the text (letters of right-to-left scripts, the LRM) are the text's own.
        const QString hebrew = QStringLiteral("\u05E9\u05DC\u05D5\u05DD\u200E");
        QCOMPARE(LineTargets::tidyTooltip(hebrew), hebrew);

        // A 300-character word is cut into lines of at most 80; words wrap at a space.
        const QString word(300, u'W');
        const QStringList cut = LineTargets::tidyTooltip(word).split(u'\n');
        QCOMPARE(cut.size(), 4);
        QCOMPARE(cut.join(QString()), word);
        for (const QString &line : cut)
            QVERIFY(line.size() <= LineTargets::maxTooltipColumns);
        const QString words = QString(50, u'a') + u' ' + QString(50, u'b');
        QCOMPARE(LineTargets::tidyTooltip(words), QString(50, u'a') + u'\n' + QString(50, u'b'));
        QCOMPARE(LineTargets::tidyTooltip("short\nlines"), QStringLiteral("short\nlines"));

        // The band's tooltips go through it: a headline titled with one long word stays narrow.
        Headline headline;
        headline.source = QStringLiteral("Wire\u202E");
        headline.title = word;
        const QString tooltip = LineTargets::headlineTarget(headline, LineSpan::Part::title).tooltip;
        QVERIFY(!tooltip.contains(QChar(0x202E)));
        for (const QString &line : tooltip.split(u'\n'))
            QVERIFY(line.size() <= LineTargets::maxTooltipColumns);
        Quote quote;
        quote.name = QStringLiteral("\u2067") + word;
        quote.price = QStringLiteral("--");
        for (const QString &line : LineTargets::quoteTarget(quote, nullptr).tooltip.split(u'\n')) {
            QVERIFY(line.size() <= LineTargets::maxTooltipColumns);
            QVERIFY(!line.contains(QChar(0x2067)));
        }
    }

    void targetsOfEachKind()
    {
        const WatchItem stock{QUuid::createUuid(), ItemKind::quote, "^GSPC", "S&P 500", std::nullopt};
        Quote q = quote("S&P 500", "6 000.00", stock.id);
        q.change = -1.5;
        q.at = QDateTime(QDate(2020, 1, 6), QTime(9, 30));
        const LineTargets::Target target = LineTargets::quoteTarget(q, &stock);
        QCOMPARE(target.url, LineTargets::quotePage("^GSPC"));
        QVERIFY(target.tooltip.contains("S&P 500 (^GSPC)"));
        QVERIFY(target.tooltip.contains("6 000.00"));
        QVERIFY(target.tooltip.contains("-1.50 %"));
        QVERIFY(target.tooltip.contains(QLocale().toString(q.at, QLocale::ShortFormat)));
        QVERIFY(LineTargets::quoteTarget(q, &stock, true).tooltip.contains("depuis"));
        QVERIFY(!target.tooltip.contains("depuis"));

        const WatchItem gold{QUuid::createUuid(), ItemKind::metal, "XAU", "OR", std::nullopt};
        QVERIFY(LineTargets::quoteTarget(quote("OR", "2000.00", gold.id), &gold).url.isEmpty());
        const WatchItem paris{QUuid::createUuid(), ItemKind::weather, "Paris", "PARIS", "48.85,2.35"};
        Quote weather = quote("PARIS", QString::fromUtf8("12°C"), paris.id);
        weather.icon = WeatherIcon::rain;
        const LineTargets::Target rain = LineTargets::quoteTarget(weather, &paris);
        QVERIFY(rain.url.isEmpty());
        QCOMPARE(rain.tooltip, QString::fromUtf8("PARIS\n12°C, Pluie"));
        // A quote whose item left the watch list opens nothing.
        QVERIFY(LineTargets::quoteTarget(q, nullptr).url.isEmpty());

        Headline headline{"Le Monde",
                          "Un titre <b>entier</b>",
                          QUrl("https://lemonde.example/a"),
                          {},
                          QUrl("https://lemonde.example/")};
        QCOMPARE(LineTargets::headlineTarget(headline, LineSpan::Part::title).url, headline.link);
        QCOMPARE(LineTargets::headlineTarget(headline, LineSpan::Part::source).url, headline.site);
        QCOMPARE(LineTargets::headlineTarget(headline, LineSpan::Part::title).tooltip,
                 QStringLiteral("Le Monde\nUn titre <b>entier</b>"));
        headline.date = QDateTime(QDate(2020, 1, 7), QTime(18, 5));
        QVERIFY(LineTargets::headlineTarget(headline, LineSpan::Part::title)
                    .tooltip.endsWith(QLocale().toString(headline.date, QLocale::ShortFormat)));
        headline.site.clear();
        QVERIFY(LineTargets::headlineTarget(headline, LineSpan::Part::source).url.isEmpty());
        QVERIFY(LineTargets::headlineTarget(headline, LineSpan::Part::message).url.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLineHit)
#include "TestLineHit.moc"
