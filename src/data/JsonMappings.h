#pragma once

#include "types/Quote.h"
#include "data/Records.h"
#include "types/WeatherIcon.h"
#include "types/WatchItem.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <optional>

/**
 * What the program reads from each service's answer, as pure functions over the body
 * or its decoded object. Any missing or mistyped member gives nothing; no input makes
 * them fail in any other way.
 */
namespace JsonMappings {

/** The body's top-level JSON object; nothing for a body that is not JSON or not an object. */
std::optional<QJsonObject> parseObject(const QByteArray &body);

/** A Yahoo Finance chart answer ("chart" → "result"[0] → "meta" / "indicators"). */
std::optional<Quote> yahooChart(const QJsonObject &answer, const WatchItem &item);

/** A Twelve Data quote answer ("close" and "percent_change" as decimal strings). */
std::optional<Quote> twelveQuote(const QJsonObject &answer, const WatchItem &item);

/** The "metals" object of a Metals.Dev answer whose "status" is "success". */
std::optional<QJsonObject> metalsLatest(const QJsonObject &answer);

/** The current weather of a WeatherAPI.com forecast answer, stamped `at`. */
std::optional<Cached> forecastCurrent(const QJsonObject &answer, const QDateTime &at);

/** Degrees rounded half away from zero, followed by "°C": "21°C", "0°C", "-1°C". */
QString temperatureText(double celsius);

/** A whole string that is a decimal number ("187.5", "-1.2", "1e3"); nothing otherwise. */
std::optional<double> parseDecimal(const QString &text);

/** A JSON value as plain text: strings unquoted, numbers in shortest decimal form. */
QString plainText(const QJsonValue &value);

/**
 * The lines the forecast report prints for one weather item. `body` is absent when the
 * request failed in transport.
 */
QStringList forecastReport(const QString &symbol, const QString &q, const std::optional<QByteArray> &body);

} // namespace JsonMappings
