#include "net/RequestBackoff.h"

#include <QTest>

using namespace std::chrono_literals;

namespace {

constexpr qint64 minute = 60 * 1000;
constexpr std::chrono::milliseconds noCap{std::chrono::hours(100)};

} // namespace

class TestRequestBackoff : public QObject
{
    Q_OBJECT
private slots:
    void doublesFromFiveMinutesUpToTheCap()
    {
        RequestBackoff backoff;
        QVERIFY(backoff.mayAsk("m", 0, false));
        qint64 now = 0;
        for (const qint64 expected : {5, 10, 20, 40, 60, 60}) {
            backoff.failed("m", now, 60min);
            QCOMPARE(*backoff.retryAtMs("m") - now, expected * minute);
            QVERIFY(!backoff.mayAsk("m", *backoff.retryAtMs("m") - 1, false));
            QVERIFY(backoff.mayAsk("m", *backoff.retryAtMs("m"), false));
            now = *backoff.retryAtMs("m");
        }
        // A slot closer than five minutes does not shorten the first wait.
        backoff.failed("near", 0, 2min);
        QCOMPARE(*backoff.retryAtMs("near"), 5 * minute);
        // Many failures never overflow.
        for (int i = 0; i < 100; ++i)
            backoff.failed("many", 0, noCap);
        QCOMPARE(*backoff.retryAtMs("many"), 100 * 60 * minute);

        backoff.succeeded("m");
        QVERIFY(backoff.mayAsk("m", now, false));
        QVERIFY(!backoff.retryAtMs("m"));
        QCOMPARE(backoff.failures("m"), 0);
        QVERIFY(!backoff.mayAsk("near", 0, false)); // keys are independent
    }

    void forcingGoesThroughAtMostOnceAMinute()
    {
        RequestBackoff backoff;
        backoff.failed("k", 1000, noCap);
        QVERIFY(!backoff.mayAsk("k", 1000 + minute - 1, true));
        QVERIFY(backoff.mayAsk("k", 1000 + minute, true));
        QVERIFY(!backoff.mayAsk("k", 1000 + minute, false));
        backoff.failed("k", 1000 + minute, noCap);
        QVERIFY(!backoff.mayAsk("k", 1000 + minute + 1, true));
        QCOMPARE(*backoff.retryAtMs("k"), 1000 + minute + 10 * minute);
    }

    void retryAfterWinsWhenLonger()
    {
        const QDateTime now(QDate(2026, 3, 2), QTime(10, 0), Qt::UTC);
        RequestBackoff backoff;
        backoff.failed("s", 0, noCap, "3600", now);
        QCOMPARE(*backoff.retryAtMs("s"), 60 * minute);
        backoff.failed("short", 0, noCap, "30", now);
        QCOMPARE(*backoff.retryAtMs("short"), 5 * minute);
        backoff.failed("date", 0, noCap, "Mon, 02 Mar 2026 12:00:00 GMT", now);
        QCOMPARE(*backoff.retryAtMs("date"), 120 * minute);
        backoff.failed("huge", 0, noCap, "99999999999999999999", now);
        QCOMPARE(*backoff.retryAtMs("huge"), RequestBackoff::longestRetryAfter.count());
        backoff.failed("junk", 0, noCap, "soon, please", now);
        QCOMPARE(*backoff.retryAtMs("junk"), 5 * minute);
    }

    void parsesBothRetryAfterForms()
    {
        const QDateTime now(QDate(2026, 3, 2), QTime(10, 0), Qt::UTC);
        QCOMPARE(RequestBackoff::parseRetryAfter(" 120 ", now), std::optional(std::chrono::milliseconds(120000)));
        QCOMPARE(RequestBackoff::parseRetryAfter("0", now), std::optional(std::chrono::milliseconds(0)));
        QCOMPARE(RequestBackoff::parseRetryAfter("Mon, 02 Mar 2026 10:00:30 GMT", now),
                 std::optional(std::chrono::milliseconds(30000)));
        // A date in the past asks for no wait at all.
        QCOMPARE(RequestBackoff::parseRetryAfter("Sun, 01 Mar 2026 10:00:00 GMT", now),
                 std::optional(std::chrono::milliseconds(0)));
        QVERIFY(!RequestBackoff::parseRetryAfter("", now));
        QVERIFY(!RequestBackoff::parseRetryAfter("-5", now));
        QVERIFY(!RequestBackoff::parseRetryAfter("1.5", now));
        QVERIFY(!RequestBackoff::parseRetryAfter("Mon, 02 Mar 2026 10:00:30 GMT", QDateTime()));
    }
};

QTEST_GUILESS_MAIN(TestRequestBackoff)
#include "TestRequestBackoff.moc"
