#include "net/ServiceUrls.h"

#include <QByteArray>

namespace {

QUrl fromEnvironment(const char *variable, const char *fallback)
{
    const QByteArray value = qgetenv(variable).trimmed();
    if (!value.isEmpty()) {
        const QUrl url(QString::fromUtf8(value));
        if (url.isValid() && !url.host().isEmpty())
            return url;
    }
    return QUrl(QString::fromLatin1(fallback));
}

} // namespace

namespace ServiceUrls {

QUrl yahoo()
{
    return fromEnvironment("DOTBANNER_YAHOO_URL", "https://query1.finance.yahoo.com");
}

QUrl twelveData()
{
    return fromEnvironment("DOTBANNER_TWELVEDATA_URL", "https://api.twelvedata.com");
}

QUrl metalsDev()
{
    return fromEnvironment("DOTBANNER_METALSDEV_URL", "https://api.metals.dev");
}

QUrl weatherApi()
{
    return fromEnvironment("DOTBANNER_WEATHERAPI_URL", "https://api.weatherapi.com");
}

QUrl endpoint(const QUrl &base, const QString &path)
{
    QUrl url = base;
    QString prefix = base.path(QUrl::FullyEncoded);
    while (prefix.endsWith(QLatin1Char('/')))
        prefix.chop(1);
    url.setPath(prefix + path, QUrl::TolerantMode);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

} // namespace ServiceUrls
