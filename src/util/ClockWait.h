#pragma once

#include <qcoro/qcorotask.h>

#include <chrono>

class Cancellation;

/**
 * Waits `duration` on the process clock, or less when `cancellation` (may be null) is
 * cancelled. True when the whole time passed; false when cancelled, at once or during
 * the wait. The end of a cancelled wait comes on the next pass of the event loop, never
 * inside `Cancellation::cancel()`.
 */
QCoro::Task<bool> waitOnClock(std::chrono::milliseconds duration, Cancellation *cancellation);
