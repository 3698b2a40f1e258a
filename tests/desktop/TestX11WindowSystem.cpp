#include "avoider/WindowAvoider.h"
#include "desktop/X11WindowSystem.h"

#include <QGuiApplication>
#include <QProcess>
#include <QRasterWindow>
#include <QScopeGuard>
#include <QTest>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>

using namespace std::chrono_literals;

namespace {

/** Geometry read straight from the X server, apart from the code under test. */
class XProbe
{
public:
    XProbe()
        : m_connection(xcb_connect(nullptr, nullptr))
    {
        if (!xcb_connection_has_error(m_connection))
            m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }
    ~XProbe() { xcb_disconnect(m_connection); }

    bool ok() const { return m_root != XCB_NONE; }
    xcb_window_t root() const { return m_root; }

    xcb_atom_t atom(const char *name) const
    {
        auto *reply = xcb_intern_atom_reply(m_connection,
                                            xcb_intern_atom(m_connection, 0, uint16_t(qstrlen(name)), name), nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return result;
    }

    QList<quint32> cardinals(xcb_window_t window, const char *property, xcb_atom_t type) const
    {
        QList<quint32> values;
        auto *reply = xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, window, atom(property), type, 0, 1024), nullptr);
        if (reply && reply->format == 32) {
            const auto *data = static_cast<const quint32 *>(xcb_get_property_value(reply));
            values = QList<quint32>(data, data + xcb_get_property_value_length(reply) / 4);
        }
        std::free(reply);
        return values;
    }

    QList<quint32> clientList() const { return cardinals(m_root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW); }

    bool isManaged(xcb_window_t window) const
    {
        return cardinals(m_root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW).contains(window) &&
               cardinals(window, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL).size() == 4;
    }

    /** The window as the user sees it: client area plus the manager's frame. */
    QRect frame(xcb_window_t window) const
    {
        auto *position = xcb_translate_coordinates_reply(
            m_connection, xcb_translate_coordinates(m_connection, window, m_root, 0, 0), nullptr);
        auto *geometry = xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
        QList<quint32> extents = cardinals(window, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL);
        if (extents.size() != 4)
            extents = {0, 0, 0, 0};
        QRect result;
        if (position && geometry) {
            const int left = int(extents[0]), right = int(extents[1]), top = int(extents[2]), bottom = int(extents[3]);
            result = QRect(position->dst_x - left, position->dst_y - top, geometry->width + left + right,
                           geometry->height + top + bottom);
        }
        std::free(position);
        std::free(geometry);
        return result;
    }

    /** Replaces a 32-bit property of `window`; returns once the server has it. */
    void setCardinals(xcb_window_t window, const char *property, xcb_atom_t type, const QList<quint32> &values) const
    {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom(property), type, 32,
                            uint32_t(values.size()), values.constData());
        std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

    /** A window of the probe's own, never mapped: no window manager's. */
    xcb_window_t createWindow() const
    {
        const xcb_window_t id = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, id, m_root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_flush(m_connection);
        return id;
    }

    /** The frame's top and bottom decoration heights. */
    int verticalDecorations(xcb_window_t window) const
    {
        const QList<quint32> extents = cardinals(window, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL);
        return extents.size() == 4 ? int(extents[2] + extents[3]) : 0;
    }

    int clientHeight(xcb_window_t window) const
    {
        auto *geometry = xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
        const int height = geometry ? geometry->height : -1;
        std::free(geometry);
        return height;
    }

    /**
     * Returns once the window manager has handled every request the code under test sent: those
     * left on Qt's connection before a round trip there, and then our own move of `sentinel`
     * by one pixel, which the manager handles after them.
     */
    bool syncWithManager(xcb_window_t sentinel) const
    {
        xcb_connection_t *qt = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
        std::free(xcb_get_input_focus_reply(qt, xcb_get_input_focus(qt), nullptr));
        const QRect start = frame(sentinel);
        moveTo(sentinel, QPoint(start.left() + 1, start.top()));
        return QTest::qWaitFor([&] { return frame(sentinel).left() == start.left() + 1; }, 5000);
    }

    /** Asks the manager to move the window's frame to `topLeft`, as a pager would. */
    void moveTo(xcb_window_t window, QPoint topLeft) const
    {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = atom("_NET_MOVERESIZE_WINDOW");
        message.data.data32[0] = 1 | 1 << 8 | 1 << 9 | 2 << 12; // NorthWest, x and y given, from a pager
        message.data.data32[1] = quint32(topLeft.x());
        message.data.data32[2] = quint32(topLeft.y());
        xcb_send_event(m_connection, 0, m_root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&message));
        xcb_flush(m_connection);
    }

