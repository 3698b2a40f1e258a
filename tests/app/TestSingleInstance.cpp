#include "app/SingleInstance.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void defaultNameIsPerUserAndDisplay()
    {
        QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        qputenv("DISPLAY", ":42");
        const QString name = SingleInstance::defaultName();
        QVERIFY(name.startsWith(runtime.path() + QStringLiteral("/dotbanner-")));
        QVERIFY(name.endsWith(QStringLiteral("-:42")));
        qputenv("DISPLAY", ":43");
        QVERIFY(SingleInstance::defaultName() != name);
        // A display name cannot reach outside the folder.
        qputenv("DISPLAY", "../../etc/x");
        QVERIFY(!SingleInstance::defaultName().mid(runtime.path().size() + 1).contains(QLatin1Char('/')));
        // No runtime folder: a bare name, which Qt places in the temporary folder.
        qunsetenv("XDG_RUNTIME_DIR");
        QVERIFY(!SingleInstance::defaultName().contains(QLatin1Char('/')));
    }

    void secondClaimHandsItsCommandsOver()
    {
        QTemporaryDir runtime;
        const QString name = runtime.filePath(QStringLiteral("instance"));
        SingleInstance first(name);
        QCOMPARE(first.claim({}), SingleInstance::Outcome::primary);
        QSignalSpy received(&first, &SingleInstance::commandReceived);

        // Both ends live on this thread, so the second end cannot wait for answers here.
        SingleInstance second(name);
        second.setTimeout(std::chrono::milliseconds(200));
        QCOMPARE(second.claim({SingleInstance::twoLinesCommand, SingleInstance::openSettingsCommand}),
                 SingleInstance::Outcome::forwarded);
        QTRY_COMPARE(received.size(), 2);
        QCOMPARE(received.at(0).at(0).toString(), SingleInstance::twoLinesCommand);
        QCOMPARE(received.at(1).at(0).toString(), SingleInstance::openSettingsCommand);
    }

    void leftOverSocketIsTakenOver()
    {
        QTemporaryDir runtime;
        const QString name = runtime.filePath(QStringLiteral("instance"));
        {
            // A server that went away without removing its socket file, as after a crash.
            QLocalServer dead;
            dead.setSocketOptions(QLocalServer::UserAccessOption);
            QVERIFY(dead.listen(name));
            QFile::rename(name, name + QStringLiteral(".kept"));
        }
        QFile::rename(name + QStringLiteral(".kept"), name);
        QVERIFY(QFile::exists(name));

        SingleInstance instance(name);
        instance.setTimeout(std::chrono::milliseconds(200));
        QCOMPARE(instance.claim({SingleInstance::openSettingsCommand}), SingleInstance::Outcome::primary);
    }

    void unusableFolderStillRuns()
    {
        SingleInstance instance(QStringLiteral("/nonexistent/dotbanner-test/instance"));
        instance.setTimeout(std::chrono::milliseconds(100));
        QCOMPARE(instance.claim({}), SingleInstance::Outcome::alone);
    }

    void endlessLineIsDropped()
    {
        QTemporaryDir runtime;
        const QString name = runtime.filePath(QStringLiteral("instance"));
        SingleInstance instance(name);
        QCOMPARE(instance.claim({}), SingleInstance::Outcome::primary);
        QSignalSpy received(&instance, &SingleInstance::commandReceived);

        QLocalSocket flood;
        flood.connectToServer(name);
        QVERIFY(flood.waitForConnected(1000));
        flood.write(QByteArray(SingleInstance::maxLineLength * 4, 'x'));
        flood.flush();
        QTRY_COMPARE(flood.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(received.size(), 0);

        // The instance still answers well-formed requests afterwards.
        QLocalSocket polite;
        polite.connectToServer(name);
        QVERIFY(polite.waitForConnected(1000));
        polite.write("open-settings\n");
        QTRY_COMPARE(received.size(), 1);
        QTRY_VERIFY(polite.bytesAvailable() > 0 || polite.waitForReadyRead(10));
        QCOMPARE(polite.readAll(), QByteArray("ok\n"));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "TestSingleInstance.moc"
