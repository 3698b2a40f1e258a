#include "data/MetalsWeather.h"

#include "data/FetchFailures.h"
#include "data/JsonMappings.h"
#include "data/StockProviders.h"
#include "net/ServiceUrls.h"
#include "util/Clock.h"

namespace MetalsWeather {

ServiceRequest metalsRequest(const QString &key, const QString &currency, const QString &unit)
{
    ServiceRequest request;
    request.base = ServiceUrls::metalsDev();
    request.path = QStringLiteral("/v1/latest");
    request.query = {
        {QStringLiteral("api_key"), key}, {QStringLiteral("currency"), currency}, {QStringLiteral("unit"), unit}};
    return request;
}

std::optional<QUrl> metalsUrl(const QString &key, const QString &currency, const QString &unit)
{
    return metalsRequest(key, currency, unit).url();
}

QString weatherQuery(const WatchItem &item)
{
    return item.ref ? *item.ref : item.symbol;
}

ServiceRequest forecastRequest(const QString &key, const QString &q)
{
    ServiceRequest request;
    request.base = ServiceUrls::weatherApi();
    request.path = QStringLiteral("/v1/forecast.json");
    request.query = {
        {QStringLiteral("key"), key}, {QStringLiteral("q"), q}, {QStringLiteral("days"), QStringLiteral("1")}};
    return request;
}

std::optional<QUrl> forecastUrl(const QString &key, const QString &q)
{
    return forecastRequest(key, q).url();
}

QCoro::Task<Fetched<QJsonObject>> fetchMetals(HttpClient &http, ServiceRequest request, Cancellation *cancellation)
{
    Fetched<QJsonObject> answer = co_await StockProviders::getJSON(http, std::move(request), cancellation, true);
    if (answer.value) {
        const QJsonObject object = *answer.value;
        answer.value = JsonMappings::metalsLatest(object);
        if (!answer.value)
            answer.failure = FetchFailures::ofUnusableObject(object, true, Clock::current().now());
    }
    co_return answer;
}

QCoro::Task<Fetched<Cached>> fetchWeather(HttpClient &http, WatchItem item, QString key, Cancellation *cancellation)
{
    Fetched<Cached> result;
    if (key.isEmpty())
        co_return result;
    const Fetched<QJsonObject> answer =
        co_await StockProviders::getJSON(http, forecastRequest(key, weatherQuery(item)), cancellation, true);
    result.response = answer.response;
    result.failure = answer.failure;
    if (answer.value) {
        result.value = JsonMappings::forecastCurrent(*answer.value, Clock::current().now());
        if (!result.value)
            result.failure = FetchFailures::ofUnusableObject(*answer.value, true, Clock::current().now());
    }
    // WeatherAPI answers a place it does not know with a plain 400 and a code of its own.
    if (result.failure && result.failure->serviceCode == FetchFailures::weatherNoLocation)
        result.failure->kind = FailureKind::notFound;
    co_return result;
}

QList<Reading> appendReading(QList<Reading> history, const Reading &reading)
{
    history.append(reading);
    if (history.size() > maxReadings)
        history.remove(0, history.size() - maxReadings);
    return history;
}

double referencePrice(const QList<Reading> &history, const QDateTime &now)
{
    if (history.isEmpty())
        return 0;
    const QDate today = now.toLocalTime().date();
    for (auto it = history.crbegin(); it != history.crend(); ++it) {
        if (it->t.toLocalTime().date() != today)
            return it->v;
    }
    return history.first().v;
}

std::optional<double> metalChange(const QList<Reading> &history, const QDateTime &now)
{
    if (history.size() < 2)
        return std::nullopt;
    const double reference = referencePrice(history, now);
    if (reference == 0)
        return std::nullopt;
    return (history.last().v / reference - 1) * 100;
}

} // namespace MetalsWeather
