// The frame schedule of the timer-driven surfaces: on a fixed grid without drift, restarted
// after a stall.
#include "band/FramePacer.h"

#include <QTest>

class TestFramePacer : public QObject
{
    Q_OBJECT
private slots:
    void sixtyFramesASecondWithoutDrift();
    void lateFramesKeepTheGrid();
    void aStallRestartsFromNow();
};

namespace {
constexpr qint64 ms = 1000000;
constexpr qint64 interval = 16666667; // 60 Hz
} // namespace

void TestFramePacer::sixtyFramesASecondWithoutDrift()
{
    FramePacer pacer;
    qint64 now = 5 * ms;
    int wait = pacer.start(now, interval);
    int sixteen = 0;
    int seventeen = 0;
    // Each timer fires exactly when asked: 60 frames take one second, give or take the rounding.
    for (int frame = 0; frame < 60; ++frame) {
        ++(wait == 16 ? sixteen : seventeen);
        QVERIFY2(wait == 16 || wait == 17, qPrintable(QString::number(wait)));
        now += wait * ms;
        wait = pacer.next(now, interval);
    }
    QVERIFY(sixteen > 10 && seventeen > 10);
    QVERIFY(qAbs(now - (5 * ms + 60 * interval)) < ms);
    QCOMPARE(pacer.dueNs(), 5 * ms + 61 * interval);
}

void TestFramePacer::lateFramesKeepTheGrid()
{
    FramePacer pacer;
    pacer.start(0, interval);
    // The first frame runs 10 ms late: the next one waits less to come back on the grid.
    QCOMPARE(pacer.next(interval + 10 * ms, interval), 7);
    QCOMPARE(pacer.dueNs(), 2 * interval);
    // Drawn just as the one after it falls due: that one follows at once, still on the grid.
    QCOMPARE(pacer.next(3 * interval, interval), 0);
    QCOMPARE(pacer.dueNs(), 3 * interval);
}

void TestFramePacer::aStallRestartsFromNow()
{
    FramePacer pacer;
    pacer.start(0, interval);
    // Half a second without frames: no burst of catch-up frames, the next comes one interval on.
    const qint64 now = 500 * ms;
    QCOMPARE(pacer.next(now, interval), 17);
    QCOMPARE(pacer.dueNs(), now + interval);
    QCOMPARE(pacer.next(now + 17 * ms, interval), 16);
    // A new interval (another screen) counts from the grid reached.
    QCOMPARE(pacer.next(now + 2 * interval, 2 * interval), 33);
}

QTEST_GUILESS_MAIN(TestFramePacer)
#include "TestFramePacer.moc"
