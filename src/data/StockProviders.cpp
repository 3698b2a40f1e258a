#include "data/StockProviders.h"

#include "data/DataLog.h"
#include "data/JsonMappings.h"
#include "net/HttpClient.h"
#include "net/ServiceUrls.h"

namespace StockProviders {

QCoro::Task<std::optional<QJsonObject>> getJSON(HttpClient &http, QUrl url, Cancellation *cancellation)
{
    // Keys travel in the query: the log names the service by the rest of the address.
    const QString service = url.adjusted(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment).toString();
    HttpClient::Options options;
    options.cancellation = cancellation;
    const HttpResponse response = co_await http.get(std::move(url), options);
    if (response.failed())
        co_return std::nullopt; // the HTTP layer said why
    std::optional<QJsonObject> object = JsonMappings::parseObject(response.body);
    if (!object)
        qCWarning(lcData, "%s answered something other than a JSON object (HTTP status %d)", qPrintable(service),
                  response.status);
    co_return object;
}

QByteArray encodeQueryValue(const QString &value)
{
    // Delimiters of the query ("&", "=", "+", "#") and "%" are always encoded.
    return QUrl::toPercentEncoding(value, QByteArrayLiteral("!$'()*,/:;?@"));
}

std::optional<QUrl> serviceUrl(const QUrl &base, const QString &path, const QList<QPair<QString, QString>> &items)
{
    QUrl url = ServiceUrls::endpoint(base, path);
    QByteArray query;
    for (const auto &[name, value] : items) {
        if (!query.isEmpty())
            query += '&';
        query += encodeQueryValue(name) + '=' + encodeQueryValue(value);
    }
    url.setQuery(QString::fromLatin1(query), QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}

std::optional<QUrl> yahooUrl(const WatchItem &item)
{
    // A symbol with a broken surrogate cannot be encoded faithfully.
    const QString &symbol = item.symbol;
    for (qsizetype i = 0; i < symbol.size(); ++i) {
        const QChar c = symbol.at(i);
        if (c.isHighSurrogate() && i + 1 < symbol.size() && symbol.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return std::nullopt;
    }
    // The characters a URL path allows stay as they are ("=" too); a caret becomes %5E.
    const QByteArray encoded = QUrl::toPercentEncoding(symbol, QByteArrayLiteral("!$&'()*+,/:;=@"));
    QUrl url = ServiceUrls::endpoint(ServiceUrls::yahoo(),
                                      QStringLiteral("/v8/finance/chart/") + QString::fromLatin1(encoded));
    url.setQuery(QStringLiteral("range=1d&interval=15m"), QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}

std::optional<QUrl> twelveUrl(const WatchItem &item, const QString &key)
{
    QList<QPair<QString, QString>> query{{QStringLiteral("symbol"), item.symbol}, {QStringLiteral("apikey"), key}};
    if (item.ref && !item.ref->isEmpty())
        query.append({QStringLiteral("mic_code"), *item.ref});
    return serviceUrl(ServiceUrls::twelveData(), QStringLiteral("/quote"), query);
}

QCoro::Task<std::optional<Quote>> fetchYahoo(HttpClient &http, WatchItem item, Cancellation *cancellation)
{
    const auto url = yahooUrl(item);
    if (!url)
        co_return std::nullopt;
    const auto answer = co_await getJSON(http, *url, cancellation);
    if (!answer)
        co_return std::nullopt;
    std::optional<Quote> quote = JsonMappings::yahooChart(*answer, item);
    if (!quote)
        qCWarning(lcData, "Yahoo Finance: no quote for \"%s\" in its answer", qPrintable(item.symbol));
    co_return quote;
}

QCoro::Task<std::optional<Quote>> fetchTwelve(HttpClient &http, WatchItem item, QString key,
                                              Cancellation *cancellation)
{
    const auto url = twelveUrl(item, key);
    if (!url)
        co_return std::nullopt;
    const auto answer = co_await getJSON(http, *url, cancellation);
    if (!answer)
        co_return std::nullopt;
    std::optional<Quote> quote = JsonMappings::twelveQuote(*answer, item);
    if (!quote)
        qCWarning(lcData, "Twelve Data: no quote for \"%s\" in its answer (code %d)", qPrintable(item.symbol),
                  answer->value(QLatin1String("code")).toInt());
    co_return quote;
}

} // namespace StockProviders
