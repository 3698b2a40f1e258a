#pragma once

#include "x11band/X11LineUploader.h"

#include <cstdint>
#include <vector>

struct xcb_connection_t;

/**
 * Copies columns [start, start + width) of a line's endless strip (its loop over and over),
 * held in `segments` on the server, to x = 0 of `drawable`: one copy from a strip pixmap, or
 * one per pixmap in view. `gc` must have graphics exposures off. Nothing is flushed.
 */
void copyLoopColumns(xcb_connection_t *connection, std::uint32_t gc,
                     const std::vector<X11LineUploader::Segment> &segments, int loopPixels, int height,
                     std::uint32_t drawable, int start, int width);

/**
 * A graphics context for copyLoopColumns into drawables of `depth` on the screen of `root`,
 * made on `connection` with graphics exposures off (or every copy would send a NoExpose event
 * back). It needs no window: it is made on a pixmap of that depth, let go at once.
 */
std::uint32_t createCopyGc(xcb_connection_t *connection, std::uint8_t depth, std::uint32_t root);
