#include "net/HttpClient.h"

#include "net/NetLog.h"
#include "util/Cancellation.h"

#include <QMetaEnum>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

#include <qcoro/qcoronetworkreply.h>

#include <memory>

namespace {

// What a log line may say about a request: keys travel in query strings (and could in user
// information), so only the scheme, host and path are ever written.
QString forLog(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment).toString();
}

// The error's name only: QNetworkReply::errorString() quotes the whole URL, query included.
const char *errorName(QNetworkReply::NetworkError error)
{
    const char *name = QMetaEnum::fromType<QNetworkReply::NetworkError>().valueToKey(error);
    return name ? name : "UnknownNetworkError";
}

void logOutcome(const QUrl &url, const HttpResponse &response)
{
    // Debug lines only: a failing source is reported once, by the service that asked, when
    // its state changes; a warning here would repeat at every retry.
    switch (response.failure) {
    case HttpResponse::Failure::none:
        if (response.status < 200 || response.status >= 300)
            qCDebug(lcNet, "GET %s: HTTP status %d", qPrintable(forLog(url)), response.status);
        else
            qCDebug(lcNet, "GET %s: HTTP status %d, %lld bytes", qPrintable(forLog(url)), response.status,
                    qlonglong(response.body.size()));
        break;
    case HttpResponse::Failure::transport:
        qCDebug(lcNet, "GET %s: network error %s", qPrintable(forLog(url)), errorName(response.networkError));
        break;
    case HttpResponse::Failure::timeout:
        qCDebug(lcNet, "GET %s: no answer in time", qPrintable(forLog(url)));
        break;
    case HttpResponse::Failure::tooLarge:
        qCDebug(lcNet, "GET %s: answer longer than %lld bytes, dropped", qPrintable(forLog(url)),
                qlonglong(HttpClient::maxBodyBytes));
        break;
    case HttpResponse::Failure::redirect:
        qCDebug(lcNet, "GET %s: redirect refused", qPrintable(forLog(url)));
        break;
    case HttpResponse::Failure::tooManyRedirects:
        qCDebug(lcNet, "GET %s: more than %d redirects", qPrintable(forLog(url)), HttpClient::maxRedirects);
        break;
    case HttpResponse::Failure::cancelled:
        qCDebug(lcNet, "GET %s: cancelled", qPrintable(forLog(url)));
        break;
    }
}

} // namespace

HttpClient::HttpClient(QObject *parent)
    : QObject(parent)
{
    m_manager.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

HttpClient &HttpClient::shared()
{
    static HttpClient *client = new HttpClient();
    return *client;
}

QCoro::Task<HttpResponse> HttpClient::get(QUrl url, Options options)
{
    HttpResponse response;
    if (options.cancellation && options.cancellation->isCancelled()) {
        response.failure = HttpResponse::Failure::cancelled;
        co_return response;
    }

    // One deadline and one cancellation for the whole chain of redirects; they abort whichever
    // reply is in flight. Every connection is scoped to objects that die with this frame.
    QNetworkReply *raw = nullptr;
    HttpResponse::Failure abortReason = HttpResponse::Failure::none;
    QObject scope;
    const auto abortWith = [&raw, &abortReason](HttpResponse::Failure reason) {
        if (abortReason == HttpResponse::Failure::none)
            abortReason = reason;
        if (raw)
            raw->abort();
    };
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &scope, [&] { abortWith(HttpResponse::Failure::timeout); });
    const auto scaled = std::chrono::milliseconds(static_cast<qint64>(options.timeout.count() * m_timeoutScale));
    deadline.start(scaled);
    if (options.cancellation) {
        QObject::connect(options.cancellation, &Cancellation::cancelled, &scope,
                         [&] { abortWith(HttpResponse::Failure::cancelled); });
    }

    // Requests that carry a key follow their redirects here, each hop checked against the
    // address just asked, so that a chain cannot wander off either. (Qt's own verified
    // redirects ask the same address again and again from the third hop on.)
    QUrl current = url;
    for (int hop = 0;; ++hop) {
        QNetworkRequest request(current);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, options.sameHostRedirects
                                                                           ? QNetworkRequest::ManualRedirectPolicy
                                                                           : QNetworkRequest::NoLessSafeRedirectPolicy);
        // Qt's own bound is 50: an address that redirects to itself would cost 51 requests.
        request.setMaximumRedirectsAllowed(maxRedirects);
        if (options.sendUserAgent)
            request.setHeader(QNetworkRequest::UserAgentHeader, userAgent);

        std::unique_ptr<QNetworkReply, void (*)(QNetworkReply *)> reply(m_manager.get(request),
                                                                        [](QNetworkReply *r) { r->deleteLater(); });
        raw = reply.get();
        QObject hopScope;
        QObject::connect(raw, &QNetworkReply::downloadProgress, &hopScope, [&](qint64 received, qint64 total) {
            if (received > maxBodyBytes || total > maxBodyBytes)
                abortWith(HttpResponse::Failure::tooLarge);
        });

        ++m_active;
        if (!raw->isFinished())
            co_await qCoro(raw).waitForFinished();
        --m_active;

        const QVariant status = raw->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        response.networkError = raw->error();
        response.status = status.isValid() ? status.toInt() : 0;
        if (abortReason != HttpResponse::Failure::none) {
            response.failure = abortReason;
            response.status = 0;
            break;
        }
        if (response.networkError == QNetworkReply::TooManyRedirectsError) {
            // The last redirect's own status is no answer to what was asked.
            response.failure = HttpResponse::Failure::tooManyRedirects;
            response.status = 0;
            break;
        }
        if (response.status == 0) {
            response.failure = HttpResponse::Failure::transport;
            break;
        }
        const QVariant target = raw->attribute(QNetworkRequest::RedirectionTargetAttribute);
        if (options.sameHostRedirects && response.status >= 300 && response.status < 400 && target.isValid()) {
            if (hop >= maxRedirects) {
                response.failure = HttpResponse::Failure::tooManyRedirects;
                response.status = 0;
                break;
            }
            const QUrl next = current.resolved(target.toUrl());
            const bool sameHost = next.host().compare(current.host(), Qt::CaseInsensitive) == 0;
            const bool downgrade =
                current.scheme() == QLatin1String("https") && next.scheme() != QLatin1String("https");
            const bool knownScheme = next.scheme() == QLatin1String("https") || next.scheme() == QLatin1String("http");
            if (!sameHost || downgrade || !knownScheme) {
                response.failure = HttpResponse::Failure::redirect;
                response.status = 0;
                break;
            }
            current = next;
            continue;
        }
        response.retryAfter = raw->rawHeader("Retry-After").left(64);
        response.body = raw->read(maxBodyBytes + 1);
        if (response.body.size() > maxBodyBytes) {
            response.body.clear();
            response.failure = HttpResponse::Failure::tooLarge;
        }
        break;
    }
    raw = nullptr;
    deadline.stop();
    logOutcome(url, response);
    co_return response;
}
