#pragma once

#include <QString>
#include <QUrl>

/**
 * Base addresses of the web services. Each can be replaced through an environment
 * variable (scheme, host, optional port and path prefix), for tests and mirrors. The keys
 * go with every request, so a replacement must be https, or http to a loopback address;
 * any other is refused with one warning naming the variable, and the default is used.
 */
namespace ServiceUrls {

QUrl yahoo();      ///< DOTBANNER_YAHOO_URL, default https://query1.finance.yahoo.com
QUrl twelveData(); ///< DOTBANNER_TWELVEDATA_URL, default https://api.twelvedata.com
QUrl metalsDev();  ///< DOTBANNER_METALSDEV_URL, default https://api.metals.dev
QUrl weatherApi(); ///< DOTBANNER_WEATHERAPI_URL, default https://api.weatherapi.com

/** Reads the four variables once so that a refused one is reported at start. */
void checkOverrides();

/** "localhost", or an address in 127.0.0.0/8 or ::1. */
bool isLoopbackHost(const QString &host);
/** https, or http to a loopback host. */
bool isSafeForKeys(const QUrl &url);

/**
 * `base` with `path` appended to its path prefix ("/v1/latest" under
 * "http://127.0.0.1:8080/mirror" gives "http://127.0.0.1:8080/mirror/v1/latest").
 * `path` is already percent-encoded where needed.
 */
QUrl endpoint(const QUrl &base, const QString &path);

} // namespace ServiceUrls
