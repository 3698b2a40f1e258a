#pragma once

#include <QByteArray>
#include <QNetworkReply>

/**
 * What came back from one GET. An HTTP error status with a body is not a failure
 * here (services answer errors in JSON); `failed` means no usable answer at all:
 * a transport error, a time-out, a cancelled request, an over-long body, a redirect
 * the request did not allow, or more redirects than HttpClient::maxRedirects.
 */
struct HttpResponse
{
    enum class Failure { none, transport, timeout, cancelled, tooLarge, redirect, tooManyRedirects };

    Failure failure = Failure::none;
    QNetworkReply::NetworkError networkError = QNetworkReply::NoError;
    int status = 0; ///< HTTP status, 0 when the server gave none
    QByteArray body;
    /** The answer's Retry-After header as sent (seconds or an HTTP date); empty without one. */
    QByteArray retryAfter;

    bool failed() const { return failure != Failure::none; }
    bool isSuccessStatus() const { return !failed() && status >= 200 && status < 300; }
};
