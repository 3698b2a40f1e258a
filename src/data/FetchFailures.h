#pragma once

#include "net/HttpResponse.h"
#include "types/SourceFailure.h"

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>

#include <optional>

/**
 * Why a service fetch gave no value, read from its response and from the error its service
 * wrote in the body. The services differ only in how they write their errors; the kinds are
 * the same for all (see ResponseFailure).
 */
namespace FetchFailures {

/**
 * The failure of an answer: the response's own (transport, status outside 2xx) with the error
 * code the body gives, if any (a top-level "code", or "error" → "code"); for a 2xx answer
 * without a JSON object, an unreadable answer. Nothing for a 2xx answer with an object, which
 * the caller reads, and for a cancelled request.
 */
std::optional<SourceFailure> ofAnswer(const HttpResponse &response, const std::optional<QJsonValue> &json, bool keyed,
                                      const QDateTime &at);

/**
 * A 2xx answer whose object gave no value. Twelve Data writes its errors there as
 * {"status": "error", "code": 401...}: codes between 400 and 599 are HTTP statuses, read as
 * such (also without a "status").
 * Metals.Dev writes a "status" other than "success". Anything else is unreadable.
 */
SourceFailure ofUnusableObject(const QJsonObject &object, bool keyed, const QDateTime &at);

/** WeatherAPI's code for a place it does not know (with HTTP 400). */
constexpr int weatherNoLocation = 1006;

} // namespace FetchFailures
