// How the band's top-level window is kept where it was put, against a window manager that
// answers late or insists on a place of its own, and what a placement means for the window.
#include "band/BandWindowPlacement.h"

#include <QTest>

#include "FakeClock.h"

namespace {

/** A window whose manager does what the test says: takes each move, or keeps it elsewhere. */
struct FakeWindow
{
    QRect geometry;
    bool visible = true;
    bool managerTakesMoves = true;
    QList<QRect> moves;    ///< what the toolkit was asked for
    QList<QRect> confirms; ///< what the window manager itself was asked for

    BandWindowPlacement::Window hooks()
    {
        BandWindowPlacement::Window window;
        window.geometry = [this] { return geometry; };
        window.setGeometry = [this](const QRect &frame) {
            moves.append(frame);
            if (managerTakesMoves)
                geometry = frame;
        };
        window.isVisible = [this] { return visible; };
        window.confirm = [this](const QRect &frame) { confirms.append(frame); };
        return window;
    }
};

} // namespace

class TestBandWindowPlacement : public QObject
{
    Q_OBJECT
private slots:
    void flagsForEachLevel_data();
    void flagsForEachLevel();
    void stripOnlyWhileExclusive();
    void placesOnlyWhatChanged();
    void confirmsOnceTheManagerSettled();
    void correctsAFewTimesAtMost();
    void leavesAHiddenWindowAlone();
};

void TestBandWindowPlacement::flagsForEachLevel_data()
{
    QTest::addColumn<WindowLevelMode>("level");
    QTest::addColumn<bool>("above");
    QTest::addColumn<bool>("below");
    QTest::newRow("front") << WindowLevelMode::front << true << false;
    QTest::newRow("normal") << WindowLevelMode::normal << false << false;
    QTest::newRow("desktop") << WindowLevelMode::desktop << false << true;
}

void TestBandWindowPlacement::flagsForEachLevel()
{
    QFETCH(WindowLevelMode, level);
    QFETCH(bool, above);
    QFETCH(bool, below);
    const Qt::WindowFlags flags = BandWindowPlacement::flagsFor(level);
    // Whatever the level: a frameless tool window that never takes the focus.
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    QCOMPARE(flags.testFlag(Qt::WindowStaysOnTopHint), above);
    QCOMPARE(flags.testFlag(Qt::WindowStaysOnBottomHint), below);
}

void TestBandWindowPlacement::stripOnlyWhileExclusive()
{
    BandPlacement placement;
    placement.frame = QRect(0, 1025, 1920, 55);
    placement.edge = DockPosition::bottom;
    QCOMPARE(BandWindowPlacement::stripFor(placement), QRect());
    placement.exclusive = true;
    QCOMPARE(BandWindowPlacement::stripFor(placement), placement.frame);
    QCOMPARE(BandWindowPlacement::stripEdge(placement.edge), Qt::BottomEdge);
    QCOMPARE(BandWindowPlacement::stripEdge(DockPosition::top), Qt::TopEdge);
    // No frame yet (no screen): nothing is reserved, whatever was asked.
    placement.frame = QRect();
    QCOMPARE(BandWindowPlacement::stripFor(placement), QRect());
}

void TestBandWindowPlacement::placesOnlyWhatChanged()
{
    FakeClock clock;
    FakeWindow window;
    window.geometry = QRect(0, 0, 1920, 55);
    BandWindowPlacement placement(window.hooks());
    QVERIFY(!placement.placeAt(QRect())); // nowhere to go: stays where it is
    QVERIFY(window.moves.isEmpty());
    QVERIFY(!placement.placeAt(QRect(0, 0, 1920, 55))); // there already
    QVERIFY(window.moves.isEmpty());
    QCOMPARE(placement.frame(), QRect(0, 0, 1920, 55));
    QVERIFY(placement.placeAt(QRect(0, 1025, 1920, 55)));
    QCOMPARE(window.moves, QList<QRect>{QRect(0, 1025, 1920, 55)});
    placement.geometryChanged(); // the manager's report of that very move
    clock.advanceMs(1000);
    QCOMPARE(window.moves.size(), 1);
}

void TestBandWindowPlacement::confirmsOnceTheManagerSettled()
{
    FakeClock clock;
    FakeWindow window;
    BandWindowPlacement placement(window.hooks());
    const QRect frame(0, 0, 1920, 110);
    QVERIFY(placement.placeAt(frame));
    clock.advanceMs(450);
    QVERIFY(window.confirms.isEmpty());
    // Another move meanwhile starts the wait again: one request, for the last frame.
    const QRect bottom(0, 970, 1920, 110);
    QVERIFY(placement.placeAt(bottom));
    clock.advanceMs(450);
    QVERIFY(window.confirms.isEmpty());
    clock.advanceMs(100);
    QCOMPARE(window.confirms, QList<QRect>{bottom});
    clock.advanceMs(2000);
    QCOMPARE(window.confirms.size(), 1);
}

void TestBandWindowPlacement::correctsAFewTimesAtMost()
{
    FakeClock clock;
    FakeWindow window;
    BandWindowPlacement placement(window.hooks());
    const QRect frame(0, 0, 1920, 55);
    QVERIFY(placement.placeAt(frame));
    // A late answer to an older request puts the window elsewhere: the frame is asked again,
    // once the burst of reports is over.
    window.geometry = QRect(0, 300, 800, 40);
    placement.geometryChanged();
    placement.geometryChanged();
    QCOMPARE(window.moves.size(), 1);
    clock.advanceMs(100);
    QCOMPARE(window.moves.size(), 2);
    QCOMPARE(window.geometry, frame);

    // A manager that insists is asked three times, then left alone.
    window.managerTakesMoves = false;
    window.geometry = QRect(0, 300, 800, 40);
    for (int i = 0; i < 6; ++i) {
        placement.geometryChanged();
        clock.advanceMs(100);
    }
    QCOMPARE(window.moves.size(), 4);
    // A new placement may correct again.
    window.managerTakesMoves = true;
    QVERIFY(placement.placeAt(QRect(0, 1025, 1920, 55)));
    window.geometry = QRect(5, 5, 10, 10);
    placement.geometryChanged();
    clock.advanceMs(100);
    QCOMPARE(window.geometry, QRect(0, 1025, 1920, 55));
}

void TestBandWindowPlacement::leavesAHiddenWindowAlone()
{
    FakeClock clock;
    FakeWindow window;
    BandWindowPlacement placement(window.hooks());
    QVERIFY(placement.placeAt(QRect(0, 0, 1920, 55)));
    window.visible = false;
    window.geometry = QRect(0, 300, 800, 40);
    placement.geometryChanged();
    clock.advanceMs(1000);
    QCOMPARE(window.moves.size(), 1); // only the placement itself
    QVERIFY(window.confirms.isEmpty());
}

QTEST_GUILESS_MAIN(TestBandWindowPlacement)
#include "TestBandWindowPlacement.moc"
