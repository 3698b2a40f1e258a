// Starts the real program, as a user would, in a private configuration that sends every
// request to a closed port of 127.0.0.1.

#include "LoopbackHttpServer.h"
#include "MemoryKeyStore.h"
#include "settings/Settings.h"
#include "settings/UserDefaults.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <xcb/xcb.h>

#include <memory>
#include <unistd.h>

namespace {

const QString binary = QStringLiteral(DOTBANNER_BINARY_DIR "/dotbanner");

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return result;
}

QByteArray property(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
{
    xcb_get_property_reply_t *reply =
        xcb_get_property_reply(connection, xcb_get_property(connection, 0, window, name, type, 0, 4096), nullptr);
    QByteArray value;
    if (reply)
        value = QByteArray(static_cast<const char *>(xcb_get_property_value(reply)),
                           xcb_get_property_value_length(reply));
    free(reply);
    return value;
}

/** The titles of the windows the window manager manages on our display. */
QStringList managedWindowTitles()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return {};
    xcb_connection_t *connection = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const QByteArray list = property(connection, root, atom(connection, "_NET_CLIENT_LIST"), XCB_ATOM_WINDOW);
    const xcb_atom_t netWmName = atom(connection, "_NET_WM_NAME");
    const xcb_atom_t utf8 = atom(connection, "UTF8_STRING");
    QStringList titles;
    const auto *windows = reinterpret_cast<const xcb_window_t *>(list.constData());
    for (qsizetype i = 0; i < list.size() / qsizetype(sizeof(xcb_window_t)); ++i)
        titles << QString::fromUtf8(property(connection, windows[i], netWmName, utf8));
    return titles;
}

} // namespace

