#pragma once

#include <QString>
#include <QUrl>

/**
 * Base addresses of the web services. Each can be replaced through an environment
 * variable (scheme, host, optional port and path prefix), for tests and mirrors.
 */
namespace ServiceUrls {

QUrl yahoo();       ///< DOTBANNER_YAHOO_URL, default https://query1.finance.yahoo.com
QUrl twelveData();  ///< DOTBANNER_TWELVEDATA_URL, default https://api.twelvedata.com
QUrl metalsDev();   ///< DOTBANNER_METALSDEV_URL, default https://api.metals.dev
QUrl weatherApi();  ///< DOTBANNER_WEATHERAPI_URL, default https://api.weatherapi.com

/**
 * `base` with `path` appended to its path prefix ("/v1/latest" under
 * "http://127.0.0.1:8080/mirror" gives "http://127.0.0.1:8080/mirror/v1/latest").
 * `path` is already percent-encoded where needed.
 */
QUrl endpoint(const QUrl &base, const QString &path);

} // namespace ServiceUrls
