#include "data/FetchFailures.h"

#include "net/ResponseFailure.h"

#include <QJsonObject>

#include <cmath>

namespace {

/** A JSON number that is a whole, plausible code; 0 otherwise. */
int codeOf(const QJsonValue &value)
{
    if (!value.isDouble())
        return 0;
    const double code = value.toDouble();
    if (!std::isfinite(code) || code != std::floor(code) || code <= 0 || code > 1e6)
        return 0;
    return static_cast<int>(code);
}

int bodyCode(const QJsonObject &object)
{
    if (const int code = codeOf(object.value(QLatin1String("code"))))
        return code;
    return codeOf(object.value(QLatin1String("error")).toObject().value(QLatin1String("code")));
}

} // namespace

namespace FetchFailures {

std::optional<SourceFailure> ofAnswer(const HttpResponse &response, const std::optional<QJsonValue> &json, bool keyed,
                                      const QDateTime &at)
{
    if (std::optional<SourceFailure> failure = ResponseFailure::of(response, keyed, at)) {
        if (failure->httpStatus != 0 && json && json->isObject())
            failure->serviceCode = bodyCode(json->toObject());
        return failure;
    }
    if (response.failed() || (json && json->isObject()))
        return std::nullopt; // cancelled, or an object for the caller to read
    SourceFailure unreadable;
    unreadable.kind = FailureKind::unreadable;
    unreadable.at = at;
    return unreadable;
}

SourceFailure ofUnusableObject(const QJsonObject &object, bool keyed, const QDateTime &at)
{
    SourceFailure failure;
    failure.at = at;
    failure.kind = FailureKind::unreadable;
    const QJsonValue status = object.value(QLatin1String("status"));
    const bool saysError =
        status.isString() && status.toString() != QLatin1String("success") && status.toString() != QLatin1String("ok");
    const int code = bodyCode(object);
    const bool httpCode = code >= 400 && code <= 599;
    // A code like an HTTP error status names the error even where the status is left out.
    if (!saysError && !(httpCode && !status.isString()))
        return failure;
    failure.serviceCode = code;
    failure.kind = httpCode ? ResponseFailure::kindOfStatus(code, keyed) : FailureKind::serviceError;
    return failure;
}

} // namespace FetchFailures
