#include "util/ClockTimer.h"

#include "util/Clock.h"

ClockTimer::ClockTimer(QObject *parent)
    : QObject(parent)
{
    // A coarse timer may fire up to 5 % early; every user of this timer treats its time as a minimum.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_singleShot)
            m_active = false;
        emit timeout();
    });
}

ClockTimer::~ClockTimer()
{
    stop();
}

void ClockTimer::setInterval(std::chrono::milliseconds interval)
{
    m_interval = std::max(interval, std::chrono::milliseconds(0));
    if (m_active)
        start();
}

void ClockTimer::start(std::chrono::milliseconds interval)
{
    m_interval = std::max(interval, std::chrono::milliseconds(0));
    start();
}

void ClockTimer::start()
{
    stop();
    m_active = true;
    Clock &clock = Clock::current();
    if (!clock.drivesTimers()) {
        m_timer.setSingleShot(m_singleShot);
        m_timer.start(m_interval);
        return;
    }
    m_clock = &clock;
    m_dueMs = clock.monotonicMs() + m_interval.count();
    clock.addTimer(this);
    if (m_interval.count() == 0) {
        // Due at once: fire on the next pass of the event loop, as a zero Qt timer would,
        // without waiting for the clock to be moved.
        QMetaObject::invokeMethod(
            this,
            [this, due = m_dueMs] {
                if (m_active && m_clock && m_dueMs == due)
                    fire();
            },
            Qt::QueuedConnection);
    }
}

void ClockTimer::stop()
{
    m_active = false;
    m_timer.stop();
    if (m_clock)
        std::exchange(m_clock, nullptr)->removeTimer(this);
}

void ClockTimer::fire()
{
    if (!m_active)
        return;
    if (m_singleShot) {
        stop();
    } else if (m_clock) {
        // A zero interval would fire forever without the clock moving.
        m_dueMs += std::max<qint64>(m_interval.count(), 1);
    }
    emit timeout();
}
