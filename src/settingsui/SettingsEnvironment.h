#pragma once

#include "news/FeedStatus.h"

#include <QHash>
#include <QObject>
#include <QUrl>
#include <QUuid>

#include <functional>

class HttpClient;

/**
 * What the settings window needs from the rest of the program besides the settings:
 * whom to ask for refreshes, the news service's per-feed status, the window avoider's
 * permission, and how to open addresses. The application wires it to the real services
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
    /** Whether the window avoider may move other windows; false when unset. */
    std::function<bool()> accessibilityTrusted;
    /** Asks the desktop for that permission / opens its settings, where there are any. */
    std::function<void()> openAccessibilitySettings;
    /** How the band meets the desktop in this session, in plain words; empty when unset. */
    std::function<QString()> windowMode;

    /** The client of the search requests; HttpClient::shared() unless replaced. */
    HttpClient &http() const;
    void setHttp(HttpClient *client) { m_http = client; }

    /** The news service's last outcome per feed. */
    QHash<QUuid, FeedStatus> newsStatus() const { return m_newsStatus; }
    void setNewsStatus(const QHash<QUuid, FeedStatus> &status);

    void requestDataRefresh(bool force) const;
    void requestNewsRefresh() const;
    void open(const QUrl &url) const;
    bool isAccessibilityTrusted() const;
    void requestAccessibility() const;
    QString windowModeText() const;

signals:
    void newsStatusChanged(const QHash<QUuid, FeedStatus> &status);

private:
    HttpClient *m_http = nullptr;
    QHash<QUuid, FeedStatus> m_newsStatus;
};
