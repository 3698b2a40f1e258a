#include "search/SearchModel.h"

#include "net/HttpClient.h"
#include "net/ServiceUrls.h"
#include "search/SearchLog.h"
#include "settings/Settings.h"
#include "util/Cancellation.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTextBoundaryFinder>
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

QList<Suggestion> SearchModel::metalResults(const QString &text) const
{
    return metalSuggestions(text, m_settings.metalCurrency(), m_settings.metalUnit());
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
    // Characters as the user sees them: an accent typed as a combining mark or an emoji
    // made of two UTF-16 units is still one character.
    qsizetype characters = 0;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    while (characters < 2 && graphemes.toNextBoundary() > 0)
        ++characters;
    if (characters < 2) {
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
        if (!json || !SearchModel::arrayOfObjects(*json))
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
        if (!json || !SearchModel::arrayOfObjects(json->toObject().value(QLatin1String("data"))))
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
    if (!json || !SearchModel::arrayOfObjects(json->toObject().value(QLatin1String("quotes"))))
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
        co_return std::nullopt; // the HTTP layer said why
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(response.body, &error);
    if (error.error != QJsonParseError::NoError) {
        qCWarning(lcSearch, "search answer (HTTP status %d) is not JSON: %s", response.status,
                  qPrintable(error.errorString()));
        co_return std::nullopt;
    }
    if (document.isArray())
        co_return QJsonValue(document.array());
    if (document.isObject())
        co_return QJsonValue(document.object());
    co_return std::nullopt;
}
