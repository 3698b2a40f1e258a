#include "app/AppDelegate.h"

#include "app/AboutPanel.h"
#include "app/AppAlerts.h"
#include "app/AppMenu.h"
#include "app/SettingsWindow.h"
#include "app/SingleInstance.h"
#include "app/StatusItem.h"
#include "app/TaskbarEntry.h"
#include "app/TickerController.h"
#include "band/BandInteraction.h"
#include "health/ItemHealth.h"
#include "settings/SavedWindowSize.h"
#include "settings/Settings.h"
#include "settings/UserDefaults.h"
#include "settingsui/KeysTab.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTimer>

#include <cstdio>

AppDelegate::AppDelegate(AppServices services, QObject *parent)
    : QObject(parent)
    , m_services(std::move(services))
{
    Q_ASSERT(m_services.settings && m_services.defaults);
    AppMenu::Handlers handlers;
    handlers.showAbout = [this] { showAbout(); };
    handlers.openSettings = [this] { openSettings(); };
    handlers.refresh = [this] { refreshData(); };
    handlers.level = [this] { return m_services.settings->levelMode(); };
    handlers.setLevel = [this](WindowLevelMode level) { setLevel(level); };
    m_menu = new AppMenu(std::move(handlers), this);
}

AppDelegate::~AppDelegate()
{
    for (const QMetaObject::Connection &connection : std::as_const(m_bag))
        disconnect(connection);
    // The band's view may still call the menu provider while it goes; it holds us weakly.
    m_ticker.reset();
    delete m_settingsWindow.data();
    delete m_aboutPanel.data();
}

void AppDelegate::launch(const LaunchOptions &options)
{
    Settings &settings = *m_services.settings;

    setShownInTaskbar(settings.showInDock());
    m_bag.append(
        connect(&settings, &Settings::showInDockChanged, this, &AppDelegate::setShownInTaskbar, Qt::QueuedConnection));

    if (options.twoLines)
        settings.setVariant(BarVariant::thick);

    // The alerts look at every publication of the data, so they exist before it starts.
    if (m_services.makeAlerts) {
        QPointer<AppDelegate> self(this);
        m_alerts = m_services.makeAlerts([self](const QString &summary, const QString &body) {
            if (self)
                self->showTrayMessage(summary, body);
        });
    }
    if (m_services.startData)
        m_services.startData();
    if (m_services.startNews)
        m_services.startNews();

    // The news line comes and goes with the variant, and the band's layout with it: both
    // services start over, the data one without waiting for its throttles.
    m_bag.append(connect(
        &settings, &Settings::variantChanged, this,
        [this] {
            if (m_services.refreshNews)
                m_services.refreshNews();
            if (m_services.refreshData)
                m_services.refreshData(true);
        },
        Qt::QueuedConnection));

    if (m_services.makeTicker)
        m_ticker = m_services.makeTicker();
    if (m_ticker && m_alerts)
        m_ticker->setAlertWatcher(&m_alerts->watcher());
    connectBand();

    m_statusItem = std::make_unique<StatusItem>();
    QMenu *statusMenu = m_statusItem->menu();
    connect(statusMenu, &QMenu::aboutToShow, this, [this, statusMenu] { refillMenu(statusMenu); });

    UserDefaults &defaults = *m_services.defaults;
    if (!defaults.boolValue(didShowSettingsOnceKey)) {
        defaults.setBool(didShowSettingsOnceKey, true);
        m_firstLaunchNotice = !hasTray();
        QTimer::singleShot(0, this, &AppDelegate::openSettings);
    }

    if (options.debugWeather && m_services.startForecastReport)
        m_services.startForecastReport();

    if (options.snapshotUi) {
        const QString prefix = *options.snapshotUi;
        QTimer::singleShot(m_snapshotUiDelayMs, qApp,
                           [prefix, exit = m_services.exit, write = m_services.writeReferenceImages] {
                               if (write)
                                   write(prefix);
                               if (exit)
                                   exit(0);
                           });
    }

    if (options.snapshot) {
        const QString path = *options.snapshot;
        QPointer<AppDelegate> self(this);
        QTimer::singleShot(m_snapshotDelayMs, qApp, [self, path, exit = m_services.exit] {
            if (self)
                self->writeBandSnapshot(path);
            else if (exit)
                exit(1);
        });
    }
}

SettingsWindow *AppDelegate::settingsWindow() const
{
    return m_settingsWindow.data();
}

AboutPanel *AppDelegate::aboutPanel() const
{
    return m_aboutPanel.data();
}

QMenu *AppDelegate::buildMenu()
{
    return m_menu->build();
}

void AppDelegate::refillMenu(QMenu *menu)
{
    m_menu->refill(menu);
}

QString AppDelegate::noTrayHint()
{
    return tr("Ce bureau n'affiche pas d'icône de Dotbanner : un clic droit sur le bandeau ouvre son menu, et "
              "relancer Dotbanner rouvre ces réglages.");
}

