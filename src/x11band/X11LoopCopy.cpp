#include "x11band/X11LoopCopy.h"

#include "band/StretchPlan.h"

#include <xcb/xcb.h>

std::uint32_t createCopyGc(xcb_connection_t *connection, std::uint8_t depth, std::uint32_t root)
{
    const std::uint32_t pixmap = xcb_generate_id(connection);
    xcb_create_pixmap(connection, depth, pixmap, root, 1, 1);
    const std::uint32_t gc = xcb_generate_id(connection);
    const std::uint32_t values[] = {0};
    xcb_create_gc(connection, gc, pixmap, XCB_GC_GRAPHICS_EXPOSURES, values);
    xcb_free_pixmap(connection, pixmap);
    return gc;
}

void copyLoopColumns(xcb_connection_t *connection, std::uint32_t gc,
                     const std::vector<X11LineUploader::Segment> &segments, int loopPixels, int height,
                     std::uint32_t drawable, int start, int width)
{
    StretchPlan::forEachCopy(segments, loopPixels, start, width,
                             [&](const X11LineUploader::Segment &segment, int sourceX, int targetX, int columns) {
                                 xcb_copy_area(connection, segment.pixmap, drawable, gc,
                                               static_cast<std::int16_t>(sourceX), 0,
                                               static_cast<std::int16_t>(targetX), 0,
                                               static_cast<std::uint16_t>(columns), static_cast<std::uint16_t>(height));
                             });
}
