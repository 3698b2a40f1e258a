#pragma once

#include "types/Quote.h"
#include "types/WatchItem.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

/** A value refreshed on the daily schedule (metals, weather), as kept in "scheduledCache.v1". */
struct Cached
{
    QString price;
    std::optional<double> change;
    QList<double> series;
    QDateTime at;                ///< when the fetch completed (metals: when the run started)
    std::optional<QString> icon; ///< raw value of a WeatherIcon

    friend bool operator==(const Cached &, const Cached &) = default;
};

/** One fetched metal price, as kept in "metalHistory.v1". */
struct Reading
{
    QDateTime t; ///< start of the run that fetched it
    double v = 0;

    friend bool operator==(const Reading &, const Reading &) = default;
};

/**
 * The persisted forms of the data service's records and the small rules shared by
 * the fetchers. Dates are stored as seconds since 2001-01-01 00:00:00 UTC.
 */
namespace Records {

inline const QString placeholderPrice = QStringLiteral("--");
inline const QString missingKeyPrice = QStringLiteral("CLE?");

/** Seconds since 2001-01-01 00:00:00 UTC. */
double toReferenceSeconds(const QDateTime &date);
/** The instant `seconds` after 2001-01-01 00:00:00 UTC, in local time; invalid if not finite. */
QDateTime fromReferenceSeconds(double seconds);

QJsonObject toJson(const Cached &cached);
std::optional<Cached> cachedFromJson(const QJsonValue &value);
QJsonObject toJson(const Reading &reading);
std::optional<Reading> readingFromJson(const QJsonValue &value);

/** Encode and decode the three stores; decoding fails as a whole if one entry is bad. */
QByteArray encodeScheduled(const QMap<QString, Cached> &scheduled);
std::optional<QMap<QString, Cached>> decodeScheduled(const QByteArray &bytes);
QByteArray encodeHistory(const QMap<QString, QList<Reading>> &history);
std::optional<QMap<QString, QList<Reading>>> decodeHistory(const QByteArray &bytes);
QByteArray encodeFetchTimes(const QMap<QString, QDateTime> &times);
std::optional<QMap<QString, QDateTime>> decodeFetchTimes(const QByteArray &bytes);

/** "%.2f" below 10000, "%.0f" from 10000 up, always with a "." separator. */
QString priceText(double price);

/** 18 points between 0.08 and 0.92 sampled from `values`; empty for fewer than two values. */
QList<double> normalise(const QList<double> &values);

/** The quote a stored value shows for `item`; an unknown icon string gives no icon. */
Quote quoteFromCached(const WatchItem &item, const Cached &cached);

/** A quote with only a placeholder price. */
Quote placeholder(const WatchItem &item, const QString &price = placeholderPrice);

} // namespace Records
