#include "app/TickerController.h"
#include "band/BandSurface.h"
#include "settings/MotionChoice.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QTest>

#include "FakeBandSurface.h"
#include "FakeClock.h"
#include "ServiceFixture.h"

namespace {

/** The controller with a fake surface, which lays the lines out as a real one would. */
struct FakeFixture : ServiceFixture
{
    FakeBandSurface *surface = nullptr;
    std::unique_ptr<TickerController> controller;

    void start()
    {
        controller =
            std::make_unique<TickerController>(settings, data, news, nullptr, [this](BandLines &lines, WindowSystem *) {
                auto made = std::make_unique<FakeBandSurface>(lines);
                surface = made.get();
                return made;
            });
    }
    void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        controller->finishBuilding();
    }
};

} // namespace

/** The band in steps, as the controller sets it up from the user's choice. */
class TestBandSteps : public QObject
{
    Q_OBJECT
private slots:
    void motionChoiceMakesTheLinesStep();
};

void TestBandSteps::motionChoiceMakesTheLinesStep()
{
    FakeClock clock;
    FakeFixture f;
    f.settings.setVariant(BarVariant::thick);
    MotionChoice choice(f.store);
    f.start();
    f.controller->setMotionChoice(choice);
    f.settle();
    const BandLines &lines = f.controller->lines();
    QVERIFY(!lines.steps);
    QVERIFY(lines.newsLine().steps().isEmpty());

    const int changes = f.surface->changes;
    choice.setReducedMotion(true);
    f.settle();
    QVERIFY(lines.steps);
    QVERIFY(f.surface->changes > changes);
    QCOMPARE(lines.spans[BandLines::news], f.controller->newsSpans());
    QVERIFY(!lines.newsLine().steps().isEmpty());

    // Pictures 0.12 s apart: nearly all the same, and the line moves on within a few seconds.
    const ScrollLine &news = lines.newsLine();
    int moved = 0;
    int firstMoveMs = -1;
    double last = news.columnAt(BandLines::now());
    for (int i = 1; i <= 100; ++i) {
        clock.advanceMs(120);
        const double column = news.columnAt(BandLines::now());
        if (column != last && firstMoveMs < 0)
            firstMoveMs = i * 120;
        moved += column != last;
        last = column;
    }
    QVERIFY2(firstMoveMs > 0 && firstMoveMs <= 5000, qPrintable(QString::number(firstMoveMs)));
    QVERIFY(moved * 10 < 100);

    // Resting on the line still holds it, whatever the steps.
    f.surface->pointer(BandPointerEvent::Type::enter, QPointF(10, 60));
    QVERIFY(lines.isPaused(BandLines::news));
    const double held = news.columnAt(BandLines::now());
    clock.advanceMs(20000);
    QCOMPARE(news.columnAt(BandLines::now()), held);
    f.surface->pointer(BandPointerEvent::Type::leave, QPointF(10, 60));
    QVERIFY(!lines.isPaused(BandLines::news));

    choice.setReducedMotion(false);
    f.settle();
    QVERIFY(news.steps().isEmpty());
}

QTEST_MAIN(TestBandSteps)
#include "TestBandSteps.moc"
