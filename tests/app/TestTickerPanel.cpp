// The band under a real window manager (Xvfb + openbox): placement, stacking, focus.
#include "app/BandSurfaceFactory.h"
#include "app/TickerController.h"
#include "data/DataService.h"
#include "desktop/WindowSystem.h"
#include "net/HttpClient.h"
#include "news/NewsService.h"
#include "qtband/PanelSurface.h"
#include "qtband/TickerPanel.h"
#include "settings/Settings.h"
#include "settings/UserDefaults.h"
#include "x11band/X11BandSurface.h"
#include "x11band/X11BandView.h"

#include "ServiceFixture.h"

#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <xcb/xcb.h>

#include <X11/Xlib.h>
#include <dlfcn.h>

#include <cstdlib>
#include <vector>

namespace {

xcb_connection_t *connection()
{
    return qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_window_t root()
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection())).data->root;
}

xcb_atom_t atom(const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection(), xcb_intern_atom(connection(), 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return a;
}

std::vector<uint32_t> windowProperty(xcb_window_t window, const char *name, xcb_atom_t type)
{
    std::vector<uint32_t> values;
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection(), xcb_get_property(connection(), 0, window, atom(name), type, 0, 1024), nullptr);
    if (reply && reply->format == 32) {
        const auto *data = static_cast<const uint32_t *>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    free(reply);
    return values;
}

/** Where the window's client area really is on the screen (a QWidget's or a QWindow's). */
template<typename Window> QRect onScreen(const Window *widget)
{
    const auto window = static_cast<xcb_window_t>(widget->winId());
    xcb_translate_coordinates_reply_t *pos = xcb_translate_coordinates_reply(
        connection(), xcb_translate_coordinates(connection(), window, root(), 0, 0), nullptr);
    xcb_get_geometry_reply_t *geo =
        xcb_get_geometry_reply(connection(), xcb_get_geometry(connection(), window), nullptr);
    QRect r;
    if (pos && geo)
        r = QRect(pos->dst_x, pos->dst_y, geo->width, geo->height);
    free(pos);
    free(geo);
    return r;
}

/** Position in the manager's stacking order, bottom first; −1 when not listed. */
template<typename Window> int stackIndex(const Window *widget)
{
    const auto list = windowProperty(root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW);
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] == static_cast<uint32_t>(widget->winId()))
            return static_cast<int>(i);
    }
    return -1;
}

uint32_t activeWindow()
{
    const auto active = windowProperty(root(), "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW);
    return active.empty() ? 0 : active.front();
}

/** A real pointer click through the X server (XTest), as a user's would arrive. */
bool clickAt(QPoint p)
{
    void *xtst = dlopen("libXtst.so.6", RTLD_NOW);
    if (!xtst)
        return false;
    using Motion = int (*)(Display *, int, int, int, unsigned long);
    using Button = int (*)(Display *, unsigned int, Bool, unsigned long);
    auto motion = reinterpret_cast<Motion>(dlsym(xtst, "XTestFakeMotionEvent"));
    auto button = reinterpret_cast<Button>(dlsym(xtst, "XTestFakeButtonEvent"));
    Display *display = XOpenDisplay(nullptr);
    const bool ok = motion && button && display;
    if (ok) {
        motion(display, -1, p.x(), p.y(), 0);
        button(display, 1, True, 0);
        button(display, 1, False, 0);
        XSync(display, False);
    }
    if (display)
        XCloseDisplay(display);
    dlclose(xtst);
    return ok;
}

struct Fixture : ServiceFixture
{
    BandSurface *surface = nullptr; // as the program chose it
    std::unique_ptr<TickerController> controller;

    Fixture()
    {
        settings.setPushWindows(false); // other windows stay where the test puts them
        controller = std::make_unique<TickerController>(
            settings, data, news, nullptr,
            [this](BandLines &lines, WindowSystem *system) {
                std::unique_ptr<BandSurface> made = BandSurfaceFactory::make(lines, system);
                surface = made.get();
                return made;
            },
            WindowSystem::forPlatform());
    }
    /** The band's window, whichever surface shows it; null for a surface without one. */
    QWindow *window() const
    {
        if (const auto *x11 = dynamic_cast<X11BandSurface *>(surface))
            return x11->window();
        if (const auto *qt = dynamic_cast<PanelSurface *>(surface))
            return qt->panel()->windowHandle();
        return nullptr;
    }
};

/** Counts the events of one type that reach a widget. */
class EventCounter : public QObject
{
public:
    explicit EventCounter(QEvent::Type type)
        : m_type(type)
    {}
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            ++count;
        return false;
    }

private:
    QEvent::Type m_type;
};

} // namespace

