#pragma once

#include "news/FeedParser.h"
#include "types/FeedStatus.h"
#include "types/Headline.h"
#include "types/NewsSource.h"
#include "types/SourceFailure.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>
#include <QUuid>

#include <qcoro/qcorotask.h>

#include <chrono>
#include <memory>
#include <optional>

class Cancellation;
class HttpClient;
class QTimer;
class Settings;
class SourceHealth;

/**
 * Fills the band's news line: downloads every enabled feed one after the other, takes
 * at most `perSource` titles from each, interleaves them feed by feed and publishes the
 * list with a status per feed. Only while the band has two lines; otherwise the list is
 * empty. Every value is published on the main thread.
 *
 * Each refresh run is a coroutine on the main thread with its own Cancellation; a new
 * refresh cancels the running one, and a cancelled run never publishes anything.
 *
 * Each feed's outcome, with the reason of a failure, goes to a SourceHealth model (the one
 * given, or one of the service's own) as soon as it is known.
 */
class NewsService : public QObject
{
    Q_OBJECT
public:
    /** Most titles taken from one feed, and the number of interleaving passes. */
    static constexpr int perSource = 8;
    static constexpr std::chrono::seconds refreshInterval{600};

    /**
     * Reads the feeds and the variant from `settings`; downloads through `http`; records each
     * feed's health in `health`. None is owned.
     */
    NewsService(Settings &settings, HttpClient &http, SourceHealth &health, QObject *parent = nullptr);
    /** The same with a health model of its own (health()). */
    NewsService(Settings &settings, HttpClient &http, QObject *parent = nullptr);
    ~NewsService() override;

    /** The service of the running process, on Settings::shared(), HttpClient::shared() and SourceHealth::shared(). */
    static NewsService &shared();

    /** Refreshes at once, then every `refreshInterval`. Call once. */
    void start();
    /** Starts a new refresh run and cancels the one in progress; returns at once. */
    void refresh();

    QList<Headline> headlines() const { return m_headlines; }
    /** Last outcome per feed id. Entries are replaced, never removed (deleted feeds keep theirs). */
    QHash<QUuid, FeedStatus> status() const { return m_status; }
    /** Where each feed's outcome is recorded. */
    SourceHealth &health() const { return m_health; }
    /** True while a refresh run is in progress. */
    bool isRefreshing() const { return m_refreshing; }
    /**
     * True when the last finished run read no feed at all (every download failed or held no
     * titles) and there are no headlines to show: the news line stops saying it is loading.
     */
    bool nothingRead() const { return m_nothingRead; }

    /**
     * The address of a feed as it is requested: `address` without surrounding white
     * space, when it parses as a URL whose scheme is http or https (any case).
     */
    static std::optional<QUrl> feedUrl(const QString &address);

signals:
    /** On every assignment of the headlines. */
    void headlinesChanged(const QList<Headline> &headlines);
    /** After every merge of a run's outcomes. */
    void statusChanged(const QHash<QUuid, FeedStatus> &status);
    void refreshingChanged(bool refreshing);

private:
    /** One feed's download: its titles, or why there are none (nothing when it was cancelled). */
    struct Fetch
    {
        std::optional<FeedContent> content;
        std::optional<SourceFailure> failure;
    };

    QCoro::Task<> run(QList<NewsSource> sources, std::shared_ptr<Cancellation> cancellation);
    /** The titles of one feed; none when its address, download, HTTP status or body is unusable. */
    static QCoro::Task<Fetch> fetch(HttpClient &http, NewsSource source, Cancellation *cancellation);
    void publish(const QHash<QUuid, FeedStatus> &status, const QList<Headline> &headlines);
    void recordHealth(const NewsSource &source, const Fetch &fetch);
    void setHeadlines(const QList<Headline> &headlines);
    void setRefreshing(bool refreshing);

    Settings &m_settings;
    HttpClient &m_http;
    std::unique_ptr<SourceHealth> m_ownHealth; ///< only without a model given
    SourceHealth &m_health;
    QList<Headline> m_headlines;
    QHash<QUuid, FeedStatus> m_status;
    QTimer *m_timer = nullptr;
    /** The cancellation of the run whose results may still be published, if any. */
    std::shared_ptr<Cancellation> m_task;
    bool m_refreshing = false;
    bool m_nothingRead = false;
};
