#include "line/LineTargets.h"

#include <QTest>

namespace {

QDateTime utc(int day, int hour, int minute = 0)
{
    return QDateTime(QDate(2026, 3, day), QTime(hour, minute), Qt::UTC);
}

/** A New York stock: regular session 09:30–16:00 EST on 2 March 2026 (14:30–21:00 UTC). */
Quote newYorkQuote()
{
    Quote quote;
    quote.name = QStringLiteral("AAPL");
    quote.price = QStringLiteral("687.30");
    quote.change = 1.25;
    quote.at = utc(2, 22);
    MarketSession market;
    market.regular = TradingPeriod{utc(2, 14, 30), utc(2, 21)};
    market.timeZone = QStringLiteral("America/New_York");
    market.utcOffsetSeconds = -18000;
    quote.market = market;
    return quote;
}

} // namespace

class TestMarketTooltip : public QObject
{
    Q_OBJECT
private slots:
    void closedMarketSaysWhenItOpensInTheExchangesTime()
    {
        // Whatever this machine's zone, the opening is told as the exchange reads it.
        const Quote quote = newYorkQuote();
        QCOMPARE(LineTargets::marketLines(quote, utc(2, 23)),
                 QStringList{QStringLiteral("Marché fermé — ouvre à 09:30")});
        // Before the session, the same.
        QCOMPARE(LineTargets::marketLines(quote, utc(2, 12)),
                 QStringList{QStringLiteral("Marché fermé — ouvre à 09:30")});
        // Open: nothing to say.
        QVERIFY(LineTargets::marketLines(quote, utc(2, 15)).isEmpty());

        Quote paris = quote;
        paris.market->regular = TradingPeriod{utc(2, 8), utc(2, 16, 30)};
        paris.market->timeZone = QStringLiteral("Europe/Paris");
        QCOMPARE(LineTargets::marketLines(paris, utc(2, 18)),
                 QStringList{QStringLiteral("Marché fermé — ouvre à 09:00")});
    }

    void extendedHoursPricesWhereKnown()
    {
        Quote quote = newYorkQuote();
        quote.market->preMarketPrice = 612.4;
        quote.market->postMarketPrice = 12345.6;
        QCOMPARE(LineTargets::marketLines(quote, utc(2, 15)),
                 (QStringList{QStringLiteral("Avant-Bourse : 612.40"), QStringLiteral("Après-Bourse : 12346")}));
    }

    void cryptoAndQuotesWithoutHoursSayNothing()
    {
        Quote quote = newYorkQuote();
        quote.market->regular = TradingPeriod{utc(2, 0), utc(2, 23, 59)};
        QVERIFY(LineTargets::marketLines(quote, utc(3, 0, 30)).isEmpty());
        quote.market.reset();
        QVERIFY(LineTargets::marketLines(quote, utc(2, 23)).isEmpty());
    }

    void quoteTooltipCarriesTheMarketLineAfterTheValue()
    {
        const Quote quote = newYorkQuote();
        const WatchItem item{QUuid::createUuid(), ItemKind::quote, QStringLiteral("AAPL"), QStringLiteral("AAPL"),
                             std::nullopt};
        const QStringList lines = LineTargets::quoteTarget(quote, &item, false, utc(2, 23)).tooltip.split(u'\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.at(0), QStringLiteral("AAPL"));
        QCOMPARE(lines.at(1), QStringLiteral("687.30  +1.25 %"));
        QCOMPARE(lines.at(2), QStringLiteral("Marché fermé — ouvre à 09:30"));
        QVERIFY(lines.at(3).startsWith(QStringLiteral("Valeur de ")));

        // The same quote during the session has its usual three lines.
        QCOMPARE(LineTargets::quoteTarget(quote, &item, false, utc(2, 15)).tooltip.count(u'\n'), 2);
        // A metal never shows market hours, even if a quote carried them.
        WatchItem metal = item;
        metal.kind = ItemKind::metal;
        QVERIFY(!LineTargets::quoteTarget(quote, &metal, false, utc(2, 23)).tooltip.contains(QStringLiteral("Marché")));
    }
};

QTEST_GUILESS_MAIN(TestMarketTooltip)
#include "TestMarketTooltip.moc"
