#include "ServiceFixture.h"
#include "app/AboutPanel.h"
#include "app/AppDelegate.h"
#include "app/LedIcon.h"
#include "app/SettingsWindow.h"
#include "app/SingleInstance.h"
#include "app/StatusItem.h"
#include "app/TaskbarEntry.h"
#include "app/TickerController.h"
#include "app/WindowPlacement.h"
#include "band/BandInteraction.h"
#include "band/BandPopups.h"
#include "band/BandSurface.h"
#include "data/DataService.h"
#include "net/HttpClient.h"
#include "news/NewsService.h"
#include "settings/Settings.h"
#include "settings/UserDefaults.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

#include "FakeBandSurface.h"
#include "FakeClock.h"

namespace {

struct MenuLine
{
    QString title;    ///< empty for a separator
    QString shortcut; ///< portable text of the key equivalent
};

QList<MenuLine> lines(const QMenu *menu)
{
    QList<MenuLine> result;
    for (const QAction *action : menu->actions())
        result.append({action->isSeparator() ? QString() : action->text(),
                       action->shortcut().toString(QKeySequence::PortableText)});
    return result;
}

QAction *actionTitled(const QMenu *menu, const QString &title)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == title)
            return action;
    }
    return nullptr;
}

/** The level items' check marks, in menu order. */
QList<bool> levelChecks(const QMenu *menu)
{
    QList<bool> checks;
    for (const QAction *action : menu->actions()) {
        if (action->isCheckable())
            checks.append(action->isChecked());
    }
    return checks;
}

/** Makes the band's controller on a surface in memory, which `surface` then points to. */
std::unique_ptr<TickerController> tickerOnFake(Settings &settings, DataService &data, NewsService &news,
                                               FakeBandSurface *&surface)
{
    return std::make_unique<TickerController>(settings, data, news, nullptr,
                                              [&surface](BandLines &lines, WindowSystem *) {
                                                  auto made = std::make_unique<FakeBandSurface>(lines);
                                                  surface = made.get();
                                                  return made;
                                              });
}

QList<SettingsWindow *> settingsWindows()
{
    QList<SettingsWindow *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<SettingsWindow *>(widget))
            windows.append(window);
    }
    return windows;
}

} // namespace

class TestAppDelegate : public QObject
{
    Q_OBJECT

private:
    /** One private store and settings model, with services that only record what they are asked. */
    struct Fixture : ServiceFixture
    {
        QStringList calls;
        QList<int> exits;
        std::function<std::unique_ptr<TickerController>()> makeTicker;
        std::function<bool()> trayAvailable;

        AppServices services()
        {
            AppServices services;
            services.settings = &settings;
            services.defaults = &store;
            services.startData = [this] { calls << QStringLiteral("startData"); };
            services.refreshData = [this](bool force) {
                calls << (force ? QStringLiteral("refreshData(force)") : QStringLiteral("refreshData"));
            };
            services.startNews = [this] { calls << QStringLiteral("startNews"); };
            services.refreshNews = [this] { calls << QStringLiteral("refreshNews"); };
            services.makeTicker = makeTicker;
            services.trayAvailable = trayAvailable;
            services.makeSettingsView = [] {
                auto *view = new QWidget;
                auto *layout = new QVBoxLayout(view);
                auto *field = new QLineEdit(QStringLiteral("AAPL"), view);
                field->setObjectName(QStringLiteral("field"));
                layout->addWidget(field);
                view->setFixedSize(300, 200);
                return view;
            };
            services.startForecastReport = [this] { calls << QStringLiteral("forecast"); };
            services.writeReferenceImages = [this](const QString &prefix) { calls << QStringLiteral("ui:") + prefix; };
            services.exit = [this](int status) { exits << status; };
            return services;
        }

