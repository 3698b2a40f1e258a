#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>

class Clock;

/**
 * A timer on the process clock (`Clock::current()` when started). Under the system clock
 * it is a precise Qt timer; under a clock moved by hand it fires when that clock passes
 * its due time, so schedules can be tested without waiting.
 */
class ClockTimer : public QObject
{
    Q_OBJECT
public:
    explicit ClockTimer(QObject *parent = nullptr);
    ~ClockTimer() override;

    void setSingleShot(bool singleShot) { m_singleShot = singleShot; }
    bool isSingleShot() const { return m_singleShot; }
    void setInterval(std::chrono::milliseconds interval);
    std::chrono::milliseconds interval() const { return m_interval; }

    void start();
    void start(std::chrono::milliseconds interval);
    void stop();
    bool isActive() const { return m_active; }
    /** The clock's monotonic time at which it fires next; meaningful while active. */
    qint64 dueMs() const { return m_dueMs; }

    /** For the clock that drives this timer: its due time has come. */
    void fire();

signals:
    void timeout();

private:
    void arm();

    QTimer m_timer;
    Clock *m_clock = nullptr; ///< the clock that drives this timer, when it is not real time
    std::chrono::milliseconds m_interval{0};
    qint64 m_dueMs = 0;
    bool m_singleShot = false;
    bool m_active = false;
};
