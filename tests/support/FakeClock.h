#pragma once

#include "util/Clock.h"
#include "util/ClockTimer.h"

#include <QList>

#include <algorithm>
#include <atomic>

/**
 * A clock that only moves when the test moves it; installs itself while alive. The
 * ClockTimers started while it is installed fire as it passes their due times, in order,
 * with the clock set to each due time as it fires.
 */
class FakeClock final : public Clock
{
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 3, 2), QTime(10, 0)))
        : m_now(std::move(start))
    {
        Clock::setCurrent(this);
    }
    ~FakeClock() override
    {
        Clock::setCurrent(nullptr);
        for (ClockTimer *timer : std::exchange(m_timers, {}))
            timer->stop();
    }

    QDateTime now() const override { return m_now; }
    qint64 monotonicMs() const override { return m_monotonicMs.load(); }

    bool drivesTimers() const override { return true; }
    void addTimer(ClockTimer *timer) override
    {
        if (!m_timers.contains(timer))
            m_timers.append(timer);
    }
    void removeTimer(ClockTimer *timer) override { m_timers.removeAll(timer); }
    /** Timers waiting on this clock. */
    qsizetype pendingTimers() const { return m_timers.size(); }

    void setNow(const QDateTime &now) { m_now = now; }
    void advanceMs(qint64 ms)
    {
        const qint64 target = m_monotonicMs.load() + ms;
        for (;;) {
            // Timers may start or stop others while they fire: look again each time.
            const auto due = std::min_element(m_timers.cbegin(), m_timers.cend(),
                                              [](ClockTimer *a, ClockTimer *b) { return a->dueMs() < b->dueMs(); });
            if (due == m_timers.cend() || (*due)->dueMs() > target)
                break;
            moveTo(std::max((*due)->dueMs(), m_monotonicMs.load()));
            (*due)->fire();
        }
        moveTo(target);
    }
    void setMonotonicMs(qint64 ms) { m_monotonicMs = ms; }

private:
    void moveTo(qint64 monotonicMs)
    {
        m_now = m_now.addMSecs(monotonicMs - m_monotonicMs.load());
        m_monotonicMs = monotonicMs;
    }

    QDateTime m_now;
    std::atomic<qint64> m_monotonicMs = 0; // read by drawing threads too
    QList<ClockTimer *> m_timers;
};
