#include "app/AppAlerts.h"

AppAlerts::AppAlerts(UserDefaults &store, Settings &settings, DataService &data, DesktopNotifier::Fallback fallback)
    : m_store(store, settings)
    , m_notifier(std::move(fallback))
    , m_watcher(m_store, m_notifier)
{
    m_watcher.watch(data);
}