private:
    xcb_connection_t *m_connection;
    xcb_window_t m_root = XCB_NONE;
};

/** Another process with the given windows (see X11TestClient.cpp for the syntax). */
class ClientProcess
{
public:
    explicit ClientProcess(const QStringList &windows) { m_process.start(QStringLiteral(X11_TEST_CLIENT), windows); }
    ~ClientProcess()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    /** The window ids in the order given, once the client has created them all. */
    QList<xcb_window_t> windows()
    {
        QByteArray out;
        while (!out.contains("ready\n")) {
            if (!m_process.waitForReadyRead(10000))
                return {};
            out += m_process.readAllStandardOutput();
        }
        QList<xcb_window_t> ids;
        for (const QByteArray &line : out.split('\n')) {
            bool ok = false;
            const uint id = line.toUInt(&ok);
            if (ok)
                ids.append(id);
        }
        return ids;
    }

    qint64 pid() const { return m_process.processId(); }

private:
    QProcess m_process;
};

/** Device pixels per logical pixel: the test also runs with QT_SCALE_FACTOR=2. */
qreal scale()
{
    return QGuiApplication::primaryScreen()->devicePixelRatio();
}

/** Sweeps once with `band`, given in device pixels, through the real window system. */
void sweepOnce(const QRectF &deviceBand)
{
    const QRectF band(deviceBand.topLeft() / scale(), deviceBand.size() / scale());
    WindowAvoider avoider(WindowSystem::forPlatform());
    avoider.setSweepInterval(1h);
    avoider.update(true, band);
    avoider.update(false, band);
}

} // namespace

