#include "data/MetalsWeather.h"

#include "data/DataLog.h"
#include "data/JsonMappings.h"
#include "data/StockProviders.h"
#include "net/ServiceUrls.h"
#include "util/Clock.h"

namespace MetalsWeather {

std::optional<QUrl> metalsUrl(const QString &key, const QString &currency, const QString &unit)
{
    return StockProviders::serviceUrl(ServiceUrls::metalsDev(), QStringLiteral("/v1/latest"),
                                      {{QStringLiteral("api_key"), key},
                                       {QStringLiteral("currency"), currency},
                                       {QStringLiteral("unit"), unit}});
}

QString weatherQuery(const WatchItem &item)
{
    return item.ref ? *item.ref : item.symbol;
}

std::optional<QUrl> forecastUrl(const QString &key, const QString &q)
{
    return StockProviders::serviceUrl(ServiceUrls::weatherApi(), QStringLiteral("/v1/forecast.json"),
                                      {{QStringLiteral("key"), key},
                                       {QStringLiteral("q"), q},
                                       {QStringLiteral("days"), QStringLiteral("1")}});
}

QCoro::Task<std::optional<Cached>> fetchWeather(HttpClient &http, WatchItem item, QString key,
                                                Cancellation *cancellation)
{
    if (key.isEmpty())
        co_return std::nullopt;
    const auto url = forecastUrl(key, weatherQuery(item));
    if (!url)
        co_return std::nullopt;
    const auto answer = co_await StockProviders::getJSON(http, *url, cancellation);
    if (!answer)
        co_return std::nullopt;
    std::optional<Cached> current = JsonMappings::forecastCurrent(*answer, Clock::current().now());
    if (!current)
        qCWarning(lcData, "WeatherAPI: no current conditions for \"%s\" in its answer", qPrintable(item.symbol));
    co_return current;
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
