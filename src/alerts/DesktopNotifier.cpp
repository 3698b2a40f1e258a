#include "alerts/DesktopNotifier.h"

#include "alerts/AlertsLog.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QStringList>
#include <QVariantMap>

DesktopNotifier::DesktopNotifier(Fallback fallback, QObject *parent)
    : QObject(parent)
    , m_fallback(std::move(fallback))
{}

void DesktopNotifier::notify(const QString &summary, const QString &body)
{
    const QString shortSummary = summary.left(maxTextLength);
    const QString shortBody = body.left(maxTextLength);
    const auto fallBack = [this, shortSummary, shortBody] {
        if (m_fallback)
            m_fallback(shortSummary, shortBody);
    };

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        qCDebug(lcAlerts, "no session bus: the alert goes to the fallback");
        fallBack();
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Notify"));
    // The desktop entry lets the notification service show the program's name and icon.
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("dotbanner")}};
    call << QStringLiteral("Dotbanner") << uint(0) << QStringLiteral("dotbanner") << shortSummary << shortBody
         << QStringList() << hints << int(-1);
    // The bus answers at once when nobody owns the name; a service that hangs is not waited for long.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, answerTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [fallBack](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        if (!finished->isError())
            return;
        qCDebug(lcAlerts, "no desktop notification (%s): the alert goes to the fallback",
                qPrintable(finished->error().name()));
        fallBack();
    });
}
