#include "settings/Settings.h"
#include "settings/SettingsRecord.h"
#include "settings/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

class TestUserDefaults : public QObject
{
    Q_OBJECT
private slots:
    void standardStoreFollowsXdgConfigHome()
    {
        // ctest points XDG_CONFIG_HOME at a folder of this test's own.
        const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        QVERIFY(!config.isEmpty());
        QCOMPARE(UserDefaults::standard().directory(), QDir::cleanPath(config + "/dotbanner"));
        QCOMPARE(&UserDefaults::standard(), &UserDefaults::standard());
    }

    void oneFilePerKey()
    {
        QTemporaryDir dir;
        UserDefaults store(dir.path() + "/nested/dotbanner");
        QCOMPARE(store.data(QStringLiteral("scheduledCache.v1")), std::nullopt);
        const QByteArray binary("a\0b\xff\n", 5);
        QVERIFY(store.set(QStringLiteral("scheduledCache.v1"), binary));
        QVERIFY(store.set(QStringLiteral("metalHistory.v1"), QByteArray()));
        QCOMPARE(store.data(QStringLiteral("scheduledCache.v1")), std::optional(binary));
        QCOMPARE(store.data(QStringLiteral("metalHistory.v1")), std::optional(QByteArray())); // empty, not absent
        QFile file(dir.path() + "/nested/dotbanner/scheduledCache.v1");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), binary);

        QVERIFY(store.set(QStringLiteral("scheduledCache.v1"), "second"));
        QCOMPARE(store.data(QStringLiteral("scheduledCache.v1")), std::optional(QByteArray("second")));
        store.remove(QStringLiteral("scheduledCache.v1"));
        QCOMPARE(store.data(QStringLiteral("scheduledCache.v1")), std::nullopt);
        QCOMPARE(QDir(store.directory()).entryList(QDir::Files), QStringList{"metalHistory.v1"});
    }

    void booleansAreText()
    {
        QTemporaryDir dir;
        UserDefaults store(dir.path());
        const QString key = QStringLiteral("didShowSettingsOnce");
        QCOMPARE(store.boolValue(key), false);
        QVERIFY(store.setBool(key, true));
        QCOMPARE(store.data(key), std::optional(QByteArray("true")));
        QCOMPARE(store.boolValue(key), true);
        QVERIFY(store.setBool(key, false));
        QCOMPARE(store.data(key), std::optional(QByteArray("false")));
        QCOMPARE(store.boolValue(key), false);
        QVERIFY(store.set(key, "TRUE"));
        QCOMPARE(store.boolValue(key), false);
    }

    void keysCannotReachOtherFiles()
    {
        QTemporaryDir dir;
        UserDefaults store(dir.path() + "/store");
        QVERIFY(store.set(QStringLiteral("weather.v2:48.85,2.35"), "ok"));
        for (const QString &key : {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("../escape"),
                                   QStringLiteral("a/b"), QStringLiteral("nul\0x")}) {
            QVERIFY2(!store.set(key, "x"), qPrintable(key));
            QCOMPARE(store.data(key), std::nullopt);
            store.remove(key);
        }
        QVERIFY(!QFile::exists(dir.path() + "/escape"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"store"});
    }

    void failuresAreReported()
    {
        QTemporaryDir dir;
        QFile blocker(dir.path() + "/file");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        UserDefaults store(dir.path() + "/file"); // the folder is a file
        QVERIFY(!store.set(QStringLiteral("k"), "v"));
        QCOMPARE(store.data(QStringLiteral("k")), std::nullopt);

        UserDefaults other(dir.path());
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        QCOMPARE(other.data(QStringLiteral("folder")), std::nullopt); // a folder is not a value
    }

    // A writer killed at any moment leaves the old or the new record, never a torn one.
    void killedWriterLeavesACompleteRecord()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(Settings::key);
        constexpr int kills = 30;
        for (int round = 0; round < kills; ++round) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QStringLiteral(SETTINGS_SAVE_LOOP), {dir.path()});
            QVERIFY(child.waitForStarted());
            // Wait for the loop to be writing, then kill it at a random moment.
            QVERIFY(child.waitForReadyRead(20000));
            QTest::qWait(QRandomGenerator::global()->bounded(1, 30));
            QVERIFY(child.state() == QProcess::Running);
            child.kill(); // SIGKILL
            QVERIFY(child.waitForFinished());
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);

            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const auto record = SettingsRecord::decode(file.readAll());
            QVERIFY2(record, qPrintable(QStringLiteral("round %1").arg(round)));
            QVERIFY(record->ledSize >= 3 && record->ledSize <= 10 && record->ledSize == std::floor(record->ledSize));
            QCOMPARE(record->items.size(), 40);
            QCOMPARE(record->items[39].label, QStringLiteral("Valeur n°39"));
            QCOMPARE(record->items[39].ref, std::optional<QString>(QStringLiteral("XPAR")));
        }
        // Qt links the new file under "<key>.XXXXXX" before renaming it over the old one
        // when the target exists; a kill between the two leaves that complete copy behind,
        // harmless. Nothing else may appear.
        const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        QVERIFY(files.contains(Settings::key));
        for (const QString &name : files)
            QVERIFY2(name == Settings::key || (name.startsWith(Settings::key + '.') && name.size() == Settings::key.size() + 7),
                     qPrintable(name));
    }
};

QTEST_GUILESS_MAIN(TestUserDefaults)
#include "TestUserDefaults.moc"
