#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <span>

/**
 * Where the columns of a line's endless strip (its loop over and over) come from, when the
 * loop is held in pieces: one piece with the loop followed by one window width of its start,
 * or, for a loop longer than a piece may be, one piece per tile. Lengths are device pixels.
 *
 * A frame is any run of a window's width of the strip. Frames asked for ahead from a loop in
 * tiles are served from stretches: a stretch of the strip, put together once from the pieces,
 * serves every following frame that lies within it, going forward and within the largest
 * width a piece may have; each frame is then that stretch moved.
 */
class StretchPlan
{
public:
    /** One stretch of the strip and the frames it serves. */
    struct Stretch
    {
        int start = 0;         ///< loop offset of its first column
        int width = 0;         ///< columns: the farthest frame's place in it plus the window
        std::size_t first = 0; ///< the first frame it serves
        std::size_t last = 0;  ///< the last frame it serves
        friend bool operator==(const Stretch &, const Stretch &) = default;
    };

    /** A plan for a loop of `loopPixels` shown in a window `windowWidth` wide, pieces at most `maxWidth`. */
    StretchPlan(int loopPixels, int windowWidth, int maxWidth);

    /**
     * Whether `pieces` (in strip order, each with `x` and `width`) hold the whole loop and one
     * window width of its start in their first: every frame is then that piece moved.
     */
    template<typename Pieces> bool isOnePiece(const Pieces &pieces) const
    {
        return std::size(pieces) == 1 && std::begin(pieces)->width >= m_loop + m_window;
    }

    /**
     * The stretch serving the frames from `first` on, `offsets` being each frame's loop offset
     * (in [0, loop)). A frame that goes back (new content's place) or lies beyond the largest
     * width starts a stretch of its own. Needs first < offsets.size().
     */
    Stretch stretchFrom(std::span<const int> offsets, std::size_t first) const;
    /** Where a frame at loop offset `offset` starts within `stretch`. */
    int placeIn(const Stretch &stretch, int offset) const { return forward(offset - stretch.start); }

    /**
     * Calls copy(piece, sourceX, targetX, width) for each run that puts columns
     * [start, start + width) of the strip at x = 0 of a target, from `pieces` (in strip order,
     * each with `x` and `width`: it holds strip columns [x, x + width)). Allocates nothing: it
     * runs for every frame.
     */
    template<typename Pieces, typename Copy>
    static void forEachCopy(const Pieces &pieces, int loopPixels, int start, int width, Copy &&copy)
    {
        if (loopPixels <= 0)
            return;
        long long filled = 0;
        for (long long base = -static_cast<long long>(start); base < width && filled < width; base += loopPixels) {
            for (const auto &piece : pieces) {
                const long long x = base + piece.x;
                if (x >= width)
                    break;
                const long long targetX = std::max(x, filled);
                const long long end = std::min<long long>(x + piece.width, width);
                if (targetX >= end)
                    continue;
                copy(piece, static_cast<int>(targetX - x), static_cast<int>(targetX), static_cast<int>(end - targetX));
                filled = end;
            }
        }
    }

private:
    int forward(int moved) const { return m_loop > 0 ? (moved % m_loop + m_loop) % m_loop : 0; }

    int m_loop;
    int m_window;
    int m_max;
};