class TestTickerPanel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void runsTheChosenSurface();
    void sitsExactlyAtEachEdge();
    void returnsWhenMovedElsewhere();
    void followsTheWorkArea();
    void reservesItsStripWithoutPushingItself();
    void onAllDesktopsAndOutOfTheTaskbar();
    void frontStaysAboveDesktopStaysBelow();
    void neverTakesFocus();
};

void TestTickerPanel::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QFAIL("needs an X11 display: run it through tests/support/with-x11.sh");
}

void TestTickerPanel::runsTheChosenSurface()
{
    // The X server's surface unless the Qt-painted one is asked for by name.
    Fixture f;
    QVERIFY(f.window()); // on X11 the band is a window the manager places
    QCOMPARE(f.controller->surface()->name(), qEnvironmentVariable("DOTBANNER_SURFACE", QStringLiteral("x11")));
    QVERIFY(f.controller->surface()->isShown());
}

void TestTickerPanel::sitsExactlyAtEachEdge()
{
    Fixture f;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QTRY_COMPARE(onScreen(f.window()), QRect(0, 0, screen.width(), 55));
    f.settings.setPosition(DockPosition::bottom);
    QTRY_COMPARE(onScreen(f.window()), QRect(0, screen.height() - 55, screen.width(), 55));
    f.settings.setVariant(BarVariant::thick);
    QTRY_COMPARE(onScreen(f.window()), QRect(0, screen.height() - 110, screen.width(), 110));
    f.settings.setPosition(DockPosition::top);
    QTRY_COMPARE(onScreen(f.window()), QRect(0, 0, screen.width(), 110));
}

void TestTickerPanel::returnsWhenMovedElsewhere()
{
    // Geometry the band did not ask for (here another client's request; under load, a late
    // answer to one of its own earlier requests) does not stick.
    Fixture f;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect frame(0, 0, screen.width(), 55);
    QTRY_COMPARE(onScreen(f.window()), frame);
    EventCounter resizes(QEvent::Resize);
    f.window()->installEventFilter(&resizes);
    const uint32_t elsewhere[] = {0, 300, 800, 40};
    xcb_configure_window(connection(), static_cast<xcb_window_t>(f.window()->winId()),
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         elsewhere);
    xcb_flush(connection());
    QTRY_VERIFY(resizes.count > 0); // the manager did carry the request out
    QTRY_COMPARE(onScreen(f.window()), frame);
}

