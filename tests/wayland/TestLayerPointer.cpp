#include "FakeClock.h"
#include "SwaySession.h"
#include "band/BandLines.h"
#include "band/BandPopups.h"
#include "wayland/LayerMenu.h"
#include "wayland/WaylandBandSurface.h"

#include <QAction>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>

namespace {

constexpr int rows = 7;
constexpr double pitch = 5;
constexpr int bandHeight = rows * 5;

LedBitmap pattern()
{
    LedBitmap bitmap;
    bitmap.w = 300;
    bitmap.h = rows;
    bitmap.cells.assign(static_cast<std::size_t>(bitmap.w * bitmap.h), 0);
    for (std::size_t i = 0; i < bitmap.cells.size(); i += 3)
        bitmap.cells[i] = 1;
    return bitmap;
}

/** The pointer of the Xvfb that sway's X11 backend takes its seat from, moved by xdotool. */
bool xdotool(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), qEnvironmentVariable("DOTBANNER_NESTED_DISPLAY"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("xdotool"), arguments);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

/** The cursor the Xvfb shows now (its pixels and hot spot): what sway set for the pointer. */
QByteArray shownCursor()
{
    xcb_connection_t *connection = xcb_connect(qPrintable(qEnvironmentVariable("DOTBANNER_NESTED_DISPLAY")), nullptr);
    QByteArray result;
    if (!xcb_connection_has_error(connection)) {
        free(xcb_xfixes_query_version_reply(connection, xcb_xfixes_query_version(connection, 4, 0), nullptr));
        if (auto *reply =
                xcb_xfixes_get_cursor_image_reply(connection, xcb_xfixes_get_cursor_image(connection), nullptr)) {
            const auto *pixels = xcb_xfixes_get_cursor_image_cursor_image(reply);
            result = QByteArray::number(reply->width) + 'x' + QByteArray::number(reply->height) + '@' +
                     QByteArray::number(reply->xhot) + ',' + QByteArray::number(reply->yhot) + ':' +
                     QByteArray(reinterpret_cast<const char *>(pixels),
                                xcb_xfixes_get_cursor_image_cursor_image_length(reply) * 4)
                         .toHex();
            free(reply);
        }
    }
    xcb_disconnect(connection);
    return result;
}

/** The band's menu as the application gives it: about, settings, a checked level, quit. */
class MenuPopups : public BandPopups
{
public:
    MenuPopups()
    {
        separator.setSeparator(true);
        level.setCheckable(true);
        level.setChecked(true);
    }
    QAction about{QStringLiteral("À propos de Dotbanner")};
    QAction separator;
    QAction settings{QStringLiteral("Réglages\u2026")};
    QAction level{QStringLiteral("Devant les fenêtres")};
    QAction quit{QStringLiteral("Quitter Dotbanner")};
    int toolkitMenus = 0;

    void showTooltip(const QPoint &, const QString &) override {}
    void hideTooltip() override {}
    void openMenu(const QPoint &) override { ++toolkitMenus; }
    QList<QAction *> menuActions() override { return {&about, &separator, &settings, &level, &quit}; }
};

} // namespace

/** The band's layer surface under a real pointer: sway on its X11 backend, xdotool on its Xvfb. */
class TestLayerPointer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pointerEventsCarryTheLineAndButtons();
    void pointingHandFromTheCursorTheme();
    void menuBesideTheBandClosesElsewhere();

private:
    /** Right-clicks the band at `x`, `y` and opens its menu there, as the band's owner does. */
    bool openMenuAt(WaylandBandSurface &surface, int x, int y);
    /** The screen point over the middle of row `index` of the open menu (the band's output is at 0,0). */
    static QStringList pointOverRow(const WaylandBandSurface &surface, int index);

    std::unique_ptr<WaylandBandSurface> showBand();

    FakeClock m_clock;
    BandLines m_lines;
    QList<BandPointerEvent> m_events;
};

void TestLayerPointer::initTestCase()
{
    QString why;
    if (!SwaySession::available(&why))
        QFAIL(qPrintable(why));
    QVERIFY2(!qEnvironmentVariableIsEmpty("DOTBANNER_NESTED_DISPLAY"), "runs in sway on its X11 backend");
    // A known theme, whatever the machine's default.
    qputenv("XCURSOR_THEME", "Adwaita");
    qputenv("XCURSOR_SIZE", "24");
    m_lines.bitmap = pattern();
    m_lines.newsBitmap = pattern();
    m_lines.pitch = pitch;
}

