#include "x11band/X11FrameLine.h"

#include "x11band/X11LoopCopy.h"

void X11FrameLine::drawAll(xcb_connection_t *connection, std::uint32_t gc, const std::array<X11FrameLine, 2> &lines,
                           double t)
{
    for (const X11FrameLine &line : lines) {
        if (line.isDrawn())
            copyLoopColumns(connection, gc, line.segments, line.motion.loopPixels, line.motion.rect.height(),
                            line.window, line.motion.offsetAt(t), line.width);
    }
}