        /** The launch of a user who already saw the settings window once. */
        std::unique_ptr<AppDelegate> launch(const QStringList &arguments = {}, bool firstRun = false)
        {
            if (!firstRun)
                store.setBool(AppDelegate::didShowSettingsOnceKey, true);
            auto delegate = std::make_unique<AppDelegate>(services());
            delegate->launch(LaunchOptions::parse(QStringList{QStringLiteral("dotbanner")} + arguments));
            QCoreApplication::processEvents();
            return delegate;
        }
    };

private slots:
    void cleanup()
    {
        // Every delegate deletes its windows; none may outlive its test.
        QCOMPARE(settingsWindows().size(), 0);
    }

    void menuHasTheTenItemsInOrder()
    {
        Fixture fixture;
        auto delegate = fixture.launch();
        std::unique_ptr<QMenu> menu(delegate->buildMenu());

        const QList<MenuLine> expected = {
            {QStringLiteral("À propos de Dotbanner"), QString()},
            {QString(), QString()},
            {QStringLiteral("Réglages\u2026"), QStringLiteral("Ctrl+,")},
            {QString(), QString()},
            {QStringLiteral("Au premier plan"), QString()},
            {QStringLiteral("Normal (les fenêtres peuvent le couvrir)"), QString()},
            {QStringLiteral("Derrière toutes les fenêtres"), QString()},
            {QString(), QString()},
            {QStringLiteral("Actualiser"), QStringLiteral("Ctrl+R")},
            {QStringLiteral("Quitter Dotbanner"), QStringLiteral("Ctrl+Q")},
        };
        const QList<MenuLine> actual = lines(menu.get());
        QCOMPARE(actual.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(actual[i].title, expected[i].title);
            QCOMPARE(actual[i].shortcut, expected[i].shortcut);
        }
        QCOMPARE(actionTitled(menu.get(), QStringLiteral("Au premier plan"))->data().value<WindowLevelMode>(),
                 WindowLevelMode::front);
        QCOMPARE(actionTitled(menu.get(), QStringLiteral("Normal (les fenêtres peuvent le couvrir)"))
                     ->data()
                     .value<WindowLevelMode>(),
                 WindowLevelMode::normal);
        QCOMPARE(
            actionTitled(menu.get(), QStringLiteral("Derrière toutes les fenêtres"))->data().value<WindowLevelMode>(),
            WindowLevelMode::desktop);
        // The keys work only in the settings window: the tray and band menus do not show them.
        for (const QAction *action : menu->actions()) {
            if (!action->shortcut().isEmpty())
                QVERIFY(!action->isShortcutVisibleInContextMenu());
        }
    }

    void checkMarkFollowsTheLevel()
    {
        Fixture fixture;
        auto delegate = fixture.launch();
        QMenu *statusMenu = delegate->statusItem()->menu();
        emit statusMenu->aboutToShow();
        QCOMPARE(levelChecks(statusMenu), (QList<bool>{true, false, false}));

        // Choosing an item persists the level, and the next opening shows it alone checked.
        actionTitled(statusMenu, QStringLiteral("Derrière toutes les fenêtres"))->trigger();
        QCOMPARE(fixture.settings.levelMode(), WindowLevelMode::desktop);
        QCOMPARE(Settings(fixture.store, fixture.keys).levelMode(), WindowLevelMode::desktop);
        emit statusMenu->aboutToShow();
        QCOMPARE(levelChecks(statusMenu), (QList<bool>{false, false, true}));
        QCOMPARE(statusMenu->actions().size(), 10);

        // A change made elsewhere shows at the next opening too.
        fixture.settings.setLevelMode(WindowLevelMode::normal);
        emit statusMenu->aboutToShow();
        QCOMPARE(levelChecks(statusMenu), (QList<bool>{false, true, false}));
    }

    void levelItemsSetTheirLevel()
    {
        Fixture fixture;
        auto delegate = fixture.launch();
        std::unique_ptr<QMenu> menu(delegate->buildMenu());
        // Each level item carries its level and sets exactly that one, persisted.
        for (QAction *action : menu->actions()) {
            if (!action->isCheckable())
                continue;
            const auto level = action->data().value<WindowLevelMode>();
            QCOMPARE(action->data(), QVariant::fromValue(level));
            action->trigger();
            QCOMPARE(fixture.settings.levelMode(), level);
            QCOMPARE(Settings(fixture.store, fixture.keys).levelMode(), level);
        }
        delegate->setLevel(WindowLevelMode::front);
        QCOMPARE(fixture.settings.levelMode(), WindowLevelMode::front);
    }

