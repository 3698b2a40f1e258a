#pragma once

#include "alerts/DesktopNotifier.h"

#include <QString>

#include <functional>
#include <memory>

class AppAlerts;
class QWidget;
class Settings;
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
    /**
     * Makes the price alerts, watching the data from then on; `fallback` tells an alert where no
     * notification service answers. Unset or returning nothing: no alerts.
     */
    std::function<std::unique_ptr<AppAlerts>(DesktopNotifier::Fallback fallback)> makeAlerts;
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
