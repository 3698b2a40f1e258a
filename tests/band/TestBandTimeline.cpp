// The band's time against the monotonic clock: kept through the rounding of a real clock,
// anchored anew when the clock jumps, and exact for a clock moved by hand.
#include "band/BandTimeline.h"

#include "util/Clock.h"

#include <QTest>

#include "FakeClock.h"

class TestBandTimeline : public QObject
{
    Q_OBJECT
private slots:
    void followsTheMonotonicClock();
    void millisecondsOfRoundingMoveNothing();
    void aJumpAnchorsAnew();
    void aClockMovedByHandIsFollowedExactly();
};

namespace {
constexpr std::int64_t ms = 1'000'000;
constexpr std::int64_t second = 1000 * ms;
using Pace = BandTimeline::Pace;
} // namespace

void TestBandTimeline::followsTheMonotonicClock()
{
    BandTimeline timeline(0.002);
    QVERIFY(!timeline.isAnchored());
    // The first reading anchors: nothing was there to give it.
    QVERIFY(!timeline.follow(250.0, 7 * second));
    QVERIFY(timeline.isAnchored());
    QCOMPARE(timeline.pace(), Pace::real);
    // Frames ahead and behind take the band's time at their instant.
    QCOMPARE(timeline.at(7 * second), 250.0);
    QCOMPARE(timeline.at(8 * second + 500 * ms), 251.5);
    QCOMPARE(timeline.at(6 * second), 249.0);
    QVERIFY(std::abs(timeline.at(7 * second + 16'666'667) - 250.016666667) < 1e-9);
    // A reading on the line changes nothing; after forget() the next one anchors again.
    QVERIFY(timeline.follow(260.0, 17 * second));
    QCOMPARE(timeline.at(18 * second), 261.0);
    timeline.forget();
    QVERIFY(!timeline.isAnchored());
    QVERIFY(!timeline.follow(260.0, 17 * second));
}

void TestBandTimeline::millisecondsOfRoundingMoveNothing()
{
    // The process clock gives whole milliseconds: read at odd instants over a minute, it never
    // leaves the line by 2 ms, so the anchor, and the time of every frame asked for, stays.
    BandTimeline timeline(0.002);
    const std::int64_t start = 123 * second + 456'789;
    timeline.follow(static_cast<double>(start / ms) / 1000.0, start);
    const double anchored = timeline.at(start + 10 * second);
    for (std::int64_t now = start; now < start + 60 * second; now += 16'666'667 + 7 * ms) {
        const double band = static_cast<double>(now / ms) / 1000.0;
        QVERIFY2(timeline.follow(band, now), qPrintable(QString::number(now)));
    }
    QCOMPARE(timeline.at(start + 10 * second), anchored);
}

void TestBandTimeline::aJumpAnchorsAnew()
{
    BandTimeline timeline(0.003);
    timeline.follow(100.0, 10 * second);
    // Within the tolerance either way: kept.
    QVERIFY(timeline.follow(101.0025, 11 * second));
    QVERIFY(timeline.follow(101.9975, 12 * second));
    QCOMPARE(timeline.at(12 * second), 102.0);
    // Past it (a clock set back, a suspend the band's clock saw): anchored where it now stands.
    QVERIFY(!timeline.follow(102.0035, 12 * second));
    QCOMPARE(timeline.at(12 * second), 102.0035);
    QCOMPARE(timeline.at(13 * second), 103.0035);
    QVERIFY(!timeline.follow(50.0, 14 * second));
    QCOMPARE(timeline.at(15 * second), 51.0);
}

void TestBandTimeline::aClockMovedByHandIsFollowedExactly()
{
    {
        FakeClock clock;
        QCOMPARE(BandTimeline::paceOf(Clock::current()), Pace::standing);
    }
    QCOMPARE(BandTimeline::paceOf(Clock::current()), Pace::real);

    // Standing between its moves: every instant ahead has the time it stands at.
    BandTimeline timeline(0.003);
    QVERIFY(!timeline.follow(5.0, 40 * second, Pace::standing));
    QCOMPARE(timeline.pace(), Pace::standing);
    QCOMPARE(timeline.at(41 * second), 5.0);
    QVERIFY(timeline.follow(5.0, 42 * second, Pace::standing));
    // Each of its moves shows, however small.
    QVERIFY(!timeline.follow(5.001, 42 * second, Pace::standing));
    QCOMPARE(timeline.at(50 * second), 5.001);
    // Back to a real clock at the same time: anchored anew, moving from there.
    QVERIFY(!timeline.follow(5.001, 42 * second, Pace::real));
    QCOMPARE(timeline.at(43 * second), 6.001);
}

QTEST_GUILESS_MAIN(TestBandTimeline)
#include "TestBandTimeline.moc"