    void firstLaunchOpensTheSettingsOnce()
    {
        Fixture fixture;
        {
            auto delegate = fixture.launch({}, true);
            QVERIFY(delegate->settingsWindow());
            QVERIFY(delegate->settingsWindow()->isVisible());
            QCOMPARE(delegate->settingsWindow()->windowTitle(), QStringLiteral("Dotbanner, réglages"));
            QVERIFY(fixture.store.boolValue(AppDelegate::didShowSettingsOnceKey));
        }
        // The next launch, on the same store, leaves it closed.
        auto again = fixture.launch({}, true);
        QVERIFY(!again->settingsWindow());
    }

    void launchSequenceOrder()
    {
        Fixture fixture;
        auto delegate = fixture.launch({QStringLiteral("--debug-weather")});
        QCOMPARE(fixture.calls, (QStringList{"startData", "startNews", "forecast"}));
        QVERIFY(delegate->statusItem());
        QCOMPARE(delegate->statusItem()->trayIcon()->toolTip(), QStringLiteral("Dotbanner"));
        QVERIFY(!delegate->statusItem()->trayIcon()->icon().isNull());
    }

    void twoLinesPersistsThickBeforeTheServicesStart()
    {
        Fixture fixture;
        BarVariant variantAtStart = BarVariant::thin;
        AppServices services = fixture.services();
        services.startData = [&] { variantAtStart = fixture.settings.variant(); };
        fixture.store.setBool(AppDelegate::didShowSettingsOnceKey, true);
        AppDelegate delegate(services);
        delegate.launch(LaunchOptions::parse({"dotbanner", "--two-lines"}));
        QCOMPARE(variantAtStart, BarVariant::thick);
        QCOMPARE(Settings(fixture.store, fixture.keys).variant(), BarVariant::thick);
    }

    void variantChangeRefreshesNewsThenForcesData()
    {
        Fixture fixture;
        auto delegate = fixture.launch();
        fixture.calls.clear();

        fixture.settings.setVariant(BarVariant::thick);
        QVERIFY(fixture.calls.isEmpty()); // delivered through the event loop
        QTRY_COMPARE(fixture.calls, (QStringList{"refreshNews", "refreshData(force)"}));

        fixture.calls.clear();
        delegate->refreshData();
        QCOMPARE(fixture.calls, QStringList{"refreshData"});

        // "Actualiser" from the menu asks for the same unforced refresh.
        fixture.calls.clear();
        std::unique_ptr<QMenu> menu(delegate->buildMenu());
        actionTitled(menu.get(), QStringLiteral("Actualiser"))->trigger();
        QCOMPARE(fixture.calls, QStringList{"refreshData"});
    }