bool AppDelegate::hasTray() const
{
    return !m_services.trayAvailable || m_services.trayAvailable();
}

void AppDelegate::connectBand()
{
    if (!m_ticker)
        return;
    QPointer<AppDelegate> self(this);
    m_ticker->setMenuProvider([self]() -> QMenu * {
        if (!self)
            return nullptr;
        if (!self->m_bandMenu) {
            self->m_bandMenu = std::make_unique<QMenu>();
            self->m_bandMenu->setObjectName(QStringLiteral("bandMenu"));
        }
        self->refillMenu(self->m_bandMenu.get());
        return self->m_bandMenu.get();
    });
    // An item waiting for a key leads to its field; every other address goes on as before.
    BandInteraction *interaction = m_ticker->interaction();
    interaction->openUrl = [self, open = std::move(interaction->openUrl)](const QUrl &url) {
        if (const std::optional<KeyService> service = ItemHealth::keyFieldOf(url)) {
            if (self)
                self->openKeyField(*service);
        } else if (open) {
            open(url);
        }
    };
    // Without a tray the band itself says once where the menu is, whatever surface shows it.
    if (!hasTray())
        m_ticker->interaction()->setFirstTooltip(noTrayHint());
}

void AppDelegate::showTrayMessage(const QString &summary, const QString &body)
{
    if (m_statusItem)
        m_statusItem->trayIcon()->showMessage(summary, body);
}

void AppDelegate::setLevel(WindowLevelMode level)
{
    m_services.settings->setLevelMode(level);
}

void AppDelegate::showAbout()
{
    if (!m_aboutPanel)
        m_aboutPanel = new AboutPanel;
    m_aboutPanel->show();
    m_aboutPanel->raise();
    m_aboutPanel->activateWindow();
}

void AppDelegate::refreshData()
{
    if (m_services.refreshData)
        m_services.refreshData(false);
}

void AppDelegate::openSettings()
{
    if (!m_settingsWindow) {
        QWidget *content = m_services.makeSettingsView ? m_services.makeSettingsView() : new QWidget;
        m_settingsWindow = new SettingsWindow(content);
        SettingsWindow *window = m_settingsWindow.data();
        placeClearOfTheBand(*window);
        QMenu *applicationMenu = window->applicationMenu();
        // The window carries the menu's items as well, so their keys work in it even while
        // the menu bar is hidden (no taskbar entry). The old items leave the window first:
        // the menu deletes only the items no other widget shows.
        const auto refill = [this, window, applicationMenu] {
            for (QAction *action : applicationMenu->actions())
                window->removeAction(action);
            refillMenu(applicationMenu);
            window->addActions(applicationMenu->actions());
        };
        connect(applicationMenu, &QMenu::aboutToShow, this, refill);
        // Filled now as well as on every opening, so its keys work before it was ever opened.
        refill();
        m_settingsWindow->setMenuBarShown(m_shownInTaskbar);
        if (m_firstLaunchNotice)
            m_settingsWindow->setNotice(noTrayHint());
        m_settingsWindow->centre();
    }
    m_settingsWindow->show();
    m_settingsWindow->setWindowState(m_settingsWindow->windowState() & ~Qt::WindowMinimized);
    m_settingsWindow->raise();
    m_settingsWindow->activateWindow();
}

void AppDelegate::openKeyField(KeyService service)
{
    openSettings();
    KeysTab::revealKey(m_settingsWindow, service);
}

void AppDelegate::placeClearOfTheBand(SettingsWindow &window)
{
    window.setBandFrame([this] { return m_ticker && m_ticker->surface() ? m_ticker->surface()->frame() : QRect(); });
    if (m_services.defaults)
        window.setSavedSize(
            std::make_unique<SavedWindowSize>(*m_services.defaults, SavedWindowSize::settingsWindowKey));
}

void AppDelegate::reopen()
{
    openSettings();
}

void AppDelegate::handleCommand(const QString &command)
{
    if (command == SingleInstance::twoLinesCommand)
        m_services.settings->setVariant(BarVariant::thick);
    else if (command == SingleInstance::openSettingsCommand)
        reopen();
}

void AppDelegate::setShownInTaskbar(bool shown)
{
    m_shownInTaskbar = shown;
    if (shown && !m_taskbarEntry) {
        m_taskbarEntry = std::make_unique<TaskbarEntry>();
        connect(m_taskbarEntry.get(), &TaskbarEntry::activated, this, &AppDelegate::reopen);
    }
    if (m_taskbarEntry)
        m_taskbarEntry->setPresent(shown);
    if (m_settingsWindow)
        m_settingsWindow->setMenuBarShown(shown);
}

void AppDelegate::writeBandSnapshot(const QString &path)
{
    const bool written = m_ticker && m_ticker->writePNG(path);
    if (!written)
        std::fprintf(stderr, "dotbanner: %s\n",
                     qPrintable(tr("impossible d'écrire l'image du bandeau dans %1").arg(path)));
    if (m_services.exit)
        m_services.exit(written ? 0 : 1);
}
