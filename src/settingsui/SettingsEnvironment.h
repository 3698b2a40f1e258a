#pragma once

#include "settingsui/AlertThresholds.h"
#include "settingsui/BandMode.h"
#include "types/FeedStatus.h"

#include <QHash>
#include <QObject>
#include <QUrl>
#include <QUuid>

#include <functional>
#include <optional>

class HttpClient;
class MotionChoice;
class BandLook;
class ScreenChoice;

/**
 * What the settings window needs from the rest of the program besides the settings:
 * whom to ask for refreshes, the news service's per-feed status, how the band keeps windows
 * clear of itself on this desktop, and how to open addresses. The application wires it to the real services
 * (see ServiceEnvironment.h); tests fill in their own callbacks.
 */
class SettingsEnvironment : public QObject
{
    Q_OBJECT
public:
    explicit SettingsEnvironment(QObject *parent = nullptr);

    /** Asks the data service for a refresh run. Nothing happens when unset. */
    std::function<void(bool force)> refreshData;
    /** Asks the news service for a refresh run. Nothing happens when unset. */
    std::function<void()> refreshNews;
    /** Opens an address in the browser; QDesktopServices::openUrl by default. */
    std::function<void(const QUrl &url)> openUrl;
    /** How the band keeps windows clear of itself on this desktop; `unsupported` when unset. */
    std::function<BandMode()> bandMode;

    /** The price alert of a watch item, if it has one. Unset: the content tab offers no alerts. */
    std::function<std::optional<AlertThresholds>(const QUuid &item)> alertOf;
    /** Gives a watch item these thresholds (none: no alert); false when they were refused. */
    std::function<bool(const QUuid &item, const AlertThresholds &thresholds)> setAlert;

    /** The client of the search requests; HttpClient::shared() unless replaced. */
    HttpClient &http() const;
    void setHttp(HttpClient *client) { m_http = client; }

    /** The screen the band is placed on; ScreenChoice::shared() unless replaced. */
    ScreenChoice &screenChoice() const;
    void setScreenChoice(ScreenChoice *choice) { m_screenChoice = choice; }

    /** Whether the band moves in steps; MotionChoice::shared() unless replaced. */
    MotionChoice &motionChoice() const;
    void setMotionChoice(MotionChoice *choice) { m_motionChoice = choice; }
    /** The band's up and down colours and charts; BandLook::shared() unless replaced. */
    BandLook &bandLook() const;
    void setBandLook(BandLook *look) { m_bandLook = look; }

    /** The news service's last outcome per feed. */
    QHash<QUuid, FeedStatus> newsStatus() const { return m_newsStatus; }
    void setNewsStatus(const QHash<QUuid, FeedStatus> &status);

    void requestDataRefresh(bool force) const;
    void requestNewsRefresh() const;
    void open(const QUrl &url) const;
    BandMode currentBandMode() const;

signals:
    void newsStatusChanged(const QHash<QUuid, FeedStatus> &status);

private:
    HttpClient *m_http = nullptr;
    ScreenChoice *m_screenChoice = nullptr;
    MotionChoice *m_motionChoice = nullptr;
    BandLook *m_bandLook = nullptr;
    QHash<QUuid, FeedStatus> m_newsStatus;
};
