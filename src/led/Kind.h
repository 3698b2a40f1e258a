#pragma once

#include <cstdint>
#include <optional>

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

/** The kind with this raw value; nothing for 8 and above. */
inline std::optional<Kind> kindFromRaw(std::uint8_t raw)
{
    if (raw > 7)
        return std::nullopt;
    return static_cast<Kind>(raw);
}
