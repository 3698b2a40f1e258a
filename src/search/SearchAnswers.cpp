#include "search/SearchModel.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QLocale>

// The parts of the search that need no network: the metal catalogue, labels, folding
// and the mapping of each service's answer to suggestions.

namespace {

/** The strings among `keys` that are present and not empty, joined by `separator`. */
QString joinedStrings(const QJsonObject &object, std::initializer_list<const char *> keys, const QString &separator)
{
    QStringList parts;
    for (const char *key : keys) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isString() && !value.toString().isEmpty())
            parts.append(value.toString());
    }
    return parts.join(separator);
}

Suggestion makeSuggestion(ItemKind kind, const QString &symbol, const QString &label, std::optional<QString> ref,
                          const QString &title, const QString &subtitle)
{
    Suggestion suggestion;
    suggestion.id = QUuid::createUuid();
    suggestion.item.id = QUuid::createUuid();
    suggestion.item.kind = kind;
    suggestion.item.symbol = symbol;
    suggestion.item.label = label;
    suggestion.item.ref = std::move(ref);
    suggestion.title = title;
    suggestion.subtitle = subtitle;
    return suggestion;
}

const QString twoSpaces = QStringLiteral("  ");
const QString dotSeparator = QStringLiteral(" · ");

} // namespace

std::optional<QJsonArray> SearchModel::arrayOfObjects(const QJsonValue &json)
{
    if (!json.isArray())
        return std::nullopt;
    const QJsonArray array = json.toArray();
    for (const QJsonValue &element : array) {
        if (!element.isObject())
            return std::nullopt;
    }
    return array;
}

QString SearchModel::missingWeatherKeyMessage()
{
    return tr("Ajoute ta clé WeatherAPI dans l'onglet Clés API.");
}

QString SearchModel::placeFailureMessage()
{
    return tr("Aucun résultat ou clé invalide.");
}

QString SearchModel::missingTwelveDataKeyMessage()
{
    return tr("Ajoute ta clé Twelve Data dans l'onglet Clés API.");
}

QString SearchModel::twelveDataFailureMessage()
{
    return tr("Recherche impossible. Vérifie ta clé.");
}

QString SearchModel::yahooFailureMessage()
{
    return tr("Recherche impossible pour l'instant.");
}

QList<SearchModel::Metal> SearchModel::metals()
{
    // Made at each call: the names follow the interface's language, and an English user adds
    // GOLD, not OR. The symbols are the service's and never change.
    return {
        {QStringLiteral("gold"), tr("Or · Gold"), tr("OR")},
        {QStringLiteral("silver"), tr("Argent · Silver"), tr("ARGENT")},
        {QStringLiteral("platinum"), tr("Platine · Platinum"), tr("PLATINE")},
        {QStringLiteral("palladium"), tr("Palladium"), tr("PALLAD")},
        {QStringLiteral("copper"), tr("Cuivre · Copper"), tr("CUIVRE")},
        {QStringLiteral("aluminum"), tr("Aluminium"), tr("ALU")},
        {QStringLiteral("nickel"), tr("Nickel"), tr("NICKEL")},
        {QStringLiteral("zinc"), tr("Zinc"), tr("ZINC")},
        {QStringLiteral("lead"), tr("Plomb · Lead"), tr("PLOMB")},
        {QStringLiteral("tin"), tr("Étain · Tin"), tr("ETAIN")},
    };
}

QString SearchModel::metalLabel(const QString &symbol)
{
    for (const Metal &metal : metals()) {
        if (metal.symbol == symbol)
            return metal.label;
    }
    return QString();
}

QString SearchModel::shortLabel(const QString &symbol)
{
    QString text = symbol;
    text.remove(QLatin1Char('^'));
    static const QString cuts = QStringLiteral(".-/=");
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (cuts.contains(text.at(i))) {
            text.truncate(i);
            break;
        }
    }
    return text.toUpper();
}

QString SearchModel::fold(const QString &text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            folded.append(c);
    }
    return folded.toCaseFolded();
}

