// The vertical blank counter as the server reports it: the time of each blank ahead, the
// interval measured over a long span, and jumps to another screen or a restarted counter.
#include "band/BlankClock.h"

#include <QTest>

#include <cmath>

class TestBlankClock : public QObject
{
    Q_OBJECT
private slots:
    void blanksAndTimesFromTheFirstReading();
    void intervalMeasuredOverTheLongestSpan();
    void jitterIsAveragedOutOfTheInterval();
    void aReadingOffThePredictionStartsAgain();
    void oldOrEmptyReadingsChangeNothing();
};

using Update = BlankClock::Update;

void TestBlankClock::blanksAndTimesFromTheFirstReading()
{
    BlankClock clock;
    QVERIFY(!clock.isKnown());
    QCOMPARE(clock.take({1000, 5'000'000}), Update::first);
    QVERIFY(clock.isKnown());
    // 60 Hz until measured: blank 1060 is a second later.
    QCOMPARE(clock.ustOf(1000), 5'000'000.0);
    QVERIFY(std::abs(clock.ustOf(1060) - 6'000'000.0) < 1e-6);
    QVERIFY(std::abs(clock.ustOf(999) - (5'000'000.0 - 1e6 / 60)) < 1e-6);
    // The blank shown is the last one whose time has come; never one before the reference.
    QCOMPARE(clock.mscAt(5'000'000), std::uint64_t{1000});
    QCOMPARE(clock.mscAt(5'016'666), std::uint64_t{1000});
    QCOMPARE(clock.mscAt(5'016'667), std::uint64_t{1001});
    QCOMPARE(clock.mscAt(6'000'001), std::uint64_t{1060});
    QCOMPARE(clock.mscAt(4'000'000), std::uint64_t{1000});
    // A second of frames is 60 blanks, half a blank more is 61.
    QCOMPARE(clock.blanksFor(1.0), std::uint64_t{60});
    QCOMPARE(clock.blanksFor(1.0 + 0.5 / 60), std::uint64_t{61});
}

void TestBlankClock::intervalMeasuredOverTheLongestSpan()
{
    // A 59.94 Hz screen reports every 30 blanks.
    const double interval = 1e6 / 59.94;
    BlankClock clock;
    const auto at = [&](std::uint64_t msc) {
        return BlankClock::Reading{msc, static_cast<std::uint64_t>(1'000'000 + std::llround(msc * interval))};
    };
    QCOMPARE(clock.take(at(0)), Update::first);
    QCOMPARE(clock.take(at(30)), Update::followed);
    // 30 blanks are too few to measure from: still 60 Hz, predicted from the newest reading.
    QCOMPARE(clock.intervalUs(), BlankClock::defaultIntervalUs);
    QCOMPARE(clock.reference()->msc, std::uint64_t{30});
    QCOMPARE(clock.take(at(60)), Update::followed);
    QVERIFY(std::abs(clock.intervalUs() - interval) < 0.02);
    // Further readings measure from the same baseline, ever more exactly; a second ahead of
    // the newest reading, the time is right to the microsecond.
    for (std::uint64_t msc = 90; msc <= 3000; msc += 30)
        QCOMPARE(clock.take(at(msc)), Update::followed);
    QVERIFY(std::abs(clock.intervalUs() - interval) < 0.001);
    QVERIFY(std::abs(clock.ustOf(3060) - static_cast<double>(at(3060).ust)) < 1.0);
    QCOMPARE(clock.blanksFor(1.0), std::uint64_t{60}); // 59.94 blanks: 60 fill the second
}

void TestBlankClock::jitterIsAveragedOutOfTheInterval()
{
    // A server that reports when its timer happened to fire, up to 2 ms late; the interval is
    // measured from the first reading, so its error shrinks with the span.
    const double interval = 1e6 / 60;
    BlankClock clock;
    const int late[] = {0, 1900, 300, 1200, 50, 2000, 700};
    std::uint64_t msc = 0;
    for (int i = 0; i < 100; ++i, msc += 61) {
        const auto ust = static_cast<std::uint64_t>(1'000'000 + std::llround(msc * interval) + late[i % 7]);
        QVERIFY(clock.take({msc, ust}) != Update::jumped);
    }
    QVERIFY2(std::abs(clock.intervalUs() - interval) < 2000.0 / 6000, qPrintable(QString::number(clock.intervalUs())));
}

void TestBlankClock::aReadingOffThePredictionStartsAgain()
{
    const double interval = BlankClock::defaultIntervalUs;
    const auto after = [&](double blanks) {
        return static_cast<std::uint64_t>(1'000'000 + std::llround(blanks * interval));
    };
    {
        // Reported 1.9 blanks late: still the same counter.
        BlankClock clock;
        clock.take({100, 1'000'000});
        QCOMPARE(clock.take({110, after(11.9)}), Update::followed);
        QCOMPARE(clock.reference()->msc, std::uint64_t{110});
    }
    {
        // 2.6 blanks off: a counter that restarted.
        BlankClock clock;
        clock.take({100, 1'000'000});
        QCOMPARE(clock.take({110, after(12.6)}), Update::jumped);
        QCOMPARE(clock.reference(), BlankClock::Reading({110, after(12.6)}));
    }
    {
        // The band moved to a screen whose counter is elsewhere: everything goes from there.
        BlankClock clock;
        clock.take({100, 1'000'000});
        clock.take({220, 3'000'000});
        QCOMPARE(clock.take({50'000, 3'100'000}), Update::jumped);
        QCOMPARE(clock.mscAt(3'100'000 + 20'000), std::uint64_t{50'001});
        QCOMPARE(clock.ustOf(50'060), 3'100'000 + 60 * clock.intervalUs());
        // The interval is measured again from there, not across the two counters.
        QCOMPARE(clock.take({50'030, 3'600'000}), Update::followed);
        QCOMPARE(clock.intervalUs(), 1e6 / 60);
        QCOMPARE(clock.take({50'060, 4'100'000 + 600}), Update::followed);
        QCOMPARE(clock.intervalUs(), 1'000'600.0 / 60);
    }
}

void TestBlankClock::oldOrEmptyReadingsChangeNothing()
{
    BlankClock clock;
    // A server that cannot tell the time of its blanks sends 0: no reference from that.
    QCOMPARE(clock.take({10, 0}), Update::ignored);
    QVERIFY(!clock.isKnown());
    clock.take({600, 10'000'000});
    // A report of an older blank, read late in a batch, leaves the reference on the newest.
    QCOMPARE(clock.take({570, 9'500'000}), Update::followed);
    QCOMPARE(clock.reference()->msc, std::uint64_t{600});
    QCOMPARE(clock.take({610, 0}), Update::ignored);
    QCOMPARE(clock.reference()->msc, std::uint64_t{600});
    // Forgotten: the next reading is a first one again, the interval measured so far stays.
    clock.take({660, 11'000'000 - 1'000});
    const double interval = clock.intervalUs();
    QVERIFY(interval != BlankClock::defaultIntervalUs);
    clock.reset();
    QVERIFY(!clock.isKnown());
    QCOMPARE(clock.take({5, 20'000'000}), Update::first);
    QCOMPARE(clock.intervalUs(), interval);
}

QTEST_GUILESS_MAIN(TestBlankClock)
#include "TestBlankClock.moc"
