#include "data/Staleness.h"

#include <QtTest>

class TestStaleness : public QObject
{
    Q_OBJECT

private slots:
    void stocksAfterThreePeriods()
    {
        const QDateTime now(QDate(2026, 3, 10), QTime(15, 0), Qt::LocalTime);
        Quote quote;
        QVERIFY(!Staleness::isStale(quote, ItemKind::quote, StockProvider::yahoo, now)); // a placeholder
        quote.at = now.addSecs(-180);
        QVERIFY(!Staleness::isStale(quote, ItemKind::quote, StockProvider::yahoo, now));
        quote.at = now.addSecs(-181);
        QVERIFY(Staleness::isStale(quote, ItemKind::quote, StockProvider::yahoo, now));
        QVERIFY(!Staleness::isStale(quote, ItemKind::quote, StockProvider::twelveData, now));
        quote.at = now.addSecs(-1801);
        QVERIFY(Staleness::isStale(quote, ItemKind::quote, StockProvider::twelveData, now));
    }

    void scheduledValuesAfterTwoMissedSlots()
    {
        // Slots at 9:00, 12:30 and 17:00: at 15:00 the last slot is 12:30 and the one before it 9:00.
        const QDateTime now(QDate(2026, 3, 10), QTime(15, 0), Qt::LocalTime);
        Quote quote;
        quote.at = QDateTime(QDate(2026, 3, 10), QTime(9, 0), Qt::LocalTime);
        QVERIFY(!Staleness::isStale(quote, ItemKind::metal, StockProvider::yahoo, now));
        quote.at = QDateTime(QDate(2026, 3, 10), QTime(8, 59), Qt::LocalTime);
        QVERIFY(Staleness::isStale(quote, ItemKind::weather, StockProvider::yahoo, now));
        // Early in the morning the last slot is yesterday's 17:00 and the one before it 12:30.
        const QDateTime morning(QDate(2026, 3, 10), QTime(7, 0), Qt::LocalTime);
        quote.at = QDateTime(QDate(2026, 3, 9), QTime(13, 0), Qt::LocalTime);
        QVERIFY(!Staleness::isStale(quote, ItemKind::metal, StockProvider::yahoo, morning));
        quote.at = QDateTime(QDate(2026, 3, 9), QTime(12, 0), Qt::LocalTime);
        QVERIFY(Staleness::isStale(quote, ItemKind::metal, StockProvider::yahoo, morning));
    }

    void flagsFollowTheItemsKinds()
    {
        const QDateTime now(QDate(2026, 3, 10), QTime(15, 0), Qt::LocalTime);
        const WatchItem weather{QUuid::createUuid(), ItemKind::weather, "Paris", "PARIS", std::nullopt};
        Quote forecast;
        forecast.id = weather.id;
        forecast.at = now.addSecs(-3600); // an hour old: fresh for weather
        Quote stock;
        stock.id = QUuid::createUuid(); // not in the list: counted as a stock
        stock.at = now.addSecs(-3600);
        QCOMPARE(Staleness::flags({forecast, stock, Quote{}}, {weather}, StockProvider::twelveData, now),
                 (QList<bool>{false, true, false}));
    }
};

QTEST_GUILESS_MAIN(TestStaleness)
#include "TestStaleness.moc"
