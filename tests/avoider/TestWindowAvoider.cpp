#include "FakeWindowSystem.h"
#include "avoider/WindowAvoider.h"

#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace std::chrono_literals;

namespace {

const QRectF topBand(0, 0, 1920, 30);

struct Fixture
{
    FakeWindowSystem *system;
    std::unique_ptr<WindowAvoider> avoider;
};

Fixture makeAvoider(QList<WindowRecord> windows = {FakeWindowSystem::window(1, QRectF(100, 10, 800, 1200))})
{
    auto system = std::make_unique<FakeWindowSystem>();
    system->windowList = std::move(windows);
    FakeWindowSystem *raw = system.get();
    auto avoider = std::make_unique<WindowAvoider>(std::move(system));
    avoider->setSweepInterval(10ms);
    return {raw, std::move(avoider)};
}

} // namespace

class TestWindowAvoider : public QObject
{
    Q_OBJECT
private slots:
    void startsIdle()
    {
        auto [system, avoider] = makeAvoider();
        QVERIFY(!avoider->isActive());
        QCOMPARE(avoider->band(), QRectF());
        QCOMPARE(WindowAvoider::defaultSweepInterval, 800ms);
    }

    void inactiveUpdateStoresBandWithoutSweeping()
    {
        auto [system, avoider] = makeAvoider();
        avoider->update(false, topBand);
        QCOMPARE(avoider->band(), topBand);
        QVERIFY(!avoider->isActive());
        QCOMPARE(system->windowReads, 0);
        QVERIFY(system->writes.isEmpty());
    }

    void activeUpdateSweepsAtOnceWritingTopBeforeHeight()
    {
        auto [system, avoider] = makeAvoider();
        avoider->setSweepInterval(1h); // only the immediate sweep
        avoider->update(true, topBand);
        QVERIFY(avoider->isActive());
        QCOMPARE(system->writes, QStringList({"top 1 30", "height 1 1050"}));
        QCOMPARE(system->find(1)->frame, QRectF(100, 30, 800, 1050));

        // Once clear of the band the window gets no further writes.
        avoider->sweep();
        QCOMPARE(system->writes.size(), 2);
    }

    void bandIsConvertedToDevicePixels()
    {
        auto [system, avoider] = makeAvoider({FakeWindowSystem::window(1, QRectF(0, 50, 800, 600))});
        system->scale = 2.0;
        system->screenList = {{QRectF(0, 0, 3840, 2160), QRectF(0, 0, 3840, 2160), 2.0}};
        avoider->update(true, topBand); // 30 logical = 60 device pixels
        QCOMPARE(system->writes, QStringList({"top 1 60"}));
    }

    void heldLeftButtonMovesNothingUntilReleased()
    {
        auto [system, avoider] = makeAvoider();
        system->leftButton = true;
        avoider->update(true, topBand);
        QTest::qWait(50); // several ticks while the button is held
        QVERIFY(system->writes.isEmpty());
        system->leftButton = false;
        QTRY_COMPARE_WITH_TIMEOUT(system->writes.size(), 2, 5000);
        QCOMPARE(system->find(1)->frame.top(), 30.0);
    }

    void ticksCatchWindowsThatMoveBack()
    {
        auto [system, avoider] = makeAvoider();
        avoider->update(true, topBand);
        QCOMPARE(system->find(1)->frame.top(), 30.0);
        // The user drags it back under the band: the timer pushes it out again.
        system->find(1)->frame.moveTop(5);
        QTRY_COMPARE_WITH_TIMEOUT(system->find(1)->frame.top(), 30.0, 5000);
    }

    void reportedChangesTakeThePlaceOfPolling()
    {
        auto [system, avoider] = makeAvoider();
        system->reportsChanges = true;
        avoider->setSettleDelay(5ms);
        avoider->setBackstopInterval(1h);
        avoider->update(true, topBand);
        QVERIFY(avoider->isNotified());
        QCOMPARE(system->find(1)->frame.top(), 30.0);
        const int reads = system->windowReads;

        // Nothing reported, nothing read, though the poll period (10 ms) passes many times.
        system->find(1)->frame.moveTop(5);
        QTest::qWait(60);
        QCOMPARE(system->windowReads, reads);

        // A burst of reports makes one sweep.
        for (int i = 0; i < 5; ++i)
            system->changed();
        QTRY_COMPARE_WITH_TIMEOUT(system->find(1)->frame.top(), 30.0, 5000);
        QCOMPARE(system->windowReads, reads + 1);

        avoider->update(false, topBand);
        QVERIFY(!system->changed);
        QVERIFY(!avoider->isNotified());
    }

