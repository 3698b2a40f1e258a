#include "line/UpDownColouring.h"

#include "types/Kind.h"

#include <array>

namespace UpDownColouring {

void apply(LedBitmap &bitmap, UpDownColours colours)
{
    if (colours == UpDownColours::greenRed)
        return;
    // One table from every raw value to its new one, so each cell costs one look-up.
    std::array<std::uint8_t, 256> to{};
    for (std::size_t raw = 0; raw < to.size(); ++raw)
        to[raw] = static_cast<std::uint8_t>(raw);
    const auto up = static_cast<std::uint8_t>(Kind::up);
    const auto down = static_cast<std::uint8_t>(Kind::down);
    const auto map = [&to](std::uint8_t from, std::uint8_t into) { to[from] = into; };
    if (colours == UpDownColours::redUp) {
        using Variant = std::uint8_t (*)(std::uint8_t);
        const Variant live = [](std::uint8_t raw) { return raw; };
        for (const Variant variant : {live, Variant(staleRaw), Variant(brightRaw)}) {
            map(variant(up), variant(down));
            map(variant(down), variant(up));
        }
    } else {
        map(up, static_cast<std::uint8_t>(BlueOrangeRaw::up));
        map(down, static_cast<std::uint8_t>(BlueOrangeRaw::down));
        map(staleRaw(up), static_cast<std::uint8_t>(BlueOrangeRaw::staleUp));
        map(staleRaw(down), static_cast<std::uint8_t>(BlueOrangeRaw::staleDown));
        map(brightRaw(up), static_cast<std::uint8_t>(BlueOrangeRaw::brightUp));
        map(brightRaw(down), static_cast<std::uint8_t>(BlueOrangeRaw::brightDown));
    }
    for (std::uint8_t &cell : bitmap.cells)
        cell = to[cell];
}

} // namespace UpDownColouring
