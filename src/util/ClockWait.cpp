#include "util/ClockWait.h"

#include "util/Cancellation.h"
#include "util/ClockTimer.h"

#include <QPointer>

#include <qcoro/qcorosignal.h>

QCoro::Task<bool> waitOnClock(std::chrono::milliseconds duration, Cancellation *cancellation)
{
    if (cancellation && cancellation->isCancelled())
        co_return false;
    const QPointer<Cancellation> guard(cancellation);
    ClockTimer timer;
    timer.setSingleShot(true);
    if (cancellation) {
        QObject::connect(cancellation, &Cancellation::cancelled, &timer, [&timer] {
            timer.stop();
            QMetaObject::invokeMethod(
                &timer, [&timer] { emit timer.timeout(); }, Qt::QueuedConnection);
        });
    }
    timer.start(duration);
    co_await qCoro(&timer, &ClockTimer::timeout);
    // A cancellation that died during the wait counts as cancelled: its run is gone.
    if (!cancellation)
        co_return true;
    co_return guard && !guard->isCancelled();
}
