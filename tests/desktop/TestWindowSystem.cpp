#include "desktop/WindowSystem.h"
#include "desktop/X11WindowSystem.h"

#include <QGuiApplication>
#include <QTest>

#include <xcb/xcb.h>

namespace {

WindowRecord someWindow()
{
    WindowRecord window;
    window.id = 7;
    window.pid = 77;
    window.frame = QRectF(100, 10, 800, 600);
    return window;
}

/** Writes through every job of `system`, as the band and the avoider would. */
void writeEverything(WindowSystem &system)
{
    OwnWindowHints &hints = system;
    hints.markAsAccessory(42);
    hints.reserveStrip(42, Qt::TopEdge, QRectF(0, 0, 1920, 30));
    hints.reserveStrip(42, Qt::BottomEdge, QRectF());
    hints.placeOwnWindow(42, QRectF(0, 0, 1920, 30));
    WindowMover &mover = system;
    mover.moveTop(someWindow(), 30);
    mover.resizeHeight(someWindow(), 200);
}

} // namespace

/**
 * The null desktop every platform's window system starts from, and the X11 one when its
 * connection is gone: nothing is read, moved, marked or watched, whichever job it is reached
 * through.
 */
class TestWindowSystem : public QObject
{
    Q_OBJECT
private slots:
    void nullDesktopReadsAndMovesNothing()
    {
        WindowSystem system;
        writeEverything(system);
        const DesktopQueries &desktop = system;
        QVERIFY(desktop.screens().isEmpty());
        QVERIFY(!desktop.leftButtonPressed());
        // With no screen to scale by, Qt's coordinates are taken as they are.
        QCOMPARE(desktop.toDevice(QRectF(10.5, 20, 300, 40)), QRectF(10.5, 20, 300, 40));
        const WindowMover &mover = system;
        QVERIFY(!mover.canMoveWindows());
        QVERIFY(mover.windows().isEmpty());
        QCOMPARE(mover.ownPid(), QCoreApplication::applicationPid());
    }

    void nullDesktopWatchesNothing()
    {
        WindowSystem system;
        int reports = 0;
        // False tells the avoider to look by itself from time to time.
        QVERIFY(!system.watchChanges([&] { ++reports; }));
        writeEverything(system);
        QCoreApplication::processEvents();
        QVERIFY(!system.watchChanges({}));
        QCOMPARE(reports, 0);
    }

    void forPlatformOffX11IsTheNullDesktop()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
        QVERIFY(!X11WindowSystem::fromQt());
        const std::shared_ptr<WindowSystem> system = WindowSystem::forPlatform();
        QVERIFY(system);
        QVERIFY(!dynamic_cast<X11WindowSystem *>(system.get()));
        QVERIFY(!system->canMoveWindows());
        // Qt has an offscreen screen; the desktop has none to report.
        QVERIFY(!QGuiApplication::screens().isEmpty());
        QVERIFY(system->screens().isEmpty());
    }

    void x11WithoutAServerDoesNothing()
    {
        // A connection that failed, as one does when the server goes away: every request on it
        // would be lost, so none is made.
        xcb_connection_t *broken = xcb_connect_to_fd(-1, nullptr);
        QVERIFY(xcb_connection_has_error(broken));
        for (xcb_connection_t *connection : {broken, static_cast<xcb_connection_t *>(nullptr)}) {
            X11WindowSystem system(connection);
            writeEverything(system);
            QVERIFY(!system.canMoveWindows());
            QVERIFY(system.screens().isEmpty());
            QVERIFY(system.windows().isEmpty());
            QVERIFY(!system.leftButtonPressed());
            QVERIFY(!system.watchChanges([] {}));
        }
        xcb_disconnect(broken);
    }
};

QTEST_MAIN(TestWindowSystem)
#include "TestWindowSystem.moc"
