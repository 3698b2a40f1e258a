#include "band/StretchPlan.h"

StretchPlan::StretchPlan(int loopPixels, int windowWidth, int maxWidth)
    : m_loop(loopPixels)
    , m_window(windowWidth)
    , m_max(maxWidth)
{}

StretchPlan::Stretch StretchPlan::stretchFrom(std::span<const int> offsets, std::size_t first) const
{
    Stretch stretch;
    stretch.start = offsets[first];
    stretch.first = first;
    stretch.last = first;
    int reach = 0;
    for (std::size_t j = first; j < offsets.size(); ++j) {
        const int moved = forward(offsets[j] - stretch.start);
        if (moved < reach || moved + m_window > m_max)
            break;
        reach = moved;
        stretch.last = j;
    }
    stretch.width = reach + m_window;
    return stretch;
}
