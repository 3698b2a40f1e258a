#include "net/HttpClient.h"

#include "util/Cancellation.h"

#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

#include <qcoro/qcoronetworkreply.h>

#include <memory>

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
        co_return response;
    }
    if (response.status == 0) {
        response.failure = HttpResponse::Failure::transport;
        co_return response;
    }
    response.retryAfter = raw->rawHeader("Retry-After").left(64);
    response.body = raw->read(maxBodyBytes + 1);
    if (response.body.size() > maxBodyBytes) {
        response.body.clear();
        response.failure = HttpResponse::Failure::tooLarge;
    }
    co_return response;
}
