#include "settingsui/SettingsEnvironment.h"

#include "net/HttpClient.h"
#include "settings/MotionChoice.h"
#include "settings/BandLook.h"
#include "settings/ScreenChoice.h"

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

ScreenChoice &SettingsEnvironment::screenChoice() const
{
    return m_screenChoice ? *m_screenChoice : ScreenChoice::shared();
}

MotionChoice &SettingsEnvironment::motionChoice() const
{
    return m_motionChoice ? *m_motionChoice : MotionChoice::shared();
}

BandLook &SettingsEnvironment::bandLook() const
{
    return m_bandLook ? *m_bandLook : BandLook::shared();
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

BandMode SettingsEnvironment::currentBandMode() const
{
    return bandMode ? bandMode() : BandMode::unsupported;
}
