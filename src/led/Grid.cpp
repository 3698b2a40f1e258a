#include "led/Grid.h"

#include <algorithm>
#include <utility>

Grid::Grid(std::int64_t w, std::int64_t h)
    : m_w(std::max<std::int64_t>(w, 0))
    , m_h(std::max<std::int64_t>(h, 0))
    , m_cells(static_cast<std::size_t>(m_w * m_h), 0)
{}

LedBitmap Grid::takeBitmap()
{
    LedBitmap bitmap{m_w, m_h, std::move(m_cells)};
    m_w = 0;
    m_h = 0;
    m_cells.clear();
    return bitmap;
}
