#include "util/Clock.h"

#include <QElapsedTimer>

namespace {
Clock *g_clock = nullptr;
}

Clock &Clock::current()
{
    static SystemClock system;
    return g_clock ? *g_clock : system;
}

void Clock::setCurrent(Clock *clock)
{
    g_clock = clock;
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
