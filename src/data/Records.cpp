#include "data/Records.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTimeZone>

#include <cmath>

namespace {

// 2001-01-01 00:00:00 UTC in seconds since the Unix epoch.
constexpr qint64 referenceEpochOffset = 978307200;

std::optional<QJsonObject> objectOf(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<QDateTime> dateFromJson(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const QDateTime date = Records::fromReferenceSeconds(value.toDouble());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

} // namespace

namespace Records {

double toReferenceSeconds(const QDateTime &date)
{
    return static_cast<double>(date.toMSecsSinceEpoch()) / 1000.0 - static_cast<double>(referenceEpochOffset);
}

QDateTime fromReferenceSeconds(double seconds)
{
    // Beyond a few thousand years the millisecond count no longer fits; such a date is
    // not one we ever wrote.
    constexpr double limit = 1e11;
    if (!std::isfinite(seconds) || std::fabs(seconds) > limit)
        return {};
    const qint64 ms = std::llround((seconds + static_cast<double>(referenceEpochOffset)) * 1000.0);
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime);
}

QJsonObject toJson(const Cached &cached)
{
    QJsonObject object;
    object.insert(QStringLiteral("price"), cached.price);
    if (cached.change)
        object.insert(QStringLiteral("change"), *cached.change);
    QJsonArray series;
    for (double point : cached.series)
        series.append(point);
    object.insert(QStringLiteral("series"), series);
    object.insert(QStringLiteral("at"), toReferenceSeconds(cached.at));
    if (cached.icon)
        object.insert(QStringLiteral("icon"), *cached.icon);
    return object;
}

std::optional<Cached> cachedFromJson(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    Cached cached;

    const QJsonValue price = object.value(QLatin1String("price"));
    if (!price.isString())
        return std::nullopt;
    cached.price = price.toString();

    const QJsonValue change = object.value(QLatin1String("change"));
    if (change.isDouble())
        cached.change = change.toDouble();
    else if (!change.isUndefined() && !change.isNull())
        return std::nullopt;

    const QJsonValue series = object.value(QLatin1String("series"));
    if (!series.isArray())
        return std::nullopt;
    for (const QJsonValue &point : series.toArray()) {
        if (!point.isDouble())
            return std::nullopt;
        cached.series.append(point.toDouble());
    }

    const auto at = dateFromJson(object.value(QLatin1String("at")));
    if (!at)
        return std::nullopt;
    cached.at = *at;

    const QJsonValue icon = object.value(QLatin1String("icon"));
    if (icon.isString())
        cached.icon = icon.toString();
    else if (!icon.isUndefined() && !icon.isNull())
        return std::nullopt;
    return cached;
}

QJsonObject toJson(const Reading &reading)
{
    QJsonObject object;
    object.insert(QStringLiteral("t"), toReferenceSeconds(reading.t));
    object.insert(QStringLiteral("v"), reading.v);
    return object;
}

std::optional<Reading> readingFromJson(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const auto t = dateFromJson(object.value(QLatin1String("t")));
    const QJsonValue v = object.value(QLatin1String("v"));
    if (!t || !v.isDouble())
        return std::nullopt;
    return Reading{*t, v.toDouble()};
}

QByteArray encodeScheduled(const QMap<QString, Cached> &scheduled)
{
    QJsonObject object;
    for (auto it = scheduled.cbegin(); it != scheduled.cend(); ++it)
        object.insert(it.key(), toJson(it.value()));
    return compact(object);
}

std::optional<QMap<QString, Cached>> decodeScheduled(const QByteArray &bytes)
{
    const auto object = objectOf(bytes);
    if (!object)
        return std::nullopt;
    QMap<QString, Cached> scheduled;
    for (auto it = object->constBegin(); it != object->constEnd(); ++it) {
        auto cached = cachedFromJson(it.value());
        if (!cached)
            return std::nullopt;
        scheduled.insert(it.key(), std::move(*cached));
    }
    return scheduled;
}

QByteArray encodeHistory(const QMap<QString, QList<Reading>> &history)
{
    QJsonObject object;
    for (auto it = history.cbegin(); it != history.cend(); ++it) {
        QJsonArray readings;
        for (const Reading &reading : it.value())
            readings.append(toJson(reading));
        object.insert(it.key(), readings);
    }
    return compact(object);
}

std::optional<QMap<QString, QList<Reading>>> decodeHistory(const QByteArray &bytes)
{
    const auto object = objectOf(bytes);
    if (!object)
        return std::nullopt;
    QMap<QString, QList<Reading>> history;
    for (auto it = object->constBegin(); it != object->constEnd(); ++it) {
        if (!it.value().isArray())
            return std::nullopt;
        QList<Reading> readings;
        for (const QJsonValue &value : it.value().toArray()) {
            auto reading = readingFromJson(value);
            if (!reading)
                return std::nullopt;
            readings.append(*reading);
        }
        history.insert(it.key(), readings);
    }
    return history;
}

QByteArray encodeFetchTimes(const QMap<QString, QDateTime> &times)
{
    QJsonObject object;
    for (auto it = times.cbegin(); it != times.cend(); ++it)
        object.insert(it.key(), toReferenceSeconds(it.value()));
    return compact(object);
}

std::optional<QMap<QString, QDateTime>> decodeFetchTimes(const QByteArray &bytes)
{
    const auto object = objectOf(bytes);
    if (!object)
        return std::nullopt;
    QMap<QString, QDateTime> times;
    for (auto it = object->constBegin(); it != object->constEnd(); ++it) {
        const auto date = dateFromJson(it.value());
        if (!date)
            return std::nullopt;
        times.insert(it.key(), *date);
    }
    return times;
}

QString priceText(double price)
{
    // asprintf ignores the locale, so the separator is always ".".
    return price < 10000 ? QString::asprintf("%.2f", price) : QString::asprintf("%.0f", price);
}

QList<double> normalise(const QList<double> &values)
{
    const qsizetype n = values.size();
    if (n < 2)
        return {};
    double minimum = values.first();
    double maximum = values.first();
    for (double value : values) {
        minimum = std::min(minimum, value);
        maximum = std::max(maximum, value);
    }
    const double span = maximum - minimum;
    QList<double> points;
    points.reserve(18);
    for (int i = 0; i < 18; ++i) {
        const double position = (static_cast<double>(n - 1) * i) / 17.0;
        const qsizetype index = std::min(static_cast<qsizetype>(position), n - 1);
        points.append(span == 0 ? 0.5 : (values.at(index) - minimum) * 0.84 / span + 0.08);
    }
    return points;
}

Quote quoteFromCached(const WatchItem &item, const Cached &cached)
{
    Quote quote;
    quote.id = item.id;
    quote.name = item.label;
    quote.price = cached.price;
    quote.change = cached.change;
    quote.series = cached.series;
    quote.at = cached.at;
    if (cached.icon)
        quote.icon = weatherIconFromRaw(*cached.icon);
    return quote;
}

Quote placeholder(const WatchItem &item, const QString &price)
{
    Quote quote;
    quote.id = item.id;
    quote.name = item.label;
    quote.price = price;
    return quote;
}

} // namespace Records
