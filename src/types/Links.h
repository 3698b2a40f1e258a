#pragma once

#include <QUrl>

/** Rules for the addresses the program hands to the desktop to open. */
namespace Links {

/**
 * `url` without user name or password: an address copied from a feed may carry
 * "user:pass@", which must never reach the browser or the log.
 */
QUrl withoutUserInfo(const QUrl &url);

} // namespace Links