    void settingsOpenedTwiceGiveOneWindow()
    {
        Fixture fixture;
        auto delegate = fixture.launch();
        QVERIFY(!delegate->settingsWindow());
        delegate->openSettings();
        SettingsWindow *window = delegate->settingsWindow();
        QVERIFY(window && window->isVisible());
        delegate->openSettings();
        QCOMPARE(delegate->settingsWindow(), window);
        QCOMPARE(settingsWindows().size(), 1);

        // Closing only hides it; the next opening brings back the same window, and with the
        // default of QApplication the program would have ended here.
        QVERIFY(window->close());
        QVERIFY(!window->isVisible());
        QCoreApplication::processEvents();
        QCOMPARE(delegate->settingsWindow(), window);
        delegate->reopen();
        QCOMPARE(delegate->settingsWindow(), window);
        QVERIFY(window->isVisible());

        // Resizable down to a minimum that fits a small laptop screen, a close button.
        QVERIFY(window->minimumSize().height() < window->maximumSize().height());
        QVERIFY(window->minimumSizeHint().height() <= 600);
        QVERIFY(window->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(window->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    }

    void quitEndsTheEventLoopWithTheTaskbarEntry()
    {
        Fixture fixture;
        fixture.settings.setShowInDock(true);
        auto delegate = fixture.launch();
        QVERIFY(delegate->taskbarEntry()->isVisible());
        std::unique_ptr<QMenu> menu(delegate->buildMenu());
        QAction *quit = actionTitled(menu.get(), QStringLiteral("Quitter Dotbanner"));
        QVERIFY(quit);

        QEventLoop loop;
        QTimer::singleShot(0, quit, &QAction::trigger);
        QTimer::singleShot(5000, &loop, [&loop] { loop.exit(1); });
        QCOMPARE(loop.exec(), 0);
    }

    void commandsFromASecondLaunch()
    {
        Fixture fixture;
        auto delegate = fixture.launch();
        delegate->handleCommand(QStringLiteral("whatever"));
        delegate->handleCommand(QString());
        QVERIFY(!delegate->settingsWindow());
        QCOMPARE(fixture.settings.variant(), BarVariant::thin);

        delegate->handleCommand(SingleInstance::twoLinesCommand);
        QCOMPARE(fixture.settings.variant(), BarVariant::thick);
        delegate->handleCommand(SingleInstance::openSettingsCommand);
        QVERIFY(delegate->settingsWindow() && delegate->settingsWindow()->isVisible());
    }

    void taskbarEntryFollowsShowInDock()
    {
        Fixture fixture;
        auto delegate = fixture.launch();
        QVERIFY(!delegate->isShownInTaskbar());
        QVERIFY(!delegate->taskbarEntry());
        delegate->openSettings();
        SettingsWindow *window = delegate->settingsWindow();
        QVERIFY(!window->menuBar()->isVisible());
        const int height = window->height();

        fixture.settings.setShowInDock(true);
        QTRY_VERIFY(delegate->isShownInTaskbar());
        // The menu bar makes the window taller as far as it still fits; it stays in the middle
        // rather than grow downwards.
        QTRY_VERIFY(window->menuBar()->isVisible());
        QVERIFY(window->height() >= height);
        // Without a band (none in this fixture) the area is the screen's work area.
        const QRect band = delegate->ticker() ? delegate->ticker()->surface()->frame() : QRect();
        const QRect area = WindowPlacement::areaBeside(window->screen()->availableGeometry(), band);
        QVERIFY(area.contains(window->frameGeometry()));
        const int middle = window->frameGeometry().center().y();
        QVERIFY2(qAbs(middle - area.center().y()) <= 1,
                 qPrintable(QStringLiteral("%1 vs %2").arg(middle).arg(area.center().y())));
        QVERIFY(delegate->taskbarEntry()->isVisible());
        QCOMPARE(delegate->taskbarEntry()->windowTitle(), QStringLiteral("Dotbanner"));
        QVERIFY(window->menuBar()->isVisible());
        QCOMPARE(window->menuBar()->actions().size(), 2);
        QCOMPARE(window->menuBar()->actions().at(0)->text(), QStringLiteral("Dotbanner"));
        QCOMPARE(window->menuBar()->actions().at(1)->text(), QStringLiteral("Édition"));

        // The application menu is the tray menu, current at every opening.
        QMenu *applicationMenu = window->applicationMenu();
        emit applicationMenu->aboutToShow();
        QCOMPARE(applicationMenu->actions().size(), 10);
        QCOMPARE(applicationMenu->actions().at(0)->text(), QStringLiteral("À propos de Dotbanner"));

        // Activating the entry opens the settings window, as a Dock click would.
        window->hide();
        emit delegate->taskbarEntry()->activated();
        QVERIFY(window->isVisible());

        fixture.settings.setShowInDock(false);
        QTRY_VERIFY(!delegate->isShownInTaskbar());
        QVERIFY(!delegate->taskbarEntry()->isVisible());
        QVERIFY(!window->menuBar()->isVisible());
    }

    void menuKeysWorkInTheSettingsWindow()
    {
        Fixture fixture;
        auto delegate = fixture.launch();
        delegate->openSettings();
        SettingsWindow *window = delegate->settingsWindow();
        QApplication::setActiveWindow(window);
        QTRY_VERIFY(window->isActiveWindow());

        // Without a taskbar entry the menu bar is hidden, yet its keys still work.
        QVERIFY(!window->menuBar()->isVisible());
        fixture.calls.clear();
        QTest::keyClick(window, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(fixture.calls, QStringList{"refreshData"});

        // Each opening of the menu replaces its items; the old ones must not linger as
        // rival keys, nor pile up in the window.
        const qsizetype carried = window->actions().size();
        emit window->applicationMenu()->aboutToShow();
        emit window->applicationMenu()->aboutToShow();
        QCOMPARE(window->actions().size(), carried);
        fixture.settings.setShowInDock(true);
        QTRY_VERIFY(window->menuBar()->isVisible());
        fixture.calls.clear();
        QTest::keyClick(window, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(fixture.calls, QStringList{"refreshData"});
    }

    void showInDockAtLaunchNeedsNoChange()
    {
        Fixture fixture;
        fixture.settings.setShowInDock(true);
        auto delegate = fixture.launch();
        QVERIFY(delegate->isShownInTaskbar());
        QVERIFY(delegate->taskbarEntry() && delegate->taskbarEntry()->isVisible());
        delegate->openSettings();
        QVERIFY(delegate->settingsWindow()->menuBar()->isVisible());
    }

    void editMenuActsOnTheFocusedField()
    {
        Fixture fixture;
        auto delegate = fixture.launch();
        delegate->openSettings();
        SettingsWindow *window = delegate->settingsWindow();
        const QList<MenuLine> expected = {
            {QStringLiteral("Annuler"), QStringLiteral("Ctrl+Z")},
            {QStringLiteral("Rétablir"), QStringLiteral("Ctrl+Shift+Z")},
            {QString(), QString()},
            {QStringLiteral("Couper"), QStringLiteral("Ctrl+X")},
            {QStringLiteral("Copier"), QStringLiteral("Ctrl+C")},
            {QStringLiteral("Coller"), QStringLiteral("Ctrl+V")},
            {QString(), QString()},
            {QStringLiteral("Tout sélectionner"), QStringLiteral("Ctrl+A")},
        };
        const QList<MenuLine> actual = lines(window->editMenu());
        QCOMPARE(actual.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(actual[i].title, expected[i].title);
            QCOMPARE(actual[i].shortcut, expected[i].shortcut);
        }

        auto *field = window->findChild<QLineEdit *>(QStringLiteral("field"));
        QVERIFY(field);
        QApplication::setActiveWindow(window);
        field->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), field);
        actionTitled(window->editMenu(), QStringLiteral("Tout sélectionner"))->trigger();
        QCOMPARE(field->selectedText(), QStringLiteral("AAPL"));
        actionTitled(window->editMenu(), QStringLiteral("Couper"))->trigger();
        QCOMPARE(field->text(), QString());
        actionTitled(window->editMenu(), QStringLiteral("Annuler"))->trigger();
        QCOMPARE(field->text(), QStringLiteral("AAPL"));
    }

    void bandContextMenuIsTheSameMenu()
    {
        Fixture fixture;
        FakeBandSurface *surface = nullptr;
        fixture.makeTicker = [&] { return tickerOnFake(fixture.settings, fixture.data, fixture.news, surface); };
        auto delegate = fixture.launch();
        QVERIFY(delegate->ticker());
        TickerController *ticker = delegate->ticker();
        QVERIFY(ticker->menuProvider());
        QMenu *menu = ticker->menuProvider()();
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 10);
        QCOMPARE(menu->actions().at(2)->text(), QStringLiteral("Réglages\u2026"));
        // Asked again, the band gets a fresh, current menu rather than a new one to leak.
        fixture.settings.setLevelMode(WindowLevelMode::desktop);
        QMenu *again = ticker->menuProvider()();
        QCOMPARE(again, menu);
        QCOMPARE(levelChecks(again), (QList<bool>{false, false, true}));
        // A surface that draws the menu itself gets the same items, fresh.
        QVERIFY(surface && surface->popups());
        fixture.settings.setLevelMode(WindowLevelMode::front);
        const QList<QAction *> drawn = surface->popups()->menuActions();
        QCOMPARE(drawn, menu->actions());
        QCOMPARE(levelChecks(menu), (QList<bool>{true, false, false}));

        // Once the delegate is gone the provider gives nothing rather than a dangling menu.
        const std::function<QMenu *()> provider = ticker->menuProvider();
        delegate.reset();
        QCOMPARE(provider(), nullptr);
    }

    // Without a tray the first launch's window and the band's first tool tip say how to reach
    // the menu and the settings; with a tray neither does.
    void noTrayTellsWhereTheMenuIs()
    {
        for (const bool tray : {false, true}) {
            FakeClock clock;
            Fixture fixture;
            fixture.trayAvailable = [tray] { return tray; };
            fixture.settings.setItems({}); // no item under the pointer: only the hint has a tooltip
            FakeBandSurface *surface = nullptr;
            fixture.makeTicker = [&] { return tickerOnFake(fixture.settings, fixture.data, fixture.news, surface); };
            auto delegate = fixture.launch({}, true);
            QVERIFY(delegate->settingsWindow());
            auto *notice = delegate->settingsWindow()->findChild<QLabel *>("settingsNotice");
            QVERIFY(notice);
            QVERIFY(surface);
            // The pointer comes to rest on the band, away from any item.
            const QPointF rest(5, 5);
            surface->pointer(BandPointerEvent::Type::enter, rest);
            clock.advanceMs(BandInteraction::tooltipDelayMs);
            if (tray) {
                QVERIFY(notice->isHidden());
                QVERIFY(!delegate->ticker()->interaction()->hasFirstTooltip());
                QVERIFY(surface->tooltips.isEmpty());
                continue;
            }
            QVERIFY(AppDelegate::noTrayHint().contains(QStringLiteral("clic droit sur le bandeau")));
            QCOMPARE(delegate->settingsWindow()->notice(), AppDelegate::noTrayHint());
            QVERIFY(notice->isVisible());
            QVERIFY(notice->width() <= delegate->settingsWindow()->centralWidget()->width());
            QCOMPARE(surface->tooltips, QStringList{QStringLiteral("show 5 5 ") + AppDelegate::noTrayHint()});
            QVERIFY(!delegate->ticker()->interaction()->hasFirstTooltip());

            // Shown this once: the band stays quiet afterwards.
            surface->pointer(BandPointerEvent::Type::leave, rest);
            surface->pointer(BandPointerEvent::Type::enter, rest);
            clock.advanceMs(10 * BandInteraction::tooltipDelayMs);
            QCOMPARE(surface->tooltips.size(), 2);
            QCOMPARE(surface->tooltips.last(), QStringLiteral("hide"));

            // A later opening of the program is no first launch: no notice.
            delegate.reset();
            auto again = fixture.launch({}, true);
            again->openSettings();
            QVERIFY(again->settingsWindow()->notice().isEmpty());
        }
    }

    void snapshotSwitchesWithoutValueDoNothing()
    {
        Fixture fixture;
        auto delegate = fixture.launch({QStringLiteral("--snapshot-ui")});
        auto other = fixture.launch({QStringLiteral("--two-lines"), QStringLiteral("--snapshot")});
        QVERIFY(!LaunchOptions::parse({"dotbanner", "--snapshot"}).snapshot);
        QVERIFY(!LaunchOptions::parse({"dotbanner", "--snapshot-ui"}).snapshotUi);
        QCOMPARE(LaunchOptions::parse({"dotbanner", "--snapshot", "--two-lines"}).snapshot,
                 std::optional<QString>(QStringLiteral("--two-lines")));
        QVERIFY(!LaunchOptions::parse({"--snapshot", "x.png"}).snapshot); // the program's own name is no switch
        QVERIFY(!LaunchOptions::parse({"dotbanner", "--snapshot=x.png"}).snapshot);
        QVERIFY(LaunchOptions::parse({"dotbanner", "--snapshot"}).runsAlone());
        QVERIFY(!LaunchOptions::parse({"dotbanner", "--two-lines"}).runsAlone());
        QVERIFY(fixture.exits.isEmpty());
    }

    void referenceImagesAreWrittenThenTheProgramEnds()
    {
        Fixture fixture;
        fixture.store.setBool(AppDelegate::didShowSettingsOnceKey, true);
        AppDelegate delegate(fixture.services());
        delegate.setSnapshotDelays(50, 100);
        delegate.launch(
            LaunchOptions::parse({"dotbanner", "--snapshot-ui", "/tmp/x", "--snapshot", "/nonexistent/band.png"}));
        QVERIFY(fixture.exits.isEmpty());
        // The pictures of the windows end with success; then, without a band, there is nothing
        // to write: a failure, not a success. (On a busy machine both can come in one pass.)
        QTRY_COMPARE(fixture.exits, (QList<int>{0, 1}));
        QVERIFY(fixture.calls.contains(QStringLiteral("ui:/tmp/x")));
    }

    void aboutPanel()
    {
        Fixture fixture;
        auto delegate = fixture.launch();
        delegate->showAbout();
        AboutPanel *panel = delegate->aboutPanel();
        QVERIFY(panel && panel->isVisible());
        delegate->showAbout();
        QCOMPARE(delegate->aboutPanel(), panel);
        QCOMPARE(panel->findChild<QLabel *>(QStringLiteral("name"))->text(), QStringLiteral("Dotbanner"));
        QCOMPARE(panel->findChild<QLabel *>(QStringLiteral("version"))->text(),
                 QStringLiteral("Version " DOTBANNER_VERSION " (" DOTBANNER_BUILD_NUMBER ")"));
        QVERIFY(panel->findChild<QLabel *>(QStringLiteral("credits"))
                    ->text()
                    .contains(QStringLiteral("Données météo fournies par WeatherAPI.com")));
    }

    void ledIconSpellsLed()
    {
        // L, E and D, three columns each with one unlit column between them, on rows 4 to 8.
        QVERIFY(LedIcon::lit(1, 4) && LedIcon::lit(1, 8) && LedIcon::lit(3, 8) && !LedIcon::lit(3, 4));
        QVERIFY(LedIcon::lit(5, 4) && LedIcon::lit(7, 4) && LedIcon::lit(6, 6) && !LedIcon::lit(7, 6));
        QVERIFY(LedIcon::lit(9, 4) && !LedIcon::lit(11, 4) && LedIcon::lit(11, 6));
        for (int column = 0; column < LedIcon::columns; ++column) {
            QVERIFY(!LedIcon::lit(column, 3));
            QVERIFY(!LedIcon::lit(column, 9));
        }
        QVERIFY(!LedIcon::lit(4, 6) && !LedIcon::lit(8, 6) && !LedIcon::lit(-1, 4) && !LedIcon::lit(13, 4));

        const QImage image = LedIcon::image(130);
        QCOMPARE(image.size(), QSize(130, 130));
        // Each cell is ten pixels; the centre of a lit cell is green, of an unlit one dark.
        const QColor litColour = image.pixelColor(15, 45);
        const QColor unlitColour = image.pixelColor(45, 45);
        QVERIFY(litColour.green() > 200 && litColour.red() < 100);
        QVERIFY(unlitColour.green() < 60);
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0); // rounded corner
    }
};

QTEST_MAIN(TestAppDelegate)
#include "TestAppDelegate.moc"
