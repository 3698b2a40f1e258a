#pragma once

#include <QDateTime>

/** Why a source gave no value. */
enum class FailureKind {
    missingKey,       ///< the service needs a key and none is set; nothing was asked
    keyRejected,      ///< a keyed service refused the key (HTTP 401 or 403)
    accessDenied,     ///< a service or feed without a key answered 401 or 403
    tooManyRequests,  ///< HTTP 429, or the service's own "too many requests"
    notFound,         ///< HTTP 404, or the service does not know the symbol, place or metal
    serverError,      ///< HTTP 5xx
    httpError,        ///< any other status outside 2xx (400, 410...)
    network,          ///< no connection: host not found, connection refused...
    timeout,          ///< no complete answer in time
    unreadable,       ///< an answer we cannot read: not JSON, not a feed, members missing, too long
    serviceError,     ///< the service answered with an error of its own that says nothing more
    tooManyRedirects, ///< more redirects than a request may follow
    redirectRefused,  ///< a keyed request redirected to another host, or from https to http
    badAddress,       ///< the symbol or feed address cannot be asked for at all; nothing was sent
};

/** The kind of network failure, for a failure of kind FailureKind::network. */
enum class NetworkProblem {
    none,
    hostNotFound,
    connectionRefused,
    connectionClosed,
    secureConnection,
    unreachable,
    proxy,
    other
};

/** One failure of a source, as recorded by the health model. */
struct SourceFailure
{
    FailureKind kind = FailureKind::network;
    int httpStatus = 0;  ///< the answer's HTTP status where it was outside 2xx; 0 otherwise
    int serviceCode = 0; ///< the error code in the service's own answer where it gave one; 0 otherwise
    NetworkProblem network = NetworkProblem::none;
    QDateTime at{}; ///< when it happened

    /** The same reason, whenever it happened: a retry that fails this way changes nothing worth telling. */
    bool sameReason(const SourceFailure &other) const
    {
        return kind == other.kind && httpStatus == other.httpStatus && serviceCode == other.serviceCode &&
               network == other.network;
    }

    friend bool operator==(const SourceFailure &, const SourceFailure &) = default;
};
