// The X server's millisecond clock against ours: an offset taken from readings as good as
// their round trip, read again every 10 s, and no wait across the wrap of a 32-bit clock.
#include "band/ServerClock.h"

#include <QTest>

class TestServerClock : public QObject
{
    Q_OBJECT
private slots:
    void offsetFromAReading();
    void onlyAChangeLargerThanTheRoundTripCounts();
    void readAgainEveryTenSeconds();
    void noWaitAcrossTheWrap();
};

namespace {
constexpr std::int64_t ms = 1'000'000;
constexpr std::int64_t wrap = std::int64_t{1} << 32;
} // namespace

void TestServerClock::offsetFromAReading()
{
    ServerClock clock;
    QVERIFY(!clock.isKnown());
    // Read between 1000 and 1004 ms of ours: the server's 5000 ms stood against our 1002.
    QVERIFY(clock.take({5000, 1000, 1004}, 1004 * ms));
    QVERIFY(clock.isKnown());
    QCOMPARE(clock.offsetMs(), std::int64_t{3998});
    // A frame waits for the first server millisecond at or after its instant, never before it.
    QCOMPARE(clock.serverMsFor(2000 * ms), std::int64_t{5998});
    QCOMPARE(clock.serverMsFor(2000 * ms + 1), std::int64_t{5999});
    QCOMPARE(clock.serverMsFor(2001 * ms - 1), std::int64_t{5999});
    // A frame the server let go at its 5990 ms, seen at our 2000.4 ms, was shown 8 ms before
    // (to the millisecond the server counts in).
    QCOMPARE(clock.nsSince(5990, 2000 * ms + 400'000), 8 * ms);
    QCOMPARE(clock.nsSince(5998, 2000 * ms), std::int64_t{0});
}

void TestServerClock::onlyAChangeLargerThanTheRoundTripCounts()
{
    ServerClock clock;
    clock.take({5000, 1000, 1000}, 1000 * ms);
    // 6 ms off after a round trip of 4 ms: within what such a reading can tell.
    QVERIFY(!clock.take({15008, 11000, 11004}, 11004 * ms));
    QCOMPARE(clock.offsetMs(), std::int64_t{4000});
    // 7 ms off: a real change (the clock of a server that was suspended, say).
    QVERIFY(clock.take({25009, 21000, 21004}, 21004 * ms));
    QCOMPARE(clock.offsetMs(), std::int64_t{4007});
    // A slow reading (50 ms) moves nothing by 30 ms; a quick one does.
    QVERIFY(!clock.take({36062, 32000, 32050}, 32050 * ms));
    QCOMPARE(clock.offsetMs(), std::int64_t{4007});
    QVERIFY(clock.take({46040, 42000, 42000}, 42000 * ms));
    QCOMPARE(clock.offsetMs(), std::int64_t{4040});
    // Backwards counts the same.
    QVERIFY(clock.take({55990, 52000, 52000}, 52000 * ms));
    QCOMPARE(clock.offsetMs(), std::int64_t{3990});
}

void TestServerClock::readAgainEveryTenSeconds()
{
    ServerClock clock;
    QVERIFY(clock.isDue(0));
    clock.take({5000, 1000, 1000}, 1000 * ms);
    QVERIFY(!clock.isDue(1000 * ms));
    QVERIFY(!clock.isDue(11000 * ms - 1));
    QVERIFY(clock.isDue(11000 * ms));
    // Forgotten: read at the next look, and taken even when close to the old offset.
    clock.take({15001, 11000, 11000}, 11000 * ms);
    QCOMPARE(clock.offsetMs(), std::int64_t{4000});
    clock.forget();
    QVERIFY(!clock.isKnown());
    QVERIFY(clock.isDue(11001 * ms));
    QVERIFY(clock.take({15002, 11001, 11001}, 11001 * ms));
    QCOMPARE(clock.offsetMs(), std::int64_t{4001});
}

void TestServerClock::noWaitAcrossTheWrap()
{
    ServerClock clock;
    // A server counting in 32 bits, 10 s before its clock wraps to 0.
    QVERIFY(clock.take({wrap - 10'000, 1000, 1000}, 1000 * ms));
    QVERIFY(clock.canWaitFor(wrap - 2001));
    QVERIFY(!clock.canWaitFor(wrap - 2000)); // might wait for a time that never comes
    QVERIFY(!clock.canWaitFor(wrap + 5));
    // Frames due in the last 2 s before the wrap, in server time.
    QVERIFY(clock.canWaitFor(clock.serverMsFor(8999 * ms)));
    QVERIFY(!clock.canWaitFor(clock.serverMsFor(9000 * ms)));
    // Once wrapped, a reading finds the clock near 0: a new offset, and waits are fine again.
    QVERIFY(clock.take({600, 11'000, 11'000}, 11'000 * ms));
    QCOMPARE(clock.offsetMs(), std::int64_t{600 - 11'000});
    QVERIFY(clock.canWaitFor(clock.serverMsFor(12'000 * ms)));

    // A server counting in 64 bits, already past 32: no wrap to fear.
    ServerClock wide;
    wide.take({wrap + 100, 1000, 1000}, 1000 * ms);
    QVERIFY(wide.canWaitFor(wrap + 5000));
    QVERIFY(wide.canWaitFor(2 * wrap));
}

QTEST_GUILESS_MAIN(TestServerClock)
#include "TestServerClock.moc"
