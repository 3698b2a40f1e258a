#pragma once

#include "net/HttpClient.h"
#include "net/HttpResponse.h"

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <qcoro/qcorotask.h>

#include <chrono>
#include <optional>

class Cancellation;

/**
 * One GET to a web service: the one way the program builds a service address and reads
 * its JSON answer. Used by the value fetchers, the search and the forecast report, so
 * every key travels with the same escaping and the same redirect rule.
 */
struct ServiceRequest
{
    QUrl base;    ///< a ServiceUrls address
    QString path; ///< appended to the base's path; already percent-encoded where needed
    QList<QPair<QString, QString>> query;
    std::chrono::milliseconds timeout = HttpClient::standardTimeout;
    bool sendUserAgent = true;

    /** What came back: the response, and its top-level JSON object or array, whatever the status. */
    struct Answer
    {
        HttpResponse response;
        std::optional<QJsonValue> json;

        /** A usable answer: a 2xx status with a JSON object or array. */
        bool isUsable() const { return response.isSuccessStatus() && json.has_value(); }
    };

    /** `base` + `path` with the query items in order; nothing when that is not a valid address. */
    std::optional<QUrl> url() const;

    /**
     * Sends the request through `http`, redirects allowed only within the same host.
     * An address that cannot be built gives a transport failure without any traffic.
     */
    static QCoro::Task<Answer> send(HttpClient &http, ServiceRequest request, Cancellation *cancellation);

    /** A query name or value percent-encoded so that it cannot end its item or the query. */
    static QByteArray encodeQueryValue(const QString &value);
    /**
     * `text` as one segment of a path: what a segment allows stays ("=" too); "/", "?", "#",
     * "%", "^", spaces and non-ASCII are encoded, so the text can neither end its segment nor
     * leave the path. Nothing for text that cannot be one segment faithfully: empty, "." or ".."
     * (which every server reads as moving up or staying), or with a broken surrogate.
     */
    static std::optional<QString> pathSegment(const QString &text);
};
