#include "data/JsonMappings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>

#include <cmath>
#include <limits>

namespace {

QJsonObject firstObject(const QJsonValue &value)
{
    const QJsonArray array = value.toArray();
    return array.isEmpty() ? QJsonObject() : array.first().toObject();
}

std::optional<double> changeAgainst(double price, double reference)
{
    if (reference == 0)
        return std::nullopt;
    return (price / reference - 1) * 100;
}

/** The value of an integral JSON number that fits an int. */
std::optional<int> integral(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number != std::floor(number) || number < std::numeric_limits<int>::min() ||
        number > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(number);
}

// Times of a chart answer: whole seconds since 1970 between 2000 and 2100; anything else is
// a fault of the answer, and the member counts as missing.
constexpr qint64 kEarliestTime = 946684800;
constexpr qint64 kLatestTime = 4102444800;
// A regular session longer than this is not a day's session.
constexpr qint64 kLongestSession = 48 * 3600;
// Offsets from UTC in use reach ±14 h.
constexpr int kLargestOffset = 14 * 3600;
constexpr qsizetype kLongestZoneName = 64;
// Extended-hours prices beyond this are not prices.
constexpr double kLargestPrice = 1e12;

std::optional<qint64> unixTime(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number != std::floor(number) || number < kEarliestTime || number > kLatestTime)
        return std::nullopt;
    return static_cast<qint64>(number);
}

std::optional<TradingPeriod> tradingPeriod(const QJsonValue &value)
{
    const QJsonObject period = value.toObject();
    const auto start = unixTime(period.value(QLatin1String("start")));
    const auto end = unixTime(period.value(QLatin1String("end")));
    if (!start || !end || *end <= *start || *end - *start > kLongestSession)
        return std::nullopt;
    return TradingPeriod{QDateTime::fromSecsSinceEpoch(*start, Qt::UTC), QDateTime::fromSecsSinceEpoch(*end, Qt::UTC)};
}

std::optional<double> extendedPrice(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double price = value.toDouble();
    if (!std::isfinite(price) || price <= 0 || price > kLargestPrice)
        return std::nullopt;
    return price;
}

/** An IANA zone name as the answer gives it ("America/New_York", "Etc/GMT+5"); empty if it is not one. */
QString zoneName(const QJsonValue &value)
{
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9_+-]+(/[A-Za-z0-9_+-]+)*$"));
    const QString text = value.toString();
    if (text.size() > kLongestZoneName || !name.match(text).hasMatch())
        return {};
    return text;
}

/** The market part of a chart answer's "meta"; nothing when it says nothing of it. */
std::optional<MarketSession> yahooMarket(const QJsonObject &meta)
{
    MarketSession session;
    const QJsonObject current = meta.value(QLatin1String("currentTradingPeriod")).toObject();
    session.regular = tradingPeriod(current.value(QLatin1String("regular")));
    session.timeZone = zoneName(meta.value(QLatin1String("exchangeTimezoneName")));
    if (const auto offset = integral(meta.value(QLatin1String("gmtoffset")));
        offset && std::abs(*offset) <= kLargestOffset)
        session.utcOffsetSeconds = offset;
    session.preMarketPrice = extendedPrice(meta.value(QLatin1String("preMarketPrice")));
    session.postMarketPrice = extendedPrice(meta.value(QLatin1String("postMarketPrice")));
    if (session == MarketSession{})
        return std::nullopt;
    return session;
}

/**
 * The closes paired with the answer's "timestamp" entries of the same index, oldest first.
 * Entries without a number or a usable time, or not later than the one before, are left out;
 * of a longer day only the latest Quote::maxDayPoints stay.
 */
QList<DayPoint> yahooDayCloses(const QJsonObject &result, const QJsonArray &closes)
{
    const QJsonArray times = result.value(QLatin1String("timestamp")).toArray();
    const qsizetype count = std::min(times.size(), closes.size());
    QList<DayPoint> points;
    for (qsizetype i = 0; i < count; ++i) {
        const auto time = unixTime(times.at(i));
        const QJsonValue close = closes.at(i);
        if (!time || !close.isDouble() || !std::isfinite(close.toDouble()))
            continue;
        if (!points.isEmpty() && *time <= points.constLast().time)
            continue;
        points.append(DayPoint{*time, close.toDouble()});
    }
    if (points.size() > Quote::maxDayPoints)
        points.remove(0, points.size() - Quote::maxDayPoints);
    return points;
}

