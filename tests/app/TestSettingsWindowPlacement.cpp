#include "app/BandSurfaceFactory.h"
#include "app/SettingsWindow.h"
#include "app/TickerController.h"
#include "band/BandSurface.h"
#include "desktop/WindowSystem.h"
#include "settings/SavedWindowSize.h"
#include "settingsui/SettingsEnvironment.h"
#include "settingsui/SettingsView.h"

#include <QApplication>
#include <QScreen>
#include <QTest>

#include "ServiceFixture.h"

/**
 * The settings window on a small laptop screen with the real band at the top and a panel at
 * the bottom, under openbox: run on the screen DOTBANNER_X11_SCREEN gives with-x11.sh
 * (1366×768, or 2732×1536 with QT_SCALE_FACTOR=2: the same screen in logical pixels).
 */
class TestSettingsWindowPlacement : public QObject
{
    Q_OBJECT
private:
    static constexpr int panelHeight = 32;

    struct Desktop : ServiceFixture
    {
        std::shared_ptr<WindowSystem> system = WindowSystem::forPlatform();
        std::unique_ptr<TickerController> band;
        QWidget panel;

        void start()
        {
            band = std::make_unique<TickerController>(settings, data, news, nullptr, &BandSurfaceFactory::make, system);
            QCoreApplication::processEvents();
            band->finishBuilding();
            // A panel along the bottom edge that reserves its strip, as a desktop's would.
            const QRect screen = QGuiApplication::primaryScreen()->geometry();
            panel.setWindowFlag(Qt::FramelessWindowHint);
            panel.setGeometry(screen.left(), screen.bottom() + 1 - panelHeight, screen.width(), panelHeight);
            panel.show();
            system->reserveStrip(panel.winId(), Qt::BottomEdge,
                                 QRectF(screen.left(), screen.bottom() + 1 - panelHeight, screen.width(), panelHeight));
        }

        std::unique_ptr<SettingsWindow> window(SettingsEnvironment &environment)
        {
            auto made = std::make_unique<SettingsWindow>(new SettingsView(settings, environment));
            made->setBandFrame([this] { return band->surface()->frame(); });
            made->setSavedSize(std::make_unique<SavedWindowSize>(store, SavedWindowSize::settingsWindowKey));
            return made;
        }
    };

    /** Shows `window` as the program does and waits until the window manager has framed it. */
    static bool showFramed(SettingsWindow &window)
    {
        window.centre();
        window.show();
        if (!QTest::qWaitForWindowExposed(&window, 15000))
            return false;
        return QTest::qWaitFor([&] { return window.frameGeometry() != window.geometry(); }, 10000);
    }

    /** The screen's bottom, panel excluded, and the band's, in logical pixels. */
    static QRect freeArea(const Desktop &desktop)
    {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QRect band = desktop.band->surface()->frame();
        return QRect(QPoint(screen.left(), band.bottom() + 1), QPoint(screen.right(), screen.bottom() - panelHeight));
    }

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QFAIL("this test needs X11: run it through tests/support/with-x11.sh");
        // The laptop screen, in logical pixels whatever the scale.
        QCOMPARE(QGuiApplication::primaryScreen()->geometry().size(), QSize(1366, 768));
    }

    void opensBelowTheBandAndAboveThePanel()
    {
        Desktop desktop;
        desktop.start();
        QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::primaryScreen()->availableGeometry().bottom() <
                                     QGuiApplication::primaryScreen()->geometry().bottom() - panelHeight + 1,
                                 10000);
        const QRect band = desktop.band->surface()->frame();
        QCOMPARE(band.top(), 0);
        QCOMPARE(band.height(), 55);

        SettingsEnvironment environment;
        auto window = desktop.window(environment);
        QVERIFY(showFramed(*window));
        const QRect area = freeArea(desktop);
        QVERIFY2(area.contains(window->frameGeometry()), qPrintable(QStringLiteral("frame %1,%2 %3x%4 outside y %5-%6")
                                                                        .arg(window->frameGeometry().x())
                                                                        .arg(window->frameGeometry().y())
                                                                        .arg(window->frameGeometry().width())
                                                                        .arg(window->frameGeometry().height())
                                                                        .arg(area.top())
                                                                        .arg(area.bottom())));
        QVERIFY(window->minimumSize().height() < window->maximumSize().height());
        QVERIFY(window->height() < SettingsView::viewHeight); // shrunk to fit, tabs scroll

        // Left at another size, it opens again at that size, in the middle of the free area.
        window->resize(700, 480);
        QTRY_COMPARE_WITH_TIMEOUT(window->size(), QSize(700, 480), 10000);
        window->close();
        QCOMPARE(desktop.store.data(SavedWindowSize::settingsWindowKey), std::optional(QByteArray("700x480")));
        auto again = desktop.window(environment);
        QVERIFY(showFramed(*again));
        QCOMPARE(again->size(), QSize(700, 480));
        QVERIFY(area.contains(again->frameGeometry()));
        // In the middle, give or take the difference between the frame assumed and the real one.
        QVERIFY(qAbs(again->frameGeometry().center().y() - area.center().y()) <= 24);
    }

    void aKeptSizeTooLargeShrinksToFit()
    {
        Desktop desktop;
        QVERIFY(desktop.store.set(SavedWindowSize::settingsWindowKey, "3000x2000"));
        desktop.start();
        QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::primaryScreen()->availableGeometry().bottom() <
                                     QGuiApplication::primaryScreen()->geometry().bottom() - panelHeight + 1,
                                 10000);
        SettingsEnvironment environment;
        auto window = desktop.window(environment);
        QVERIFY(showFramed(*window));
        QVERIFY(freeArea(desktop).contains(window->frameGeometry()));
    }
};

QTEST_MAIN(TestSettingsWindowPlacement)
#include "TestSettingsWindowPlacement.moc"
