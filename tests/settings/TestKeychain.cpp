// Runs inside a private D-Bus session with an unlocked gnome-keyring (the KEYRING option).
#include "SettingsFixture.h"
#include "settings/Keychain.h"
#include "settings/Settings.h"
#include "settings/UserDefaults.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <sys/types.h>

namespace {

const QString service = QString::fromLatin1(Keychain::serviceName);

struct ToolResult
{
    int exitCode = -1;
    QByteArray output; // standard output and error together
};

// secret-tool sees what the Secret Service holds, independent of our code.
ToolResult secretTool(const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("secret-tool"), arguments);
    process.waitForStarted();
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(10000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAll()};
}

int itemCount(const QString &account)
{
    return int(secretTool({"search", "--all", "server", service, "user", account}).output.count("\nlabel = "));
}

} // namespace

class TestKeychain : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(qEnvironmentVariableIsSet("DOTBANNER_KEYRING_PID"), "run through tests/support/with-keyring.sh");
    }

    void init()
    {
        for (const char *account : {"stockKey", "weatherKey", "metalsKey"})
            Keychain::set(QString::fromLatin1(account), QString());
    }

    void writesReadsAndOverwrites()
    {
        QCOMPARE(Keychain::get(QStringLiteral("weatherKey")), QString());
        Keychain::set(QStringLiteral("weatherKey"), QStringLiteral("first-key"));
        QCOMPARE(Keychain::get(QStringLiteral("weatherKey")), QStringLiteral("first-key"));
        Keychain::set(QStringLiteral("weatherKey"), QStringLiteral("second-key"));
        QCOMPARE(Keychain::get(QStringLiteral("weatherKey")), QStringLiteral("second-key"));
        QCOMPARE(itemCount(QStringLiteral("weatherKey")), 1);
        // Stored as the plain UTF-8 text, where other tools find it.
        QCOMPARE(secretTool({"lookup", "server", service, "user", "weatherKey"}).output, QByteArray("second-key"));
    }

    void nonAsciiRoundTrips()
    {
        const QString value = QStringLiteral("clé-€-日本-🔑 ");
        Keychain::set(QStringLiteral("metalsKey"), value);
        QCOMPARE(Keychain::get(QStringLiteral("metalsKey")), value);
    }

    void emptyValueDeletes()
    {
        Keychain::set(QStringLiteral("stockKey"), QStringLiteral("abc"));
        QCOMPARE(itemCount(QStringLiteral("stockKey")), 1);
        Keychain::set(QStringLiteral("stockKey"), QString());
        QCOMPARE(itemCount(QStringLiteral("stockKey")), 0);
        QCOMPARE(Keychain::get(QStringLiteral("stockKey")), QString());
        Keychain::set(QStringLiteral("stockKey"), QString()); // deleting nothing is fine
        QCOMPARE(Keychain::get(QStringLiteral("stockKey")), QString());
    }

    void accountsAreIndependent()
    {
        Keychain::set(Keychain::account(KeyService::twelveData), QStringLiteral("s"));
        Keychain::set(Keychain::account(KeyService::weather), QStringLiteral("w"));
        Keychain::set(Keychain::account(KeyService::metals), QStringLiteral("m"));
        Keychain::set(QStringLiteral("weatherKey"), QString());
        QCOMPARE(Keychain::get(QStringLiteral("stockKey")), QStringLiteral("s"));
        QCOMPARE(Keychain::get(QStringLiteral("weatherKey")), QString());
        QCOMPARE(Keychain::get(QStringLiteral("metalsKey")), QStringLiteral("m"));
    }

    void invalidUtf8ReadsAsEmpty()
    {
        // Written by another program, as a plain-text item of the same addressing.
        const ToolResult store = secretTool({"store", "--label=foreign", "server", service, "user", "weatherKey", "type",
                                     "plaintext"},
                                    QByteArray("bad\xff\xfe key"));
        QCOMPARE(store.exitCode, 0);
        QCOMPARE(secretTool({"lookup", "server", service, "user", "weatherKey"}).output, QByteArray("bad\xff\xfe key"));
        QCOMPARE(Keychain::get(QStringLiteral("weatherKey")), QString());
    }

    void settingsReadAndWriteTheirKeys()
    {
        Keychain::set(QStringLiteral("stockKey"), QStringLiteral("td-123"));
        Keychain::set(QStringLiteral("weatherKey"), QStringLiteral("wa-456"));
        SettingsFixture fixture(KeyStore::system());
        Settings &settings = fixture.settings;
        UserDefaults &store = fixture.store;
        QCOMPARE(settings.stockKey(), QStringLiteral("td-123"));
        QCOMPARE(settings.weatherKey(), QStringLiteral("wa-456"));
        QCOMPARE(settings.metalsKey(), QString());
        QCOMPARE(settings.effectiveWeatherKey(), QStringLiteral("wa-456"));

        settings.setMetalsKey(QStringLiteral("md-789"));
        QCOMPARE(Keychain::get(QStringLiteral("metalsKey")), QStringLiteral("md-789"));
        settings.setWeatherKey(QString());
        QCOMPARE(settings.effectiveWeatherKey(), QString());
        QCOMPARE(itemCount(QStringLiteral("weatherKey")), 0);
        QCOMPARE(store.data(Settings::key), std::nullopt); // keys never write the record
    }

    // A keyring that stops answering (a password prompt nobody sees) must not hang us.
    void anUnresponsiveKeyringTimesOut()
    {
        Keychain::set(QStringLiteral("stockKey"), QStringLiteral("kept"));
        const pid_t daemon = qEnvironmentVariable("DOTBANNER_KEYRING_PID").toInt();
        QVERIFY(daemon > 0);
        const auto previous = Keychain::timeout();
        Keychain::setTimeout(std::chrono::milliseconds(2000));
        QCOMPARE(::kill(daemon, SIGSTOP), 0);
        QElapsedTimer clock;
        clock.start();
        const QString read = Keychain::get(QStringLiteral("stockKey"));
        const qint64 waited = clock.restart();
        // The stuck read still holds the keyring's queue: later calls give up at once.
        Keychain::set(QStringLiteral("metalsKey"), QStringLiteral("lost"));
        const QString again = Keychain::get(QStringLiteral("stockKey"));
        const qint64 afterwards = clock.elapsed();
        QCOMPARE(::kill(daemon, SIGCONT), 0);
        Keychain::setTimeout(previous);
        QCOMPARE(read, QString());
        QCOMPARE(again, QString());
        // Qt's coarse timers may fire up to 5 % early.
        QVERIFY2(waited >= 1800 && waited < 15000, qPrintable(QString::number(waited)));
        // Two more calls that each waited out the time-out would take at least 4 s.
        QVERIFY2(afterwards < 1900, qPrintable(QString::number(afterwards)));
        // Once the keyring answers again, everything works as before.
        QTRY_COMPARE(Keychain::get(QStringLiteral("stockKey")), QStringLiteral("kept"));
    }
};

QTEST_GUILESS_MAIN(TestKeychain)
#include "TestKeychain.moc"
