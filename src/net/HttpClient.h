#pragma once

#include "net/HttpResponse.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QUrl>

#include <qcoro/qcorotask.h>

#include <chrono>

class Cancellation;

/**
 * The program's one HTTP layer: GET requests with our user agent, redirects followed as asked
 * (at most maxRedirects), a hard deadline per request and a bound on the body size. Results
 * come back as plain values; nothing throws. Runs on the thread that owns it (the main thread).
 *
 * Each request's outcome is a debug line: the services that use the client log a warning when
 * a source's state changes, not at every attempt.
 */
class HttpClient : public QObject
{
    Q_OBJECT
public:
    static inline const QByteArray userAgent = QByteArrayLiteral("Mozilla/5.0 (Macintosh) Dotbanner/1.0");
    static constexpr std::chrono::milliseconds standardTimeout{15000};
    static constexpr std::chrono::milliseconds searchTimeout{10000};
    /** Bodies longer than this are dropped and the request counts as failed. */
    static constexpr qint64 maxBodyBytes = 8 * 1024 * 1024;
    /**
     * Redirects one request follows; one more ends it with Failure::tooManyRedirects. An
     * address that sends us round in circles thus costs at most this many requests plus one.
     */
    static constexpr int maxRedirects = 5;

    explicit HttpClient(QObject *parent = nullptr);

    /** The client of the running process. */
    static HttpClient &shared();

    struct Options
    {
        std::chrono::milliseconds timeout = standardTimeout;
        bool sendUserAgent = true;
        /** Aborts the request when cancelled; the result is then Failure::cancelled. */
        Cancellation *cancellation = nullptr;
        /**
         * Follow redirects only to the same host and never from https to http; any other
         * redirect ends the request with Failure::redirect. For requests that carry a key.
         * Otherwise any redirect that is not less safe is followed.
         */
        bool sameHostRedirects = false;
    };

    QCoro::Task<HttpResponse> get(QUrl url, Options options);
    QCoro::Task<HttpResponse> get(QUrl url) { return get(std::move(url), Options{}); }

    /**
     * Scales every time-out given to this client; tests shorten the 15-second deadline
     * with it instead of waiting for it. 1.0 in the program.
     */
    void setTimeoutScale(double scale) { m_timeoutScale = scale; }
    double timeoutScale() const { return m_timeoutScale; }

    /** Requests started and not finished yet; tests wait for this to reach 0. */
    int activeRequests() const { return m_active; }

private:
    QNetworkAccessManager m_manager;
    double m_timeoutScale = 1.0;
    int m_active = 0;
};
