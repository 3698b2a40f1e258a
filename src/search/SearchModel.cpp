#include "search/SearchModel.h"

#include "net/HttpClient.h"
#include "net/ServiceUrls.h"
#include "settings/Settings.h"
#include "util/Cancellation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTimer>

#include <qcoro/qcorotimer.h>

#include <memory>

namespace {

/** The query of `url` set from raw pairs, each part percent-encoded in full ("+" and "&" included). */
QUrl withQuery(QUrl url, const QList<std::pair<QString, QString>> &items)
{
    QStringList parts;
    for (const auto &[key, value] : items)
        parts.append(QString::fromLatin1(QUrl::toPercentEncoding(key) + '=' + QUrl::toPercentEncoding(value)));
    url.setQuery(parts.join(QLatin1Char('&')), QUrl::StrictMode);
    return url;
}

/** The array when `json` is an array whose every element is an object. */
std::optional<QJsonArray> arrayOfObjects(const QJsonValue &json)
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

SearchModel::SearchModel(Settings &settings, HttpClient &http, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_http(http)
{
}

SearchModel::~SearchModel()
{
    // The pending search sees the flag before it could touch this object again.
    cancelPending();
}

QString SearchModel::missingWeatherKeyMessage()
{
    return QStringLiteral("Ajoute ta clé WeatherAPI dans l'onglet Clés API.");
}

QString SearchModel::placeFailureMessage()
{
    return QStringLiteral("Aucun résultat ou clé invalide.");
}

QString SearchModel::missingTwelveDataKeyMessage()
{
    return QStringLiteral("Ajoute ta clé Twelve Data dans l'onglet Clés API.");
}

QString SearchModel::twelveDataFailureMessage()
{
    return QStringLiteral("Recherche impossible. Vérifie ta clé.");
}

QString SearchModel::yahooFailureMessage()
{
    return QStringLiteral("Recherche impossible pour l'instant.");
}

const QList<SearchModel::Metal> &SearchModel::metals()
{
    static const QList<Metal> catalogue = {
        {QStringLiteral("gold"), QStringLiteral("Or · Gold"), QStringLiteral("OR")},
        {QStringLiteral("silver"), QStringLiteral("Argent · Silver"), QStringLiteral("ARGENT")},
        {QStringLiteral("platinum"), QStringLiteral("Platine · Platinum"), QStringLiteral("PLATINE")},
        {QStringLiteral("palladium"), QStringLiteral("Palladium"), QStringLiteral("PALLAD")},
        {QStringLiteral("copper"), QStringLiteral("Cuivre · Copper"), QStringLiteral("CUIVRE")},
        {QStringLiteral("aluminum"), QStringLiteral("Aluminium"), QStringLiteral("ALU")},
        {QStringLiteral("nickel"), QStringLiteral("Nickel"), QStringLiteral("NICKEL")},
        {QStringLiteral("zinc"), QStringLiteral("Zinc"), QStringLiteral("ZINC")},
        {QStringLiteral("lead"), QStringLiteral("Plomb · Lead"), QStringLiteral("PLOMB")},
        {QStringLiteral("tin"), QStringLiteral("Étain · Tin"), QStringLiteral("ETAIN")},
    };
    return catalogue;
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

QList<Suggestion> SearchModel::metalResults(const QString &text) const
{
    const QString q = fold(text);
    const QString subtitle = QStringLiteral("Métal · ") + m_settings.metalCurrency() + QLatin1Char('/')
        + m_settings.metalUnit();
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

void SearchModel::schedule(const QString &query, ItemKind kind)
{
    cancelPending();

    // Only spaces and tabs count as padding here, as in the search field.
    qsizetype start = 0;
    qsizetype end = query.size();
    const auto isPadding = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (start < end && isPadding(query.at(start)))
        ++start;
    while (end > start && isPadding(query.at(end - 1)))
        --end;
    const QString text = query.mid(start, end - start);

    if (kind == ItemKind::metal) {
        publish(metalResults(text), std::nullopt, false);
        return;
    }
    if (text.size() < 2) {
        publish({}, std::nullopt, false);
        return;
    }

    auto *cancellation = new Cancellation();
    m_task = cancellation;
    if (!m_busy) {
        m_busy = true;
        emit busyChanged(true);
    }
    run(text, kind, cancellation);
}

void SearchModel::clear()
{
    cancelPending();
    publish({}, std::nullopt, false);
}

void SearchModel::cancelPending()
{
    if (m_task)
        m_task->cancel();
    m_task = nullptr;
}

void SearchModel::publish(const QList<Suggestion> &results, const std::optional<QString> &message, bool busy)
{
    m_results = results;
    emit resultsChanged(m_results);
    if (m_message != message) {
        m_message = message;
        emit messageChanged(m_message);
    }
    if (m_busy != busy) {
        m_busy = busy;
        emit busyChanged(m_busy);
    }
}

QCoro::Task<void> SearchModel::run(QString text, ItemKind kind, QPointer<Cancellation> cancellation)
{
    // The search owns its cancellation; the model only keeps a weak handle to it.
    const std::unique_ptr<Cancellation> owned(cancellation.data());
    const QPointer<SearchModel> self(this);

    {
        QTimer wait;
        wait.setSingleShot(true);
        // A coarse timer may fire up to 5 % early; the quiet time is a minimum.
        wait.setTimerType(Qt::PreciseTimer);
        // A cancellation ends the wait at once instead of leaving the search asleep.
        QObject::connect(owned.get(), &Cancellation::cancelled, &wait, [&wait] { wait.start(0); });
        wait.start(debounce);
        co_await wait;
    }
    if (owned->isCancelled() || !self)
        co_return;

    const Answer answer = co_await fetch(text, kind, owned.get());
    // A search that was replaced, cleared or outlived its model writes nothing.
    if (owned->isCancelled() || !self)
        co_return;
    m_task = nullptr;
    publish(answer.first, answer.second, false);
}

QCoro::Task<SearchModel::Answer> SearchModel::fetch(QString text, ItemKind kind, Cancellation *cancellation)
{
    // Everything read from the model is read before the first suspension: once a
    // request is in flight only the answer is looked at.
    switch (kind) {
    case ItemKind::metal:
        co_return Answer{{}, std::nullopt};
    case ItemKind::weather: {
        const QString key = m_settings.effectiveWeatherKey();
        if (key.isEmpty())
            co_return Answer{{}, missingWeatherKeyMessage()};
        const QUrl url = withQuery(ServiceUrls::endpoint(ServiceUrls::weatherApi(), QStringLiteral("/v1/search.json")),
                                   {{QStringLiteral("key"), key}, {QStringLiteral("q"), text}});
        if (!url.isValid())
            co_return Answer{{}, placeFailureMessage()};
        const std::optional<QJsonValue> json = co_await getJSON(url, cancellation);
        if (!json || !arrayOfObjects(*json))
            co_return Answer{{}, placeFailureMessage()};
        co_return Answer{placesFromJson(*json), std::nullopt};
    }
    case ItemKind::quote:
        break;
    }

    if (m_settings.stockProvider() == StockProvider::twelveData) {
        const QString key = m_settings.stockKey();
        if (key.isEmpty())
            co_return Answer{{}, missingTwelveDataKeyMessage()};
        const QUrl url = withQuery(ServiceUrls::endpoint(ServiceUrls::twelveData(), QStringLiteral("/symbol_search")),
                                   {{QStringLiteral("symbol"), text},
                                    {QStringLiteral("outputsize"), QStringLiteral("8")},
                                    {QStringLiteral("apikey"), key}});
        if (!url.isValid())
            co_return Answer{{}, twelveDataFailureMessage()};
        const std::optional<QJsonValue> json = co_await getJSON(url, cancellation);
        if (!json || !arrayOfObjects(json->toObject().value(QLatin1String("data"))))
            co_return Answer{{}, twelveDataFailureMessage()};
        co_return Answer{twelveDataFromJson(*json), std::nullopt};
    }

    const QUrl url = withQuery(ServiceUrls::endpoint(ServiceUrls::yahoo(), QStringLiteral("/v1/finance/search")),
                               {{QStringLiteral("q"), text},
                                {QStringLiteral("quotesCount"), QStringLiteral("8")},
                                {QStringLiteral("newsCount"), QStringLiteral("0")}});
    if (!url.isValid())
        co_return Answer{{}, yahooFailureMessage()};
    const std::optional<QJsonValue> json = co_await getJSON(url, cancellation);
    if (!json || !arrayOfObjects(json->toObject().value(QLatin1String("quotes"))))
        co_return Answer{{}, yahooFailureMessage()};
    co_return Answer{yahooFromJson(*json), std::nullopt};
}

QCoro::Task<std::optional<QJsonValue>> SearchModel::getJSON(QUrl url, Cancellation *cancellation)
{
    HttpClient::Options options;
    options.timeout = HttpClient::searchTimeout;
    options.cancellation = cancellation;
    const HttpResponse response = co_await m_http.get(std::move(url), options);
    if (response.failed())
        co_return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(response.body, &error);
    if (error.error != QJsonParseError::NoError)
        co_return std::nullopt;
    if (document.isArray())
        co_return QJsonValue(document.array());
    if (document.isObject())
        co_return QJsonValue(document.object());
    co_return std::nullopt;
}
