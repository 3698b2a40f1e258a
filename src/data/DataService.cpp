#include "data/DataService.h"

#include "data/DataLog.h"
#include "data/JsonMappings.h"
#include "data/MetalsWeather.h"
#include "data/StockProviders.h"
#include "health/SourceHealth.h"
#include "net/HttpClient.h"
#include "net/ServiceUrls.h"
#include "settings/Settings.h"
#include "settings/UserDefaults.h"
#include "types/MarketHours.h"
#include "util/Cancellation.h"
#include "util/Clock.h"
#include "util/ClockWait.h"

#include <QPointer>

#include <algorithm>
#include <utility>

namespace {

struct Slot
{
    int hour;
    int minute;
};

constexpr Slot dailySlots[] = {{9, 0}, {12, 30}, {17, 0}};

/**
 * The local time `hour`:`minute` on `day`. A time skipped by a clock change moves to
 * the next time that exists; nothing if none does within a few hours.
 */
std::optional<QDateTime> slotOn(const QDate &day, const Slot &slot)
{
    const QTime wanted(slot.hour, slot.minute);
    for (int shift = 0; shift <= 180; ++shift) {
        const QTime time = wanted.addSecs(shift * 60);
        if (time < wanted)
            break; // passed midnight
        const QDateTime candidate(day, time, Qt::LocalTime);
        if (candidate.isValid() && candidate.date() == day && candidate.time() == time)
            return candidate;
    }
    return std::nullopt;
}

} // namespace

DataService &DataService::shared()
{
    static DataService *service =
        new DataService(Settings::shared(), UserDefaults::standard(), HttpClient::shared(), SourceHealth::shared());
    return *service;
}

