#include "wayland/SessionMode.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSessionMode : public QObject
{
    Q_OBJECT

private slots:
    void decidesFromTheSession()
    {
        using Kind = SessionMode::Kind;
        // wayland session, layer shell offered, X display: the compositor's layer surface wins.
        QCOMPARE(SessionMode::decide(true, true, true), Kind::layerShell);
        QCOMPARE(SessionMode::decide(true, true, false), Kind::layerShell);
        // GNOME: Wayland without the layer shell goes through XWayland when there is one…
        QCOMPARE(SessionMode::decide(true, false, true), Kind::xwayland);
        // …and without XWayland there is nothing the band can do.
        QCOMPARE(SessionMode::decide(true, false, false), Kind::none);
        QCOMPARE(SessionMode::decide(false, false, true), Kind::x11);
        QCOMPARE(SessionMode::decide(false, false, false), Kind::none);
    }

    void namesWhatQtLacksOnAWaylandSession()
    {
        QTemporaryDir withPlugin, empty;
        QVERIFY(withPlugin.isValid() && empty.isValid());
        QFile plugin(withPlugin.filePath(QStringLiteral("libqwayland-generic.so")));
        QVERIFY(plugin.open(QIODevice::WriteOnly));
        plugin.close();
        // Not a Wayland session, or XWayland there: Qt has a platform.
        QVERIFY(!SessionMode::qtPlatformMissing(false, false, {empty.path()}));
        QVERIFY(!SessionMode::qtPlatformMissing(true, true, {empty.path()}));
        // Wayland alone: the plug-in must be in one of the folders Qt looks in.
        QVERIFY(!SessionMode::qtPlatformMissing(true, false, {empty.path(), withPlugin.path()}));
        QVERIFY(SessionMode::qtPlatformMissing(true, false, {empty.path(), QStringLiteral("/nonexistent")}));
        QVERIFY(SessionMode::qtPlatformMissing(true, false, {}));
        // The folder named outright comes first, then each plug-in path, then Qt's own.
        qputenv("QT_QPA_PLATFORM_PLUGIN_PATH", "/a");
        qputenv("QT_PLUGIN_PATH", "/b:/c");
        const QStringList dirs = SessionMode::platformPluginDirs();
        qunsetenv("QT_QPA_PLATFORM_PLUGIN_PATH");
        qunsetenv("QT_PLUGIN_PATH");
        QCOMPARE(dirs.mid(0, 3), (QStringList{"/a", "/b/platforms", "/c/platforms"}));
        QCOMPARE(dirs.size(), 4);
    }

    void aSessionWithoutACompositorKeepsQtsPlatform()
    {
        // A WAYLAND_DISPLAY nobody answers at: no Wayland session, and Qt's platform untouched.
        qputenv("WAYLAND_DISPLAY", "/nonexistent/dotbanner-wayland-0");
        qputenv("DISPLAY", ":99");
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        QCOMPARE(SessionMode::prepare(), SessionMode::Kind::x11);
        QCOMPARE(SessionMode::current(), SessionMode::Kind::x11);
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), platform);
        QVERIFY(!SessionMode::describe(SessionMode::current()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSessionMode)
#include "TestSessionMode.moc"
