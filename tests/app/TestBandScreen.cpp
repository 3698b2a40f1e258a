#include "FakeBandSurface.h"
#include "ServiceFixture.h"
#include "app/BandGeometry.h"
#include "app/TickerController.h"
#include "data/DataService.h"
#include "desktop/WindowSystem.h"
#include "net/HttpClient.h"
#include "news/NewsService.h"
#include "qtband/LedView.h"
#include "qtband/PanelSurface.h"
#include "qtband/TickerPanel.h"
#include "settings/ScreenChoice.h"
#include "settings/Settings.h"
#include "settings/UserDefaults.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

/** The band on a desktop of two screens side by side (the offscreen platform, configured). */
class TestBandScreen : public QObject
{
    Q_OBJECT
private slots:
    void bandGoesToTheChosenScreen()
    {
        QCOMPARE(QGuiApplication::screens().size(), 2);
        QScreen *primary = QGuiApplication::primaryScreen();
        QScreen *side = BandGeometry::screenNamed("SIDE-2");
        QCOMPARE(side->name(), QString("SIDE-2"));
        QVERIFY(side != primary);
        QCOMPARE(BandGeometry::screenNamed("GONE-7"), primary);
        QCOMPARE(BandGeometry::screenNamed(QString()), primary);

        ServiceFixture services;
        Settings &settings = services.settings;
        ScreenChoice choice(services.store);
        choice.setScreenName("SIDE-2");
        PanelSurface *surface = nullptr;
        TickerController controller(
            settings, services.data, services.news, nullptr, [&surface](BandLines &lines, WindowSystem *system) {
                auto made = std::make_unique<PanelSurface>(lines, new LedView(&lines), system, QStringLiteral("qt"));
                surface = made.get();
                return made;
            });
        const TickerPanel *panel = surface->panel();
        controller.setScreenChoice(choice);
        QTRY_COMPARE(controller.bandScreen(), side);
        QCOMPARE(panel->geometry(), QRect(1920, 0, 1280, 55));

        settings.setPosition(DockPosition::bottom);
        QTRY_COMPARE(panel->geometry(), QRect(1920, 1024 - 55, 1280, 55));

        // A screen that is not connected: the primary one until it comes back.
        choice.setScreenName("GONE-7");
        QTRY_COMPARE(controller.bandScreen(), primary);
        QCOMPARE(panel->geometry(), QRect(0, 1080 - 55, 1920, 55));
        choice.setScreenName(QString());
        choice.setScreenName("SIDE-2");
        QTRY_COMPARE(panel->geometry().x(), 1920);
    }

    // A layer-shell compositor names its outputs itself ("HEADLESS-2") while Qt's windows,
    // through XWayland, know them as "XWAYLAND1": the surface gets the name as chosen.
    void anchoredSurfaceGetsTheChosenNameQtDoesNotKnow()
    {
        ServiceFixture services;
        ScreenChoice choice(services.store);
        choice.setScreenName("HEADLESS-2");
        FakeBandSurface *surface = nullptr;
        TickerController controller(services.settings, services.data, services.news, nullptr,
                                    [&surface](BandLines &lines, WindowSystem *) {
                                        auto made = std::make_unique<FakeBandSurface>(lines);
                                        surface = made.get();
                                        return made;
                                    });
        controller.setScreenChoice(choice);
        QTRY_COMPARE(surface->placements.isEmpty() ? QString() : surface->placements.last().output,
                     QString("HEADLESS-2"));
        // Its frame, for the pop-ups' guess, stays on the primary screen Qt has.
        QCOMPARE(surface->placements.last().frame.topLeft(), QPoint(0, 0));

        // The primary screen: Qt's name for it, which such a surface does not find and so
        // takes the compositor's first output.
        choice.setScreenName(QString());
        QTRY_COMPARE(surface->placements.last().output, QString("MAIN-1"));
        // A name both know.
        choice.setScreenName("SIDE-2");
        QTRY_COMPARE(surface->placements.last().output, QString("SIDE-2"));
        QCOMPARE(surface->placements.last().frame.x(), 1920);
    }
};

int main(int argc, char *argv[])
{
    QTemporaryDir dir;
    const QString config = dir.filePath("screens.json");
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) || file.write(R"({"screens": [
            {"name": "MAIN-1", "x": 0, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96, "dpr": 1},
            {"name": "SIDE-2", "x": 1920, "y": 0, "width": 1280, "height": 1024, "logicalDpi": 96, "dpr": 1}
        ]})") < 0) {
        qCritical("cannot write the screen configuration");
        return 1;
    }
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toUtf8());
    QApplication app(argc, argv);
    TestBandScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestBandScreen.moc"