QString textOrMissing(const QJsonObject &object, QLatin1String key)
{
    const QJsonValue value = object.value(key);
    return value.isUndefined() ? QStringLiteral("?") : JsonMappings::plainText(value);
}

} // namespace

namespace JsonMappings {

std::optional<QJsonObject> parseObject(const QByteArray &body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

std::optional<Quote> yahooChart(const QJsonObject &answer, const WatchItem &item)
{
    const QJsonValue chart = answer.value(QLatin1String("chart"));
    if (!chart.isObject())
        return std::nullopt;
    const QJsonValue results = chart.toObject().value(QLatin1String("result"));
    if (!results.isArray() || results.toArray().isEmpty())
        return std::nullopt;
    const QJsonValue first = results.toArray().first();
    if (!first.isObject())
        return std::nullopt;
    const QJsonObject result = first.toObject();
    const QJsonValue metaValue = result.value(QLatin1String("meta"));
    if (!metaValue.isObject())
        return std::nullopt;
    const QJsonObject meta = metaValue.toObject();
    const QJsonValue priceValue = meta.value(QLatin1String("regularMarketPrice"));
    if (!priceValue.isDouble())
        return std::nullopt;
    const double price = priceValue.toDouble();

    std::optional<double> change;
    const QJsonValue chartPrevious = meta.value(QLatin1String("chartPreviousClose"));
    if (chartPrevious.isDouble()) {
        change = changeAgainst(price, chartPrevious.toDouble());
    } else if (meta.contains(QLatin1String("previousClose"))) {
        const QJsonValue previous = meta.value(QLatin1String("previousClose"));
        change = changeAgainst(price, previous.isDouble() ? previous.toDouble() : 0);
    }

    QList<double> closes;
    const QJsonObject indicators = result.value(QLatin1String("indicators")).toObject();
    const QJsonObject quote = firstObject(indicators.value(QLatin1String("quote")));
    const QJsonArray closeArray = quote.value(QLatin1String("close")).toArray();
    for (const QJsonValue &close : closeArray) {
        if (close.isDouble())
            closes.append(close.toDouble());
    }

    Quote out;
    out.id = item.id;
    out.name = item.label;
    out.price = Records::priceText(price);
    out.change = change;
    out.series = Records::normalise(closes);
    out.dayCloses = yahooDayCloses(result, closeArray);
    out.market = yahooMarket(meta);
    return out;
}

std::optional<Quote> twelveQuote(const QJsonObject &answer, const WatchItem &item)
{
    const QJsonValue status = answer.value(QLatin1String("status"));
    if (status.isString() && status.toString() == QLatin1String("error"))
        return std::nullopt;
    const QJsonValue close = answer.value(QLatin1String("close"));
    if (!close.isString())
        return std::nullopt;
    const auto price = parseDecimal(close.toString());
    if (!price)
        return std::nullopt;

    Quote out;
    out.id = item.id;
    out.name = item.label;
    out.price = Records::priceText(*price);
    const QJsonValue percent = answer.value(QLatin1String("percent_change"));
    if (percent.isString())
        out.change = parseDecimal(percent.toString());
    return out;
}

std::optional<QJsonObject> metalsLatest(const QJsonObject &answer)
{
    const QJsonValue status = answer.value(QLatin1String("status"));
    if (!status.isString() || status.toString() != QLatin1String("success"))
        return std::nullopt;
    const QJsonValue metals = answer.value(QLatin1String("metals"));
    if (!metals.isObject())
        return std::nullopt;
    return metals.toObject();
}

std::optional<Cached> forecastCurrent(const QJsonObject &answer, const QDateTime &at)
{
    const QJsonValue currentValue = answer.value(QLatin1String("current"));
    if (!currentValue.isObject())
        return std::nullopt;
    const QJsonObject current = currentValue.toObject();
    const QJsonValue temperature = current.value(QLatin1String("temp_c"));
    if (!temperature.isDouble())
        return std::nullopt;

    WeatherIcon icon = WeatherIcon::cloud;
    const QJsonValue condition = current.value(QLatin1String("condition"));
    if (condition.isObject()) {
        if (const auto code = integral(condition.toObject().value(QLatin1String("code")))) {
            // Only an explicit integral is_day other than 1 means night.
            const auto isDay = integral(current.value(QLatin1String("is_day")));
            icon = weatherIconFromCode(*code, !isDay || *isDay == 1);
        }
    }

    Cached cached;
    cached.price = temperatureText(temperature.toDouble());
    cached.at = at;
    cached.icon = rawValue(icon);
    return cached;
}

QString temperatureText(double celsius)
{
    double rounded = std::round(celsius);
    if (rounded == 0)
        rounded = 0; // no "-0"
    return QString::number(rounded, 'f', 0) + QStringLiteral("°C");
}

std::optional<double> parseDecimal(const QString &text)
{
    static const QRegularExpression decimal(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (!decimal.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString plainText(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Double:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Object:
        return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    case QJsonValue::Array:
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("?");
}

QStringList forecastReport(const QString &symbol, const QString &q, const std::optional<QByteArray> &body)
{
    const QString failure = symbol + QStringLiteral(" échec réseau");
    if (!body)
        return {failure};
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(*body, &error);
    if (error.error != QJsonParseError::NoError)
        return {failure};
    if (!document.isObject())
        return {};
    const QJsonObject answer = document.object();
    if (answer.contains(QLatin1String("error")))
        return {symbol + QStringLiteral(" erreur API: ") + plainText(answer.value(QLatin1String("error")))};

    const QJsonObject location = answer.value(QLatin1String("location")).toObject();
    const QJsonObject current = answer.value(QLatin1String("current")).toObject();
    const QJsonObject condition = current.value(QLatin1String("condition")).toObject();
    const auto field = [](const QJsonObject &object, const char *key) {
        return textOrMissing(object, QLatin1String(key));
    };

    QStringList lines;
    lines << QStringLiteral("== ") + symbol + QStringLiteral(" (q=") + q + QStringLiteral(") -> ") +
                 field(location, "name") + QStringLiteral(", ") + field(location, "country") +
                 QStringLiteral(", heure locale ") + field(location, "localtime");
    lines << QStringLiteral("   maintenant: ") + field(current, "temp_c") + QStringLiteral("°C, ") +
                 field(condition, "text") + QStringLiteral(" (code ") + field(condition, "code") +
                 QStringLiteral("), jour=") + field(current, "is_day") + QStringLiteral(", relevé ") +
                 field(current, "last_updated");

    const QJsonValue forecast = answer.value(QLatin1String("forecast"));
    if (forecast.isObject()) {
        const QJsonValue days = forecast.toObject().value(QLatin1String("forecastday"));
        const QJsonArray dayArray = days.toArray();
        const bool allObjects =
            std::all_of(dayArray.begin(), dayArray.end(), [](const QJsonValue &entry) { return entry.isObject(); });
        if (days.isArray() && !dayArray.isEmpty() && allObjects) {
            const QJsonValue dayValue = dayArray.first().toObject().value(QLatin1String("day"));
            if (dayValue.isObject()) {
                const QJsonObject day = dayValue.toObject();
                const QJsonObject dayCondition = day.value(QLatin1String("condition")).toObject();
                lines << QStringLiteral("   journée: ") + field(dayCondition, "text") + QStringLiteral(" (code ") +
                             field(dayCondition, "code") + QStringLiteral("), pluie ") +
                             field(day, "daily_chance_of_rain") + QStringLiteral("%, ") + field(day, "totalprecip_mm") +
                             QStringLiteral(" mm, min ") + field(day, "mintemp_c") + QStringLiteral(" max ") +
                             field(day, "maxtemp_c");
            }
        }
    }
    return lines;
}

} // namespace JsonMappings
