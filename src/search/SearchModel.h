#pragma once

#include "search/Suggestion.h"
#include "types/SettingsEnums.h"

#include <QJsonArray>
#include <QJsonValue>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <qcoro/qcorotask.h>

#include <chrono>
#include <optional>
#include <utility>

class Cancellation;
class HttpClient;
struct ServiceRequest;
class Settings;

/**
 * Suggestions while the user adds a watch item: stock symbols from the configured
 * stock service, places from WeatherAPI.com, metals from a fixed catalogue.
 *
 * Typing is debounced; at most one search is pending, and a search that was replaced
 * or cleared never writes its results. Everything runs on the main thread; requests
 * suspend without blocking it.
 */
class SearchModel : public QObject
{
    Q_OBJECT
public:
    /** Quiet time after the last keystroke before a request is sent. */
    static constexpr std::chrono::milliseconds debounce{350};

    /** One entry of the metal catalogue. */
    struct Metal
    {
        QString symbol;
        QString title;
        QString label;
    };

    /** Reads keys, provider and metal currency and unit from `settings`; requests go through `http`. */
    explicit SearchModel(Settings &settings, HttpClient &http, QObject *parent = nullptr);
    ~SearchModel() override;

    QList<Suggestion> results() const { return m_results; }
    bool busy() const { return m_busy; }
    std::optional<QString> message() const { return m_message; }

    /**
     * Called whenever the query text or the chosen kind changes; the request waits for
     * `quiet` (the debounce unless the user asked for the search right away).
     */
    void schedule(const QString &query, ItemKind kind, std::chrono::milliseconds quiet = debounce);
    /** Drops the pending search and empties results and message. */
    void clear();

    /** The metals whose symbol or folded title contains the folded `text`; all of them for "". */
    QList<Suggestion> metalResults(const QString &text) const;

    /** The metal suggestions for `text`, priced in `currency` per `unit`. */
    static QList<Suggestion> metalSuggestions(const QString &text, const QString &currency, const QString &unit);

    /** The fixed metal catalogue, in the order it is offered, named in the interface's language. */
    static QList<Metal> metals();
    /** The LED label of a metal symbol ("gold" gives "OR", "GOLD" in English); empty for an unknown symbol. */
    static QString metalLabel(const QString &symbol);
    /** "^FCHI" gives "FCHI", "MC.PA" "MC", "BTC-USD" "BTC", "EURUSD=X" "EURUSD". */
    static QString shortLabel(const QString &symbol);
    /** Lower-case text without diacritics, for matching "etain" against "Étain". */
    static QString fold(const QString &text);
    /** A coordinate in its shortest decimal form that reads back the same, always with a point ("2.0"). */
    static QString coordinate(double value);

    /** The answer of a search as the model publishes it. */
    using Answer = std::pair<QList<Suggestion>, std::optional<QString>>;

    /** Turns service answers into suggestions; elements that do not map are left out. */
    static QList<Suggestion> placesFromJson(const QJsonValue &json);
    static QList<Suggestion> twelveDataFromJson(const QJsonValue &json);
    static QList<Suggestion> yahooFromJson(const QJsonValue &json);

    /** The array when `json` is an array whose every element is an object. */
    static std::optional<QJsonArray> arrayOfObjects(const QJsonValue &json);

    /** The messages shown instead of results. */
    static QString missingWeatherKeyMessage();
    static QString placeFailureMessage();
    static QString missingTwelveDataKeyMessage();
    static QString twelveDataFailureMessage();
    static QString yahooFailureMessage();

signals:
    void resultsChanged(const QList<Suggestion> &results);
    void busyChanged(bool busy);
    void messageChanged(const std::optional<QString> &message);

private:
    QCoro::Task<void> run(QString text, ItemKind kind, std::chrono::milliseconds quiet,
                          QPointer<Cancellation> cancellation);
    QCoro::Task<Answer> fetch(QString text, ItemKind kind, Cancellation *cancellation);
    QCoro::Task<std::optional<QJsonValue>> getJSON(ServiceRequest request, Cancellation *cancellation);
    void cancelPending();
    void publish(const QList<Suggestion> &results, const std::optional<QString> &message, bool busy);

    Settings &m_settings;
    HttpClient &m_http;
    QList<Suggestion> m_results;
    bool m_busy = false;
    std::optional<QString> m_message;
    /** The pending search's cancellation; the search itself owns it. */
    QPointer<Cancellation> m_task;
};
