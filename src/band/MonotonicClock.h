#pragma once

#include <cstdint>

#include <time.h>

/**
 * Nanoseconds on CLOCK_MONOTONIC: the clock the X server's times (Present's UST, the SYNC
 * SERVERTIME counter) are compared with, unlike the band's Clock, which tests move by hand.
 */
inline std::int64_t monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}
