#include "wayland/SessionMode.h"

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
