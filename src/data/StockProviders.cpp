#include "data/StockProviders.h"

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
    ServiceRequest::Answer answer = co_await ServiceRequest::send(http, std::move(request), cancellation);
    Fetched<QJsonObject> result;
    answer.response.body.clear();
    result.response = std::move(answer.response);
    if (answer.isUsable() && answer.json->isObject())
        result.value = answer.json->toObject();
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
    co_return mapped<Quote>(answer, [&item](const QJsonObject &json) { return JsonMappings::yahooChart(json, item); });
}

QCoro::Task<Fetched<Quote>> fetchTwelve(HttpClient &http, WatchItem item, QString key, Cancellation *cancellation)
{
    const Fetched<QJsonObject> answer = co_await getJSON(http, twelveRequest(item, key), cancellation);
    co_return mapped<Quote>(answer, [&item](const QJsonObject &json) { return JsonMappings::twelveQuote(json, item); });
}

} // namespace StockProviders
