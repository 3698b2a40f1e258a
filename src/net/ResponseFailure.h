#pragma once

#include "net/HttpResponse.h"
#include "types/SourceFailure.h"

#include <QDateTime>
#include <QNetworkReply>

#include <optional>

/**
 * What an HTTP answer says about the source that gave it, in the terms of the health model:
 * one rule for every service and feed, so that a 401 or a lost connection reads the same
 * wherever it happens.
 */
namespace ResponseFailure {

/**
 * The failure `response` stands for, stamped `at`; nothing for a 2xx answer (whose body the
 * caller still has to read) and for a cancelled request, which says nothing about the source.
 * `keyed` tells whether the request carried one of the user's keys, so that 401 and 403 blame
 * the key only where there is one.
 */
std::optional<SourceFailure> of(const HttpResponse &response, bool keyed, const QDateTime &at);

/** The kind of failure an HTTP status outside 2xx stands for (also for a code a service gives in its body). */
FailureKind kindOfStatus(int status, bool keyed);

/** The network failure a transport error names. */
NetworkProblem networkProblem(QNetworkReply::NetworkError error);

} // namespace ResponseFailure
