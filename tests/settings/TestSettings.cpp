#include "SettingsFixture.h"
#include "settings/Settings.h"
#include "settings/SettingsRecord.h"
#include "settings/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <functional>
#include <sys/stat.h>
#include <memory>

namespace {

// Written the way a person would: indented, members in another order, lower-case ids.
// One literal per line: moc cannot read a raw string that spans lines.
const QByteArray handWritten =
    R"({)" "\n"
    R"(  "levelMode": "normal", "position": "bottom", "variant": "thick", "fontStyle": "pixel",)" "\n"
    R"(  "theme": "blue", "ledSize": 25, "speed": 6,)" "\n"
    R"(  "items": [)" "\n"
    R"(    {"id": "e621e1f8-c36c-495a-93fc-0c247a3e6e5f", "kind": "metal", "symbol": "silver", "label": "ARGENT"},)" "\n"
    R"(    {"id": "0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9", "kind": "quote", "symbol": "AIR", "label": "AIRBUS", "ref": "XPAR"})" "\n"
    R"(  ],)" "\n"
    R"(  "stockProvider": "twelveData", "metalCurrency": "CHF", "metalUnit": "kg", "showInDock": true,)" "\n"
    R"(  "newsSources": [{"id": "11111111-2222-3333-4444-555555555555", "name": "Ouest-France",)" "\n"
    R"(                   "url": "https://www.ouest-france.fr/rss/une", "enabled": false}],)" "\n"
    R"(  "pushWindows": false)" "\n"
    R"(})";

QByteArray withMember(const QByteArray &record, const QString &name, const QJsonValue &value)
{
    QJsonObject object = QJsonDocument::fromJson(record).object();
    if (value.isUndefined())
        object.remove(name);
    else
        object.insert(name, value);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

/** One persisted field: a value other than its default, and its setter and getter. */
struct FieldChange
{
    QString member;
    std::function<void(SettingsRecord &)> change;
    std::function<void(Settings &, const SettingsRecord &)> assign;
    std::function<bool(const Settings &, const SettingsRecord &)> reads;
};

template<typename T, typename Arg>
FieldChange field(const char *member, T SettingsRecord::*slot, T value, void (Settings::*setter)(Arg),
                  T (Settings::*getter)() const)
{
    return FieldChange{
        QString::fromLatin1(member),
        [slot, value](SettingsRecord &record) { record.*slot = value; },
        [slot, setter](Settings &settings, const SettingsRecord &record) { (settings.*setter)(record.*slot); },
        [slot, getter](const Settings &settings, const SettingsRecord &record) {
            return (settings.*getter)() == record.*slot;
        },
    };
}

// Each record member, written here a second time on purpose: a setter that reached the wrong
// member, or a member without a setter, shows against this list.
const QList<FieldChange> &fieldChanges()
{
    static const QList<FieldChange> changes{
        field("levelMode", &SettingsRecord::levelMode, WindowLevelMode::desktop, &Settings::setLevelMode,
              &Settings::levelMode),
        field("position", &SettingsRecord::position, DockPosition::bottom, &Settings::setPosition, &Settings::position),
        field("variant", &SettingsRecord::variant, BarVariant::thick, &Settings::setVariant, &Settings::variant),
        field("fontStyle", &SettingsRecord::fontStyle, FontStyle::hd, &Settings::setFontStyle, &Settings::fontStyle),
        field("theme", &SettingsRecord::theme, ColorTheme::amber, &Settings::setTheme, &Settings::theme),
        field("ledSize", &SettingsRecord::ledSize, 7.5, &Settings::setLedSize, &Settings::ledSize),
        field("speed", &SettingsRecord::speed, 1.25, &Settings::setSpeed, &Settings::speed),
        field("items", &SettingsRecord::items,
              QList<WatchItem>{WatchItem{QUuid::createUuid(), ItemKind::weather, QStringLiteral("Brest"),
                                         QStringLiteral("BREST"), QStringLiteral("48.39,-4.49")}},
              &Settings::setItems, &Settings::items),
        field("stockProvider", &SettingsRecord::stockProvider, StockProvider::twelveData, &Settings::setStockProvider,
              &Settings::stockProvider),
        field("metalCurrency", &SettingsRecord::metalCurrency, QStringLiteral("USD"), &Settings::setMetalCurrency,
              &Settings::metalCurrency),
        field("metalUnit", &SettingsRecord::metalUnit, QStringLiteral("g"), &Settings::setMetalUnit,
              &Settings::metalUnit),
        field("showInDock", &SettingsRecord::showInDock, true, &Settings::setShowInDock, &Settings::showInDock),
        field("newsSources", &SettingsRecord::newsSources,
              QList<NewsSource>{NewsSource{QUuid::createUuid(), QStringLiteral("Le Télégramme"),
                                           QStringLiteral("https://www.letelegramme.fr/rss.xml"), false}},
              &Settings::setNewsSources, &Settings::newsSources),
        field("pushWindows", &SettingsRecord::pushWindows, false, &Settings::setPushWindows, &Settings::pushWindows),
    };
    return changes;
}

/** How often each signal of `object` was emitted while `action` ran, by name; unemitted ones left out. */
QMap<QString, int> signalsDuring(QObject &object, const std::function<void()> &action)
{
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    const QMetaObject *meta = object.metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        if (meta->method(i).methodType() == QMetaMethod::Signal)
            spies.push_back(std::make_unique<QSignalSpy>(&object, meta->method(i)));
    }
    action();
    QMap<QString, int> counts;
    for (const auto &spy : spies) {
        if (spy->count() > 0)
            counts.insert(QString::fromLatin1(spy->signal().left(spy->signal().indexOf('('))), spy->count());
    }
    return counts;
}

void verifyDefaults(const Settings &settings)
{
    QCOMPARE(settings.levelMode(), WindowLevelMode::front);
    QCOMPARE(settings.position(), DockPosition::top);
    QCOMPARE(settings.variant(), BarVariant::thin);
    QCOMPARE(settings.fontStyle(), FontStyle::pixelBold);
    QCOMPARE(settings.theme(), ColorTheme::greenRed);
    QCOMPARE(settings.ledSize(), 5.0);
    QCOMPARE(settings.speed(), 3.0);
    QCOMPARE(settings.items(), SettingsRecord::defaultItems());
    QCOMPARE(settings.stockProvider(), StockProvider::yahoo);
    QCOMPARE(settings.metalCurrency(), QStringLiteral("EUR"));
    QCOMPARE(settings.metalUnit(), QStringLiteral("toz"));
    QCOMPARE(settings.showInDock(), false);
    QCOMPARE(settings.newsSources(), NewsSource::defaults());
    QCOMPARE(settings.pushWindows(), true);
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_fixture = std::make_unique<SettingsFixture>(); }