class TestLaunch : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;

    QString configHome() const { return m_home.filePath(QStringLiteral("config")); }

    // An empty platform starts the program as on a machine without any display: no
    // QT_QPA_PLATFORM, no X11 or Wayland display; its error output is then kept for reading.
    std::unique_ptr<QProcess> start(const QStringList &arguments, const QString &platform,
                                    const QString &runtimeDir = QString())
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome());
        environment.insert(QStringLiteral("HOME"), m_home.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                           runtimeDir.isEmpty() ? m_home.filePath(QStringLiteral("runtime")) : runtimeDir);
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent/bus"));
        if (platform.isEmpty()) {
            for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET"})
                environment.remove(QString::fromLatin1(name));
        } else {
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        }
        for (const QByteArray &name : LoopbackHttpServer::serviceUrlVariables())
            environment.insert(QString::fromLatin1(name), QStringLiteral("http://127.0.0.1:1"));
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(platform.isEmpty() ? QProcess::SeparateChannels
                                                          : QProcess::ForwardedErrorChannel);
        process->setStandardOutputFile(QProcess::nullDevice());
        process->start(binary, arguments);
        return process;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QFile::exists(binary));
        QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral("runtime"))));
        QFile::setPermissions(m_home.filePath(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        // A user who already saw the settings window, watching values whose services and
        // feeds all sit on 127.0.0.1.
        // The program's own record; the keys stay with the keyring the program finds.
        UserDefaults store(configHome() + QStringLiteral("/dotbanner"));
        MemoryKeyStore noKeys;
        Settings settings(store, noKeys);
        settings.setItems({
            {QUuid::createUuid(), ItemKind::quote, QStringLiteral("AAPL"), QStringLiteral("APPLE"), std::nullopt},
            {QUuid::createUuid(), ItemKind::weather, QStringLiteral("Paris"), QStringLiteral("PARIS"),
             QStringLiteral("48.85,2.35")},
            {QUuid::createUuid(), ItemKind::metal, QStringLiteral("gold"), QStringLiteral("OR"), std::nullopt},
        });
        settings.setNewsSources({{QUuid::createUuid(), QStringLiteral("Local"), QStringLiteral("http://127.0.0.1:1/feed"),
                                  true}});
        settings.setVariant(BarVariant::thin);
        QVERIFY(store.setBool(QStringLiteral("didShowSettingsOnce"), true));
    }

    void secondLaunchOpensTheRunningInstancesSettings()
    {
        const QString runtime = m_home.filePath(QStringLiteral("runtime"));
        auto first = start({}, QStringLiteral("xcb"), runtime);
        QVERIFY(first->waitForStarted());
        const QString socket =
            QStringLiteral("%1/dotbanner-%2-%3").arg(runtime).arg(::getuid()).arg(qEnvironmentVariable("DISPLAY"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket), 30000);
        QVERIFY(!managedWindowTitles().contains(QStringLiteral("Dotbanner, réglages")));

        auto second = start({}, QStringLiteral("xcb"), runtime);
        QVERIFY(second->waitForFinished(30000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);

        QTRY_VERIFY_WITH_TIMEOUT(managedWindowTitles().contains(QStringLiteral("Dotbanner, réglages")), 10000);
        QCOMPARE(managedWindowTitles().count(QStringLiteral("Dotbanner, réglages")), 1);
        QCOMPARE(first->state(), QProcess::Running);

        first->kill();
        first->waitForFinished();
    }

    // Without a display the program says what it needs in one line instead of letting Qt
    // abort; "--snapshot" without its path is no picture, so it needs a display too.
    void withoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("plain") << QStringList();
        QTest::newRow("two lines") << QStringList{QStringLiteral("--two-lines")};
        QTest::newRow("snapshot without its path") << QStringList{QStringLiteral("--snapshot")};
    }

    void withoutADisplay()
    {
        QFETCH(QStringList, arguments);
        auto process = start(arguments, QString());
        QVERIFY(process->waitForFinished(30000));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 2);
        const QString errors = QString::fromLocal8Bit(process->readAllStandardError());
        QCOMPARE(errors.count(QLatin1Char('\n')), 1);
        QVERIFY2(errors.startsWith(QStringLiteral("Dotbanner a besoin d'une session graphique")), qPrintable(errors));
        QVERIFY(errors.contains(QStringLiteral("--snapshot FICHIER")));
    }

    void snapshotSwitches()
    {
        QTemporaryDir out;
        const QString prefix = out.filePath(QStringLiteral("ref"));
        const QString missing = out.filePath(QStringLiteral("missing/ref"));
        const QString band = out.filePath(QStringLiteral("band.png"));

        // All at once, to spend the fixed delays only once. Without a display at all.
        QElapsedTimer clock;
        clock.start();
        auto bare = start({QStringLiteral("--snapshot")}, QStringLiteral("offscreen"));
        // The snapshots choose the offscreen platform by themselves.
        auto reference = start({QStringLiteral("--snapshot-ui"), prefix}, QString());
        auto nowhere = start({QStringLiteral("--snapshot-ui"), missing}, QStringLiteral("offscreen"));
        auto picture = start({QStringLiteral("--snapshot"), band}, QString());

        for (QProcess *process : {reference.get(), nowhere.get(), picture.get()}) {
            QVERIFY(process->waitForFinished(90000));
            QCOMPARE(process->exitStatus(), QProcess::NormalExit);
            QCOMPARE(process->exitCode(), 0);
        }

        const QList<std::pair<QString, QSize>> expected = {
            {QStringLiteral("-w-thin.png"), QSize(4600, 132)},  // 11 rows of 6 points, at twice the size
            {QStringLiteral("-w-thick.png"), QSize(4600, 220)}, // 22 rows of 5 points
            {QStringLiteral("-w-hd.png"), QSize(4600, 288)},    // 36 rows of 4 points
            {QStringLiteral("-content.png"), QSize(600, 640)},
            {QStringLiteral("-all.png"), QSize(600, 640)},
            {QStringLiteral("-keys.png"), QSize(600, 640)},
            {QStringLiteral("-tuto.png"), QSize(500, 460)},
        };
        for (const auto &[suffix, size] : expected) {
            const QImage image(prefix + suffix);
            QVERIFY2(!image.isNull(), qPrintable(suffix));
            QCOMPARE(image.size(), size);
        }
        QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), expected.size() + 1);
        QVERIFY(!QDir(out.filePath(QStringLiteral("missing"))).exists());

        // The band as it stands: one line of 11 LEDs of 5 points, at twice the size.
        const QImage bandImage(band);
        QVERIFY(!bandImage.isNull());
        QCOMPARE(bandImage.height(), 110);
        QVERIFY(bandImage.width() > 0 && bandImage.width() % 2 == 0);

        // "--snapshot" without its path did nothing: past the band snapshot's delay it still runs.
        if (clock.elapsed() < 7000)
            QTest::qWait(int(7000 - clock.elapsed()));
        // On a loaded machine the wait above may be over already and no event has told the
        // process object that its program started: ask it directly.
        QVERIFY(bare->waitForStarted(5000));
        QCOMPARE(bare->state(), QProcess::Running);
        bare->kill();
        bare->waitForFinished();
    }
};

QTEST_MAIN(TestLaunch)
#include "TestLaunch.moc"
