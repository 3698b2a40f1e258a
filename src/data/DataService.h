#pragma once

#include "data/FetchHealth.h"
#include "data/Fetched.h"
#include "data/Records.h"
#include "net/RequestBackoff.h"
#include "types/Quote.h"
#include "types/SourceId.h"
#include "types/WatchItem.h"
#include "util/ClockTimer.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QUuid>

#include <qcoro/qcorotask.h>

#include <chrono>
#include <memory>

class Cancellation;
class HttpClient;
class Settings;
class SourceHealth;
class UserDefaults;

/**
 * The source of the values on the band's first line. Each refresh run, a coroutine on
 * the main thread, shows the stored metal and weather values, refreshes them when a
 * daily slot has passed, then fetches the stock items one by one, publishing the whole
 * list after each step. A new refresh cancels the run in progress.
 *
 * A service that failed (no answer, a status outside 2xx, an answer that says error) is
 * left alone for a while (see RequestBackoff): the metals request as a whole, WeatherAPI
 * per item (as a whole when it refuses the key), each stock item on its own. Only the
 * first maxActiveWatchItems items are fetched and published.
 *
 * Every outcome goes to a SourceHealth model: the one given, or one of the service's own.
 */
class DataService : public QObject
{
    Q_OBJECT
public:
    static inline const QString scheduledKey = QStringLiteral("scheduledCache.v1");
    static inline const QString historyKey = QStringLiteral("metalHistory.v1");
    static inline const QString fetchedAtKey = QStringLiteral("metalsFetchedAt.v1");

    static constexpr std::chrono::milliseconds refreshInterval{60000};
    static constexpr std::chrono::milliseconds twelveDataPause{7800};
    /** Twelve Data is asked again for an item only after this long, unless forced. */
    static constexpr qint64 twelveDataReuseSeconds = 600;
    /** The longest a failing stock item waits between attempts (they have no daily slot). */
    static constexpr std::chrono::milliseconds stockBackoffCap{60 * 60 * 1000};
    /**
     * A closed market's value counts as its close once fetched this long after the session
     * ended: delayed feeds and closing auctions have settled by then.
     */
    static constexpr qint64 marketSettleSeconds = 30 * 60;
    /** A closed market is asked again this long after its next opening. */
    static constexpr qint64 marketReopenDelaySeconds = 60;
    /** The longest a closed market goes without being asked. */
    static constexpr qint64 marketLongestQuietSeconds = 24 * 3600;

    /**
     * Until when a Yahoo value fetched at `fetchedAt` need not be asked again: the next
     * opening (plus a minute) of a closed market whose close it came after; nothing otherwise.
     */
    static std::optional<QDateTime> quietUntil(const Quote &quote, const QDateTime &fetchedAt);

    /** The process-wide service, on Settings::shared(), UserDefaults::standard() and SourceHealth::shared(). */
    static DataService &shared();

    /** Records the health of its sources in `health`, which it does not own. */
    DataService(Settings &settings, UserDefaults &store, HttpClient &http, SourceHealth &health,
                QObject *parent = nullptr);
    /** Records the health of its sources in a model of its own (health()). */
    DataService(Settings &settings, UserDefaults &store, HttpClient &http, QObject *parent = nullptr);
    DataService(Settings &settings, UserDefaults &store, QObject *parent = nullptr);
    ~DataService() override;

    /** Reads the stores, runs a first refresh and starts the periodic timer. Once, at launch. */
    void start();
    /**
     * Cancels the run in progress and starts a new one over the current watch list.
     * `force` is the user's refresh, or a changed key: every value is asked again at once,
     * the daily slots and the Twelve Data reuse time notwithstanding, and a service waiting
     * after failures is tried once more, at most once a minute per service (or item).
     */
    void refresh(bool force);

    QList<Quote> quotes() const { return m_quotes; }
    /** True while a refresh run has not finished or been cancelled. */
    bool isRefreshing() const { return m_runInProgress; }

    /** The store key of a metal or weather item, from the current settings; empty for stocks. */
    QString cacheKey(const WatchItem &item) const;
    /** The key of the metals fetch time: currency ":" unit. */
    QString metalsFetchKey() const;
    static QList<double> normalise(const QList<double> &values) { return Records::normalise(values); }
    /** The latest of 9:00, 12:30 and 17:00 local time at or before `now`. */
    static QDateTime lastSlot(const QDateTime &now);
    /** The earliest of those slots after `now`. */
    static QDateTime nextSlot(const QDateTime &now);

    /** The back-off keys, for tests: the metals request, WeatherAPI's key, one item. */
    QString metalsBackoffKey() const { return QStringLiteral("metals:") + metalsFetchKey(); }
    static QString weatherServiceBackoffKey() { return QStringLiteral("weather"); }
    static QString itemBackoffKey(const QString &service, const WatchItem &item);
    const RequestBackoff &backoff() const { return m_backoff; }
    /** Where the outcome of every fetch is recorded. */
    SourceHealth &health() const { return m_health.model(); }

    /** Test seams: the spacing of Twelve Data requests and the timer interval. */
    void setTwelveDataPause(std::chrono::milliseconds pause) { m_twelvePause = pause; }
    void setRefreshInterval(std::chrono::milliseconds interval);

    QMap<QString, Cached> scheduled() const { return m_scheduled; }
    QMap<QString, QList<Reading>> metalHistory() const { return m_metalHistory; }
    QMap<QString, QDateTime> metalsFetchedAt() const { return m_metalsFetchedAt; }

signals:
    /** Every assignment of the list, on the main thread. */
    void quotesChanged(const QList<Quote> &quotes);

private:
    void onTimerTick();
    void loadStores();
    void saveScheduled();
    void saveHistory();
    void saveFetchTimes();
    QCoro::Task<> run(QList<WatchItem> items, bool force, std::shared_ptr<Cancellation> cancellation);
    QCoro::Task<> refreshMetals(QList<WatchItem> items, bool force, QDateTime now, Cancellation *cancellation);
    void publish(const QList<WatchItem> &items, const Cancellation &cancellation);
    /** Updates the back-off under `key` and the health of `source` (and of `item`, when given). */
    template<typename T>
    void recordOutcome(const QString &key, const Fetched<T> &fetched, std::chrono::milliseconds cap,
                       const SourceId &source, const WatchItem *item);
    std::chrono::milliseconds slotCap() const;

    Settings &m_settings;
    UserDefaults &m_store;
    HttpClient &m_http;
    std::unique_ptr<SourceHealth> m_ownHealth; ///< only without a model given
    FetchHealth m_health;
    ClockTimer m_timer;
    std::shared_ptr<Cancellation> m_runCancellation;
    bool m_runInProgress = false;
    std::chrono::milliseconds m_twelvePause = twelveDataPause;
    /** Monotonic time of the last Twelve Data answer, over all runs: a new run keeps the spacing too. */
    std::optional<qint64> m_lastTwelveAnswerMs;
    RequestBackoff m_backoff;

    QList<Quote> m_quotes;
    QHash<QUuid, Quote> m_cache;
    QHash<QUuid, QDateTime> m_stockFetchedAt;
    QMap<QString, Cached> m_scheduled;
    QMap<QString, QList<Reading>> m_metalHistory;
    QMap<QString, QDateTime> m_metalsFetchedAt;
    /** Yahoo items (by back-off key) whose market is closed, until when they are not asked. */
    QHash<QString, QDateTime> m_quietUntil;
    /** Metal keys a successful answer left out, with the time of that answer. */
    QHash<QString, QDateTime> m_metalsMissingAt;
};
