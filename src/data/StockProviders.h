#pragma once

#include "data/Quote.h"
#include "settings/WatchItem.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QUrl>

#include <qcoro/qcorotask.h>

#include <optional>

class Cancellation;
class HttpClient;

/**
 * The two stock quote services. Each fetch is one GET of one symbol; every failure
 * (network, time-out, cancellation, error page, unexpected body) gives nothing.
 */
namespace StockProviders {

/**
 * One GET with the program's user agent and the standard time-out; the decoded
 * top-level object of any answer, whatever its HTTP status, or nothing.
 */
QCoro::Task<std::optional<QJsonObject>> getJSON(HttpClient &http, QUrl url, Cancellation *cancellation);

/** A query value percent-encoded so that it cannot end its item or the query. */
QByteArray encodeQueryValue(const QString &value);
/** `base` + `path` with the items as the query, in this order; nothing if invalid. */
std::optional<QUrl> serviceUrl(const QUrl &base, const QString &path, const QList<QPair<QString, QString>> &items);

/** ".../v8/finance/chart/SYMBOL?range=1d&interval=15m", the symbol encoded as a path segment. */
std::optional<QUrl> yahooUrl(const WatchItem &item);
/** ".../quote?symbol=…&apikey=…[&mic_code=…]". */
std::optional<QUrl> twelveUrl(const WatchItem &item, const QString &key);

QCoro::Task<std::optional<Quote>> fetchYahoo(HttpClient &http, WatchItem item, Cancellation *cancellation);
QCoro::Task<std::optional<Quote>> fetchTwelve(HttpClient &http, WatchItem item, QString key,
                                              Cancellation *cancellation);

} // namespace StockProviders