void TestTickerPanel::followsTheWorkArea()
{
    // A panel reserving the top 40 pixels, as a desktop's top bar does.
    QWidget bar(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    bar.setGeometry(0, 0, 1920, 40);
    bar.winId();
    const uint32_t strut[12] = {0, 0, 40, 0, 0, 0, 0, 0, 0, 1919, 0, 0};
    xcb_change_property(connection(), XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(bar.winId()),
                        atom("_NET_WM_STRUT_PARTIAL"), XCB_ATOM_CARDINAL, 32, 12, strut);
    xcb_flush(connection());
    bar.show();

    Fixture f;
    QTRY_COMPARE(QGuiApplication::primaryScreen()->availableGeometry().y(), 40);
    QTRY_COMPARE(onScreen(f.window()).topLeft(), QPoint(0, 40));
    f.settings.setPosition(DockPosition::bottom);
    QTRY_COMPARE(onScreen(f.window()).bottom(), QGuiApplication::primaryScreen()->geometry().bottom());

    // The bar goes away: the band follows the new work area without any setting changing.
    f.settings.setPosition(DockPosition::top);
    bar.hide();
    QTRY_COMPARE(QGuiApplication::primaryScreen()->availableGeometry().y(), 0);
    QTRY_COMPARE(onScreen(f.window()).topLeft(), QPoint(0, 0));
}

void TestTickerPanel::reservesItsStripWithoutPushingItself()
{
    // A maximised window has to stay out of the band's strip: the window manager sees to it.
    Fixture f;
    f.settings.setPushWindows(true);
    const auto window = static_cast<xcb_window_t>(f.window()->winId());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const uint32_t w = uint32_t(screen.width());
    QTRY_COMPARE(windowProperty(window, "_NET_WM_STRUT_PARTIAL", XCB_ATOM_CARDINAL),
                 (std::vector<uint32_t>{0, 0, 55, 0, 0, 0, 0, 0, 0, w - 1, 0, 0}));
    QCOMPARE(windowProperty(window, "_NET_WM_STRUT", XCB_ATOM_CARDINAL), (std::vector<uint32_t>{0, 0, 55, 0}));
    QTRY_COMPARE(QGuiApplication::primaryScreen()->availableGeometry().y(), 55);
    // A dock while it holds the strip, so that the manager does not push it out of its own.
    const auto isDock = [&] {
        const auto types = windowProperty(window, "_NET_WM_WINDOW_TYPE", XCB_ATOM_ATOM);
        return std::find(types.begin(), types.end(), atom("_NET_WM_WINDOW_TYPE_DOCK")) != types.end();
    };
    QTRY_VERIFY(isDock());

    QWidget maximised;
    maximised.setWindowTitle(QStringLiteral("maximised"));
    maximised.showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(&maximised));
    QTRY_VERIFY(maximised.frameGeometry().top() >= 55);

    // Qt's work area now leaves the strip out; applies after that keep the band where it is.
    QCoreApplication::processEvents();
    f.controller->apply();
    QCoreApplication::processEvents();
    QTRY_COMPARE(onScreen(f.window()), QRect(0, 0, screen.width(), 55));
    QTest::qWait(200);
    QCOMPARE(onScreen(f.window()), QRect(0, 0, screen.width(), 55));

    f.settings.setPosition(DockPosition::bottom);
    QTRY_COMPARE(onScreen(f.window()), QRect(0, screen.height() - 55, screen.width(), 55));
    QTRY_COMPARE(windowProperty(window, "_NET_WM_STRUT_PARTIAL", XCB_ATOM_CARDINAL),
                 (std::vector<uint32_t>{0, 0, 0, 55, 0, 0, 0, 0, 0, 0, 0, w - 1}));
    QTRY_COMPARE(QGuiApplication::primaryScreen()->availableGeometry(),
                 QRect(0, 0, screen.width(), screen.height() - 55));
    QTest::qWait(200);
    QCOMPARE(onScreen(f.window()), QRect(0, screen.height() - 55, screen.width(), 55));

    // Not pushing windows any more: the strip is given back.
    f.settings.setPushWindows(false);
    QTRY_VERIFY(windowProperty(window, "_NET_WM_STRUT_PARTIAL", XCB_ATOM_CARDINAL).empty());
    QVERIFY(windowProperty(window, "_NET_WM_STRUT", XCB_ATOM_CARDINAL).empty());
    QTRY_VERIFY(!isDock());
    QTRY_COMPARE(QGuiApplication::primaryScreen()->availableGeometry(), screen);
}

