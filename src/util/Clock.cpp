#include "util/Clock.h"

#include <QElapsedTimer>

#include <atomic>

namespace {
// Read by drawing threads too.
std::atomic<Clock *> g_clock = nullptr;
}

Clock &Clock::current()
{
    static SystemClock system;
    Clock *clock = g_clock.load(std::memory_order_acquire);
    return clock ? *clock : system;
}

void Clock::setCurrent(Clock *clock)
{
    g_clock.store(clock, std::memory_order_release);
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

qint64 SystemClock::monotonicMs() const
{
    static const QElapsedTimer started = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return started.elapsed();
}
