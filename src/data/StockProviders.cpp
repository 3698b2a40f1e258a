#include "data/StockProviders.h"

#include "data/DataLog.h"
#include "data/FetchFailures.h"
#include "data/JsonMappings.h"
#include "net/HttpClient.h"
#include "net/ServiceUrls.h"
#include "util/Clock.h"

namespace {

/**
 * The value `map` reads from a usable answer, keeping the response and the failure for the
 * caller; an object that gives no value is a failure too, read by FetchFailures.
 */
template<typename T, typename Map> Fetched<T> mapped(const Fetched<QJsonObject> &answer, bool keyed, Map map)
{
    Fetched<T> result;
    result.response = answer.response;
    result.failure = answer.failure;
    if (answer.value) {
        result.value = map(*answer.value);
        if (!result.value)
            result.failure = FetchFailures::ofUnusableObject(*answer.value, keyed, Clock::current().now());
    }
    return result;
}

} // namespace

namespace StockProviders {

QCoro::Task<Fetched<QJsonObject>> getJSON(HttpClient &http, ServiceRequest request, Cancellation *cancellation,
                                          bool keyed)
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
        // Debug only: the data service logs the source's failure once, when its state changes.
        qCDebug(lcData, "%s answered something other than a JSON object (HTTP status %d)", qPrintable(service),
                answer.response.status);
    if (!result.value)
        result.failure = FetchFailures::ofAnswer(answer.response, answer.json, keyed, Clock::current().now());
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
        // A symbol that cannot be one segment of the path is never sent.
        Fetched<Quote> nothing;
        nothing.response.failure = HttpResponse::Failure::transport;
        nothing.failure = SourceFailure{FailureKind::badAddress, 0, 0, NetworkProblem::none, Clock::current().now()};
        co_return nothing;
    }
    const Fetched<QJsonObject> answer = co_await getJSON(http, *request, cancellation, false);
    co_return mapped<Quote>(answer, false, [&item](const QJsonObject &json) {
        std::optional<Quote> quote = JsonMappings::yahooChart(json, item);
        if (!quote)
            qCDebug(lcData, "Yahoo Finance: no quote for \"%s\" in its answer", qPrintable(item.symbol));
        return quote;
    });
}

QCoro::Task<Fetched<Quote>> fetchTwelve(HttpClient &http, WatchItem item, QString key, Cancellation *cancellation)
{
    const Fetched<QJsonObject> answer = co_await getJSON(http, twelveRequest(item, key), cancellation, true);
    co_return mapped<Quote>(answer, true, [&item](const QJsonObject &json) {
        std::optional<Quote> quote = JsonMappings::twelveQuote(json, item);
        if (!quote)
            qCDebug(lcData, "Twelve Data: no quote for \"%s\" in its answer (code %d)", qPrintable(item.symbol),
                    json.value(QLatin1String("code")).toInt());
        return quote;
    });
}

} // namespace StockProviders