DataService::DataService(Settings &settings, UserDefaults &store, HttpClient &http, SourceHealth &health,
                         QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_store(store)
    , m_http(http)
    , m_health(health)
{
    m_timer.setInterval(refreshInterval);
    connect(&m_timer, &ClockTimer::timeout, this, &DataService::onTimerTick);
}

DataService::DataService(Settings &settings, UserDefaults &store, HttpClient &http, QObject *parent)
    : DataService(settings, store, http, *new SourceHealth(), parent)
{
    m_ownHealth.reset(&m_health.model());
}

DataService::DataService(Settings &settings, UserDefaults &store, QObject *parent)
    : DataService(settings, store, HttpClient::shared(), parent)
{}

DataService::~DataService()
{
    m_timer.stop();
    // A run still waiting resumes after this object is gone and then stops at once:
    // it checks a guard after every suspension.
    if (m_runCancellation)
        m_runCancellation->cancel();
}

void DataService::start()
{
    // A refused service address is reported once, at start, rather than at the first request.
    ServiceUrls::checkOverrides();
    loadStores();
    refresh(false);
    m_timer.start();
}

void DataService::setRefreshInterval(std::chrono::milliseconds interval)
{
    m_timer.setInterval(interval);
}

void DataService::onTimerTick()
{
    // A run slower than the interval would otherwise be cut short on every tick and
    // never reach the items at the end of the list.
    if (m_runInProgress)
        return;
    refresh(false);
}

void DataService::refresh(bool force)
{
    // A key the keyring refused earlier is used from memory; each run tries to store it again.
    m_settings.retryKeyStorage();
    const QList<WatchItem> items = m_settings.items().mid(0, maxActiveWatchItems);
    auto cancellation = std::make_shared<Cancellation>();
    const std::shared_ptr<Cancellation> previous = std::exchange(m_runCancellation, cancellation);
    m_runInProgress = true;
    if (previous)
        previous->cancel();
    // Eager coroutine: runs to its first suspension now and frees itself when done.
    run(items, force, cancellation);
}

QString DataService::metalsFetchKey() const
{
    return m_settings.metalCurrency() + QLatin1Char(':') + m_settings.metalUnit();
}

QString DataService::cacheKey(const WatchItem &item) const
{
    switch (item.kind) {
    case ItemKind::weather:
        return QStringLiteral("weather.v2:") + (item.ref ? *item.ref : item.symbol);
    case ItemKind::metal:
        return QStringLiteral("metal:") + item.symbol + QLatin1Char(':') + metalsFetchKey();
    case ItemKind::quote:
        break;
    }
    return {};
}

QDateTime DataService::lastSlot(const QDateTime &now)
{
    const QDateTime local = now.toLocalTime();
    std::optional<QDateTime> latest;
    for (const Slot &slot : dailySlots) {
        const auto time = slotOn(local.date(), slot);
        if (time && *time <= local && (!latest || *time > *latest))
            latest = time;
    }
    if (latest)
        return *latest;
    const QDate yesterday = local.date().addDays(-1);
    if (const auto evening = slotOn(yesterday, dailySlots[2]))
        return *evening;
    return QDateTime(yesterday, QTime(0, 0), Qt::LocalTime);
}

QDateTime DataService::nextSlot(const QDateTime &now)
{
    const QDateTime local = now.toLocalTime();
    for (int day = 0; day <= 2; ++day) {
        for (const Slot &slot : dailySlots) {
            const auto time = slotOn(local.date().addDays(day), slot);
            if (time && *time > local)
                return *time;
        }
    }
    return local.addDays(1);
}

QString DataService::itemBackoffKey(const QString &service, const WatchItem &item)
{
    // The symbol and market are part of the key: an edited item is a new request, asked at once.
    return service + QLatin1Char(':') + item.id.toString(QUuid::WithoutBraces) + QLatin1Char(':') + item.symbol +
           QLatin1Char(':') + item.ref.value_or(QString());
}

std::optional<QDateTime> DataService::quietUntil(const Quote &quote, const QDateTime &fetchedAt)
{
    if (!quote.market)
        return std::nullopt;
    const auto closed = MarketHours::closure(*quote.market, fetchedAt);
    if (!closed || closed->lastClose.secsTo(fetchedAt) < marketSettleSeconds)
        return std::nullopt;
    // An answer naming a far session (or a holiday) is looked at again after a day anyway.
    return std::min(closed->nextOpen.addSecs(marketReopenDelaySeconds), fetchedAt.addSecs(marketLongestQuietSeconds));
}

std::chrono::milliseconds DataService::slotCap() const
{
    const QDateTime now = Clock::current().now();
    return std::chrono::milliseconds(std::max<qint64>(0, now.msecsTo(nextSlot(now))));
}

template<typename T>
void DataService::recordOutcome(const QString &key, const Fetched<T> &fetched, std::chrono::milliseconds cap,
                                const SourceId &source, const WatchItem *item)
{
    if (fetched.value)
        m_backoff.succeeded(key);
    else if (fetched.failed())
        m_backoff.failed(key, Clock::current().monotonicMs(), cap, fetched.response.retryAfter, Clock::current().now());
    m_health.record(source, fetched, item, m_backoff.retryAtMs(key));
}

void DataService::loadStores()
{
    if (const auto bytes = m_store.data(scheduledKey)) {
        if (auto scheduled = Records::decodeScheduled(*bytes))
            m_scheduled = std::move(*scheduled);
    }
    if (const auto bytes = m_store.data(historyKey)) {
        if (auto history = Records::decodeHistory(*bytes))
            m_metalHistory = std::move(*history);
    }
    if (const auto bytes = m_store.data(fetchedAtKey)) {
        if (auto times = Records::decodeFetchTimes(*bytes))
            m_metalsFetchedAt = std::move(*times);
    }
}

void DataService::saveScheduled()
{
    m_store.set(scheduledKey, Records::encodeScheduled(m_scheduled));
}

void DataService::saveHistory()
{
    m_store.set(historyKey, Records::encodeHistory(m_metalHistory));
}

void DataService::saveFetchTimes()
{
    m_store.set(fetchedAtKey, Records::encodeFetchTimes(m_metalsFetchedAt));
}

void DataService::publish(const QList<WatchItem> &items, const Cancellation &cancellation)
{
    // A cancelled run may still be finishing its last request; what it would show is
    // older than what its successor shows.
    if (cancellation.isCancelled())
        return;
    QList<Quote> quotes;
    quotes.reserve(items.size());
    for (const WatchItem &item : items) {
        Quote quote = m_cache.value(item.id, Records::placeholder(item));
        // The cache keeps the label the value was fetched under; a rename shows at once.
        quote.name = item.label;
        quotes.append(std::move(quote));
    }
    m_quotes = quotes;
    emit quotesChanged(m_quotes);
}

QCoro::Task<> DataService::run(QList<WatchItem> items, bool force, std::shared_ptr<Cancellation> cancellation)
{
    const QPointer<DataService> self(this);
    Cancellation &token = *cancellation;
    const auto finish = [this, &cancellation] {
        if (m_runCancellation == cancellation)
            m_runInProgress = false;
    };

    QSet<QUuid> ids;
    for (const WatchItem &item : items)
        ids.insert(item.id);
    m_cache.removeIf([&ids](const auto &entry) { return !ids.contains(entry.key()); });
    m_health.model().keepItems(ids);

    const QDateTime now = Clock::current().now();
    qCDebug(lcData, "refresh of %lld items%s", qlonglong(items.size()), force ? " (forced)" : "");
    for (const WatchItem &item : items) {
        if (item.kind == ItemKind::quote)
            continue;
        const auto stored = m_scheduled.constFind(cacheKey(item));
        if (stored != m_scheduled.cend())
            m_cache.insert(item.id, Records::quoteFromCached(item, *stored));
    }
    publish(items, token);

    QList<WatchItem> metals;
    std::copy_if(items.cbegin(), items.cend(), std::back_inserter(metals),
                 [](const WatchItem &item) { return item.kind == ItemKind::metal; });
    if (!metals.isEmpty()) {
        co_await refreshMetals(metals, force, now, cancellation.get());
        if (!self)
            co_return;
        publish(items, token);
    }

    const QDateTime slot = lastSlot(now);
    for (const WatchItem &item : items) {
        if (item.kind != ItemKind::weather)
            continue;
        if (token.isCancelled()) {
            finish();
            co_return;
        }
        const QString key = cacheKey(item);
        const auto stored = m_scheduled.constFind(key);
        const bool due = force || stored == m_scheduled.cend() || !stored->icon || stored->at < slot;
        if (!due)
            continue;
        const QString weatherKey = m_settings.effectiveWeatherKey();
        const QString backoffKey = itemBackoffKey(QStringLiteral("weather"), item);
        const qint64 nowMs = Clock::current().monotonicMs();
        if (!weatherKey.isEmpty() && (!m_backoff.mayAsk(weatherServiceBackoffKey(), nowMs, force) ||
                                      !m_backoff.mayAsk(backoffKey, nowMs, force)))
            continue;
        const auto result = co_await MetalsWeather::fetchWeather(m_http, item, weatherKey, cancellation.get());
        if (!self)
            co_return;
        if (!weatherKey.isEmpty()) {
            // A refused key fails every item alike: the service waits as a whole.
            const int status = result.response.status;
            const bool keyRefused = status == 401 || status == 403;
            if (result.value)
                m_backoff.succeeded(weatherServiceBackoffKey());
            recordOutcome(keyRefused ? weatherServiceBackoffKey() : backoffKey, result, slotCap(),
                          SourceId::weatherApi(), &item);
        } else {
            m_health.missingKey(SourceId::weatherApi(), &item);
        }
        if (result.value) {
            m_scheduled.insert(key, *result.value);
            saveScheduled();
            m_cache.insert(item.id, Records::quoteFromCached(item, *result.value));
        } else if (!m_scheduled.contains(key)) {
            const bool hasKey = !m_settings.weatherKey().isEmpty();
            m_cache.insert(item.id,
                           Records::placeholder(item, hasKey ? Records::placeholderPrice : Records::missingKeyPrice));
        }
        publish(items, token);
    }

    const StockProvider provider = m_settings.stockProvider();
    m_quietUntil.removeIf([&now](const auto &entry) { return entry.value() <= now; });
    for (const WatchItem &item : items) {
        if (item.kind != ItemKind::quote)
            continue;
        if (token.isCancelled()) {
            finish();
            co_return;
        }
        Fetched<Quote> result;
        const bool yahoo = provider == StockProvider::yahoo;
        const QString backoffKey = itemBackoffKey(yahoo ? QStringLiteral("yahoo") : QStringLiteral("twelvedata"), item);
        if (!m_backoff.mayAsk(backoffKey, Clock::current().monotonicMs(), force)) {
            if (!m_cache.contains(item.id))
                m_cache.insert(item.id, Records::placeholder(item));
            continue;
        }
        if (yahoo && !force && m_quietUntil.contains(backoffKey) && m_cache.contains(item.id))
            continue; // its market is closed and the value shown is its close
        if (yahoo) {
            result = co_await StockProviders::fetchYahoo(m_http, item, cancellation.get());
        } else {
            const QString key = m_settings.stockKey();
            if (key.isEmpty()) {
                m_cache.insert(item.id, Records::placeholder(item, Records::missingKeyPrice));
                m_health.missingKey(SourceId::twelveData(), &item);
                continue;
            }
            const auto fetchedAt = m_stockFetchedAt.constFind(item.id);
            const bool fresh = fetchedAt != m_stockFetchedAt.cend() &&
                               fetchedAt->secsTo(now) < twelveDataReuseSeconds && m_cache.contains(item.id);
            if (!force && fresh)
                continue;
            // A refresh that cut short the previous run's pause must not ask sooner than it would have.
            if (m_lastTwelveAnswerMs) {
                const auto since = std::chrono::milliseconds(Clock::current().monotonicMs() - *m_lastTwelveAnswerMs);
                if (since < m_twelvePause) {
                    co_await waitOnClock(m_twelvePause - since, cancellation.get());
                    if (!self)
                        co_return;
                    if (token.isCancelled()) {
                        finish();
                        co_return;
                    }
                }
            }
            result = co_await StockProviders::fetchTwelve(m_http, item, key, cancellation.get());
            if (self)
                m_lastTwelveAnswerMs = Clock::current().monotonicMs();
        }
        if (!self)
            co_return;
        recordOutcome(backoffKey, result, stockBackoffCap, yahoo ? SourceId::yahoo() : SourceId::twelveData(), &item);
        if (result.value) {
            const QDateTime fetchedAt = Clock::current().now();
            result.value->at = fetchedAt;
            m_cache.insert(item.id, *result.value);
            m_stockFetchedAt.insert(item.id, fetchedAt);
            if (const auto quiet = yahoo ? quietUntil(*result.value, fetchedAt) : std::nullopt)
                m_quietUntil.insert(backoffKey, *quiet);
            else
                m_quietUntil.remove(backoffKey);
        } else if (!m_cache.contains(item.id)) {
            m_cache.insert(item.id, Records::placeholder(item));
        }
        publish(items, token);
        if (!yahoo) {
            co_await waitOnClock(m_twelvePause, cancellation.get());
            if (!self)
                co_return;
        }
    }

    publish(items, token);
    finish();
}

QCoro::Task<> DataService::refreshMetals(QList<WatchItem> items, bool force, QDateTime now, Cancellation *cancellation)
{
    const QPointer<DataService> self(this);
    // Keys are taken before the request: the answer is in the currency and unit asked for,
    // even if the settings change while it travels.
    const QString fetchKey = metalsFetchKey();
    QStringList keys;
    for (const WatchItem &item : items)
        keys.append(cacheKey(item));
    const QDateTime slot = lastSlot(now);

    // A metal the service left out of a successful answer counts as known until the next
    // slot; otherwise it would cost a request on every run.
    const bool allKnown = std::all_of(keys.cbegin(), keys.cend(), [&](const QString &key) {
        const auto missing = m_metalsMissingAt.constFind(key);
        return m_scheduled.contains(key) || (missing != m_metalsMissingAt.cend() && *missing >= slot);
    });
    const auto fetched = m_metalsFetchedAt.constFind(fetchKey);
    if (allKnown && !force && fetched != m_metalsFetchedAt.cend() && *fetched >= slot)
        co_return;

    const QString key = m_settings.effectiveMetalsKey();
    if (key.isEmpty()) {
        for (const WatchItem &item : items) {
            if (!m_cache.contains(item.id))
                m_cache.insert(item.id, Records::placeholder(item, Records::missingKeyPrice));
        }
        m_health.missingKey(SourceId::metalsDev());
        co_return;
    }

    const QString backoffKey = metalsBackoffKey();
    if (!m_backoff.mayAsk(backoffKey, Clock::current().monotonicMs(), force))
        co_return;
    const auto answer = co_await MetalsWeather::fetchMetals(
        m_http, MetalsWeather::metalsRequest(key, m_settings.metalCurrency(), m_settings.metalUnit()), cancellation);
    if (!self)
        co_return;
    recordOutcome(backoffKey, answer, slotCap(), SourceId::metalsDev(), nullptr);
    if (!answer.value)
        co_return;
    const QJsonObject &metals = *answer.value;

    // The same metal may be watched twice; its price is one reading, or the history would
    // hold every price twice and a first fetch would show a change of 0 against itself.
    QSet<QString> updated;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const WatchItem &item = items.at(i);
        const QString &metalKey = keys.at(i);
        const QJsonValue value = metals.value(item.symbol);
        if (!value.isDouble()) {
            m_metalsMissingAt.insert(metalKey, now);
            m_health.failed(SourceId::metalsDev(),
                            SourceFailure{FailureKind::notFound, 0, 0, NetworkProblem::none, Clock::current().now()},
                            &item);
            continue;
        }
        m_health.succeeded(SourceId::metalsDev(), &item);
        if (updated.contains(metalKey)) {
            m_cache.insert(item.id, Records::quoteFromCached(item, m_scheduled.value(metalKey)));
            continue;
        }
        updated.insert(metalKey);
        m_metalsMissingAt.remove(metalKey);
        const double price = value.toDouble();
        const QList<Reading> history =
            MetalsWeather::appendReading(m_metalHistory.value(metalKey), Reading{now, price});
        m_metalHistory.insert(metalKey, history);

        QList<double> values;
        for (const Reading &reading : history)
            values.append(reading.v);
        Cached cached;
        cached.price = Records::priceText(price);
        cached.change = MetalsWeather::metalChange(history, now);
        cached.series = Records::normalise(values);
        cached.at = now;
        m_scheduled.insert(metalKey, cached);
        m_cache.insert(item.id, Records::quoteFromCached(item, cached));
    }
    m_metalsFetchedAt.insert(fetchKey, now);
    saveScheduled();
    saveHistory();
    saveFetchTimes();
}
