#include "AlertTestSupport.h"
#include "FakeClock.h"
#include "alerts/AlertStore.h"
#include "alerts/AlertWatcher.h"
#include "alerts/DesktopNotifier.h"
#include "settings/Settings.h"
#include "SettingsFixture.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

using AlertTest::RecordingNotifier;
using Told = QList<QPair<QString, QString>>;

class TestAlertWatcher : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<SettingsFixture> m_fixture;
    UserDefaults *m_store = nullptr;
    Settings *m_settings = nullptr;
    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<AlertStore> m_alerts;
    std::unique_ptr<RecordingNotifier> m_notifier;
    std::unique_ptr<AlertWatcher> m_watcher;
    WatchItem m_apple{QUuid::createUuid(), ItemKind::quote, "AAPL", "AAPL", std::nullopt};
    WatchItem m_gold{QUuid::createUuid(), ItemKind::metal, "gold", "OR", std::nullopt};

    /** A fetched value of `item`, one minute of the fake clock after the previous one. */
    Quote fetched(const WatchItem &item, const QString &price, std::optional<double> change = std::nullopt)
    {
        m_clock->advanceMs(60000);
        Quote quote;
        quote.id = item.id;
        quote.name = item.label;
        quote.price = price;
        quote.change = change;
        quote.at = m_clock->now();
        return quote;
    }

    /** Publishes a new value of `item` and gives what it told. */
    Told publish(const WatchItem &item, const QString &price, std::optional<double> change = std::nullopt)
    {
        const qsizetype before = m_notifier->told.size();
        m_watcher->observe({fetched(item, price, change)});
        return m_notifier->told.mid(before);
    }

    static Told one(const QString &summary, const QString &body) { return {{summary, body}}; }

