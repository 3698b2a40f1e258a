#pragma once

#include "band/LineMotion.h"
#include "x11band/X11LineUploader.h"

#include <array>
#include <cstdint>
#include <vector>

struct xcb_connection_t;

/** What the drawing thread draws for one line: its window, its pixmaps and how it moves. */
struct X11FrameLine
{
    std::uint32_t window = 0;
    std::vector<X11LineUploader::Segment> segments;
    LineMotion motion;
    int width = 0; ///< the window's width, device pixels

    bool isDrawn() const { return window && !segments.empty() && width > 0 && motion.rect.height() > 0; }
    friend bool operator==(const X11FrameLine &, const X11FrameLine &) = default;

    /**
     * Copies each drawn line of `lines` as it stands at band time `t` into its window, with
     * `gc` (graphics exposures off) on `connection`. Nothing is flushed.
     */
    static void drawAll(xcb_connection_t *connection, std::uint32_t gc, const std::array<X11FrameLine, 2> &lines,
                        double t);
};
