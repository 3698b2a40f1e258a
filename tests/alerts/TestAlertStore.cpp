#include "alerts/AlertStore.h"
#include "settings/Settings.h"
#include "settings/SettingsRecord.h"
#include "SettingsFixture.h"

#include <QSignalSpy>
#include <QTest>

#include <limits>
#include <memory>

namespace {

WatchItem watchItem(ItemKind kind, const char *symbol)
{
    return WatchItem{QUuid::createUuid(), kind, QString::fromLatin1(symbol), QString::fromLatin1(symbol), std::nullopt};
}

/** JSON written with single quotes, which read more easily here than escaped double ones. */
QByteArray q(QByteArray text)
{
    return text.replace('\'', '"');
}

QByteArray idText(const WatchItem &item)
{
    return SettingsRecord::uuidText(item.id).toLatin1();
}

} // namespace

class TestAlertStore : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<SettingsFixture> m_fixture;
    UserDefaults *m_store = nullptr;
    Settings *m_settings = nullptr;
    WatchItem m_apple = watchItem(ItemKind::quote, "AAPL");
    WatchItem m_gold = watchItem(ItemKind::metal, "gold");
    WatchItem m_paris = watchItem(ItemKind::weather, "Paris");

    QByteArray stored() const { return m_store->data(AlertStore::key).value_or("<none>"); }

