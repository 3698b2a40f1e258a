#pragma once

#include "util/Clock.h"

/** A clock that only moves when the test moves it; installs itself while alive. */
class FakeClock final : public Clock
{
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 3, 2), QTime(10, 0)))
        : m_now(std::move(start))
    {
        Clock::setCurrent(this);
    }
    ~FakeClock() override { Clock::setCurrent(nullptr); }

    QDateTime now() const override { return m_now; }
    qint64 monotonicMs() const override { return m_monotonicMs; }

    void setNow(const QDateTime &now) { m_now = now; }
    void advanceMs(qint64 ms)
    {
        m_now = m_now.addMSecs(ms);
        m_monotonicMs += ms;
    }
    void setMonotonicMs(qint64 ms) { m_monotonicMs = ms; }

private:
    QDateTime m_now;
    qint64 m_monotonicMs = 0;
};