QString SearchModel::coordinate(double value)
{
    QString text = QString::number(value, 'f', QLocale::FloatingPointShortest);
    if (!text.contains(QLatin1Char('.')))
        text += QStringLiteral(".0");
    return text;
}

QList<Suggestion> SearchModel::metalSuggestions(const QString &text, const QString &currency, const QString &unit)
{
    const QString q = fold(text);
    const QString subtitle = tr("Métal · %1/%2").arg(currency, unit);
    QList<Suggestion> results;
    for (const Metal &metal : metals()) {
        if (q.isEmpty() || metal.symbol.contains(q, Qt::CaseInsensitive)
            || fold(metal.title).contains(q, Qt::CaseInsensitive)) {
            results.append(makeSuggestion(ItemKind::metal, metal.symbol, metal.label, std::nullopt, metal.title,
                                          subtitle));
        }
    }
    return results;
}

QList<Suggestion> SearchModel::placesFromJson(const QJsonValue &json)
{
    QList<Suggestion> results;
    const std::optional<QJsonArray> places = arrayOfObjects(json);
    if (!places)
        return results;
    for (qsizetype i = 0; i < places->size() && i < 8; ++i) {
        const QJsonObject place = places->at(i).toObject();
        const QJsonValue name = place.value(QLatin1String("name"));
        if (!name.isString())
            continue;
        const QJsonValue lat = place.value(QLatin1String("lat"));
        const QJsonValue lon = place.value(QLatin1String("lon"));
        const QString ref = coordinate(lat.isDouble() ? lat.toDouble() : 0.0) + QLatin1Char(',')
            + coordinate(lon.isDouble() ? lon.toDouble() : 0.0);
        results.append(makeSuggestion(ItemKind::weather, name.toString(), name.toString().toUpper(), ref,
                                      name.toString(), joinedStrings(place, {"region", "country"}, QStringLiteral(", "))));
    }
    return results;
}

QList<Suggestion> SearchModel::twelveDataFromJson(const QJsonValue &json)
{
    QList<Suggestion> results;
    const std::optional<QJsonArray> data = arrayOfObjects(json.toObject().value(QLatin1String("data")));
    if (!data)
        return results;
    for (const QJsonValue &element : *data) {
        const QJsonObject object = element.toObject();
        const QJsonValue symbol = object.value(QLatin1String("symbol"));
        if (!symbol.isString())
            continue;
        const QJsonValue instrument = object.value(QLatin1String("instrument_name"));
        const QString name = instrument.isString() ? instrument.toString() : symbol.toString();
        const QJsonValue mic = object.value(QLatin1String("mic_code"));
        results.append(makeSuggestion(ItemKind::quote, symbol.toString(), shortLabel(symbol.toString()),
                                      mic.isString() ? std::optional<QString>(mic.toString()) : std::nullopt,
                                      symbol.toString() + twoSpaces + name,
                                      joinedStrings(object, {"exchange", "instrument_type", "country"}, dotSeparator)));
    }
    return results;
}

QList<Suggestion> SearchModel::yahooFromJson(const QJsonValue &json)
{
    QList<Suggestion> results;
    const std::optional<QJsonArray> quotes = arrayOfObjects(json.toObject().value(QLatin1String("quotes")));
    if (!quotes)
        return results;
    for (const QJsonValue &element : *quotes) {
        const QJsonObject object = element.toObject();
        const QJsonValue symbol = object.value(QLatin1String("symbol"));
        if (!symbol.isString())
            continue;
        const QJsonValue shortName = object.value(QLatin1String("shortname"));
        const QJsonValue longName = object.value(QLatin1String("longname"));
        const QString name = shortName.isString() ? shortName.toString()
            : longName.isString()                 ? longName.toString()
                                                  : symbol.toString();
        results.append(makeSuggestion(ItemKind::quote, symbol.toString(), shortLabel(symbol.toString()), std::nullopt,
                                      symbol.toString() + twoSpaces + name,
                                      joinedStrings(object, {"exchDisp", "quoteType"}, dotSeparator)));
    }
    return results;
}

