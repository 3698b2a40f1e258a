#include "qtband/TickerPanel.h"

#include "desktop/OwnWindowHints.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTimer>
#include <QWindow>

TickerPanel::TickerPanel(QWidget *content, OwnWindowHints *system, QWidget *parent)
    : QWidget(parent, flagsFor(WindowLevelMode::front))
    , m_content(content)
    , m_system(system)
    , m_recheck(new QTimer(this))
    , m_settled(new QTimer(this))
{
    // Geometry reports come in bursts while the manager works through queued requests;
    // the settled one is what counts.
    m_recheck->setSingleShot(true);
    m_recheck->setInterval(100);
    connect(m_recheck, &QTimer::timeout, this, &TickerPanel::checkPlacement);
    m_settled->setSingleShot(true);
    m_settled->setInterval(500);
    connect(m_settled, &QTimer::timeout, this, [this] {
        if (m_system && isVisible() && !m_frame.isEmpty())
            m_system->placeOwnWindow(static_cast<quint64>(winId()), QRectF(m_frame));
    });
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

Qt::WindowFlags TickerPanel::flagsFor(WindowLevelMode level)
{
    Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
    switch (level) {
    case WindowLevelMode::front:
        flags |= Qt::WindowStaysOnTopHint;
        break;
    case WindowLevelMode::desktop:
        flags |= Qt::WindowStaysOnBottomHint;
        break;
    case WindowLevelMode::normal:
        break;
    }
    return flags;
}

void TickerPanel::setLevel(WindowLevelMode level)
{
    m_level = level;
    const Qt::WindowFlags flags = flagsFor(level);
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
    if (frame.isEmpty())
        return false;
    m_frame = frame;
    m_corrections = 0;
    if (geometry() == frame)
        return false;
    setGeometry(frame);
    m_settled->start();
    return true;
}

void TickerPanel::checkPlacement()
{
    if (m_frame.isEmpty() || !isVisible() || geometry() == m_frame || m_corrections >= maxCorrections)
        return;
    ++m_corrections;
    setGeometry(m_frame);
}

void TickerPanel::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (!m_frame.isEmpty() && geometry() != m_frame)
        m_recheck->start();
}

void TickerPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_content)
        m_content->setGeometry(rect());
    if (!m_frame.isEmpty() && geometry() != m_frame)
        m_recheck->start();
}

void TickerPanel::showEvent(QShowEvent *event)
{
    // Sent before the window is mapped: the window manager reads these states when it maps
    // it, and drops them again whenever the window is withdrawn, so each show sets them.
    if (m_system)
        m_system->markAsAccessory(static_cast<quint64>(winId()));
    QWidget::showEvent(event);
}