    void defaultsAreBuiltOncePerProcess()
    {
        const QList<WatchItem> &items = SettingsRecord::defaultItems();
        QCOMPARE(items.size(), 7);
        const QStringList labels{"AAPL", "S&P500", "CAC40", "BTC", "CW8", "OR", "PARIS"};
        for (int i = 0; i < items.size(); ++i) {
            QCOMPARE(items[i].label, labels[i]);
            QVERIFY(!items[i].id.isNull());
            QCOMPARE(items[i].ref, std::nullopt);
        }
        QCOMPARE(items[1].symbol, QStringLiteral("^GSPC"));
        QCOMPARE(items[5].kind, ItemKind::metal);
        QCOMPARE(items[6].kind, ItemKind::weather);
        QCOMPARE(&SettingsRecord::defaultItems(), &items);

        const QList<NewsSource> &sources = NewsSource::defaults();
        QCOMPARE(sources.size(), 4);
        QCOMPARE(sources[0].name, QStringLiteral("franceinfo"));
        QCOMPARE(sources[2].url, QStringLiteral("https://www.lefigaro.fr/rss/figaro_actualites.xml"));
        for (const NewsSource &source : sources)
            QVERIFY(source.enabled && !source.id.isNull() && source.url.startsWith(QLatin1String("https://")));
        QVERIFY(sources[0].id != sources[1].id);
    }

