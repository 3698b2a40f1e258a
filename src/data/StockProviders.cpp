#include "data/StockProviders.h"

#include "data/JsonMappings.h"
#include "net/HttpClient.h"
#include "net/ServiceUrls.h"

namespace StockProviders {

QCoro::Task<std::optional<QJsonObject>> getJSON(HttpClient &http, QUrl url, Cancellation *cancellation)
{
    HttpClient::Options options;
    options.cancellation = cancellation;
    const HttpResponse response = co_await http.get(std::move(url), options);
    if (response.failed())
        co_return std::nullopt;
    co_return JsonMappings::parseObject(response.body);
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
    co_return JsonMappings::yahooChart(*answer, item);
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
    co_return JsonMappings::twelveQuote(*answer, item);
}

} // namespace StockProviders
