#pragma once

#include "data/Fetched.h"
#include "data/Records.h"
#include "net/ServiceRequest.h"
#include "types/WatchItem.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QUrl>

#include <qcoro/qcorotask.h>

#include <optional>

class Cancellation;
class HttpClient;

/** The Metals.Dev and WeatherAPI.com requests and the metal history rules. */
namespace MetalsWeather {

/** Readings kept per metal and per currency and unit. */
constexpr qsizetype maxReadings = 24;

/** ".../v1/latest?api_key=…&currency=…&unit=…" */
ServiceRequest metalsRequest(const QString &key, const QString &currency, const QString &unit);
std::optional<QUrl> metalsUrl(const QString &key, const QString &currency, const QString &unit);
/** The place a weather item asks for: its `ref` (a "lat,lon" pair or a code), else its symbol. */
QString weatherQuery(const WatchItem &item);
/** ".../v1/forecast.json?key=…&q=…&days=1" */
ServiceRequest forecastRequest(const QString &key, const QString &q);
std::optional<QUrl> forecastUrl(const QString &key, const QString &q);

/**
 * The "metals" object of a Metals.Dev answer whose status is "success"; no value for
 * anything else (an answer that says error included).
 */
QCoro::Task<Fetched<QJsonObject>> fetchMetals(HttpClient &http, ServiceRequest request, Cancellation *cancellation);

/**
 * The current weather of one item, stamped with the time the answer arrived; no value on
 * any failure. Without a key nothing is asked and the response shows no failure either.
 */
QCoro::Task<Fetched<Cached>> fetchWeather(HttpClient &http, WatchItem item, QString key, Cancellation *cancellation);

/** `history` with `reading` appended, keeping only the newest `maxReadings`. */
QList<Reading> appendReading(QList<Reading> history, const Reading &reading);
/**
 * The price the day's change is measured against: the newest reading of an earlier
 * local day than `now`, or the oldest reading when all are from that day.
 */
double referencePrice(const QList<Reading> &history, const QDateTime &now);
/** The change in percent of the newest reading, or nothing without a usable reference. */
std::optional<double> metalChange(const QList<Reading> &history, const QDateTime &now);

} // namespace MetalsWeather
