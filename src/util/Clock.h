#pragma once

#include <QDateTime>

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
