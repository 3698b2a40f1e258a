#pragma once

#include <cstdint>

/** The colour class of one LED cell; cells store the raw value. */
enum class Kind : std::uint8_t {
    off = 0,
    name = 1,
    up = 2,
    down = 3,
    dim = 4,
    sun = 5,
    cloud = 6,
    rain = 7,
};

/**
 * A value that stopped updating is drawn with the same kinds in dimmer colours: the raw
 * value plus this offset (9 to 15). Off stays off.
 */
inline constexpr std::uint8_t staleOffset = 8;

/** The stale variant of the raw value `raw`; off, and values already stale, are kept. */
constexpr std::uint8_t staleRaw(std::uint8_t raw)
{
    return raw == 0 || raw >= staleOffset ? raw : static_cast<std::uint8_t>(raw + staleOffset);
}
