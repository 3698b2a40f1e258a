#include "search/SearchModel.h"

#include "net/HttpClient.h"
#include "net/ServiceRequest.h"
#include "net/ServiceUrls.h"
#include "settings/Settings.h"
#include "util/Cancellation.h"
#include "util/ClockWait.h"

#include <QJsonObject>
#include <QTextBoundaryFinder>

#include <memory>

SearchModel::SearchModel(Settings &settings, HttpClient &http, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_http(http)
{}

SearchModel::~SearchModel()
{
    // The pending search sees the flag before it could touch this object again.
    cancelPending();
}

QList<Suggestion> SearchModel::metalResults(const QString &text) const
{
    return metalSuggestions(text, m_settings.metalCurrency(), m_settings.metalUnit());
}

void SearchModel::schedule(const QString &query, ItemKind kind, std::chrono::milliseconds quiet)
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
    run(text, kind, quiet, cancellation);
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

QCoro::Task<void> SearchModel::run(QString text, ItemKind kind, std::chrono::milliseconds quiet,
                                   QPointer<Cancellation> cancellation)
{
    // The search owns its cancellation; the model only keeps a weak handle to it.
    const std::unique_ptr<Cancellation> owned(cancellation.data());
    const QPointer<SearchModel> self(this);

    // A cancellation ends the wait at once instead of leaving the search asleep.
    co_await waitOnClock(quiet, owned.get());
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
        ServiceRequest request;
        request.base = ServiceUrls::weatherApi();
        request.path = QStringLiteral("/v1/search.json");
        request.query = {{QStringLiteral("key"), key}, {QStringLiteral("q"), text}};
        const std::optional<QJsonValue> json = co_await getJSON(std::move(request), cancellation);
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
        ServiceRequest request;
        request.base = ServiceUrls::twelveData();
        request.path = QStringLiteral("/symbol_search");
        request.query = {{QStringLiteral("symbol"), text},
                         {QStringLiteral("outputsize"), QStringLiteral("8")},
                         {QStringLiteral("apikey"), key}};
        const std::optional<QJsonValue> json = co_await getJSON(std::move(request), cancellation);
        if (!json || !SearchModel::arrayOfObjects(json->toObject().value(QLatin1String("data"))))
            co_return Answer{{}, twelveDataFailureMessage()};
        co_return Answer{twelveDataFromJson(*json), std::nullopt};
    }

    ServiceRequest request;
    request.base = ServiceUrls::yahoo();
    request.path = QStringLiteral("/v1/finance/search");
    request.query = {{QStringLiteral("q"), text},
                     {QStringLiteral("quotesCount"), QStringLiteral("8")},
                     {QStringLiteral("newsCount"), QStringLiteral("0")}};
    const std::optional<QJsonValue> json = co_await getJSON(std::move(request), cancellation);
    if (!json || !SearchModel::arrayOfObjects(json->toObject().value(QLatin1String("quotes"))))
        co_return Answer{{}, yahooFailureMessage()};
    co_return Answer{yahooFromJson(*json), std::nullopt};
}

QCoro::Task<std::optional<QJsonValue>> SearchModel::getJSON(ServiceRequest request, Cancellation *cancellation)
{
    request.timeout = HttpClient::searchTimeout;
    // As before: any answer that decodes is read, whatever its status; the shape checks decide.
    const ServiceRequest::Answer answer = co_await ServiceRequest::send(m_http, std::move(request), cancellation);
    if (answer.response.failed())
        co_return std::nullopt;
    co_return answer.json;
}
