#include "settingsui/SettingsEnvironment.h"

#include "net/HttpClient.h"

#include <QDesktopServices>

SettingsEnvironment::SettingsEnvironment(QObject *parent)
    : QObject(parent)
{
    openUrl = [](const QUrl &url) { QDesktopServices::openUrl(url); };
}

HttpClient &SettingsEnvironment::http() const
{
    return m_http ? *m_http : HttpClient::shared();
}

void SettingsEnvironment::setNewsStatus(const QHash<QUuid, FeedStatus> &status)
{
    m_newsStatus = status;
    emit newsStatusChanged(m_newsStatus);
}

void SettingsEnvironment::requestDataRefresh(bool force) const
{
    if (refreshData)
        refreshData(force);
}

void SettingsEnvironment::requestNewsRefresh() const
{
    if (refreshNews)
        refreshNews();
}

void SettingsEnvironment::open(const QUrl &url) const
{
    if (openUrl)
        openUrl(url);
}

QString SettingsEnvironment::windowModeText() const
{
    return windowMode ? windowMode() : QString();
}

bool SettingsEnvironment::isAccessibilityTrusted() const
{
    return accessibilityTrusted ? accessibilityTrusted() : false;
}

void SettingsEnvironment::requestAccessibility() const
{
    if (openAccessibilitySettings)
        openAccessibilitySettings();
}
