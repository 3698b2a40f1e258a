#pragma once

#include "data/Fetched.h"
#include "net/ServiceRequest.h"
#include "types/Quote.h"
#include "types/WatchItem.h"

#include <QJsonObject>

#include <qcoro/qcorotask.h>

#include <optional>

class Cancellation;
class HttpClient;

/**
 * The two stock quote services. Each fetch is one GET of one symbol; every failure
 * (network, time-out, cancellation, status outside 2xx, error answer, unexpected body)
 * gives no value.
 */
namespace StockProviders {

/**
 * Sends `request` and gives the decoded top-level object of a 2xx answer, with the
 * response; no value for anything else, and then the failure (see FetchFailures). `keyed`:
 * the request carries one of the user's keys, so a 401 or 403 is the key's fault.
 */
QCoro::Task<Fetched<QJsonObject>> getJSON(HttpClient &http, ServiceRequest request, Cancellation *cancellation,
                                          bool keyed = false);

/** ".../v8/finance/chart/SYMBOL?range=1d&interval=15m", the symbol encoded for the path. */
std::optional<ServiceRequest> yahooRequest(const WatchItem &item);
/** ".../quote?symbol=…&apikey=…[&mic_code=…]". */
ServiceRequest twelveRequest(const WatchItem &item, const QString &key);
/** The address of yahooRequest(), or nothing. */
std::optional<QUrl> yahooUrl(const WatchItem &item);

QCoro::Task<Fetched<Quote>> fetchYahoo(HttpClient &http, WatchItem item, Cancellation *cancellation);
QCoro::Task<Fetched<Quote>> fetchTwelve(HttpClient &http, WatchItem item, QString key, Cancellation *cancellation);

} // namespace StockProviders