void TestTickerPanel::onAllDesktopsAndOutOfTheTaskbar()
{
    Fixture f;
    const auto window = static_cast<xcb_window_t>(f.window()->winId());
    QTRY_VERIFY(!windowProperty(window, "_NET_WM_STATE", XCB_ATOM_ATOM).empty());
    const auto desktop = windowProperty(window, "_NET_WM_DESKTOP", XCB_ATOM_CARDINAL);
    QCOMPARE(desktop, std::vector<uint32_t>{0xFFFFFFFF});
    const auto states = windowProperty(window, "_NET_WM_STATE", XCB_ATOM_ATOM);
    const auto has = [&](const char *name) {
        return std::find(states.begin(), states.end(), atom(name)) != states.end();
    };
    QVERIFY(has("_NET_WM_STATE_SKIP_TASKBAR"));
    QVERIFY(has("_NET_WM_STATE_SKIP_PAGER"));
    QVERIFY(has("_NET_WM_STATE_ABOVE"));

    // Changing the level keeps the same X window and its states.
    f.settings.setLevelMode(WindowLevelMode::desktop);
    QTRY_VERIFY([&] {
        const auto now = windowProperty(window, "_NET_WM_STATE", XCB_ATOM_ATOM);
        return std::find(now.begin(), now.end(), atom("_NET_WM_STATE_BELOW")) != now.end();
    }());
    QCOMPARE(static_cast<xcb_window_t>(f.window()->winId()), window);
    const auto after = windowProperty(window, "_NET_WM_STATE", XCB_ATOM_ATOM);
    QVERIFY(std::find(after.begin(), after.end(), atom("_NET_WM_STATE_SKIP_TASKBAR")) != after.end());
    QVERIFY(std::find(after.begin(), after.end(), atom("_NET_WM_STATE_ABOVE")) == after.end());
}

void TestTickerPanel::frontStaysAboveDesktopStaysBelow()
{
    Fixture f;
    QWidget normal;
    normal.setWindowTitle(QStringLiteral("normal"));
    normal.setGeometry(100, 0, 800, 400); // over the band
    normal.show();
    QVERIFY(QTest::qWaitForWindowExposed(&normal));
    normal.raise();
    normal.activateWindow();
    QTRY_VERIFY(stackIndex(&normal) >= 0 && stackIndex(f.window()) >= 0);
    QTRY_VERIFY(stackIndex(f.window()) > stackIndex(&normal));

    f.settings.setLevelMode(WindowLevelMode::desktop);
    QTRY_VERIFY(stackIndex(f.window()) < stackIndex(&normal));
    // Raising the band itself (as every re-level does) keeps it under normal windows.
    f.window()->raise();
    normal.raise();
    QTest::qWait(100);
    QVERIFY(stackIndex(f.window()) < stackIndex(&normal));

    f.settings.setLevelMode(WindowLevelMode::front);
    QTRY_VERIFY(stackIndex(f.window()) > stackIndex(&normal));
    normal.raise();
    normal.activateWindow();
    QTest::qWait(100);
    QVERIFY(stackIndex(f.window()) > stackIndex(&normal));
}

void TestTickerPanel::neverTakesFocus()
{
    Fixture f;
    QWidget normal;
    normal.setWindowTitle(QStringLiteral("focused"));
    normal.setGeometry(300, 400, 600, 300); // clear of the band
    normal.show();
    QVERIFY(QTest::qWaitForWindowExposed(&normal));
    normal.activateWindow();
    QTRY_COMPARE(activeWindow(), static_cast<uint32_t>(normal.winId()));

    EventCounter counter(QEvent::MouseButtonPress);
    f.window()->installEventFilter(&counter);
    QTRY_VERIFY(onScreen(f.window()).height() == 55);
    if (!clickAt(QPoint(960, 20)))
        QFAIL("the XTest library (libxtst6) is not installed");
    QTRY_COMPARE(counter.count, 1);
    QTest::qWait(200);
    QCOMPARE(activeWindow(), static_cast<uint32_t>(normal.winId()));
    QCOMPARE(QGuiApplication::focusWindow(), normal.windowHandle());
    QVERIFY(!f.window()->isActive());
}

QTEST_MAIN(TestTickerPanel)
#include "TestTickerPanel.moc"