private slots:
    void init()
    {
        m_fixture = std::make_unique<SettingsFixture>();
        m_store = &m_fixture->store;
        m_settings = &m_fixture->settings;
        m_settings->setItems({m_apple, m_gold, m_paris});
    }

    void cleanup()
    {
        m_settings = nullptr;
        m_store = nullptr;
        m_fixture.reset();
    }

    void encodesTheDocumentedArray()
    {
        const PriceAlert alert{m_apple.id, 600, std::nullopt, 1.5};
        const QByteArray expected =
            q("[{'item':'") + idText(m_apple) + q("','above':600,'below':null,'movePercent':1.5}]");
        QCOMPARE(AlertStore::encode({alert}), expected);
        QCOMPARE(AlertStore::encode({}), QByteArray("[]"));
        QCOMPARE(AlertStore::decode(expected), QList<PriceAlert>{alert});
        // Missing members are no threshold; ids in lower case are the same ids.
        const QByteArray lower = q("[{'item':'") + idText(m_gold).toLower() + q("','below':0.25}]");
        QCOMPARE(AlertStore::decode(lower), (QList<PriceAlert>{{m_gold.id, std::nullopt, 0.25, std::nullopt}}));
    }

    void decodeRefusesWhatIsNotAnAlertArray_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray id = q("'" + idText(m_apple) + "'");
        QTest::newRow("not JSON") << QByteArray("[{");
        QTest::newRow("an object") << QByteArray(q("{'item':") + id + "}");
        QTest::newRow("an entry not an object") << QByteArray("[1]");
        QTest::newRow("no item") << QByteArray(q("[{'above':1}]"));
        QTest::newRow("item in braces") << QByteArray(q("[{'item':'{") + idText(m_apple) + q("}'}]"));
        QTest::newRow("above as text") << QByteArray(q("[{'item':") + id + q(",'above':'600'}]"));
        QTest::newRow("negative below") << QByteArray(q("[{'item':") + id + q(",'below':-1}]"));
        QTest::newRow("negative move") << QByteArray(q("[{'item':") + id + q(",'movePercent':-0.5}]"));
        QTest::newRow("too large") << QByteArray("[" + QByteArray(AlertStore::maxFileBytes, ' ') + "]");
    }

    void decodeRefusesWhatIsNotAnAlertArray()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!AlertStore::decode(bytes));
    }

    void keepsOneAlertPerWatchedQuoteOrMetalAndRewritesTheFile()
    {
        const QByteArray file =
            q("[{'item':'") + idText(m_apple) + q("','above':600},") + q("{'item':'") + idText(m_paris) +
            q("','above':30},") + q("{'item':'") + SettingsRecord::uuidText(QUuid::createUuid()).toLatin1() +
            q("','below':1},") + q("{'item':'") + idText(m_apple) + q("','below':500},") + q("{'item':'") +
            idText(m_gold) + q("','above':null},") + q("{'item':'") + idText(m_gold) + q("','movePercent':2}]");
        QVERIFY(m_store->set(AlertStore::key, file));
        AlertStore store(*m_store, *m_settings);
        // The weather item, the unknown item, the second alert of AAPL and the empty one are gone.
        const QList<PriceAlert> expected{{m_apple.id, 600, std::nullopt, std::nullopt},
                                         {m_gold.id, std::nullopt, std::nullopt, 2}};
        QCOMPARE(store.alerts(), expected);
        QCOMPARE(stored(), AlertStore::encode(expected));
        QCOMPARE(store.alert(m_gold.id), expected.at(1));
        QVERIFY(!store.alert(m_paris.id));
    }

    void anUnreadableFileIsTreatedAsEmptyAndKeptAsideBeforeItIsReplaced()
    {
        QVERIFY(m_store->set(AlertStore::key, "not alerts"));
        {
            AlertStore store(*m_store, *m_settings);
            QVERIFY(store.alerts().isEmpty());
            QCOMPARE(stored(), QByteArray("not alerts")); // reading changes nothing
            QVERIFY(!m_store->data(AlertStore::unreadableKey));
            QVERIFY(store.setAlert({m_apple.id, 600, std::nullopt, std::nullopt}));
            QCOMPARE(m_store->data(AlertStore::unreadableKey), QByteArray("not alerts"));
            QCOMPARE(stored(), AlertStore::encode(store.alerts()));
        }
        // A later unreadable file does not replace the first copy: that one is the older original.
        QVERIFY(m_store->set(AlertStore::key, "[{"));
        AlertStore again(*m_store, *m_settings);
        QVERIFY(again.setAlert({m_gold.id, 1, std::nullopt, std::nullopt}));
        QCOMPARE(m_store->data(AlertStore::unreadableKey), QByteArray("not alerts"));
    }

    void setAlertRefusesWhatCannotFire()
    {
        AlertStore store(*m_store, *m_settings);
        QSignalSpy changed(&store, &AlertStore::alertsChanged);
        const double inf = std::numeric_limits<double>::infinity();
        QVERIFY(!store.setAlert({m_apple.id, -1, std::nullopt, std::nullopt}));
        QVERIFY(!store.setAlert({m_apple.id, std::nullopt, inf, std::nullopt}));
        QVERIFY(!store.setAlert({m_apple.id, std::nullopt, std::nullopt, std::nan("")}));
        QVERIFY(!store.setAlert({m_paris.id, 30, std::nullopt, std::nullopt}));          // the weather
        QVERIFY(!store.setAlert({QUuid::createUuid(), 30, std::nullopt, std::nullopt})); // not watched
        QCOMPARE(changed.size(), 0);
        QVERIFY(!m_store->data(AlertStore::key));

        QVERIFY(store.setAlert({m_apple.id, 0, std::nullopt, std::nullopt})); // zero is a price like any other
        QVERIFY(store.setAlert({m_apple.id, 600, 500, std::nullopt}));        // replaces, keeps its place
        QVERIFY(store.setAlert({m_apple.id, 600, 500, std::nullopt}));        // the same again: nothing
        QCOMPARE(changed.size(), 2);
        QCOMPARE(store.alerts(), (QList<PriceAlert>{{m_apple.id, 600, 500, std::nullopt}}));

        // An alert without thresholds removes it.
        QVERIFY(store.setAlert({m_apple.id, std::nullopt, std::nullopt, std::nullopt}));
        QVERIFY(store.alerts().isEmpty());
        QCOMPARE(stored(), QByteArray("[]"));
        QCOMPARE(changed.size(), 3);
    }

    void alertsAreBoundedByTheWatchList()
    {
        QList<WatchItem> items;
        for (qsizetype i = 0; i <= AlertStore::maxAlerts; ++i)
            items.append(watchItem(ItemKind::quote, "X"));
        m_settings->setItems(items);
        AlertStore store(*m_store, *m_settings);
        for (qsizetype i = 0; i < AlertStore::maxAlerts; ++i)
            QVERIFY(store.setAlert({items.at(i).id, 1, std::nullopt, std::nullopt}));
        QVERIFY(!store.setAlert({items.last().id, 1, std::nullopt, std::nullopt}));
        QCOMPARE(store.alerts().size(), AlertStore::maxAlerts);

        // A hand-made file with more is cut to the bound.
        QList<PriceAlert> many;
        for (const WatchItem &item : items)
            many.append({item.id, 2, std::nullopt, std::nullopt});
        QVERIFY(m_store->set(AlertStore::key, AlertStore::encode(many)));
        AlertStore reread(*m_store, *m_settings);
        QCOMPARE(reread.alerts(), many.mid(0, AlertStore::maxAlerts));
    }

    void itemsLeavingTheWatchListTakeTheirAlertsAlong()
    {
        AlertStore store(*m_store, *m_settings);
        QVERIFY(store.setAlert({m_apple.id, 600, std::nullopt, std::nullopt}));
        QVERIFY(store.setAlert({m_gold.id, std::nullopt, 1800, std::nullopt}));
        QSignalSpy changed(&store, &AlertStore::alertsChanged);

        m_settings->setItems({m_gold, m_paris, m_apple}); // moved: nothing dropped
        QCOMPARE(changed.size(), 0);
        m_settings->setItems({m_gold, m_paris});
        QCOMPARE(changed.size(), 1);
        const QList<PriceAlert> left{{m_gold.id, std::nullopt, 1800, std::nullopt}};
        QCOMPARE(store.alerts(), left);
        QCOMPARE(stored(), AlertStore::encode(left));

        store.removeAlert(m_gold.id);
        store.removeAlert(m_gold.id); // already gone: nothing
        QCOMPARE(changed.size(), 2);
        QCOMPARE(stored(), QByteArray("[]"));
    }
};

QTEST_GUILESS_MAIN(TestAlertStore)
#include "TestAlertStore.moc"