    void firstStartWritesNothing()
    {
        Settings settings(m_fixture->store, m_fixture->keys);
        verifyDefaults(settings);
        QCOMPARE(settings.stockKey(), QString()); // an empty key store
        QCOMPARE(m_fixture->store.data(Settings::key), std::nullopt);
        QVERIFY(QDir(m_fixture->dir.path()).isEmpty());
    }

    void loadsEveryStoredMemberUnchangedAndWritesNothingBack()
    {
        QVERIFY(m_fixture->store.set(Settings::key, handWritten));
        Settings settings(m_fixture->store, m_fixture->keys);
        QCOMPARE(settings.levelMode(), WindowLevelMode::normal);
        QCOMPARE(settings.position(), DockPosition::bottom);
        QCOMPARE(settings.variant(), BarVariant::thick);
        QCOMPARE(settings.fontStyle(), FontStyle::pixel);
        QCOMPARE(settings.theme(), ColorTheme::blue);
        QCOMPARE(settings.ledSize(), 25.0); // outside the slider's range, used unclamped
        QCOMPARE(settings.speed(), 6.0);
        QCOMPARE(settings.items().size(), 2);
        QCOMPARE(settings.items()[1].ref, std::optional<QString>(QStringLiteral("XPAR")));
        QCOMPARE(settings.stockProvider(), StockProvider::twelveData);
        QCOMPARE(settings.metalCurrency(), QStringLiteral("CHF"));
        QCOMPARE(settings.metalUnit(), QStringLiteral("kg"));
        QCOMPARE(settings.showInDock(), true);
        QCOMPARE(settings.newsSources().size(), 1);
        QCOMPARE(settings.newsSources()[0].enabled, false);
        QCOMPARE(settings.pushWindows(), false);
        QCOMPARE(m_fixture->store.data(Settings::key), std::optional(handWritten));
    }

    void missingOptionalMembersTakeTheirDefaults()
    {
        QByteArray bytes = withMember(handWritten, QStringLiteral("pushWindows"), {});
        bytes = withMember(bytes, QStringLiteral("newsSources"), {});
        bytes = withMember(bytes, QStringLiteral("showInDock"), QJsonValue::Null);
        QVERIFY(m_fixture->store.set(Settings::key, bytes));
        Settings settings(m_fixture->store, m_fixture->keys);
        QCOMPARE(settings.pushWindows(), true);
        QCOMPARE(settings.newsSources(), NewsSource::defaults());
        QCOMPARE(settings.showInDock(), false);
        QCOMPARE(settings.theme(), ColorTheme::blue);
        QCOMPARE(settings.metalCurrency(), QStringLiteral("CHF"));
    }

