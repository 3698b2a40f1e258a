// The real program started in a sway session as a user starts it: by the compositor (swaymsg
// exec, so as the user who runs sway, with its WAYLAND_DISPLAY and DISPLAY and no
// QT_QPA_PLATFORM). Its web requests all go to a closed port on 127.0.0.1.
#include "SwaySession.h"
#include "wayland/SessionMode.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

constexpr int screenWidth = 1920;
constexpr int bandHeight = 110; // two lines of the default LED size

/** Whether `pixel` is the band's unlit dark: its background or the soft edge of an unlit LED. */
bool dark(QRgb pixel)
{
    return qRed(pixel) < 0x20 && qGreen(pixel) < 0x20 && qBlue(pixel) < 0x20;
}

/** Whether row `y` of `shot` runs between two rows of LEDs: dark from edge to edge. */
bool bandGapRow(const QImage &shot, int y)
{
    if (shot.isNull() || y >= shot.height() || shot.width() < screenWidth)
        return false;
    for (int x = 0; x < screenWidth; x += 7) {
        if (!dark(shot.pixel(x, y)))
            return false;
    }
    return dark(shot.pixel(screenWidth - 1, y));
}

/** Whether the band shows across the whole top of the screen: some of its gap rows are there. */
bool bandAtTop(const QImage &shot)
{
    int gaps = 0;
    for (int y = 0; y < bandHeight; ++y)
        gaps += bandGapRow(shot, y) ? 1 : 0;
    return gaps >= 4;
}

} // namespace

class TestSwayLaunch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void bandAtTheTopScrollingAndKeptClear();
    void noPlatformForQtIsOneLineAndStatusTwo();

private:
    QImage top() const { return SwaySession::screenshot(QRect(0, 0, screenWidth, bandHeight)); }
    qint64 programPid() const;

    QTemporaryDir m_dir;
};

void TestSwayLaunch::initTestCase()
{
    QString why;
    if (!SwaySession::available(&why))
        QFAIL(qPrintable(why));
    QVERIFY(QFile::exists(QStringLiteral(DOTBANNER_PROGRAM)));
    QVERIFY(m_dir.isValid());
    // sway's user, who may not be ours, writes the program's settings and its process id here.
    QVERIFY(QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                    QFileDevice::WriteOther | QFileDevice::ExeOther));
    const QString dir = m_dir.path();
    QFile script(dir + QStringLiteral("/launch.sh"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\n"
                                "echo $$ > '%1/pid'\n"
                                "export HOME='%1/home' XDG_CONFIG_HOME='%1/home/config'\n"
                                "mkdir -p \"$XDG_CONFIG_HOME/dotbanner\"\n"
                                "printf true > \"$XDG_CONFIG_HOME/dotbanner/didShowSettingsOnce\"\n"
                                "closed=http://127.0.0.1:9\n"
                                "export http_proxy=$closed https_proxy=$closed HTTP_PROXY=$closed HTTPS_PROXY=$closed\n"
                                "export no_proxy=127.0.0.1 NO_PROXY=127.0.0.1\n"
                                "export DOTBANNER_YAHOO_URL=$closed DOTBANNER_TWELVEDATA_URL=$closed\n"
                                "export DOTBANNER_METALSDEV_URL=$closed DOTBANNER_WEATHERAPI_URL=$closed\n"
                                "export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/dotbanner-test-bus\n"
                                "export ASAN_OPTIONS=detect_leaks=0\n"
                                "unset QT_QPA_PLATFORM DOTBANNER_SURFACE\n"
                                "exec '%2' --two-lines > '%1/output.txt' 2>&1\n")
                     .arg(dir, QStringLiteral(DOTBANNER_PROGRAM))
                     .toUtf8());
    script.close();
    QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                  QFileDevice::ReadOther | QFileDevice::ExeOther));
    QVERIFY(SwaySession::command(QStringLiteral("exec ") + script.fileName()));
    QVERIFY2(SwaySession::waitFor([this] { return programPid() > 0; }, 30000), "the program did not start");
}

void TestSwayLaunch::cleanupTestCase()
{
    if (SwaySession::window(QStringLiteral("foot")))
        SwaySession::command(QStringLiteral("[app_id=\"foot\"] kill"));
    const qint64 pid = programPid();
    if (pid > 0) {
        ::kill(pid_t(pid), SIGTERM);
        SwaySession::waitFor([pid] { return ::kill(pid_t(pid), 0) != 0; }, 10000);
    }
}

qint64 TestSwayLaunch::programPid() const
{
    QFile file(m_dir.path() + QStringLiteral("/pid"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong() : 0;
}

void TestSwayLaunch::bandAtTheTopScrollingAndKeptClear()
{
    const auto output = [this] {
        QFile file(m_dir.path() + QStringLiteral("/output.txt"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QVERIFY2(SwaySession::waitFor([this] { return bandAtTop(top()); }, 60000), output().constData());

    // Scrolling: the news line's text moves between two screenshots.
    const QImage first = top();
    QVERIFY(SwaySession::waitFor([this, &first] {
        const QImage later = top();
        return bandAtTop(later) && later != first;
    }));

    // A terminal opened afterwards is tiled below the band.
    QVERIFY(SwaySession::command(QStringLiteral("exec foot --app-id foot sleep 3600")));
    QVERIFY(SwaySession::waitFor([] { return SwaySession::window(QStringLiteral("foot")).has_value(); }, 60000));
    QVERIFY(SwaySession::waitFor(
        [] { return SwaySession::rect(*SwaySession::window(QStringLiteral("foot"))).top() >= bandHeight; }));
    QVERIFY(bandAtTop(top()));

    // Another workspace: the band is still there.
    QVERIFY(SwaySession::command(QStringLiteral("workspace 2")));
    QCOMPARE(SwaySession::focusedWorkspace(), QStringLiteral("2"));
    QVERIFY(SwaySession::waitFor([this] { return bandAtTop(top()); }));
    QVERIFY(SwaySession::command(QStringLiteral("workspace 1")));
    QVERIFY2(::kill(pid_t(programPid()), 0) == 0, output().constData());
}

void TestSwayLaunch::noPlatformForQtIsOneLineAndStatusTwo()
{
    // The session as it is without XWayland: no DISPLAY. Qt can then only use its Wayland
    // plug-in, which this machine must not have for the case to be made.
    QVERIFY2(SessionMode::qtPlatformMissing(true, false, SessionMode::platformPluginDirs()),
             "qt6-wayland is installed: a session Qt cannot serve cannot be made here");
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("HOME"), m_dir.path() + QStringLiteral("/nodisplay"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.path() + QStringLiteral("/nodisplay/config"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(DOTBANNER_PROGRAM), {});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit); // no abort, no core
    QCOMPARE(program.exitCode(), 2);
    const QList<QByteArray> lines = program.readAllStandardError().trimmed().split('\n');
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines.first().contains("qt6-wayland"));
    QVERIFY(lines.first().contains("XWayland"));
    QVERIFY(program.readAllStandardOutput().isEmpty());
}

QTEST_MAIN(TestSwayLaunch)
#include "TestSwayLaunch.moc"