class TestX11WindowSystem : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY(m_probe.ok());
        if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
            QCOMPARE(scale(), qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
    }

    void cleanup()
    {
        // A new client can be handed the window ids of one just gone: start each case only
        // once the manager has let go of every window of the last one.
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.clientList().isEmpty(), 10000);
    }

    void canMoveWindowsUnderEwmhManager()
    {
        const std::shared_ptr<WindowSystem> system = WindowSystem::forPlatform();
        QVERIFY(system->canMoveWindows());
        QVERIFY(!system->leftButtonPressed());
        const QList<ScreenRecord> screens = system->screens();
        QCOMPARE(screens.size(), 1);
        QCOMPARE(screens[0].frame, QRectF(0, 0, 1920, 1080));
        QCOMPARE(screens[0].available, QRectF(0, 0, 1920, 1080));
        QCOMPARE(screens[0].scale, scale());
        QCOMPARE(system->toDevice(QRectF(0, 1050 / scale(), 1920 / scale(), 30 / scale())), QRectF(0, 1050, 1920, 30));
    }

    void canMoveWindowsFollowsTheManager()
    {
        // The root window as a manager leaves it when it stops taking moves, or when it dies
        // and its properties stay behind; put back as it was whatever the outcome.
        const xcb_window_t root = m_probe.root();
        const xcb_atom_t moves = m_probe.atom("_NET_MOVERESIZE_WINDOW");
        const QList<quint32> supported = m_probe.cardinals(root, "_NET_SUPPORTED", XCB_ATOM_ATOM);
        const QList<quint32> check = m_probe.cardinals(root, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW);
        QVERIFY(supported.contains(moves));
        QCOMPARE(check.size(), 1);
        const auto restore = qScopeGuard([&] {
            m_probe.setCardinals(root, "_NET_SUPPORTED", XCB_ATOM_ATOM, supported);
            m_probe.setCardinals(root, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW, check);
        });

        const std::shared_ptr<WindowSystem> system = WindowSystem::forPlatform();
        int reports = 0;
        QVERIFY(system->watchChanges([&] { ++reports; }));
        QVERIFY(system->canMoveWindows());

        QList<quint32> withoutMoves = supported;
        withoutMoves.removeAll(moves);
        m_probe.setCardinals(root, "_NET_SUPPORTED", XCB_ATOM_ATOM, withoutMoves);
        QVERIFY(!system->canMoveWindows());
        QTRY_VERIFY_WITH_TIMEOUT(reports > 0, 5000);
        m_probe.setCardinals(root, "_NET_SUPPORTED", XCB_ATOM_ATOM, supported);
        QVERIFY(system->canMoveWindows());

        const int before = reports;
        m_probe.setCardinals(root, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW, {m_probe.createWindow()});
        QVERIFY(!system->canMoveWindows());
        QTRY_VERIFY_WITH_TIMEOUT(reports > before, 5000);
        m_probe.setCardinals(root, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW, check);
        QVERIFY(system->canMoveWindows());
        QVERIFY(!system->watchChanges({}));
    }

    void docksReserveTheirStrips()
    {
        ClientProcess client({"0,0,1920,30,dock", "300,1040,800,40,dock", "100,10,400,300"});
        const QList<xcb_window_t> ids = client.windows();
        QCOMPARE(ids.size(), 3);
        for (xcb_window_t id : ids)
            QTRY_VERIFY_WITH_TIMEOUT(m_probe.isManaged(id), 10000);

        const std::shared_ptr<WindowSystem> system = WindowSystem::forPlatform();
        QTRY_COMPARE_WITH_TIMEOUT(system->screens().value(0).available, QRectF(0, 30, 1920, 1010), 5000);

        // A band right under the top panel pushes the window below itself; the panels stay.
        const QRect topPanel = m_probe.frame(ids[0]);
        const QRect bottomPanel = m_probe.frame(ids[1]);
        const int height = m_probe.frame(ids[2]).height();
        sweepOnce(QRectF(0, 30, 1920, 40));
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.frame(ids[2]).top(), 70, 5000);
        QCOMPARE(m_probe.frame(ids[2]).height(), height);
        QCOMPARE(m_probe.frame(ids[0]), topPanel);
        QCOMPARE(m_probe.frame(ids[1]), bottomPanel);
    }

    void ownStripIsReservedButNotCounted()
    {
        // Our band's strip: 55 device pixels on top, then at the bottom, beside another
        // program's 30-pixel top panel.
        ClientProcess client({"0,0,1920,30,dock"});
        const QList<xcb_window_t> ids = client.windows();
        QCOMPARE(ids.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.isManaged(ids[0]), 10000);
        QRasterWindow band;
        band.setFlags(Qt::Tool | Qt::FramelessWindowHint);
        band.setGeometry(QRectF(0, 30 / scale(), 1920 / scale(), 55 / scale()).toRect());
        const auto id = xcb_window_t(band.winId());
        band.show();

        const std::shared_ptr<WindowSystem> system = WindowSystem::forPlatform();
        system->reserveStrip(id, Qt::TopEdge, QRectF(0, 30 / scale(), 1920 / scale(), 55 / scale()));
        using Values = QList<quint32>;
        QTRY_COMPARE(m_probe.cardinals(id, "_NET_WM_STRUT_PARTIAL", XCB_ATOM_CARDINAL),
                     (Values{0, 0, 85, 0, 0, 0, 0, 0, 0, 1919, 0, 0}));
        QCOMPARE(m_probe.cardinals(id, "_NET_WM_STRUT", XCB_ATOM_CARDINAL), (Values{0, 0, 85, 0}));
        // The manager's work area counts it; ours leaves it out and keeps the other panel.
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.cardinals(m_probe.root(), "_NET_WORKAREA", XCB_ATOM_CARDINAL).mid(0, 4),
                                  (Values{0, 85, 1920, 995}), 5000);
        QCOMPARE(system->screens().value(0).available, QRectF(0, 30, 1920, 1050));

        system->reserveStrip(id, Qt::BottomEdge, QRectF(0, 1000 / scale(), 1920 / scale(), 80 / scale()));
        QTRY_COMPARE(m_probe.cardinals(id, "_NET_WM_STRUT_PARTIAL", XCB_ATOM_CARDINAL),
                     (Values{0, 0, 0, 80, 0, 0, 0, 0, 0, 0, 0, 1919}));
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.cardinals(m_probe.root(), "_NET_WORKAREA", XCB_ATOM_CARDINAL).mid(0, 4),
                                  (Values{0, 30, 1920, 970}), 5000);
        QCOMPARE(system->screens().value(0).available, QRectF(0, 30, 1920, 1050));

        // Given back: gone from the window and from the manager's work area.
        system->reserveStrip(id, Qt::BottomEdge, QRectF());
        QTRY_VERIFY(m_probe.cardinals(id, "_NET_WM_STRUT_PARTIAL", XCB_ATOM_CARDINAL).isEmpty());
        QVERIFY(m_probe.cardinals(id, "_NET_WM_STRUT", XCB_ATOM_CARDINAL).isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.cardinals(m_probe.root(), "_NET_WORKAREA", XCB_ATOM_CARDINAL).mid(0, 4),
                                  (Values{0, 30, 1920, 1050}), 5000);
    }

    void readsOtherProcessWindows()
    {
        ClientProcess client({"100,200,400,300", "600,200,300,200,dialog", "1000,200,300,200,utility",
                              "100,600,300,200,skiptaskbar", "600,600,300,200,hidden", "1000,600,300,200,fullscreen"});
        const QList<xcb_window_t> ids = client.windows();
        QCOMPARE(ids.size(), 6);
        for (xcb_window_t id : ids)
            QTRY_VERIFY_WITH_TIMEOUT(m_probe.isManaged(id), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.frame(ids[0]).top(), 200, 5000);

        const QList<WindowRecord> windows = X11WindowSystem::fromQt()->windows();
        const auto record = [&](xcb_window_t id) {
            const auto it =
                std::find_if(windows.begin(), windows.end(), [&](const WindowRecord &w) { return w.id == id; });
            return it == windows.end() ? WindowRecord{} : *it;
        };
        for (xcb_window_t id : ids) {
            QCOMPARE(record(id).id, quint64(id));
            QCOMPARE(record(id).pid, client.pid());
        }
        const WindowRecord plain = record(ids[0]);
        QCOMPARE(plain.frame, QRectF(m_probe.frame(ids[0])));
        QCOMPARE(plain.frame.height() - plain.decorations.top() - plain.decorations.bottom(), 300.0);
        QVERIFY(plain.standard && !plain.skipTaskbar && !plain.minimised && !plain.fullScreen);
        QVERIFY(record(ids[1]).standard);
        QVERIFY(!record(ids[2]).standard);
        QVERIFY(record(ids[3]).skipTaskbar);
        QVERIFY(record(ids[4]).minimised);
        QVERIFY(record(ids[5]).fullScreen);
    }

    void topBandPushesOtherWindowsDown()
    {
        // The band covers 0..1500 horizontally and 0..100 vertically.
        const QRectF band(0, 0, 1500, 100);
        ClientProcess client({
            "100,10,400,300",               // pushed down
            "550,10,400,1000",              // pushed down and cut to the room below
            "1000,100,300,200",             // top exactly at the band's bottom edge: stays
            "1200,10,200,200,utility",      // a palette: stays
            "100,500,300,200",              // clear of the band: stays
            "1600,10,250,200",              // beside the band: stays
            "1250,400,200,200,skiptaskbar", // an accessory's window: stays
            "1700,700,100,100",             // the sentinel that tells when the manager is done
        });
        QList<xcb_window_t> ids = client.windows();
        QCOMPARE(ids.size(), 8);
        const xcb_window_t sentinel = ids.takeLast();
        for (xcb_window_t id : ids)
            QTRY_VERIFY_WITH_TIMEOUT(m_probe.isManaged(id), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.frame(ids[0]).top(), 10, 5000);

        // One window of our own under the band: never touched.
        QRasterWindow own;
        own.setGeometry(QRect(QPoint(700, 40) / scale(), QSize(200, 150) / scale()));
        own.show();
        QVERIFY(QTest::qWaitForWindowExposed(&own));
        const xcb_window_t ownId = xcb_window_t(own.winId());
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.isManaged(ownId), 5000);

        QList<QRect> before;
        for (xcb_window_t id : ids)
            before.append(m_probe.frame(id));
        const QRect ownBefore = m_probe.frame(ownId);
        QCOMPARE(before[2].top(), 100);
        QVERIFY(ownBefore.top() < 100);

        sweepOnce(band);

        const QRect pushed(before[0].left(), 100, before[0].width(), before[0].height());
        const QRect cut(before[1].left(), 100, before[1].width(), 1080 - 100);
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.frame(ids[0]), pushed, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.frame(ids[1]), cut, 5000);
        for (int i = 2; i < ids.size(); ++i)
            QCOMPARE(m_probe.frame(ids[i]), before[i]);
        QCOMPARE(m_probe.frame(ownId), ownBefore);

        // A second sweep finds nothing left to do: every window stays where it is.
        sweepOnce(band);
        QVERIFY(m_probe.syncWithManager(sentinel));
        for (int i = 2; i < ids.size(); ++i)
            QCOMPARE(m_probe.frame(ids[i]), before[i]);
        QCOMPARE(m_probe.frame(ids[0]), pushed);
        QCOMPARE(m_probe.frame(ids[1]), cut);
        QCOMPARE(m_probe.frame(ownId), ownBefore);
    }

    void placesItsOwnWindowWhateverQtBelieves()
    {
        QRasterWindow own;
        own.setFlags(Qt::Tool | Qt::FramelessWindowHint);
        own.setGeometry(QRect(QPoint(100, 300) / scale(), QSize(300, 40) / scale()));
        own.show();
        QVERIFY(QTest::qWaitForWindowExposed(&own));
        const auto id = xcb_window_t(own.winId());
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.isManaged(id), 5000);

        WindowSystem::forPlatform()->placeOwnWindow(own.winId(),
                                                    QRectF(QPointF(0, 200) / scale(), QSizeF(400, 60) / scale()));
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.frame(id), QRect(0, 200, 400, 60), 5000);
        QTRY_COMPARE(own.geometry(), QRect(QPoint(0, 200) / scale(), QSize(400, 60) / scale()));
    }

    void windowMovedUnderTheBandLaterIsPushedOutWithoutPolling()
    {
        const QRectF band(0, 0, 1920, 100);
        ClientProcess client({"100,500,400,300"});
        const QList<xcb_window_t> ids = client.windows();
        QCOMPARE(ids.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.isManaged(ids[0]), 10000);

        WindowAvoider avoider(WindowSystem::forPlatform());
        avoider.setSweepInterval(1h);
        avoider.setBackstopInterval(1h);
        avoider.update(true, QRectF(band.topLeft() / scale(), band.size() / scale()));
        QVERIFY(avoider.isNotified());
        QCOMPARE(m_probe.frame(ids[0]).top(), 500);

        // Only the manager's report of the move can make the avoider look again.
        m_probe.moveTo(ids[0], QPoint(100, 20));
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.frame(ids[0]).top(), 100, 5000);
        QCOMPARE(m_probe.frame(ids[0]).left(), 100);
    }

    void bottomBandCutsOrLiftsOtherWindows()
    {
        // The band covers the bottom 100 pixels: edges 980 and 1080.
        const QRectF band(0, 980, 1920, 100);
        ClientProcess client({
            "100,300,400,700",  // 680 of room above the band: keeps its top, cut at the band
            "600,850,400,150",  // 130 of room: lifted until its bottom meets the band
            "1100,200,400,300", // clear of the band: stays
            "1700,500,100,100", // the sentinel that tells when the manager is done
        });
        QList<xcb_window_t> ids = client.windows();
        QCOMPARE(ids.size(), 4);
        const xcb_window_t sentinel = ids.takeLast();
        for (xcb_window_t id : ids)
            QTRY_VERIFY_WITH_TIMEOUT(m_probe.isManaged(id), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.frame(ids[1]).top(), 850, 5000);
        QList<QRect> before;
        for (xcb_window_t id : ids)
            before.append(m_probe.frame(id));
        QVERIFY(before[0].top() + before[0].height() > 981);
        QVERIFY(before[1].top() + before[1].height() > 981);

        sweepOnce(band);

        const QRect cut(before[0].left(), 300, before[0].width(), 980 - 300);
        const QRect lifted(before[1].left(), 980 - before[1].height(), before[1].width(), before[1].height());
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.frame(ids[0]), cut, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(m_probe.frame(ids[1]), lifted, 5000);
        QCOMPARE(m_probe.frame(ids[2]), before[2]);
        // The client area lost exactly what the frame lost.
        QCOMPARE(m_probe.clientHeight(ids[0]), 680 - m_probe.verticalDecorations(ids[0]));

        // Now flush with the band's top edge: nothing moves any more.
        sweepOnce(band);
        QVERIFY(m_probe.syncWithManager(sentinel));
        QCOMPARE(m_probe.frame(ids[2]), before[2]);
        QCOMPARE(m_probe.frame(ids[0]), cut);
        QCOMPARE(m_probe.frame(ids[1]), lifted);
    }

private:
    XProbe m_probe;
};

QTEST_MAIN(TestX11WindowSystem)
#include "TestX11WindowSystem.moc"
