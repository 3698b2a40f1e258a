#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

/**
 * A finished picture of LED cells: `w` columns by `h` rows of `Kind` raw values in
 * row-major order (cell (x, y) is cells[x + y * w]). Compared by value.
 */
struct LedBitmap
{
    std::int64_t w = 0;
    std::int64_t h = 0;
    std::vector<std::uint8_t> cells;

    std::uint8_t at(std::int64_t x, std::int64_t y) const { return cells[static_cast<std::size_t>(x + y * w)]; }

    friend bool operator==(const LedBitmap &, const LedBitmap &) = default;
};
