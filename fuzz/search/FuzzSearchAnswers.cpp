// Any bytes as the answer of each search service, and as a search text.
#include "search/SearchModel.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    const QJsonValue json = document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());

    const QList<Suggestion> places = SearchModel::placesFromJson(json);
    if (places.size() > 8)
        __builtin_trap();
    for (const Suggestion &place : places) {
        // Every place carries "lat,lon" that reads back as two numbers.
        const QStringList parts = place.item.ref.value_or(QString()).split(QLatin1Char(','));
        bool latOk = false;
        bool lonOk = false;
        if (parts.size() != 2)
            __builtin_trap();
        parts.at(0).toDouble(&latOk);
        parts.at(1).toDouble(&lonOk);
        if (!latOk || !lonOk)
            __builtin_trap();
    }
    SearchModel::twelveDataFromJson(json);
    SearchModel::yahooFromJson(json);

    const QString text = QString::fromUtf8(bytes);
    const QString label = SearchModel::shortLabel(text);
    if (label.contains(QLatin1Char('^')) || label.contains(QLatin1Char('.')) || label.contains(QLatin1Char('-')))
        __builtin_trap();
    SearchModel::metalSuggestions(text, QStringLiteral("EUR"), QStringLiteral("toz"));

    if (size >= sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        if (std::isfinite(value) && SearchModel::coordinate(value).toDouble() != value)
            __builtin_trap();
    }
    return 0;
}
