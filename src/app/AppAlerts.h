#pragma once

#include "alerts/AlertStore.h"
#include "alerts/AlertWatcher.h"
#include "alerts/DesktopNotifier.h"

class DataService;
class Settings;
class UserDefaults;

/**
 * The price alerts of a running program: their store, the desktop notifier that tells them and
 * the watcher that compares each publication of the data with them. Made before the data
 * service starts, so the first values fetched are already looked at.
 */
class AppAlerts
{
public:
    /** Reads the alerts from `store`, follows `settings` and watches `data`; none is owned. */
    AppAlerts(UserDefaults &store, Settings &settings, DataService &data, DesktopNotifier::Fallback fallback);

    AlertStore &store() { return m_store; }
    AlertWatcher &watcher() { return m_watcher; }

private:
    AlertStore m_store;
    DesktopNotifier m_notifier;
    AlertWatcher m_watcher;
};
