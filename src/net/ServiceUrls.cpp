#include "net/ServiceUrls.h"

#include <QByteArray>
#include <QHostAddress>
#include <QMutex>
#include <QSet>

namespace {

/** Each refused variable is reported once per process, with its value. */
void reportRefused(const char *variable, const QString &reason, const char *fallback)
{
    static QMutex mutex;
    static QSet<QByteArray> reported;
    const QMutexLocker lock(&mutex);
    if (reported.contains(variable))
        return;
    reported.insert(variable);
    qWarning("%s refused (%s); using %s", variable, qPrintable(reason), fallback);
}

QUrl fromEnvironment(const char *variable, const char *fallback)
{
    const QByteArray value = qgetenv(variable).trimmed();
    if (value.isEmpty())
        return QUrl(QString::fromLatin1(fallback));
    const QUrl url(QString::fromUtf8(value));
    QString reason;
    if (!url.isValid() || url.host().isEmpty())
        reason = QStringLiteral("not an address with a host");
    else if (!ServiceUrls::isSafeForKeys(url))
        reason = QStringLiteral("keys travel only over https, or http to a loopback address");
    if (reason.isEmpty())
        return url;
    reportRefused(variable, reason, fallback);
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

void checkOverrides()
{
    yahoo();
    twelveData();
    metalsDev();
    weatherApi();
}

bool isLoopbackHost(const QString &host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    // QUrl gives IPv6 hosts without their brackets.
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

bool isSafeForKeys(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return true;
    return scheme == QLatin1String("http") && isLoopbackHost(url.host());
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