    void dragEndedAfterItsLastReportIsStillSwept()
    {
        // The last report of a drag arrives with the button still down; the release reports
        // nothing, so the avoider looks again by itself.
        auto [system, avoider] = makeAvoider({FakeWindowSystem::window(1, QRectF(100, 300, 800, 600))});
        system->reportsChanges = true;
        avoider->setSettleDelay(5ms);
        avoider->setBackstopInterval(1h);
        avoider->update(true, topBand);
        system->leftButton = true;
        system->find(1)->frame.moveTop(5);
        system->changed();
        QTest::qWait(40);
        QVERIFY(system->writes.isEmpty());
        system->leftButton = false;
        QTRY_COMPARE_WITH_TIMEOUT(system->find(1)->frame.top(), 30.0, 5000);
    }

    void deactivatingStopsTheTimerAtOnce()
    {
        auto [system, avoider] = makeAvoider();
        avoider->update(true, topBand);
        QVERIFY(avoider->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(system->windowReads >= 3, 5000);

        avoider->update(false, QRectF(0, 0, 1920, 40));
        QVERIFY(!avoider->isActive());
        QCOMPARE(avoider->band(), QRectF(0, 0, 1920, 40));
        const int reads = system->windowReads;
        system->find(1)->frame.moveTop(5);
        QTest::qWait(60);
        QCOMPARE(system->windowReads, reads);
        QCOMPARE(system->find(1)->frame.top(), 5.0);

        // A dropped avoider leaves no timer behind.
        avoider->update(true, topBand);
        QPointer<QTimer> timer = avoider->findChild<QTimer *>();
        QVERIFY(timer);
        avoider.reset();
        QVERIFY(!timer);
    }

    void unmovableWindowsAreLeftAloneUntilAManagerComes()
    {
        auto [system, avoider] = makeAvoider();
        system->movable = false;
        avoider->update(true, topBand);
        avoider->update(true, topBand);
        avoider->update(false, topBand);
        avoider->update(true, topBand);
        QVERIFY(!avoider->canMoveWindows());
        QVERIFY(avoider->isActive());
        QTest::qWait(40);
        QCOMPARE(system->windowReads, 0);
        QVERIFY(system->writes.isEmpty());

        // A window manager started meanwhile: the running avoider takes it up, no restart.
        system->movable = true;
        QVERIFY(avoider->canMoveWindows());
        QTRY_COMPARE_WITH_TIMEOUT(system->find(1)->frame.top(), 30.0, 5000);
    }

    void emptyBandOrNoScreensDoNothing()
    {
        auto [system, avoider] = makeAvoider();
        avoider->setSweepInterval(1h);
        avoider->update(true, QRectF(0, 0, 1920, 0));
        QVERIFY(system->writes.isEmpty());
        system->screenList.clear();
        avoider->update(true, topBand);
        QVERIFY(system->writes.isEmpty());
    }

    void nullSystemCannotMoveWindows()
    {
        WindowAvoider avoider(std::make_unique<WindowSystem>());
        avoider.update(true, topBand);
        QVERIFY(!avoider.canMoveWindows());
        QVERIFY(avoider.isActive());
        QVERIFY(!avoider.isNotified());
        avoider.sweep();
        WindowAvoider fallback(nullptr);
        QVERIFY(!fallback.canMoveWindows());
        QVERIFY(fallback.windowSystem());
    }

    void forPlatformIsNullOffX11()
    {
        // These tests run on the offscreen platform.
        QVERIFY(!WindowSystem::forPlatform()->canMoveWindows());
        WindowAvoider avoider(WindowSystem::forPlatform());
        avoider.update(true, topBand);
        QVERIFY(!avoider.canMoveWindows());
    }
};

QTEST_GUILESS_MAIN(TestWindowAvoider)
#include "TestWindowAvoider.moc"
