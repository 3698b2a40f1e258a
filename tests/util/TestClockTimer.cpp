#include "FakeClock.h"
#include "util/Cancellation.h"
#include "util/ClockTimer.h"
#include "util/ClockWait.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

#include <qcoro/qcorotask.h>

#include <optional>

using namespace std::chrono_literals;

namespace {

/** Starts a wait; `result` is set when it ends. */
void startWait(std::chrono::milliseconds duration, Cancellation *cancellation, std::optional<bool> &result)
{
    QCoro::connect(waitOnClock(duration, cancellation), QCoreApplication::instance(),
                   [&result](bool whole) { result = whole; });
}

void drain()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace

class TestClockTimer : public QObject
{
    Q_OBJECT
private slots:
    void timersFireInOrderAsTheFakeClockPasses()
    {
        FakeClock clock;
        ClockTimer once;
        once.setSingleShot(true);
        ClockTimer every;
        QList<std::pair<QString, qint64>> fired;
        connect(&once, &ClockTimer::timeout, this, [&] { fired.append({"once", clock.monotonicMs()}); });
        connect(&every, &ClockTimer::timeout, this, [&] { fired.append({"every", clock.monotonicMs()}); });
        once.start(250ms);
        every.start(100ms);
        clock.advanceMs(99);
        QVERIFY(fired.isEmpty());
        clock.advanceMs(301);
        const QList<std::pair<QString, qint64>> expected{
            {"every", 100}, {"every", 200}, {"once", 250}, {"every", 300}, {"every", 400}};
        QCOMPARE(fired, expected);
        QVERIFY(!once.isActive());
        QVERIFY(every.isActive());

        // Stopping, restarting and dying all take the timer off the clock.
        every.stop();
        clock.advanceMs(1000);
        QCOMPARE(fired.size(), 5);
        {
            ClockTimer gone;
            gone.start(10ms);
            QCOMPARE(clock.pendingTimers(), 1);
        }
        QCOMPARE(clock.pendingTimers(), 0);
        every.start(100ms);
        every.start(500ms); // a restart counts from now
        clock.advanceMs(499);
        QCOMPARE(fired.size(), 5);
        clock.advanceMs(1);
        QCOMPARE(fired.size(), 6);
    }

    void zeroDelayFiresWithoutMovingTheClock()
    {
        FakeClock clock;
        ClockTimer timer;
        timer.setSingleShot(true);
        QSignalSpy spy(&timer, &ClockTimer::timeout);
        timer.start(0ms);
        QCOMPARE(spy.size(), 0); // never inside start()
        drain();
        QCOMPARE(spy.size(), 1);
        QCOMPARE(clock.monotonicMs(), 0);
    }

    void realTimeDrivesTimersWithoutAFakeClock()
    {
        ClockTimer timer;
        timer.setSingleShot(true);
        QSignalSpy spy(&timer, &ClockTimer::timeout);
        timer.start(1ms);
        QVERIFY(spy.wait(5000));
        QVERIFY(!timer.isActive());
    }

    void waitEndsWhenTheTimeHasPassed()
    {
        FakeClock clock;
        std::optional<bool> result;
        startWait(1000ms, nullptr, result);
        clock.advanceMs(999);
        drain();
        QVERIFY(!result);
        clock.advanceMs(1);
        drain();
        QCOMPARE(result, std::optional<bool>(true));
    }

    void cancellingEndsTheWaitOnTheNextPass()
    {
        FakeClock clock;
        Cancellation cancellation;
        std::optional<bool> result;
        startWait(std::chrono::hours(1), &cancellation, result);
        drain();
        QVERIFY(!result);
        cancellation.cancel();
        QVERIFY(!result); // the waiter never resumes inside cancel()
        drain();
        QCOMPARE(result, std::optional<bool>(false));
        QCOMPARE(clock.pendingTimers(), 0);

        // Already cancelled: over at once, no timer.
        std::optional<bool> again;
        startWait(10ms, &cancellation, again);
        drain();
        QCOMPARE(again, std::optional<bool>(false));
    }
};

QTEST_GUILESS_MAIN(TestClockTimer)
#include "TestClockTimer.moc"
