#pragma once

#include "types/KeyService.h"

#include <QString>

#include <chrono>

/**
 * The API keys in the user's keyring (the Secret Service), one entry per account
 * under the service name "com.brindlewick.dotbanner". Every call is bounded in time:
 * a keyring that does not answer counts as a failure.
 */
namespace Keychain {

inline constexpr const char *serviceName = "com.brindlewick.dotbanner";

/** The stored text, or "" on any failure (missing, locked, timed out, not UTF-8). */
QString get(const QString &account);
/**
 * Replaces the entry; an empty value deletes it. False when the keyring could not be reached
 * or refused (no Secret Service, locked, timed out).
 */
bool set(const QString &account, const QString &value);

/** "stockKey", "weatherKey" or "metalsKey". */
QString account(KeyService service);

/** How long one keyring operation may take before it counts as failed (4 s by default). */
void setTimeout(std::chrono::milliseconds timeout);
std::chrono::milliseconds timeout();

} // namespace Keychain
