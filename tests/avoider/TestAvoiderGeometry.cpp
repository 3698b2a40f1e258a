#include "avoider/AvoiderGeometry.h"

#include <QTest>

using AvoiderGeometry::Change;
using AvoiderGeometry::plan;

namespace {

constexpr qint64 ownPid = 4242;
constexpr qint64 otherPid = 77;

// 1920x1080 with a 24-pixel panel across the top, like a menu bar.
const ScreenRecord mainScreen{QRectF(0, 0, 1920, 1080), QRectF(0, 24, 1920, 1056), 1.0};
const QRectF topBand(0, 24, 1920, 20);      // directly under the panel: edges 24 and 44
const QRectF bottomBand(0, 1060, 1920, 20); // at the bottom: edges 1060 and 1080

WindowRecord window(qreal x, qreal y, qreal w, qreal h, quint64 id = 1)
{
    WindowRecord record;
    record.id = id;
    record.pid = otherPid;
    record.frame = QRectF(x, y, w, h);
    return record;
}

/** The one change a sweep makes to `w`, or none. */
std::optional<Change> changeOf(const QRectF &band, const WindowRecord &w,
                               const QList<ScreenRecord> &screens = {mainScreen})
{
    const QList<Change> changes = plan(band, screens, {w}, ownPid);
    if (changes.isEmpty())
        return std::nullopt;
    return changes.first();
}

} // namespace

class TestAvoiderGeometry : public QObject
{
    Q_OBJECT
private slots:
    void topBandPushesWindowBelowIt()
    {
        // Top edge 10 under the band's top: moved to the band's bottom, short enough to keep.
        auto change = changeOf(topBand, window(100, 34, 800, 600));
        QVERIFY(change);
        QCOMPARE(change->top.value_or(-1), 44.0);
        QVERIFY(!change->height);

        // Taller than the room below the band: cut to that room.
        change = changeOf(topBand, window(100, 34, 800, 1050));
        QVERIFY(change);
        QCOMPARE(change->top.value_or(-1), 44.0);
        QCOMPARE(change->height.value_or(-1), 1080.0 - 44.0);

        // A window whose title bar sits above the band entirely still reaches under it.
        change = changeOf(topBand, window(0, 0, 500, 300));
        QVERIFY(change);
        QCOMPARE(change->top.value_or(-1), 44.0);
    }

    void topBandRoomBelowNeverUnder200()
    {
        const ScreenRecord shortScreen{QRectF(0, 0, 1024, 150), QRectF(0, 0, 1024, 150), 1.0};
        const QRectF band(0, 0, 1024, 20);
        auto change = changeOf(band, window(0, 10, 400, 300), {shortScreen});
        QVERIFY(change);
        QCOMPARE(change->top.value_or(-1), 20.0);
        QCOMPARE(change->height.value_or(-1), 200.0);
        // Already shorter than the floor: keeps its height.
        change = changeOf(band, window(0, 10, 400, 150), {shortScreen});
        QVERIFY(change);
        QVERIFY(!change->height);
    }

    void topBandEdgeTolerance()
    {
        QCOMPARE(changeOf(topBand, window(100, 44, 800, 600)), std::nullopt);   // exactly at the bottom edge
        QCOMPARE(changeOf(topBand, window(100, 43.5, 800, 600)), std::nullopt); // half a pixel into the band
        QVERIFY(changeOf(topBand, window(100, 43.4, 800, 600)));                // more than half
        QCOMPARE(changeOf(topBand, window(100, 500, 800, 300)), std::nullopt);  // well below
        QCOMPARE(changeOf(topBand, window(100, -300, 800, 324)), std::nullopt); // ends at the band's top
    }

    void topBandCountsWithinOnePixelOfTheAvailableTop()
    {
        // A band 1 pixel below the top of the available area is still a top band; 2 is not.
        auto change = changeOf(QRectF(0, 25, 1920, 20), window(0, 30, 800, 400));
        QVERIFY(change);
        QCOMPARE(change->top.value_or(-1), 45.0);
        // As a bottom band, the window goes up against the available top instead.
        change = changeOf(QRectF(0, 26, 1920, 20), window(0, 30, 800, 400));
        QVERIFY(change);
        QCOMPARE(change->top.value_or(-1), 24.0);
    }

    void bottomBandCutsWhenThereIsRoom()
    {
        // 500 pixels between the window's top and the band: keep the top, cut to 500.
        const auto change = changeOf(bottomBand, window(200, 560, 800, 600));
        QVERIFY(change);
        QVERIFY(!change->top);
        QCOMPARE(change->height.value_or(-1), 500.0);
        // Exactly 200 of room still cuts rather than moves.
        const auto edge = changeOf(bottomBand, window(200, 860, 800, 300));
        QVERIFY(edge);
        QVERIFY(!edge->top);
        QCOMPARE(edge->height.value_or(-1), 200.0);
    }

    void bottomBandMovesUpWhenRoomIsShort()
    {
        // 150 of room: moved up until its bottom meets the band, height kept.
        auto change = changeOf(bottomBand, window(200, 910, 800, 300));
        QVERIFY(change);
        QCOMPARE(change->top.value_or(-1), 1060.0 - 300.0);
        QVERIFY(!change->height);

        // Too tall to fit: stops at the top of the available area and is cut.
        change = changeOf(bottomBand, window(200, 910, 800, 1100));
        QVERIFY(change);
        QCOMPARE(change->top.value_or(-1), 24.0);
        QCOMPARE(change->height.value_or(-1), 1060.0 - 24.0);
    }

