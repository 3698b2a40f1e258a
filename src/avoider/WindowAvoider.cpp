#include "avoider/WindowAvoider.h"

#include "avoider/AvoiderGeometry.h"

#include <QTimer>

#include <algorithm>

WindowAvoider::WindowAvoider(std::shared_ptr<WindowSystem> system, QObject *parent)
    : QObject(parent)
    , m_system(system ? std::move(system) : std::make_shared<WindowSystem>())
{}

WindowAvoider::~WindowAvoider()
{
    stop();
}

void WindowAvoider::update(bool active, const QRectF &band)
{
    m_band = band;
    if (!active) {
        stop();
        return;
    }
    if (!m_timer) {
        // Children of the avoider: they die with it, so a tick never reaches a dropped avoider.
        m_settle = new QTimer(this);
        m_settle->setSingleShot(true);
        connect(m_settle, &QTimer::timeout, this, &WindowAvoider::sweep);
        m_notified = m_system->watchChanges([this] { changeReported(); });
        m_timer = new QTimer(this);
        m_timer->setInterval(periodicInterval());
        connect(m_timer, &QTimer::timeout, this, &WindowAvoider::sweep);
        m_timer->start();
    }
    sweep();
}

void WindowAvoider::stop()
{
    if (m_notified)
        m_system->watchChanges({});
    m_notified = false;
    delete m_timer;
    m_timer = nullptr;
    delete m_settle;
    m_settle = nullptr;
}

void WindowAvoider::changeReported()
{
    // A burst of reports (a window being resized) makes one sweep once it is over.
    if (m_settle)
        m_settle->start(m_settleDelay);
}

std::chrono::milliseconds WindowAvoider::periodicInterval() const
{
    return m_notified ? std::max(m_backstop, m_interval) : m_interval;
}

void WindowAvoider::sweep()
{
    if (!m_system->canMoveWindows() || m_band.isEmpty())
        return;
    const QList<ScreenRecord> screens = m_system->screens();
    if (screens.isEmpty())
        return;
    // Moving a window while the user drags it (or anything else) would fight the hand. The
    // drag's last change was reported while the button was still down: look again later.
    if (m_system->leftButtonPressed()) {
        if (m_notified && m_settle && !m_settle->isActive())
            m_settle->start(m_interval);
        return;
    }
    const QList<AvoiderGeometry::Change> changes =
        AvoiderGeometry::plan(m_system->toDevice(m_band), screens, m_system->windows(), m_system->ownPid());
    for (const AvoiderGeometry::Change &change : changes) {
        if (change.top)
            m_system->moveTop(change.window, *change.top);
        if (change.height)
            m_system->resizeHeight(change.window, *change.height);
    }
}

bool WindowAvoider::canMoveWindows() const
{
    return m_system->canMoveWindows();
}

void WindowAvoider::setSweepInterval(std::chrono::milliseconds interval)
{
    m_interval = interval;
    if (m_timer)
        m_timer->setInterval(periodicInterval());
}

void WindowAvoider::setSettleDelay(std::chrono::milliseconds delay)
{
    m_settleDelay = delay;
}

void WindowAvoider::setBackstopInterval(std::chrono::milliseconds interval)
{
    m_backstop = interval;
    if (m_timer)
        m_timer->setInterval(periodicInterval());
}