std::unique_ptr<WaylandBandSurface> TestLayerPointer::showBand()
{
    std::unique_ptr<WaylandBandSurface> surface = WaylandBandSurface::create(m_lines);
    if (!surface)
        return nullptr;
    BandPlacement placement;
    placement.height = bandHeight;
    placement.frame = QRect(0, 0, 1280, bandHeight);
    surface->place(placement);
    surface->linesChanged();
    surface->setPointerHandler([this](const BandPointerEvent &event) { m_events.append(event); });
    if (!SwaySession::waitFor([&surface] { return surface->isShown(); }))
        return nullptr;
    return surface;
}

void TestLayerPointer::pointerEventsCarryTheLineAndButtons()
{
    auto surface = showBand();
    QVERIFY(surface);
    m_events.clear();
    using Type = BandPointerEvent::Type;
    QVERIFY(xdotool({"mousemove", "600", "400"}));
    QVERIFY(xdotool({"mousemove", "600", "10"}));
    QVERIFY(SwaySession::waitFor([this] { return !m_events.isEmpty(); }));
    QCOMPARE(m_events.first().type, Type::enter);
    QCOMPARE(m_events.last().position, QPointF(600, 10));
    QCOMPARE(m_events.last().line, m_lines.lineAt(10));

    m_events.clear();
    QVERIFY(xdotool({"click", "3"}));
    QVERIFY(SwaySession::waitFor([this] { return m_events.size() >= 2; }));
    QCOMPARE(m_events.at(0).type, Type::press);
    QCOMPARE(m_events.at(0).button, Qt::RightButton);
    QCOMPARE(m_events.at(1).type, Type::release);
    QCOMPARE(m_events.at(1).button, Qt::RightButton);

    // Over the tooltip the pointer is off the band: the tooltip takes no pointer of its own,
    // and under the band's edge the band has left.
    surface->showTooltip(QPointF(600, 10), QStringLiteral("Apple (AAPL)"));
    QVERIFY(SwaySession::waitFor([&surface] { return surface->isTooltipShown(); }));
    m_events.clear();
    QVERIFY(xdotool({"mousemove", "610", QString::number(bandHeight + 8)}));
    QVERIFY(SwaySession::waitFor([this] { return !m_events.isEmpty(); }));
    QCOMPARE(m_events.last().type, Type::leave);
    m_events.clear();
    QVERIFY(xdotool({"mousemove", "600", "20"}));
    QVERIFY(SwaySession::waitFor([this] { return !m_events.isEmpty(); }));
    QCOMPARE(m_events.first().type, Type::enter);
    QCOMPARE(m_events.last().line, m_lines.lineAt(20));
}

void TestLayerPointer::pointingHandFromTheCursorTheme()
{
    auto surface = showBand();
    QVERIFY(surface);
    QVERIFY(xdotool({"mousemove", "600", "400"}));
    const QByteArray elsewhere = shownCursor();
    QVERIFY(!elsewhere.isEmpty());
    m_events.clear();
    QVERIFY(xdotool({"mousemove", "700", "10"}));
    QVERIFY(SwaySession::waitFor([this] { return !m_events.isEmpty(); }));

    QByteArray normal;
    QVERIFY(SwaySession::waitFor([&normal] {
        normal = shownCursor();
        return !normal.isEmpty();
    }));
    surface->setCursor(BandCursor::pointingHand);
    QByteArray hand;
    QVERIFY(SwaySession::waitFor([&hand, &normal] {
        hand = shownCursor();
        return !hand.isEmpty() && hand != normal;
    }));
    surface->setCursor(BandCursor::normal);
    QVERIFY(SwaySession::waitFor([&normal] { return shownCursor() == normal; }));

    // The shape asked for holds at the next entry.
    surface->setCursor(BandCursor::pointingHand);
    QVERIFY(SwaySession::waitFor([&hand] { return shownCursor() == hand; }));
    QVERIFY(xdotool({"mousemove", "700", "400"}));
    QVERIFY(xdotool({"mousemove", "710", "12"}));
    QVERIFY(SwaySession::waitFor([&hand] { return shownCursor() == hand; }));
}