    void aFaultyRecordIsIgnoredWhole_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("capitalised theme") << withMember(handWritten, QStringLiteral("theme"), QStringLiteral("Blue"));
        QTest::newRow("no items") << withMember(handWritten, QStringLiteral("items"), {});
        QTest::newRow("null ledSize") << withMember(handWritten, QStringLiteral("ledSize"), QJsonValue::Null);
        QTest::newRow("bad optional member") << withMember(handWritten, QStringLiteral("pushWindows"), QStringLiteral("no"));
        QTest::newRow("not JSON") << QByteArray("levelMode=front");
    }

    void aFaultyRecordIsIgnoredWhole()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(m_fixture->store.set(Settings::key, bytes));
        Settings settings(m_fixture->store, m_fixture->keys);
        verifyDefaults(settings);
        QCOMPARE(m_fixture->store.data(Settings::key), std::optional(bytes)); // left alone until a change
    }

    void everyAssignmentSavesTheWholeRecord()
    {
        QVERIFY(m_fixture->store.set(Settings::key, handWritten));
        Settings settings(m_fixture->store, m_fixture->keys);
        settings.setLevelMode(settings.levelMode()); // the same value writes nothing
        QCOMPARE(m_fixture->store.data(Settings::key), std::optional(handWritten));
        settings.setLevelMode(WindowLevelMode::desktop);
        settings.setLevelMode(WindowLevelMode::normal);
        const std::optional<QByteArray> written = m_fixture->store.data(Settings::key);
        QVERIFY(written && *written != handWritten);
        const auto record = SettingsRecord::decode(*written);
        QVERIFY(record);
        QCOMPARE(record->levelMode, WindowLevelMode::normal);
        QCOMPARE(record->ledSize, 25.0);
        QCOMPARE(record->items, settings.items());
        QCOMPARE(record->newsSources, settings.newsSources());
        QCOMPARE(QJsonDocument::fromJson(*written).object().size(), 14);

        // Items with and without a reference come back as they were: written by us, the
        // record loads and saves again to the very same bytes.
        QVERIFY(written->contains(R"("kind":"metal","label":"ARGENT","symbol":"silver"})"));
        QVERIFY(written->contains(R"("label":"AIRBUS","ref":"XPAR","symbol":"AIR")"));
        Settings reloaded(m_fixture->store, m_fixture->keys);
        const double speed = reloaded.speed();
        reloaded.setSpeed(speed + 1);
        reloaded.setSpeed(speed);
        QCOMPARE(m_fixture->store.data(Settings::key), written);

        settings.setMetalUnit(QStringLiteral("g"));
        QCOMPARE(SettingsRecord::decode(*m_fixture->store.data(Settings::key))->metalUnit, QStringLiteral("g"));
    }

    void assignmentsAnnounceThemselves()
    {
        Settings settings(m_fixture->store, m_fixture->keys);
        QList<QString> events;
        connect(&settings, &Settings::aboutToChange, this,
                [&] { events.append(QStringLiteral("will:%1").arg(rawValue(settings.theme()))); });
        connect(&settings, &Settings::themeChanged, this, [&](ColorTheme theme) {
            // Observers see the new value, already saved.
            const auto saved = SettingsRecord::decode(m_fixture->store.data(Settings::key).value_or(QByteArray()));
            events.append(QStringLiteral("theme:%1 now:%2 saved:%3")
                              .arg(rawValue(theme), rawValue(settings.theme()),
                                   saved ? rawValue(saved->theme) : QStringLiteral("none")));
        });
        QSignalSpy queued(&settings, &Settings::itemsChanged);
        QList<WatchItem> received;
        connect(
            &settings, &Settings::itemsChanged, this, [&](const QList<WatchItem> &items) { received = items; },
            Qt::QueuedConnection);

        settings.setTheme(ColorTheme::amber);
        settings.setTheme(ColorTheme::amber); // no change: no signal at all
        QCOMPARE(events, (QList<QString>{"will:greenRed", "theme:amber now:amber saved:amber"}));
        QSignalSpy anyChange(&settings, &Settings::aboutToChange);
        settings.setItems(settings.items());
        settings.setNewsSources(settings.newsSources());
        settings.setLedSize(settings.ledSize());
        settings.setMetalCurrency(settings.metalCurrency());
        QCOMPARE(anyChange.count(), 0);

        const QList<WatchItem> items{WatchItem{QUuid::createUuid(), ItemKind::weather, QStringLiteral("Nantes"),
                                               QStringLiteral("NANTES"), QStringLiteral("47.21,-1.55")}};
        settings.setItems(items);
        QCOMPARE(queued.count(), 1);
        QVERIFY(received.isEmpty()); // delivered on a later pass of the event loop
        QTRY_COMPARE(received, items);
    }

    void everyMemberHasItsOwnSetterGetterAndSignal_data()
    {
        QTest::addColumn<int>("index");
        // The list covers the record: every member it writes, and no other.
        QStringList members;
        for (const FieldChange &change : fieldChanges())
            members.append(change.member);
        QStringList written = QJsonDocument::fromJson(*SettingsRecord().encode()).object().keys();
        members.sort();
        written.sort();
        QCOMPARE(members, written);
        for (qsizetype i = 0; i < fieldChanges().size(); ++i)
            QTest::newRow(qPrintable(fieldChanges().at(i).member)) << int(i);
    }

    void everyMemberHasItsOwnSetterGetterAndSignal()
    {
        QFETCH(int, index);
        const FieldChange &change = fieldChanges().at(index);
        SettingsRecord expected;
        change.change(expected);
        QVERIFY(!(expected == SettingsRecord()));

        Settings settings(m_fixture->store, m_fixture->keys);
        const QMap<QString, int> emitted = signalsDuring(settings, [&] { change.assign(settings, expected); });
        QVERIFY(change.reads(settings, expected));
        QCOMPARE(emitted, (QMap<QString, int>{{"aboutToChange", 1}, {change.member + "Changed", 1}}));
        // The record written holds this member's new value and every other default.
        const auto stored = SettingsRecord::decode(m_fixture->store.data(Settings::key).value_or(QByteArray()));
        QVERIFY(stored);
        QVERIFY(*stored == expected);
        Settings restarted(m_fixture->store, m_fixture->keys);
        QVERIFY(change.reads(restarted, expected));
    }

    void keysComeFromTheKeyStoreHandedIn()
    {
        MemoryKeyStore &keys = m_fixture->keys;
        QVERIFY(keys.write(QStringLiteral("stockKey"), QStringLiteral("td-1")));
        QVERIFY(keys.write(QStringLiteral("metalsKey"), QStringLiteral("md-3")));
        Settings settings(m_fixture->store, keys);
        QCOMPARE(settings.stockKey(), QStringLiteral("td-1"));
        QCOMPARE(settings.weatherKey(), QString());
        QCOMPARE(settings.metalsKey(), QStringLiteral("md-3"));

        // A key is announced like any change, goes to the same store, and never to the record.
        const QMap<QString, int> emitted =
            signalsDuring(settings, [&] { settings.setWeatherKey(QStringLiteral("wa-2")); });
        QCOMPARE(emitted, (QMap<QString, int>{{"aboutToChange", 1}, {"weatherKeyChanged", 1}}));
        QVERIFY(settings.isKeyStored(KeyService::weather));
        settings.setStockKey(QString()); // an empty key leaves the store
        QCOMPARE(keys.entries(), (QHash<QString, QString>{{"weatherKey", "wa-2"}, {"metalsKey", "md-3"}}));
        QCOMPARE(m_fixture->store.data(Settings::key), std::nullopt);
    }

    void loadingLeavesTheFileUntouched()
    {
        // The record is applied through the ordinary setters; none of them may write.
        QVERIFY(m_fixture->store.set(Settings::key, handWritten));
        // Every write replaces the file, so an unchanged inode means no write at all.
        struct stat before{};
        struct stat after{};
        const QByteArray path = QFile::encodeName(m_fixture->dir.filePath(Settings::key));
        QCOMPARE(::stat(path.constData(), &before), 0);
        Settings settings(m_fixture->store, m_fixture->keys);
        QCOMPARE(::stat(path.constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(QDir(m_fixture->dir.path()).entryList(QDir::Files), QStringList{Settings::key});
    }

    void anUnreadableRecordIsKeptBeforeItIsReplaced()
    {
        const QByteArray newer = withMember(handWritten, QStringLiteral("theme"), QStringLiteral("neon"));
        QVERIFY(m_fixture->store.set(Settings::key, newer));
        {
            Settings settings(m_fixture->store, m_fixture->keys);
            verifyDefaults(settings);
            QCOMPARE(m_fixture->store.data(Settings::unreadableKey), std::nullopt); // nothing written while loading
            settings.setSpeed(4);
            QCOMPARE(m_fixture->store.data(Settings::unreadableKey), std::optional(newer));
            QCOMPARE(SettingsRecord::decode(*m_fixture->store.data(Settings::key))->speed, 4.0);
            settings.setSpeed(5);
            QCOMPARE(m_fixture->store.data(Settings::unreadableKey), std::optional(newer));
        }
        // A later unreadable record does not replace the first copy.
        QVERIFY(m_fixture->store.set(Settings::key, "garbage"));
        Settings settings(m_fixture->store, m_fixture->keys);
        settings.setSpeed(2);
        QCOMPARE(m_fixture->store.data(Settings::unreadableKey), std::optional(newer));
        QCOMPARE(SettingsRecord::decode(*m_fixture->store.data(Settings::key))->speed, 2.0);
    }

    void aReadableRecordLeavesNoCopy()
    {
        QVERIFY(m_fixture->store.set(Settings::key, handWritten));
        Settings settings(m_fixture->store, m_fixture->keys);
        settings.setSpeed(1);
        QCOMPARE(m_fixture->store.data(Settings::unreadableKey), std::nullopt);
    }

    void anUnwritableNumberWritesNothing()
    {
        QVERIFY(m_fixture->store.set(Settings::key, handWritten));
        Settings settings(m_fixture->store, m_fixture->keys);
        settings.setLedSize(std::nan(""));
        QVERIFY(std::isnan(settings.ledSize())); // the value in memory stands
        QCOMPARE(m_fixture->store.data(Settings::key), std::optional(handWritten));
    }

    void theSharedInstanceUsesTheStandardStore()
    {
        UserDefaults &standard = UserDefaults::standard();
        QVERIFY(standard.set(Settings::key, handWritten));
        Settings &shared = Settings::shared();
        QCOMPARE(&Settings::shared(), &shared);
        QCOMPARE(shared.theme(), ColorTheme::blue);
        shared.setTheme(ColorTheme::amber);
        QCOMPARE(SettingsRecord::decode(*standard.data(Settings::key))->theme, ColorTheme::amber);
        standard.remove(Settings::key);
    }

    // Every document of a JSON conformance suite as the stored record: none is a settings
    // record, so each leaves the defaults in place and its bytes untouched.
    void conformanceCorpusYieldsTheDefaults()
    {
        const QDir dir(QStringLiteral(DOTBANNER_CORPORA "/json/test_parsing"));
        const QStringList names = dir.entryList(QDir::Files, QDir::Name);
        QVERIFY2(names.size() > 300, qPrintable(dir.path() + " is missing or incomplete"));
        for (const QString &name : names) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            QVERIFY(m_fixture->store.set(Settings::key, bytes));
            Settings settings(m_fixture->store, m_fixture->keys);
            verifyDefaults(settings);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(name));
            QCOMPARE(m_fixture->store.data(Settings::key), std::optional(bytes));
        }
    }

    void keysNeverEnterTheRecord()
    {
        Settings settings(m_fixture->store, m_fixture->keys);
        settings.setWeatherKey(QStringLiteral("secret-weather"));
        QCOMPARE(settings.weatherKey(), QStringLiteral("secret-weather"));
        QCOMPARE(settings.effectiveWeatherKey(), QStringLiteral("secret-weather"));
        QCOMPARE(m_fixture->store.data(Settings::key), std::nullopt);
        settings.setPushWindows(false);
        QVERIFY(!m_fixture->store.data(Settings::key)->contains("secret"));
    }

private:
    std::unique_ptr<SettingsFixture> m_fixture;
};

QTEST_GUILESS_MAIN(TestSettings)
#include "TestSettings.moc"
