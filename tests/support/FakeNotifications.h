#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>

// A notification service for tests on a private session bus (the DBUS option of dotbanner_add_test).

/** What one Notify call carried. */
struct Notification
{
    QString appName;
    uint replacesId = 0;
    QString appIcon;
    QString summary;
    QString body;
    QStringList actions;
    QVariantMap hints;
    int expireTimeout = 0;
};

/** A notification service that records the calls it gets, on a bus connection of its own. */
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    static inline const QString connectionName = QStringLiteral("fake-notifications");

    bool start()
    {
        m_bus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName));
        return m_bus->isConnected() &&
               m_bus->registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                     QDBusConnection::ExportAllSlots) &&
               m_bus->registerService(QStringLiteral("org.freedesktop.Notifications"));
    }
    void stop()
    {
        if (!m_bus)
            return;
        m_bus->unregisterService(QStringLiteral("org.freedesktop.Notifications"));
        m_bus->unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
        m_bus.reset();
        QDBusConnection::disconnectFromBus(connectionName);
    }
    ~FakeNotifications() override { stop(); }

    QList<Notification> received;

public slots:
    uint Notify(const QString &appName, uint replacesId, const QString &appIcon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints, int expireTimeout)
    {
        received.append({appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout});
        return uint(received.size());
    }

private:
    std::unique_ptr<QDBusConnection> m_bus;
};