bool TestLayerPointer::openMenuAt(WaylandBandSurface &surface, int x, int y)
{
    m_events.clear();
    if (!xdotool({"mousemove", QString::number(x), QString::number(y)}) || !xdotool({"click", "3"}))
        return false;
    if (!SwaySession::waitFor([this] { return m_events.size() >= 2 && m_events.last().type == BandPointerEvent::Type::release; }))
        return false;
    surface.openMenu(QPointF(x, y));
    return SwaySession::waitFor([&surface] { return surface.menu().isOpen() && !surface.menu().placed().isEmpty(); });
}

QStringList TestLayerPointer::pointOverRow(const WaylandBandSurface &surface, int index)
{
    const QPoint point = surface.menu().placed().topLeft() + surface.menu().entryRect(index).center();
    return {QString::number(point.x()), QString::number(point.y())};
}

void TestLayerPointer::menuBesideTheBandClosesElsewhere()
{
    auto surface = showBand();
    QVERIFY(surface);
    MenuPopups popups;
    surface->setPopups(&popups);
    QSignalSpy settingsChosen(&popups.settings, &QAction::triggered);
    QSignalSpy quitChosen(&popups.quit, &QAction::triggered);

    // Whole, below the band, from the pointer on; the toolkit's menu is not used.
    QVERIFY(openMenuAt(*surface, 600, 10));
    const QRect placed = surface->menu().placed();
    QVERIFY2(placed.top() >= bandHeight, qPrintable(QStringLiteral("menu at y %1").arg(placed.top())));
    QVERIFY(placed.bottom() < 720 && placed.right() < 1280);
    QCOMPARE(placed.left(), 600);
    QCOMPARE(popups.toolkitMenus, 0);

    // The pointer highlights a row, a click chooses it and closes the menu.
    QVERIFY(xdotool(QStringList{"mousemove"} + pointOverRow(*surface, 2)));
    QVERIFY(SwaySession::waitFor([&surface] { return surface->menu().highlighted() == 2; }));
    QVERIFY(xdotool({"click", "1"}));
    QVERIFY(SwaySession::waitFor([&settingsChosen] { return settingsChosen.size() == 1; }));
    QVERIFY(!surface->menu().isOpen());

    // A click elsewhere closes it, choosing nothing.
    QVERIFY(openMenuAt(*surface, 600, 10));
    QVERIFY(xdotool({"mousemove", "600", "400"}));
    QVERIFY(xdotool({"click", "1"}));
    QVERIFY(SwaySession::waitFor([&surface] { return !surface->menu().isOpen(); }));
    QCOMPARE(settingsChosen.size(), 1);

    // A click on the band only closes it: the band hears no click.
    QVERIFY(openMenuAt(*surface, 600, 10));
    QVERIFY(xdotool({"mousemove", "300", "10"}));
    m_events.clear();
    QVERIFY(xdotool({"click", "1"}));
    QVERIFY(SwaySession::waitFor([&surface] { return !surface->menu().isOpen(); }));
    QTest::qWait(100);
    for (const BandPointerEvent &event : std::as_const(m_events))
        QVERIFY(event.type != BandPointerEvent::Type::press && event.type != BandPointerEvent::Type::release);

    // Escape closes it; the arrows and Enter choose from the keyboard, skipping the separator.
    QVERIFY(openMenuAt(*surface, 600, 10));
    QVERIFY(xdotool({"key", "Escape"}));
    QVERIFY(SwaySession::waitFor([&surface] { return !surface->menu().isOpen(); }));
    QVERIFY(openMenuAt(*surface, 600, 10));
    QVERIFY(xdotool({"key", "Up"}));
    QVERIFY(SwaySession::waitFor([&surface] { return surface->menu().highlighted() == 4; }));
    QVERIFY(xdotool({"key", "Return"}));
    QVERIFY(SwaySession::waitFor([&quitChosen] { return quitChosen.size() == 1; }));
    QVERIFY(!surface->menu().isOpen());

    // Opened near the output's right edge, it slides left to stay whole.
    QVERIFY(openMenuAt(*surface, 1275, 10));
    QVERIFY(surface->menu().placed().right() < 1280);
    QVERIFY(xdotool({"key", "Escape"}));
    QVERIFY(SwaySession::waitFor([&surface] { return !surface->menu().isOpen(); }));
}

QTEST_MAIN(TestLayerPointer)
#include "TestLayerPointer.moc"
