#include "data/StockProviders.h"

#include "data/DataLog.h"
#include "data/JsonMappings.h"
#include "net/HttpClient.h"
#include "net/ServiceUrls.h"

namespace {

/** The value `map` reads from a usable answer, keeping the response for the caller. */
template<typename T, typename Map> Fetched<T> mapped(const Fetched<QJsonObject> &answer, Map map)
{
    Fetched<T> result;
    result.response = answer.response;
    if (answer.value)
        result.value = map(*answer.value);
    return result;
}

} // namespace

namespace StockProviders {

QCoro::Task<Fetched<QJsonObject>> getJSON(HttpClient &http, ServiceRequest request, Cancellation *cancellation)
{
    // Keys travel in the query: the log names the service by the rest of the address.
    const QString service = request.base.adjusted(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment)
                                .toString(QUrl::StripTrailingSlash) +
                            request.path;
    ServiceRequest::Answer answer = co_await ServiceRequest::send(http, std::move(request), cancellation);
    Fetched<QJsonObject> result;
    answer.response.body.clear();
    if (answer.isUsable() && answer.json->isObject())
        result.value = answer.json->toObject();
    else if (!answer.response.failed())
        qCWarning(lcData, "%s answered something other than a JSON object (HTTP status %d)", qPrintable(service),
                  answer.response.status);
    result.response = std::move(answer.response);
    co_return result;
}

std::optional<ServiceRequest> yahooRequest(const WatchItem &item)
{
    const auto symbol = ServiceRequest::pathSegment(item.symbol);
    if (!symbol)
        return std::nullopt;
    ServiceRequest request;
    request.base = ServiceUrls::yahoo();
    request.path = QStringLiteral("/v8/finance/chart/") + *symbol;
    request.query = {{QStringLiteral("range"), QStringLiteral("1d")},
                     {QStringLiteral("interval"), QStringLiteral("15m")}};
    return request;
}

std::optional<QUrl> yahooUrl(const WatchItem &item)
{
    const auto request = yahooRequest(item);
    return request ? request->url() : std::nullopt;
}

ServiceRequest twelveRequest(const WatchItem &item, const QString &key)
{
    ServiceRequest request;
    request.base = ServiceUrls::twelveData();
    request.path = QStringLiteral("/quote");
    request.query = {{QStringLiteral("symbol"), item.symbol}, {QStringLiteral("apikey"), key}};
    if (item.ref && !item.ref->isEmpty())
        request.query.append({QStringLiteral("mic_code"), *item.ref});
    return request;
}

QCoro::Task<Fetched<Quote>> fetchYahoo(HttpClient &http, WatchItem item, Cancellation *cancellation)
{
    const auto request = yahooRequest(item);
    if (!request) {
        Fetched<Quote> nothing;
        nothing.response.failure = HttpResponse::Failure::transport;
        co_return nothing;
    }
    const Fetched<QJsonObject> answer = co_await getJSON(http, *request, cancellation);
    co_return mapped<Quote>(answer, [&item](const QJsonObject &json) {
        std::optional<Quote> quote = JsonMappings::yahooChart(json, item);
        if (!quote)
            qCWarning(lcData, "Yahoo Finance: no quote for \"%s\" in its answer", qPrintable(item.symbol));
        return quote;
    });
}

QCoro::Task<Fetched<Quote>> fetchTwelve(HttpClient &http, WatchItem item, QString key, Cancellation *cancellation)
{
    const Fetched<QJsonObject> answer = co_await getJSON(http, twelveRequest(item, key), cancellation);
    co_return mapped<Quote>(answer, [&item](const QJsonObject &json) {
        std::optional<Quote> quote = JsonMappings::twelveQuote(json, item);
        if (!quote)
            qCWarning(lcData, "Twelve Data: no quote for \"%s\" in its answer (code %d)", qPrintable(item.symbol),
                      json.value(QLatin1String("code")).toInt());
        return quote;
    });
}

} // namespace StockProviders
