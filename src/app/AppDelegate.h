#pragma once

#include "app/AppServices.h"
#include "app/LaunchOptions.h"
#include "types/KeyService.h"
#include "types/SettingsEnums.h"

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <memory>

class AboutPanel;
class AppAlerts;
class AppMenu;
class QMenu;
class SettingsWindow;
class StatusItem;
class TaskbarEntry;
class TickerController;

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
    void launch(const LaunchOptions &options);

    /** A new menu with the ten items, the current level checked. The caller owns it. */
    QMenu *buildMenu();
    /** Replaces the items of `menu` by fresh ones, just before it opens. */
    void refillMenu(QMenu *menu);

    /** Sets the window level of the band, as the menu's level items do. */
    void setLevel(WindowLevelMode level);
    void showAbout();
    /** "Actualiser": an ordinary refresh of the data, not a forced one. */
    void refreshData();
    /** Shows the settings window, making it the first time. */
    void openSettings();
    /** Shows the settings window on the API keys tab, the focus in the field of `service`. */
    void openKeyField(KeyService service);
    /** The user opened the program again while it runs (a second launch, the taskbar entry). */
    void reopen();
    /** A command handed over by a second launch (SingleInstance). Unknown ones are ignored. */
    void handleCommand(const QString &command);

    /** Shows or removes the taskbar entry and the settings window's menu bar. */
    void setShownInTaskbar(bool shown);
    bool isShownInTaskbar() const { return m_shownInTaskbar; }

    TickerController *ticker() const { return m_ticker.get(); }
    /** The price alerts; none before the launch or when the services make none. */
    AppAlerts *alerts() const { return m_alerts.get(); }
    StatusItem *statusItem() const { return m_statusItem.get(); }
    SettingsWindow *settingsWindow() const;
    TaskbarEntry *taskbarEntry() const { return m_taskbarEntry.get(); }
    AboutPanel *aboutPanel() const;

    /** Test seam: the delays of "--snapshot-ui" and "--snapshot", before the launch. */
    void setSnapshotDelays(int referenceImagesMs, int bandMs)
    {
        m_snapshotUiDelayMs = referenceImagesMs;
        m_snapshotDelayMs = bandMs;
    }

    /** The "--snapshot" job: writes the band to `path` and ends the program. */
    void writeBandSnapshot(const QString &path);

    /** What a desktop without a tray must say: how to reach the menu and the settings. */
    static QString noTrayHint();

private:
    /** Opens `window` clear of the band, at the size it was last left at. */
    void placeClearOfTheBand(SettingsWindow &window);
    bool hasTray() const;
    /** Gives the band its context menu and, without a tray, its one-time hint. */
    void connectBand();
    /** Where no notification service answers, an alert is the tray's message. */
    void showTrayMessage(const QString &summary, const QString &body);

    AppServices m_services;
    AppMenu *m_menu;                     // a child
    std::unique_ptr<AppAlerts> m_alerts; // outlives the band, which shows what is alerting
    std::unique_ptr<TickerController> m_ticker;
    std::unique_ptr<StatusItem> m_statusItem;
    QPointer<SettingsWindow> m_settingsWindow;
    QList<QMetaObject::Connection> m_bag;
    std::unique_ptr<TaskbarEntry> m_taskbarEntry;
    QPointer<AboutPanel> m_aboutPanel;
    /** The band's context menu, refilled on every request. */
    std::unique_ptr<QMenu> m_bandMenu;
    bool m_shownInTaskbar = false;
    /** The first launch's settings window tells how to reach the menu without a tray. */
    bool m_firstLaunchNotice = false;
    int m_snapshotUiDelayMs = snapshotUiDelayMs;
    int m_snapshotDelayMs = snapshotDelayMs;
};