    void bottomBandEdgeTolerance()
    {
        QCOMPARE(changeOf(bottomBand, window(0, 760, 800, 300)), std::nullopt);   // ends at the band's top
        QCOMPARE(changeOf(bottomBand, window(0, 760, 800, 300.5)), std::nullopt); // half a pixel into it
        QVERIFY(changeOf(bottomBand, window(0, 760, 800, 300.6)));
        QCOMPARE(changeOf(bottomBand, window(0, 1080, 800, 300)), std::nullopt); // starts below the band
    }

    void untouchableWindows_data()
    {
        QTest::addColumn<WindowRecord>("record");
        WindowRecord w = window(100, 34, 800, 600);
        WindowRecord minimised = w;
        minimised.minimised = true;
        WindowRecord fullScreen = w;
        fullScreen.fullScreen = true;
        WindowRecord palette = w;
        palette.standard = false;
        WindowRecord accessory = w;
        accessory.skipTaskbar = true;
        WindowRecord own = w;
        own.pid = ownPid;
        QTest::newRow("minimised") << minimised;
        QTest::newRow("full screen") << fullScreen;
        QTest::newRow("not a standard window or dialog") << palette;
        QTest::newRow("kept out of the taskbar") << accessory;
        QTest::newRow("our own") << own;
        QTest::newRow("left of the band") << window(-900, 34, 900, 600);
        QTest::newRow("right of the band") << window(1920, 34, 900, 600);
    }

    void untouchableWindows()
    {
        QFETCH(WindowRecord, record);
        QCOMPARE(changeOf(topBand, record), std::nullopt);
        // The same window as a plain one of another application would have moved.
        WindowRecord plain = window(record.frame.x(), record.frame.y(), record.frame.width(), record.frame.height());
        QCOMPARE(AvoiderGeometry::isCandidate(plain, ownPid), true);
    }

    void windowWithoutPidIsSomeoneElses()
    {
        WindowRecord w = window(100, 34, 800, 600);
        w.pid = 0;
        QVERIFY(changeOf(topBand, w));
    }

    void bandScreenIsTheFirstItIntersects()
    {
        // A second screen to the right, 1280x1024, with a 30-pixel panel at its top.
        const ScreenRecord right{QRectF(1920, 0, 1280, 1024), QRectF(1920, 30, 1280, 994), 1.0};
        const QRectF band(1920, 30, 1280, 20);
        const QList<ScreenRecord> screens{mainScreen, right};

        // Room below comes from the band's own screen: 1024 - 50.
        auto change = changeOf(band, window(2000, 40, 600, 1000), screens);
        QVERIFY(change);
        QCOMPARE(change->top.value_or(-1), 50.0);
        QCOMPARE(change->height.value_or(-1), 974.0);
        // Windows on the other screen lie beside the band.
        QCOMPARE(changeOf(band, window(100, 40, 600, 400), screens), std::nullopt);

        // A band on no screen is measured against the primary one.
        change = changeOf(QRectF(0, -100, 1920, 20), window(0, -95, 600, 400), screens);
        QVERIFY(change);
        QCOMPARE(change->top.value_or(-1), -80.0);
    }

    void rulesScaleWithDevicePixelRatio()
    {
        // At 2 device pixels per logical pixel, the half-pixel tolerance is one device pixel
        // and the 200-pixel floor is 400.
        const ScreenRecord hiDpi{QRectF(0, 0, 3840, 400), QRectF(0, 0, 3840, 400), 2.0};
        const QRectF band(0, 0, 3840, 40);
        QCOMPARE(changeOf(band, window(0, 39, 800, 800), {hiDpi}), std::nullopt);
        const auto change = changeOf(band, window(0, 38.9, 800, 800), {hiDpi});
        QVERIFY(change);
        QCOMPARE(change->top.value_or(-1), 40.0);
        QCOMPARE(change->height.value_or(-1), 400.0);
    }

    void changesFollowWindowOrderAndSkipCleanWindows()
    {
        const QList<WindowRecord> windows{window(0, 30, 500, 400, 1), window(0, 600, 500, 300, 2),
                                          window(600, 0, 500, 2000, 3)};
        const QList<Change> changes = plan(topBand, {mainScreen}, windows, ownPid);
        QCOMPARE(changes.size(), 2);
        QCOMPARE(changes[0].window.id, 1u);
        QCOMPARE(changes[1].window.id, 3u);
        QCOMPARE(changes[1].top.value_or(-1), 44.0);
        QCOMPARE(changes[1].height.value_or(-1), 1036.0);
    }

    void nothingWithoutBandOrScreens()
    {
        const QList<WindowRecord> windows{window(0, 30, 500, 400)};
        QVERIFY(plan(QRectF(), {mainScreen}, windows, ownPid).isEmpty());
        QVERIFY(plan(QRectF(0, 24, 1920, 0), {mainScreen}, windows, ownPid).isEmpty());
        QVERIFY(plan(topBand, {}, windows, ownPid).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAvoiderGeometry)
#include "TestAvoiderGeometry.moc"
