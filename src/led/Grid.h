#pragma once

#include "types/Kind.h"
#include "types/LedBitmap.h"

#include <cstdint>
#include <vector>

/**
 * The drawing surface of one bitmap while it is being built. Writes outside the grid are
 * dropped silently, so fonts and icons may be drawn partly off either edge.
 */
class Grid
{
public:
    /** A grid of `w` × `h` cells, all off; negative sizes give an empty grid. */
    Grid(std::int64_t w, std::int64_t h);

    std::int64_t w() const { return m_w; }
    std::int64_t h() const { return m_h; }
    const std::vector<std::uint8_t> &cells() const { return m_cells; }

    /** Stores `kind` at column x, row y; does nothing outside the grid. */
    void set(std::int64_t x, std::int64_t y, Kind kind)
    {
        if (x < 0 || y < 0 || x >= m_w || y >= m_h)
            return;
        m_cells[static_cast<std::size_t>(x + y * m_w)] = static_cast<std::uint8_t>(kind);
    }

    /** The raw value at column x, row y (which must lie inside the grid). */
    std::uint8_t at(std::int64_t x, std::int64_t y) const { return m_cells[static_cast<std::size_t>(x + y * m_w)]; }

    /** The finished picture; the grid is left empty. */
    LedBitmap takeBitmap();

private:
    std::int64_t m_w;
    std::int64_t m_h;
    std::vector<std::uint8_t> m_cells;
};