private slots:
    void init()
    {
        m_fixture = std::make_unique<SettingsFixture>();
        m_store = &m_fixture->store;
        m_settings = &m_fixture->settings;
        m_settings->setItems({m_apple, m_gold});
        m_clock = std::make_unique<FakeClock>();
        m_alerts = std::make_unique<AlertStore>(*m_store, *m_settings);
        m_notifier = std::make_unique<RecordingNotifier>();
        m_watcher = std::make_unique<AlertWatcher>(*m_alerts, *m_notifier);
    }

    void cleanup()
    {
        m_watcher.reset();
        m_notifier.reset();
        m_alerts.reset();
        m_clock.reset();
        m_settings = nullptr;
        m_store = nullptr;
        m_fixture.reset();
    }

    void aboveFiresOnceAndRearmsBeyondTheMargin()
    {
        QVERIFY(m_alerts->setAlert({m_apple.id, 600, std::nullopt, std::nullopt}));
        QCOMPARE(publish(m_apple, "590.00"), Told{});
        QCOMPARE(publish(m_apple, "687.30"), one("AAPL", "687.30 — au-dessus de 600"));
        QCOMPARE(publish(m_apple, "690.00"), Told{});
        QCOMPARE(publish(m_apple, "597.50"), Told{}); // back, but within 0.5 % (597.00)
        QCOMPARE(publish(m_apple, "650.00"), Told{}); // so still beyond: no second alert
        QCOMPARE(publish(m_apple, "596.90"), Told{}); // armed again
        QCOMPARE(publish(m_apple, "600.00"), one("AAPL", "600.00 — au-dessus de 600"));
    }

    void belowFiresOnceAndRearmsBeyondTheMargin()
    {
        QVERIFY(m_alerts->setAlert({m_gold.id, std::nullopt, 1800.5, std::nullopt}));
        QCOMPARE(publish(m_gold, "1800.50"), one("OR", "1800.50 — en dessous de 1800.5"));
        QCOMPARE(publish(m_gold, "1809.00"), Told{}); // within 0.5 % (1809.5025)
        QCOMPARE(publish(m_gold, "1700.00"), Told{});
        QCOMPARE(publish(m_gold, "1810.00"), Told{});
        QCOMPARE(publish(m_gold, "1799.00"), one("OR", "1799.00 — en dessous de 1800.5"));
    }

    void moveFiresEitherWayAndRearmsBelowNineTenths()
    {
        QVERIFY(m_alerts->setAlert({m_apple.id, std::nullopt, std::nullopt, 1}));
        QCOMPARE(publish(m_apple, "98.75", 0.99), Told{});
        QCOMPARE(publish(m_apple, "98.75", -1.25),
                 one("AAPL", QString::fromUtf8("98.75, \u22121.25 % aujourd'hui — baisse de plus de 1 %")));
        QCOMPARE(publish(m_apple, "98.90", -1.1), Told{});
        QCOMPARE(publish(m_apple, "99.05", -0.95), Told{}); // still above 0.9 %
        QCOMPARE(publish(m_apple, "99.15", -0.85), Told{}); // armed again
        QCOMPARE(publish(m_apple, "101.20", 1.2), one("AAPL", "101.20, +1.20 % aujourd'hui — hausse de plus de 1 %"));
        QCOMPARE(publish(m_apple, "101.20", std::nullopt), Told{}); // no change known: the state stays
        QCOMPARE(publish(m_apple, "101.30", 1.3), Told{});
    }

    void onlyNewlyFetchedValuesCount()
    {
        QVERIFY(m_alerts->setAlert({m_apple.id, 600, std::nullopt, 1}));
        // Placeholders carry no time and no price.
        Quote placeholder;
        placeholder.id = m_apple.id;
        placeholder.name = "AAPL";
        placeholder.price = "--";
        m_watcher->observe({placeholder});
        placeholder.price = "CLE?";
        m_watcher->observe({placeholder});
        // A value older than the watcher came from a store, not from a fetch.
        Quote old = fetched(m_apple, "700.00", 3);
        old.at = m_clock->now().addSecs(-3600);
        m_clock->setNow(old.at.addSecs(7200));
        m_watcher->observe({old});
        QVERIFY(m_notifier->told.isEmpty());

        // Every publication repeats the values already seen: one value, one notification.
        const Quote value = fetched(m_apple, "700.00", 0.5);
        m_watcher->observe({value});
        m_watcher->observe({value});
        QCOMPARE(m_notifier->told.size(), 1);
        // A value that is not a price the band writes ("21°C", text) reaches no price threshold.
        QCOMPARE(publish(m_apple, "21°C", 0.2), Told{});
    }

    void thresholdsReachedTogetherMakeOneNotification()
    {
        QVERIFY(m_alerts->setAlert({m_apple.id, 600, std::nullopt, 2}));
        QCOMPARE(publish(m_apple, "687.30", 2.5),
                 one("AAPL", "687.30 — au-dessus de 600\n687.30, +2.50 % aujourd'hui — hausse de plus de 2 %"));
    }

    void itemsAlertUntilAcknowledged()
    {
        QVERIFY(m_alerts->setAlert({m_apple.id, 600, std::nullopt, std::nullopt}));
        QVERIFY(m_alerts->setAlert({m_gold.id, 2000, std::nullopt, std::nullopt}));
        QSignalSpy alerting(m_watcher.get(), &AlertWatcher::alertingChanged);
        QSignalSpy fired(m_watcher.get(), &AlertWatcher::fired);
        publish(m_apple, "687.30");
        publish(m_gold, "2010.00");
        QCOMPARE(m_watcher->alerting(), (QList<QUuid>{m_apple.id, m_gold.id}));
        QCOMPARE(alerting.size(), 2);
        QCOMPARE(fired.size(), 2);
        QCOMPARE(fired.first().at(0).value<QUuid>(), m_apple.id);

        m_watcher->acknowledge(m_apple.id);
        QVERIFY(!m_watcher->isAlerting(m_apple.id));
        QCOMPARE(alerting.last().first().value<QList<QUuid>>(), QList<QUuid>{m_gold.id});
        m_watcher->acknowledge(m_apple.id); // nothing left to acknowledge
        QCOMPARE(alerting.size(), 3);

        // An alert removed takes its item out of the alerting ones.
        QVERIFY(m_alerts->setAlert({m_gold.id, std::nullopt, std::nullopt, std::nullopt}));
        QVERIFY(m_watcher->alerting().isEmpty());
        QCOMPARE(alerting.size(), 4);
    }

    void aChangedAlertStartsArmed()
    {
        QVERIFY(m_alerts->setAlert({m_apple.id, 600, std::nullopt, std::nullopt}));
        QCOMPARE(publish(m_apple, "687.30").size(), 1);
        QCOMPARE(publish(m_apple, "687.40").size(), 0);
        QVERIFY(m_alerts->setAlert({m_apple.id, 650, std::nullopt, std::nullopt}));
        QCOMPARE(publish(m_apple, "687.50"), one("AAPL", "687.50 — au-dessus de 650"));
    }

    void pricesAndThresholdsAsTexts()
    {
        QCOMPARE(AlertWatcher::priceOf("687.30"), 687.3);
        QCOMPARE(AlertWatcher::priceOf("23457"), 23457.0);
        for (const char *text : {"--", "CLE?", "21°C", "-5.00", "1e3", " 5", "", "5."})
            QVERIFY2(!AlertWatcher::priceOf(QString::fromUtf8(text)), text);
        QCOMPARE(AlertWatcher::thresholdText(600), QStringLiteral("600"));
        QCOMPARE(AlertWatcher::thresholdText(0.5), QStringLiteral("0.5"));
        QCOMPARE(AlertWatcher::thresholdText(1234.25), QStringLiteral("1234.25"));
        QCOMPARE(AlertWatcher::thresholdText(1e9), QStringLiteral("1000000000"));
    }

    void withoutASessionBusTheFallbackIsTold()
    {
        // Every test but those that ask for one runs without a session bus.
        Told fallback;
        DesktopNotifier notifier([&](const QString &summary, const QString &body) {
            fallback.append({summary, body});
        });
        notifier.notify("AAPL", "687.30 — au-dessus de 600");
        QCOMPARE(fallback, one("AAPL", "687.30 — au-dessus de 600"));
    }
};

QTEST_GUILESS_MAIN(TestAlertWatcher)
#include "TestAlertWatcher.moc"
