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
    switch (response.failure) {
    case HttpResponse::Failure::none:
        if (response.status < 200 || response.status >= 300)
            qCWarning(lcNet, "GET %s: HTTP status %d", qPrintable(forLog(url)), response.status);
        else
            qCDebug(lcNet, "GET %s: HTTP status %d, %lld bytes", qPrintable(forLog(url)), response.status,
                    qlonglong(response.body.size()));
        break;
    case HttpResponse::Failure::transport:
        qCWarning(lcNet, "GET %s: network error %s", qPrintable(forLog(url)), errorName(response.networkError));
        break;
    case HttpResponse::Failure::timeout:
        qCWarning(lcNet, "GET %s: no answer in time", qPrintable(forLog(url)));
        break;
    case HttpResponse::Failure::tooLarge:
        qCWarning(lcNet, "GET %s: answer longer than %lld bytes, dropped", qPrintable(forLog(url)),
                  qlonglong(HttpClient::maxBodyBytes));
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

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, options.sameHostRedirects
                                                                       ? QNetworkRequest::UserVerifiedRedirectPolicy
                                                                       : QNetworkRequest::NoLessSafeRedirectPolicy);
    if (options.sendUserAgent)
        request.setHeader(QNetworkRequest::UserAgentHeader, userAgent);

    // The reply outlives this frame only until the event loop deletes it; every
    // connection below is scoped to objects that die with the frame.
    std::unique_ptr<QNetworkReply, void (*)(QNetworkReply *)> reply(m_manager.get(request),
                                                                    [](QNetworkReply *r) { r->deleteLater(); });
    QNetworkReply *raw = reply.get();

    HttpResponse::Failure abortReason = HttpResponse::Failure::none;
    QObject scope; // receiver for the connections; disconnects them when the frame ends
    const auto abortWith = [raw, &abortReason](HttpResponse::Failure reason) {
        if (abortReason == HttpResponse::Failure::none)
            abortReason = reason;
        raw->abort();
    };

    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &scope, [&] { abortWith(HttpResponse::Failure::timeout); });
    const auto scaled = std::chrono::milliseconds(static_cast<qint64>(options.timeout.count() * m_timeoutScale));
    deadline.start(scaled);

    QObject::connect(raw, &QNetworkReply::downloadProgress, &scope, [&](qint64 received, qint64 total) {
        if (received > maxBodyBytes || total > maxBodyBytes)
            abortWith(HttpResponse::Failure::tooLarge);
    });
    if (options.sameHostRedirects) {
        // Each hop is checked against the address just asked, so a chain cannot wander off either.
        QObject::connect(raw, &QNetworkReply::redirected, &scope, [&, current = url](const QUrl &target) mutable {
            const QUrl next = current.resolved(target);
            const bool sameHost = next.host().compare(current.host(), Qt::CaseInsensitive) == 0;
            const bool downgrade =
                current.scheme() == QLatin1String("https") && next.scheme() != QLatin1String("https");
            const bool knownScheme = next.scheme() == QLatin1String("https") || next.scheme() == QLatin1String("http");
            if (!sameHost || downgrade || !knownScheme) {
                abortWith(HttpResponse::Failure::redirect);
                return;
            }
            current = next;
            emit raw->redirectAllowed();
        });
    }
    if (options.cancellation) {
        QObject::connect(options.cancellation, &Cancellation::cancelled, &scope,
                         [&] { abortWith(HttpResponse::Failure::cancelled); });
    }

    ++m_active;
    if (!raw->isFinished())
        co_await qCoro(raw).waitForFinished();
    --m_active;
    deadline.stop();

    const QVariant status = raw->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    response.networkError = raw->error();
    response.status = status.isValid() ? status.toInt() : 0;
    if (abortReason != HttpResponse::Failure::none) {
        response.failure = abortReason;
        response.status = 0;
        logOutcome(url, response);
        co_return response;
    }
    if (response.status == 0) {
        response.failure = HttpResponse::Failure::transport;
        logOutcome(url, response);
        co_return response;
    }
    response.retryAfter = raw->rawHeader("Retry-After").left(64);
    response.body = raw->read(maxBodyBytes + 1);
    if (response.body.size() > maxBodyBytes) {
        response.body.clear();
        response.failure = HttpResponse::Failure::tooLarge;
    }
    logOutcome(url, response);
    co_return response;
}
