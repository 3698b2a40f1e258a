#pragma once

#include <QDateTime>

class ClockTimer;

/**
 * The time source of everything that schedules or throttles. The process uses the
 * system clock; tests install a clock they move by hand.
 */
class Clock
{
public:
    virtual ~Clock() = default;

    /** Wall-clock time, for schedules and stored dates. */
    virtual QDateTime now() const = 0;
    /** Milliseconds on a monotonic clock, for animations and intervals. */
    virtual qint64 monotonicMs() const = 0;

    /**
     * True when this clock fires the ClockTimers started on it itself (a clock moved by
     * hand); false when real time fires them through Qt timers.
     */
    virtual bool drivesTimers() const { return false; }
    /** A timer started on a clock that drives timers; it is due at its `dueMs()`. */
    virtual void addTimer(ClockTimer *) {}
    /** Called when a timer stops or dies; the clock must forget it. */
    virtual void removeTimer(ClockTimer *) {}

    /** The clock of the running process: the system clock unless a test replaced it. */
    static Clock &current();
    /** Replaces the process clock; nullptr restores the system clock. Not owned. */
    static void setCurrent(Clock *clock);
};

class SystemClock final : public Clock
{
public:
    QDateTime now() const override;
    qint64 monotonicMs() const override;
};
