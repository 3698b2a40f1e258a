#include "qtband/TickerPanel.h"

#include "band/BandWindowPlacement.h"
#include "desktop/OwnWindowHints.h"

#include <QGuiApplication>
#include <QPalette>
#include <QWindow>

TickerPanel::TickerPanel(QWidget *content, OwnWindowHints *system, QWidget *parent)
    : QWidget(parent, BandWindowPlacement::flagsFor(WindowLevelMode::front))
    , m_content(content)
    , m_system(system)
{
    BandWindowPlacement::Window window;
    window.geometry = [this] { return geometry(); };
    window.setGeometry = [this](const QRect &frame) { setGeometry(frame); };
    window.isVisible = [this] { return isVisible(); };
    if (m_system)
        window.confirm = [this](const QRect &frame) {
            m_system->placeOwnWindow(static_cast<quint64>(winId()), QRectF(frame));
        };
    m_placement = new BandWindowPlacement(std::move(window), this);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11NetWmWindowTypeUtility, false);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setWindowTitle(QStringLiteral("Dotbanner"));
    if (m_content) {
        m_content->setParent(this);
        m_content->setGeometry(rect());
    }
}

void TickerPanel::setLevel(WindowLevelMode level)
{
    m_level = level;
    const Qt::WindowFlags flags = BandWindowPlacement::flagsFor(level);
    // QWidget::setWindowFlags would destroy and recreate the X window, losing its states.
    if (QWindow *handle = windowHandle()) {
        handle->setFlags(flags);
        if (reservesStrip())
            applyDockType();
    } else {
        setWindowFlags(flags);
    }
}

void TickerPanel::reserveStrip(Qt::Edge edge, const QRect &frame)
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

void TickerPanel::applyDockType()
{
    // While it reserves a strip the band is a dock: managers keep ordinary windows out of every
    // strip, a window's own included (mutter would push the band below its own strip), and
    // leave docks where they ask to be. Qt writes the type only while the window exists and
    // rewrites it without the dock on every change of flags, so it is set again after those;
    // turning the attribute off and on makes Qt write it even when it did not change.
    if (!windowHandle())
        return;
    setAttribute(Qt::WA_X11NetWmWindowTypeDock, false);
    if (reservesStrip())
        setAttribute(Qt::WA_X11NetWmWindowTypeDock, true);
}

bool TickerPanel::placeAt(const QRect &frame)
{
    return m_placement->placeAt(frame);
}

void TickerPanel::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    m_placement->geometryChanged();
}

void TickerPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_content)
        m_content->setGeometry(rect());
    m_placement->geometryChanged();
}

void TickerPanel::showEvent(QShowEvent *event)
{
    // Sent before the window is mapped: the window manager reads these states when it maps
    // it, and drops them again whenever the window is withdrawn, so each show sets them.
    if (m_system)
        m_system->markAsAccessory(static_cast<quint64>(winId()));
    QWidget::showEvent(event);
}
