#pragma once

#include "net/HttpResponse.h"
#include "types/SourceFailure.h"

#include <optional>

/**
 * What one service fetch gave: the value, or nothing on any failure, with the response
 * (body dropped) so that the caller can tell a cancelled request from a failure and read
 * the status and Retry-After, and the reason there is no value.
 */
template<typename T> struct Fetched
{
    std::optional<T> value;
    HttpResponse response;
    /** Why there is no value, for the source's health; nothing with a value, when cancelled, or when nothing was asked.
     */
    std::optional<SourceFailure> failure;

    bool cancelled() const { return response.failure == HttpResponse::Failure::cancelled; }
    /** A failure that counts against the service: anything but a value or a cancellation. */
    bool failed() const { return !value && !cancelled(); }
};
