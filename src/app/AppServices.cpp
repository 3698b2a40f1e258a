#include "app/AppServices.h"

#include "app/AlertEditing.h"
#include "app/AppAlerts.h"
#include "app/BandSurfaceFactory.h"
#include "app/ServiceEnvironment.h"
#include "app/Snapshots.h"
#include "app/StatusItem.h"
#include "app/TickerController.h"
#include "avoider/WindowAvoider.h"
#include "data/DataService.h"
#include "data/ForecastReport.h"
#include "desktop/WindowSystem.h"
#include "net/HttpClient.h"
#include "news/NewsService.h"
#include "settings/Settings.h"
#include "settings/UserDefaults.h"
#include "settingsui/BandMode.h"
#include "settingsui/SettingsSnapshots.h"
#include "settingsui/SettingsView.h"
#include "wayland/SessionMode.h"

#include <QCoreApplication>
#include <QPointer>

#include <memory>

AppServices AppServices::standard()
{
    // What the band and the settings window share: the process's one window system, the window
    // avoider (made with the band, asked by the display tab whether windows can be moved) and
    // the settings window's link to the services.
    struct Shared
    {
        std::shared_ptr<WindowSystem> windowSystem = WindowSystem::forPlatform();
        QPointer<WindowAvoider> avoider;
        QPointer<SettingsEnvironment> environment;
        // Made at launch, before the settings window; a cell of its own, which the window's
        // environment (a child of the application) may hold longer than these.
        std::shared_ptr<QPointer<AlertStore>> alertStore = std::make_shared<QPointer<AlertStore>>();

        SettingsEnvironment &ensureEnvironment()
        {
            if (!environment) {
                environment = new SettingsEnvironment(QCoreApplication::instance());
                connectServices(*environment, DataService::shared(), NewsService::shared(), avoider.data());
                connectAlertEditing(*environment, [cell = alertStore] { return cell->data(); });
                // A layer surface is kept clear by the compositor; through XWayland the band is an
                // X window whose reserved strip the window manager honours when it speaks EWMH.
                environment->bandMode = [x11Mode = environment->bandMode] {
                    if (SessionMode::current() == SessionMode::Kind::layerShell)
                        return BandMode::layerShell;
                    const BandMode mode = x11Mode ? x11Mode() : BandMode::unsupported;
                    if (SessionMode::current() == SessionMode::Kind::xwayland && mode == BandMode::x11Ewmh)
                        return BandMode::xwaylandStrut;
                    return mode;
                };
            }
            return *environment;
        }
    };
    auto shared = std::make_shared<Shared>();

    AppServices services;
    services.settings = &Settings::shared();
    services.defaults = &UserDefaults::standard();
    services.startData = [] { DataService::shared().start(); };
    services.refreshData = [](bool force) { DataService::shared().refresh(force); };
    services.startNews = [] { NewsService::shared().start(); };
    services.refreshNews = [] { NewsService::shared().refresh(); };
    services.makeAlerts = [shared](DesktopNotifier::Fallback fallback) {
        auto alerts = std::make_unique<AppAlerts>(UserDefaults::standard(), Settings::shared(), DataService::shared(),
                                                  std::move(fallback));
        *shared->alertStore = &alerts->store();
        return alerts;
    };
    services.makeTicker = [shared] {
        auto *avoider = new WindowAvoider(shared->windowSystem);
        shared->avoider = avoider;
        return std::make_unique<TickerController>(Settings::shared(), DataService::shared(), NewsService::shared(),
                                                  avoider, &BandSurfaceFactory::make, shared->windowSystem);
    };
    services.makeSettingsView = [shared]() -> QWidget * {
        return new SettingsView(Settings::shared(), shared->ensureEnvironment());
    };
    services.startForecastReport = [] { ForecastReport::start(Settings::shared(), HttpClient::shared()); };
    services.writeReferenceImages = [shared](const QString &prefix) {
        Snapshots::writeBandSamples(prefix);
        SettingsSnapshots::writeAll(prefix, Settings::shared(), shared->ensureEnvironment());
    };
    services.trayAvailable = [] { return StatusItem::isTrayAvailable(); };
    services.exit = [](int status) { QCoreApplication::exit(status); };
    return services;
}
