// The GNOME fallback under a real mutter (tests/support/with-mutter.sh): no layer shell, so the
// band goes through XWayland and reserves its strip, and a maximised Wayland-native window is
// laid out below it.
#include "app/BandSurfaceFactory.h"
#include "app/TickerController.h"
#include "data/DataService.h"
#include "desktop/WindowSystem.h"
#include "net/HttpClient.h"
#include "news/NewsService.h"
#include "settings/Settings.h"
#include "settings/UserDefaults.h"
#include "wayland/SessionMode.h"
#include "x11band/X11BandSurface.h"
#include "x11band/X11BandView.h"

#include "ServiceFixture.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {

xcb_connection_t *qtConnection()
{
    return qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

QList<quint32> cardinals(xcb_window_t window, const char *name)
{
    xcb_connection_t *c = qtConnection();
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    QList<quint32> values;
    if (atom) {
        xcb_get_property_reply_t *reply =
            xcb_get_property_reply(c, xcb_get_property(c, 0, window, atom->atom, XCB_ATOM_CARDINAL, 0, 64), nullptr);
        if (reply && reply->format == 32) {
            const auto *data = static_cast<const quint32 *>(xcb_get_property_value(reply));
            values = QList<quint32>(data, data + xcb_get_property_value_length(reply) / 4);
        }
        std::free(reply);
    }
    std::free(atom);
    return values;
}

xcb_window_t root()
{
    return xcb_setup_roots_iterator(xcb_get_setup(qtConnection())).data->root;
}

/** Where the window's client area is on XWayland's root. */
QRect onScreen(const QWindow *widget)
{
    xcb_connection_t *c = qtConnection();
    const auto window = static_cast<xcb_window_t>(widget->winId());
    xcb_translate_coordinates_reply_t *pos =
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, window, root(), 0, 0), nullptr);
    xcb_get_geometry_reply_t *geo = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    QRect r;
    if (pos && geo)
        r = QRect(pos->dst_x, pos->dst_y, geo->width, geo->height);
    std::free(pos);
    std::free(geo);
    return r;
}

/**
 * One column of what mutter shows, read from the Xvfb screen its nested window covers:
 * 0xRRGGBB per row, empty when it cannot be read.
 */
QList<quint32> shownColumn(int x)
{
    QList<quint32> column;
    xcb_connection_t *c = xcb_connect(qPrintable(qEnvironmentVariable("DOTBANNER_NESTED_DISPLAY")), nullptr);
    if (!xcb_connection_has_error(c)) {
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        xcb_get_image_reply_t *image = xcb_get_image_reply(
            c,
            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, int16_t(x), 0, 1, screen->height_in_pixels, ~0u),
            nullptr);
        if (image && xcb_get_image_data_length(image) >= int(screen->height_in_pixels) * 4) {
            const auto *pixels = reinterpret_cast<const quint32 *>(xcb_get_image_data(image));
            for (int y = 0; y < screen->height_in_pixels; ++y)
                column.append(pixels[y] & 0xFFFFFF);
        }
        std::free(image);
    }
    xcb_disconnect(c);
    return column;
}

/** The maximised Wayland-native window (maximised_client) and the sizes mutter gave it. */
class NativeWindow
{
public:
    NativeWindow() { m_process.start(QStringLiteral(MAXIMISED_CLIENT), {}); }
    ~NativeWindow()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
    /** The last size the compositor gave, as "W H". */
    QString lastSize()
    {
        m_output += m_process.readAllStandardOutput();
        const QList<QByteArray> lines = m_output.trimmed().split('\n');
        const QByteArray last = lines.isEmpty() ? QByteArray() : lines.last();
        return last.startsWith("configure ") ? QString::fromLatin1(last.mid(10)) : QString();
    }
    bool running() const { return m_process.state() == QProcess::Running; }

private:
    QProcess m_process;
    QByteArray m_output;
};

} // namespace

class TestMutterStrut : public QObject
{
    Q_OBJECT
public:
    explicit TestMutterStrut(SessionMode::Kind kind)
        : m_kind(kind)
    {}

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DOTBANNER_NESTED_DISPLAY"))
            QFAIL("this test needs mutter: run it through tests/support/with-mutter.sh");
        // GNOME offers no layer shell: the program goes through XWayland.
        QCOMPARE(m_kind, SessionMode::Kind::xwayland);
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    }

    void maximisedNativeWindowStaysOutOfTheStrip()
    {
        ServiceFixture services;
        Settings &settings = services.settings;
        settings.setLevelMode(WindowLevelMode::front);
        settings.setPushWindows(true);
        X11BandSurface *surface = nullptr;
        TickerController controller(
            settings, services.data, services.news, nullptr,
            [&surface](BandLines &lines, WindowSystem *system) {
                std::unique_ptr<BandSurface> made = BandSurfaceFactory::make(lines, system);
                surface = dynamic_cast<X11BandSurface *>(made.get());
                return made;
            },
            WindowSystem::forPlatform());
        QVERIFY(surface); // through XWayland the band is an X window
        const QWindow *band = surface->window();

        QTRY_COMPARE_WITH_TIMEOUT(onScreen(band), QRect(0, 0, 1920, 55), 10000);
        const auto window = static_cast<xcb_window_t>(band->winId());
        QCOMPARE(cardinals(window, "_NET_WM_STRUT_PARTIAL"), (QList<quint32>{0, 0, 55, 0, 0, 0, 0, 0, 0, 1919, 0, 0}));
        QTRY_COMPARE_WITH_TIMEOUT(cardinals(root(), "_NET_WORKAREA").mid(0, 4), (QList<quint32>{0, 55, 1920, 1025}),
                                  10000);

        NativeWindow native;
        QTRY_COMPARE_WITH_TIMEOUT(native.lastSize(), QStringLiteral("1920 1025"), 20000);
        // On screen: the band's last row, then the red window from the next row to the bottom
        // (its top rows a little darker under the band's shadow).
        const auto shown = [] {
            const QList<quint32> column = shownColumn(960);
            if (column.size() != 1080)
                return QStringLiteral("nothing read");
            QString rows;
            for (int y : {54, 55, 56, 500, 1079}) {
                const quint32 p = column[y];
                rows += (p & 0xFFFF) == 0 && (p >> 16) >= 0x80 ? QLatin1Char('r') : QLatin1Char('-');
            }
            return rows;
        };
        QTRY_COMPARE_WITH_TIMEOUT(shown(), QStringLiteral("-rrrr"), 20000);
        // The band stays where it is once its own strip is in the work area.
        QTest::qWait(300);
        QCOMPARE(onScreen(band), QRect(0, 0, 1920, 55));

        // Not pushing windows any more: the strip goes, and the window grows to the whole screen.
        settings.setPushWindows(false);
        QTRY_VERIFY_WITH_TIMEOUT(cardinals(window, "_NET_WM_STRUT_PARTIAL").isEmpty(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(native.lastSize(), QStringLiteral("1920 1080"), 20000);
        QVERIFY(native.running());
    }

private:
    SessionMode::Kind m_kind;
};

int main(int argc, char **argv)
{
    // As the program does: decided before the application object, which takes the platform.
    const SessionMode::Kind kind = SessionMode::prepare();
    QApplication app(argc, argv);
    TestMutterStrut test(kind);
    return QTest::qExec(&test, argc, argv);
}

#include "TestMutterStrut.moc"
