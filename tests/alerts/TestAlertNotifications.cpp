#include "FakeClock.h"
#include "FakeNotifications.h"
#include "LoopbackHttpServer.h"
#include "SettingsFixture.h"
#include "alerts/AlertStore.h"
#include "alerts/AlertWatcher.h"
#include "alerts/DesktopNotifier.h"
#include "data/DataService.h"
#include "net/HttpClient.h"
#include "settings/Settings.h"
#include "settings/SettingsRecord.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTest>

#include <memory>

namespace {

QByteArray chart(double price, double previousClose)
{
    return "{\"chart\":{\"result\":[{\"meta\":{\"regularMarketPrice\":" + QByteArray::number(price) +
           ",\"chartPreviousClose\":" + QByteArray::number(previousClose) + "}}]}}";
}

QByteArray alertEntry(const QUuid &item, const char *above, const char *below, const char *move)
{
    return "{\"item\":\"" + SettingsRecord::uuidText(item).toLatin1() + "\",\"above\":" + above +
           ",\"below\":" + below + ",\"movePercent\":" + move + "}";
}

} // namespace

class TestAlertNotifications : public QObject
{
    Q_OBJECT
private:
    using Told = QList<QPair<QString, QString>>;

    std::unique_ptr<FakeNotifications> m_service;
    Told m_fallback;

    /** Lets every call in flight arrive: a marker sent last arrives after them (the bus keeps their order). */
    void drain(DesktopNotifier &notifier)
    {
        const qsizetype before = m_service->received.size();
        notifier.notify(QStringLiteral("marker"), QString());
        QVERIFY(QTest::qWaitFor(
            [&] {
                return m_service->received.size() > before &&
                       m_service->received.last().summary == QLatin1String("marker");
            },
            10000));
        m_service->received.removeLast();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "this test runs on a private session bus");
    }

    void init()
    {
        m_fallback.clear();
        m_service = std::make_unique<FakeNotifications>();
    }

    void cleanup() { m_service.reset(); }

    void notifyCarriesTheTextsToTheService()
    {
        QVERIFY(m_service->start());
        DesktopNotifier notifier([this](const QString &summary, const QString &body) {
            m_fallback.append({summary, body});
        });
        notifier.notify(QStringLiteral("AAPL"), QStringLiteral("687.30 — au-dessus de 600"));
        QVERIFY(QTest::qWaitFor([&] { return !m_service->received.isEmpty(); }, 10000));
        const Notification &got = m_service->received.first();
        QCOMPARE(got.appName, QStringLiteral("Dotbanner"));
        QCOMPARE(got.replacesId, 0u);
        QCOMPARE(got.appIcon, QStringLiteral("dotbanner"));
        QCOMPARE(got.summary, QStringLiteral("AAPL"));
        QCOMPARE(got.body, QStringLiteral("687.30 — au-dessus de 600"));
        QVERIFY(got.actions.isEmpty());
        QCOMPARE(got.hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("dotbanner"));
        QCOMPARE(got.expireTimeout, -1);
        drain(notifier);
        QCOMPARE(m_service->received.size(), 1);
        QVERIFY(m_fallback.isEmpty());
    }

    void withoutAnOwnerOfTheNameTheFallbackIsTold()
    {
        QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(DesktopNotifier::service));
        DesktopNotifier notifier([this](const QString &summary, const QString &body) {
            m_fallback.append({summary, body});
        });
        notifier.notify(QStringLiteral("OR"), QStringLiteral("1799.00 — en dessous de 1800"));
        QVERIFY(QTest::qWaitFor([&] { return !m_fallback.isEmpty(); }, 10000));
        QCOMPARE(m_fallback, (Told{{QStringLiteral("OR"), QStringLiteral("1799.00 — en dessous de 1800")}}));
    }

    void fetchedValuesReachingAlertsNotifyOnceEach()
    {
        QVERIFY(m_service->start());
        SettingsFixture fixture;
        UserDefaults &store = fixture.store;
        Settings &settings = fixture.settings;
        const WatchItem apple{QUuid::createUuid(), ItemKind::quote, "AAPL", "AAPL", std::nullopt};
        const WatchItem lvmh{QUuid::createUuid(), ItemKind::quote, "MC.PA", "LVMH", std::nullopt};
        const WatchItem total{QUuid::createUuid(), ItemKind::quote, "TTE.PA", "TOTAL", std::nullopt};
        settings.setItems({apple, lvmh, total});
        // Above 600 on AAPL at 687.30; a 1 % move on LVMH, down 1.25 %; below 100 and a 5 % move
        // on TOTAL, up 1.1 %.
        QVERIFY(store.set(AlertStore::key, "[" + alertEntry(apple.id, "600", "null", "null") + "," +
                                               alertEntry(lvmh.id, "null", "null", "1") + "," +
                                               alertEntry(total.id, "null", "100", "5") + "]"));

        FakeClock clock;
        LoopbackHttpServer server;
        QVERIFY(server.start());
        server.serveAllServices();
        server.setResponse("/v8/finance/chart/AAPL", {200, chart(687.3, 650)});
        server.setResponse("/v8/finance/chart/MC.PA", {200, chart(691.25, 700)});
        server.setResponse("/v8/finance/chart/TTE.PA", {200, chart(101.1, 100)});
        HttpClient http;
        http.setTimeoutScale(0.05);

        AlertStore alerts(store, settings);
        QCOMPARE(alerts.alerts().size(), 3);
        DesktopNotifier notifier([this](const QString &summary, const QString &body) {
            m_fallback.append({summary, body});
        });
        AlertWatcher watcher(alerts, notifier);
        DataService data(settings, store, http);
        watcher.watch(data);
        data.start();
        QVERIFY(QTest::qWaitFor([&] { return !data.isRefreshing(); }, 15000));
        drain(notifier);

        QCOMPARE(m_service->received.size(), 2);
        QCOMPARE(m_service->received.at(0).summary, QStringLiteral("AAPL"));
        QVERIFY(m_service->received.at(0).body.contains(QStringLiteral("687.30")));
        QCOMPARE(m_service->received.at(0).body, QStringLiteral("687.30 — au-dessus de 600"));
        QCOMPARE(m_service->received.at(1).summary, QStringLiteral("LVMH"));
        QCOMPARE(m_service->received.at(1).body,
                 QString::fromUtf8("691.25, \u22121.25 % aujourd'hui — baisse de plus de 1 %"));
        QCOMPARE(watcher.alerting(), (QList<QUuid>{apple.id, lvmh.id}));

        // The next fetch, a minute later, finds the same values: nothing more is told.
        server.clearRequests();
        clock.advanceMs(60000);
        QVERIFY(QTest::qWaitFor([&] { return server.requestCount() == 3 && !data.isRefreshing(); }, 15000));
        drain(notifier);
        QCOMPARE(m_service->received.size(), 2);
        QVERIFY(m_fallback.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAlertNotifications)
#include "TestAlertNotifications.moc"
