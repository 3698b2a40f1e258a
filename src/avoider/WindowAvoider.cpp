#include "avoider/WindowAvoider.h"

#include "avoider/AvoiderGeometry.h"

#include <QTimer>

WindowAvoider::WindowAvoider(std::shared_ptr<WindowSystem> system, QObject *parent)
    : QObject(parent)
    , m_system(system ? std::move(system) : std::make_shared<NullWindowSystem>())
{}

WindowAvoider::~WindowAvoider() = default;

void WindowAvoider::update(bool active, const QRectF &band)
{
    m_band = band;
    if (!active) {
        delete m_timer;
        m_timer = nullptr;
        return;
    }
    if (!m_system->isTrusted() && !m_promptedOnce) {
        m_promptedOnce = true;
        m_system->requestPermission();
    }
    if (!m_timer) {
        // A child of the avoider: it dies with it, so a tick never reaches a dropped avoider.
        m_timer = new QTimer(this);
        m_timer->setInterval(m_interval);
        connect(m_timer, &QTimer::timeout, this, &WindowAvoider::sweep);
        m_timer->start();
    }
    sweep();
}

void WindowAvoider::sweep()
{
    if (!m_system->isTrusted() || m_band.isEmpty())
        return;
    const QList<ScreenRecord> screens = m_system->screens();
    if (screens.isEmpty())
        return;
    // Moving a window while the user drags it (or anything else) would fight the hand.
    if (m_system->leftButtonPressed())
        return;

    const QList<AvoiderGeometry::Change> changes =
        AvoiderGeometry::plan(m_system->toDevice(m_band), screens, m_system->windows(), m_system->ownPid());
    for (const AvoiderGeometry::Change &change : changes) {
        if (change.top)
            m_system->moveTop(change.window, *change.top);
        if (change.height)
            m_system->resizeHeight(change.window, *change.height);
    }
}

bool WindowAvoider::isTrusted() const
{
    return m_system->isTrusted();
}

void WindowAvoider::openAccessibilityPane()
{
    m_system->openPermissionSettings();
}

void WindowAvoider::setSweepInterval(std::chrono::milliseconds interval)
{
    m_interval = interval;
    if (m_timer)
        m_timer->setInterval(m_interval);
}
