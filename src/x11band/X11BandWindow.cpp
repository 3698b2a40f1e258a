#include "x11band/X11BandWindow.h"

#include "band/BandLines.h"
#include "band/BandWindowPlacement.h"
#include "desktop/OwnWindowHints.h"

#include <QAccessible>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace {

/**
 * The window property Qt's xcb platform reads the window's type from whenever it writes its
 * flags, and the value that makes it a dock (what QWidget's WA_X11NetWmWindowTypeDock sets).
 */
constexpr char windowTypeProperty[] = "_q_xcb_wm_window_type";
constexpr int dockType = 0x4;

} // namespace

X11BandWindow::X11BandWindow(BandLines *lines, OwnWindowHints *system)
    : m_ownLines(lines ? nullptr : std::make_unique<BandLines>())
    , m_lines(lines ? lines : m_ownLines.get())
    , m_system(system)
{
    setFlags(BandWindowPlacement::flagsFor(m_level));
    // Shown without taking the focus from the window the user works in (Qt's name for what
    // QWidget's WA_ShowWithoutActivating sets).
    setProperty("_q_showWithoutActivating", true);
    setTitle(QStringLiteral("Dotbanner"));

    BandWindowPlacement::Window window;
    window.geometry = [this] { return geometry(); };
    window.setGeometry = [this](const QRect &frame) { setGeometry(frame); };
    window.isVisible = [this] { return isVisible(); };
    if (m_system)
        window.confirm = [this](const QRect &frame) {
            m_system->placeOwnWindow(static_cast<quint64>(winId()), QRectF(frame));
        };
    m_placement = new BandWindowPlacement(std::move(window), this);

    // Moved to a screen of another pixel density: the tiles are made anew at once, whether or
    // not a line moves.
    connect(this, &QWindow::screenChanged, this, [this] {
        if (m_lines->scale() != backingScale())
            refresh();
    });
}

X11BandWindow::~X11BandWindow() = default;

double X11BandWindow::backingScale() const
{
    return devicePixelRatio();
}

int X11BandWindow::frameIntervalNs() const
{
    const QScreen *s = screen();
    double rate = s ? s->refreshRate() : 0;
    if (!(rate >= 1))
        rate = 60;
    // The text moves smoothly at 60 frames per second; faster displays gain nothing visible.
    rate = std::clamp(rate, 30.0, 60.0);
    return static_cast<int>(std::lround(1e9 / rate));
}

bool X11BandWindow::layoutLines()
{
    return m_lines->layout(width(), backingScale(), BandLines::now());
}

bool X11BandWindow::placeAt(const QRect &frame)
{
    return m_placement->placeAt(frame);
}

void X11BandWindow::setLevel(WindowLevelMode level)
{
    m_level = level;
    // Qt changes the flags of the X window it has, keeping its properties, and writes the
    // window's type again from the property applyDockType keeps.
    setFlags(BandWindowPlacement::flagsFor(level));
}

void X11BandWindow::reserveStrip(Qt::Edge edge, const QRect &frame)
{
    if (!m_system || (frame == m_strip && (frame.isEmpty() || edge == m_stripEdge)))
        return;
    // Set before the first mapping when the band starts with it: the manager reads it then.
    const auto window = static_cast<quint64>(winId());
    m_strip = frame;
    m_stripEdge = edge;
    applyDockType();
    m_system->reserveStrip(window, edge, QRectF(frame));
}

void X11BandWindow::applyDockType()
{
    // While it reserves a strip the band is a dock: managers keep ordinary windows out of every
    // strip, a window's own included (mutter would push the band below its own strip), and
    // leave docks where they ask to be. Qt writes the type from this property whenever the
    // flags change, and only then: a change of flags and back makes it write the new type now.
    const bool dock = reservesStrip();
    if (property(windowTypeProperty).toInt() == (dock ? dockType : 0))
        return;
    setProperty(windowTypeProperty, dock ? dockType : 0);
    if (!handle())
        return; // written when the X window is made
    const Qt::WindowFlags current = flags();
    setFlags(current ^ Qt::CustomizeWindowHint);
    setFlags(current);
}

void X11BandWindow::deliver(BandPointerEvent::Type type, QPointF position, Qt::MouseButton button)
{
    if (!pointerHandler)
        return;
    pointerHandler(BandPointerEvent::over(*m_lines, type, position, button));
}

bool X11BandWindow::event(QEvent *event)
{
    // QWindow has no handlers of its own for these two.
    if (event->type() == QEvent::Enter)
        deliver(BandPointerEvent::Type::enter, static_cast<QEnterEvent *>(event)->position(), Qt::NoButton);
    else if (event->type() == QEvent::Leave)
        deliver(BandPointerEvent::Type::leave, mapFromGlobal(QPointF(QCursor::pos())), Qt::NoButton);
    return QWindow::event(event);
}

void X11BandWindow::mouseMoveEvent(QMouseEvent *event)
{
    deliver(BandPointerEvent::Type::move, event->position(), Qt::NoButton);
}

void X11BandWindow::mousePressEvent(QMouseEvent *event)
{
    deliver(BandPointerEvent::Type::press, event->position(), event->button());
}

void X11BandWindow::mouseReleaseEvent(QMouseEvent *event)
{
    deliver(BandPointerEvent::Type::release, event->position(), event->button());
}

void X11BandWindow::moveEvent(QMoveEvent *event)
{
    QWindow::moveEvent(event);
    m_placement->geometryChanged();
}

void X11BandWindow::resizeEvent(QResizeEvent *event)
{
    QWindow::resizeEvent(event);
    refresh();
    m_placement->geometryChanged();
}

void X11BandWindow::showEvent(QShowEvent *event)
{
    // Sent before the window is mapped: the window manager reads these states when it maps
    // it, and drops them again whenever the window is withdrawn, so each show sets them.
    if (m_system)
        m_system->markAsAccessory(static_cast<quint64>(winId()));
    QWindow::showEvent(event);
}

QAccessibleInterface *X11BandWindow::accessibleRoot() const
{
    return QAccessible::queryAccessibleInterface(const_cast<X11BandWindow *>(this));
}
