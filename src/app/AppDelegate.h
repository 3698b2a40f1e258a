#pragma once

#include "app/LaunchOptions.h"
#include "types/SettingsEnums.h"

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QVariant>

#include <functional>
#include <memory>

class AboutPanel;
class DockEntry;
class QMenu;
class Settings;
class SettingsWindow;
class StatusItem;
class TickerController;
class UserDefaults;

/**
 * What the application shell drives. The program wires it to the process-wide services
 * (AppServices::standard()); tests give their own settings, stores and recording callbacks.
 */
struct AppServices
{
    Settings *settings = nullptr;
    UserDefaults *defaults = nullptr; ///< holds "didShowSettingsOnce"
    std::function<void()> startData;
    std::function<void(bool force)> refreshData;
    std::function<void()> startNews;
    std::function<void()> refreshNews;
    /** Makes the band; may return nothing (tests without a band). */
    std::function<std::unique_ptr<TickerController>()> makeTicker;
    /** Makes the content of the settings window. */
    std::function<QWidget *()> makeSettingsView;
    /** Prints the forecast report and ends the program ("--debug-weather"). */
    std::function<void()> startForecastReport;
    /** Writes the reference images of "--snapshot-ui" under `prefix`. */
    std::function<void(const QString &prefix)> writeReferenceImages;
    /** Whether the desktop shows tray icons; unset: assumed so (no hints about a missing tray). */
    std::function<bool()> trayAvailable;
    /** Ends the event loop with `status`. */
    std::function<void(int status)> exit;

    /** The real program: Settings::shared(), DataService::shared(), NewsService::shared()... */
    static AppServices standard();
};

/**
 * The application shell: runs the launch sequence, owns the band's controller, the tray item,
 * the settings window (made on first use, hidden on close, reused) and the about panel, and
 * answers the menu, which is the same in the tray, on the band and in the settings window's
 * menu bar.
 */
class AppDelegate : public QObject
{
    Q_OBJECT
public:
    /** The first-run flag in the user-defaults store. */
    static inline const QString didShowSettingsOnceKey = QStringLiteral("didShowSettingsOnce");
    /** Delays of the two snapshot switches. */
    static constexpr int snapshotUiDelayMs = 2000;
    static constexpr int snapshotDelayMs = 6000;

    explicit AppDelegate(AppServices services, QObject *parent = nullptr);
    ~AppDelegate() override;

    /** The launch sequence, in its order, with the switches of `options`. */
    void applicationDidFinishLaunching(const LaunchOptions &options);

    /** A new menu with the ten items, the current level checked. The caller owns it. */
    QMenu *buildMenu();
    /** Replaces the items of `menu` by fresh ones, just before it opens. */
    void menuNeedsUpdate(QMenu *menu);

    /** Sets the level named by `representedObject` ("front", "normal", "desktop"); ignores anything else. */
    void setLevel(const QVariant &representedObject);
    void showAbout();
    /** "Actualiser": an ordinary refresh of the data, not a forced one. */
    void refreshData();
    /** Shows the settings window, making it the first time. */
    void openSettings();
    /** The user opened the program again while it runs (a second launch, the taskbar entry). */
    void reopen();
    /** A command handed over by a second launch (SingleInstance). Unknown ones are ignored. */
    void handleCommand(const QString &command);

    /** Shows or removes the taskbar entry and the settings window's menu bar. */
    void setShownInTaskbar(bool shown);
    bool isShownInTaskbar() const { return m_shownInTaskbar; }

    TickerController *ticker() const { return m_ticker.get(); }
    StatusItem *statusItem() const { return m_statusItem.get(); }
    SettingsWindow *settingsWindow() const;
    DockEntry *dockEntry() const { return m_dockEntry.get(); }
    AboutPanel *aboutPanel() const;

    /** Test seam: the delays of "--snapshot-ui" and "--snapshot", before the launch. */
    void setSnapshotDelays(int referenceImagesMs, int bandMs)
    {
        m_snapshotUiDelayMs = referenceImagesMs;
        m_snapshotDelayMs = bandMs;
    }

    /** The "--snapshot" job: writes the band to `path` and ends the program. */
    void writeBandSnapshot(const QString &path);

    /** The window level names in menu order, with their titles. */
    static QList<WindowLevelMode> levelModes();

    /** What a desktop without a tray must say: how to reach the menu and the settings. */
    static QString noTrayHint();

private:
    void fillMenu(QMenu *menu);
    bool hasTray() const;
    /** Gives the band its context menu and, without a tray, its one-time hint. */
    void connectBand();

    AppServices m_services;
    std::unique_ptr<TickerController> m_ticker;
    std::unique_ptr<StatusItem> m_statusItem;
    QPointer<SettingsWindow> m_settingsWindow;
    QList<QMetaObject::Connection> m_bag;
    std::unique_ptr<DockEntry> m_dockEntry;
    QPointer<AboutPanel> m_aboutPanel;
    /** The band's context menu, refilled on every request. */
    std::unique_ptr<QMenu> m_bandMenu;
    bool m_shownInTaskbar = false;
    /** The first launch's settings window tells how to reach the menu without a tray. */
    bool m_firstLaunchNotice = false;
    int m_snapshotUiDelayMs = snapshotUiDelayMs;
    int m_snapshotDelayMs = snapshotDelayMs;
};
