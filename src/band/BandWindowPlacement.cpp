#include "band/BandWindowPlacement.h"

#include "util/ClockTimer.h"

BandWindowPlacement::BandWindowPlacement(Window window, QObject *parent)
    : QObject(parent)
    , m_window(std::move(window))
    , m_recheck(new ClockTimer(this))
    , m_settled(new ClockTimer(this))
{
    // Geometry reports come in bursts while the manager works through queued requests; the
    // settled one is what counts.
    m_recheck->setSingleShot(true);
    m_recheck->setInterval(std::chrono::milliseconds(100));
    connect(m_recheck, &ClockTimer::timeout, this, &BandWindowPlacement::check);
    m_settled->setSingleShot(true);
    m_settled->setInterval(std::chrono::milliseconds(500));
    connect(m_settled, &ClockTimer::timeout, this, [this] {
        if (m_window.confirm && m_window.isVisible() && !m_frame.isEmpty())
            m_window.confirm(m_frame);
    });
}

bool BandWindowPlacement::placeAt(const QRect &frame)
{
    if (frame.isEmpty())
        return false;
    m_frame = frame;
    m_corrections = 0;
    if (m_window.geometry() == frame)
        return false;
    m_window.setGeometry(frame);
    m_settled->start();
    return true;
}

void BandWindowPlacement::geometryChanged()
{
    if (!m_frame.isEmpty() && m_window.geometry() != m_frame)
        m_recheck->start();
}

void BandWindowPlacement::check()
{
    if (m_frame.isEmpty() || !m_window.isVisible() || m_window.geometry() == m_frame || m_corrections >= maxCorrections)
        return;
    ++m_corrections;
    m_window.setGeometry(m_frame);
}

Qt::WindowFlags BandWindowPlacement::flagsFor(WindowLevelMode level)
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

Qt::Edge BandWindowPlacement::stripEdge(DockPosition edge)
{
    return edge == DockPosition::bottom ? Qt::BottomEdge : Qt::TopEdge;
}

QRect BandWindowPlacement::stripFor(const BandPlacement &placement)
{
    // The band keeps its strip for itself as a panel does, so that the window manager lays
    // out of it even the windows the avoider cannot move (Wayland clients through XWayland,
    // maximised ones).
    return placement.exclusive && !placement.frame.isEmpty() ? placement.frame : QRect();
}
