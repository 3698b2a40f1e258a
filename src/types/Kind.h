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

/**
 * A value that just changed is drawn brighter for a moment: the raw value of a live kind plus
 * this offset (17 to 23). Off and stale values are kept.
 */
inline constexpr std::uint8_t brightOffset = 16;

/** The bright variant of the raw value `raw`; off, stale and already bright values are kept. */
constexpr std::uint8_t brightRaw(std::uint8_t raw)
{
    return raw == 0 || raw >= staleOffset ? raw : static_cast<std::uint8_t>(raw + brightOffset);
}

/**
 * Up and down drawn blue and orange, told apart with a red-green colour-vision deficiency:
 * their live, stale and bright variants, after the bright kinds.
 */
enum class BlueOrangeRaw : std::uint8_t {
    up = brightOffset + staleOffset,
    down,
    staleUp,
    staleDown,
    brightUp,
    brightDown,
};

/** Raw values a cell may hold: the kinds, their stale and bright variants, then BlueOrangeRaw. */
inline constexpr std::uint8_t rawValueCount = static_cast<std::uint8_t>(BlueOrangeRaw::brightDown) + 1;
