#include "net/ResponseFailure.h"

namespace ResponseFailure {

std::optional<SourceFailure> of(const HttpResponse &response, bool keyed, const QDateTime &at)
{
    SourceFailure failure;
    failure.at = at;
    switch (response.failure) {
    case HttpResponse::Failure::cancelled:
        return std::nullopt;
    case HttpResponse::Failure::transport:
        failure.kind = FailureKind::network;
        failure.network = networkProblem(response.networkError);
        return failure;
    case HttpResponse::Failure::timeout:
        failure.kind = FailureKind::timeout;
        return failure;
    case HttpResponse::Failure::tooLarge:
        failure.kind = FailureKind::unreadable;
        return failure;
    case HttpResponse::Failure::redirect:
        failure.kind = FailureKind::redirectRefused;
        return failure;
    case HttpResponse::Failure::tooManyRedirects:
        failure.kind = FailureKind::tooManyRedirects;
        return failure;
    case HttpResponse::Failure::none:
        break;
    }
    if (response.isSuccessStatus())
        return std::nullopt;
    failure.kind = kindOfStatus(response.status, keyed);
    failure.httpStatus = response.status;
    return failure;
}

FailureKind kindOfStatus(int status, bool keyed)
{
    if (status == 401 || status == 403)
        return keyed ? FailureKind::keyRejected : FailureKind::accessDenied;
    if (status == 404)
        return FailureKind::notFound;
    if (status == 429)
        return FailureKind::tooManyRequests;
    if (status >= 500 && status <= 599)
        return FailureKind::serverError;
    return FailureKind::httpError;
}

NetworkProblem networkProblem(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::HostNotFoundError:
        return NetworkProblem::hostNotFound;
    case QNetworkReply::ConnectionRefusedError:
        return NetworkProblem::connectionRefused;
    case QNetworkReply::RemoteHostClosedError:
        return NetworkProblem::connectionClosed;
    case QNetworkReply::SslHandshakeFailedError:
    case QNetworkReply::InsecureRedirectError:
        return NetworkProblem::secureConnection;
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::BackgroundRequestNotAllowedError:
        return NetworkProblem::unreachable;
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return NetworkProblem::proxy;
    default:
        return NetworkProblem::other;
    }
}

} // namespace ResponseFailure
