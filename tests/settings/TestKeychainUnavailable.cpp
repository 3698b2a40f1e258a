// Runs with a session bus address that leads nowhere: no Secret Service at all.
#include "SettingsFixture.h"
#include "settings/Keychain.h"
#include "settings/Settings.h"
#include "settings/UserDefaults.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

class TestKeychainUnavailable : public QObject
{
    Q_OBJECT
private slots:
    void readsAndWritesFailQuietlyAndQuickly()
    {
        QVERIFY(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS").contains(QLatin1String("nonexistent")));
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(Keychain::get(QStringLiteral("weatherKey")), QString());
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        clock.restart();
        QVERIFY(!Keychain::set(QStringLiteral("weatherKey"), QStringLiteral("nowhere"))); // said, not hidden
        QCOMPARE(Keychain::get(QStringLiteral("weatherKey")), QString());
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    }

    void keysAreNeverWrittenAnywhereElse()
    {
        SettingsFixture fixture(KeyStore::system());
        Settings &settings = fixture.settings;
        QCOMPARE(settings.stockKey(), QString());
        QCOMPARE(settings.weatherKey(), QString());
        QCOMPARE(settings.metalsKey(), QString());
        QSignalSpy storage(&settings, &Settings::keyStorageChanged);
        QVERIFY(settings.isKeyStored(KeyService::twelveData));
        settings.setStockKey(QStringLiteral("plain-text-would-be-wrong"));
        QCOMPARE(settings.stockKey(), QStringLiteral("plain-text-would-be-wrong")); // kept for this run
        QVERIFY(!settings.isKeyStored(KeyService::twelveData));
        QVERIFY(settings.isKeyStored(KeyService::weather));
        QCOMPARE(storage.count(), 1);
        QCOMPARE(storage.first().at(0).value<KeyService>(), KeyService::twelveData);
        QCOMPARE(storage.first().at(1).toBool(), false);
        settings.retryKeyStorage(); // still nowhere to go: nothing changes, nothing is said twice
        QCOMPARE(storage.count(), 1);
        // No insecure fallback: nothing under HOME or the configuration folder holds the key.
        const QString home = qEnvironmentVariable("HOME");
        QDirIterator it(home, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY2(!file.readAll().contains("plain-text-would-be-wrong"), qPrintable(file.fileName()));
        }
        QCOMPARE(QDir(fixture.dir.path()).entryList(QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestKeychainUnavailable)
#include "TestKeychainUnavailable.moc"
