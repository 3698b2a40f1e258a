#include "types/MarketHours.h"

#include <QTest>
#include <QTimeZone>

namespace {

QDateTime utc(int month, int day, int hour, int minute = 0)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute), Qt::UTC);
}

/** Euronext Paris's regular session on a day of March 2026 before the change to summer time: 09:00–17:30 CET. */
MarketSession paris(int day)
{
    MarketSession session;
    session.regular = TradingPeriod{utc(3, day, 8), utc(3, day, 16, 30)};
    session.timeZone = QStringLiteral("Europe/Paris");
    session.utcOffsetSeconds = 3600;
    return session;
}

} // namespace

class TestMarketHours : public QObject
{
    Q_OBJECT
private slots:
    void marketsWithoutSessionOrAllDayNeverClose()
    {
        MarketSession none;
        QVERIFY(MarketHours::isAllDay(none));
        QVERIFY(!MarketHours::closure(none, utc(3, 2, 3)));

        MarketSession crypto;
        crypto.regular = TradingPeriod{utc(3, 2, 0), utc(3, 2, 23, 59)};
        QVERIFY(MarketHours::isAllDay(crypto));
        QVERIFY(!MarketHours::closure(crypto, utc(3, 3, 12)));

        QVERIFY(!MarketHours::isAllDay(paris(2)));
    }

    void openDuringTheSessionClosedFromItsEnd()
    {
        const MarketSession session = paris(2);
        QVERIFY(!MarketHours::closure(session, utc(3, 2, 8)));
        QVERIFY(!MarketHours::closure(session, utc(3, 2, 16, 29)));
        const auto closed = MarketHours::closure(session, utc(3, 2, 16, 30));
        QVERIFY(closed);
        QCOMPARE(closed->lastClose, utc(3, 2, 16, 30));
        QCOMPARE(closed->nextOpen, utc(3, 3, 8));
    }

    void beforeTheSessionTheLastCloseIsTheDayBefore()
    {
        const auto closed = MarketHours::closure(paris(3), utc(3, 3, 6));
        QVERIFY(closed);
        QCOMPARE(closed->nextOpen, utc(3, 3, 8));
        QCOMPARE(closed->lastClose, utc(3, 2, 16, 30));
    }

    void aWeekendNamingMondaysSessionClosedOnFriday()
    {
        // Saturday 7 March; the service already names Monday the 9th's session.
        const auto closed = MarketHours::closure(paris(9), utc(3, 7, 10));
        QVERIFY(closed);
        QCOMPARE(closed->lastClose, utc(3, 6, 16, 30));
        QCOMPARE(closed->nextOpen, utc(3, 9, 8));
    }

    void anOldSessionOpensNextAfterNow()
    {
        // A value kept for ten days: the next opening is still the first one after now.
        const auto closed = MarketHours::closure(paris(2), utc(3, 12, 9));
        QVERIFY(closed);
        QCOMPARE(closed->lastClose, utc(3, 2, 16, 30));
        QCOMPARE(closed->nextOpen, utc(3, 13, 8));
    }

    void openingsKeepTheirLocalTimeAcrossSummerTime()
    {
        // Summer time starts on 29 March 2026 in Paris: 09:00 is then 07:00 UTC.
        MarketSession session = paris(27);
        const auto closed = MarketHours::closure(session, utc(3, 29, 8));
        QVERIFY(closed);
        QCOMPARE(closed->nextOpen, utc(3, 30, 7));

        // With only the offset known, days are counted in that fixed offset.
        session.timeZone.clear();
        QCOMPARE(MarketHours::closure(session, utc(3, 29, 8))->nextOpen, utc(3, 30, 8));
    }

    void theZoneIsTheNamedOneElseTheOffsetElseUtc()
    {
        MarketSession session;
        session.timeZone = QStringLiteral("America/New_York");
        session.utcOffsetSeconds = -18000;
        QCOMPARE(MarketHours::zone(session).id(), QByteArray("America/New_York"));
        session.timeZone = QStringLiteral("Nowhere/Atlantis");
        QCOMPARE(MarketHours::zone(session).offsetFromUtc(utc(3, 2, 12)), -18000);
        session.utcOffsetSeconds.reset();
        QCOMPARE(MarketHours::zone(session), QTimeZone::utc());
    }
};

QTEST_GUILESS_MAIN(TestMarketHours)
#include "TestMarketHours.moc"
