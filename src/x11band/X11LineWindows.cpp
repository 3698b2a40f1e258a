#include "x11band/X11LineWindows.h"

#include "x11band/X11Connection.h"

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <algorithm>
#include <vector>

X11LineWindows::X11LineWindows(xcb_connection_t *own, xcb_connection_t *qt)
    : m_own(own)
    , m_qt(qt)
{}

void X11LineWindows::setParent(std::uint32_t parent, std::uint32_t gc)
{
    m_parent = parent;
    m_gc = gc;
}

X11LineWindows::Placed X11LineWindows::place(int index, const QRect &rect, bool forPresent)
{
    Line &line = m_lines[static_cast<std::size_t>(index)];
    if (line.window && rect == line.rect)
        return Placed::unchanged;
    if (line.window) {
        const std::uint32_t values[] = {static_cast<std::uint32_t>(rect.x()), static_cast<std::uint32_t>(rect.y()),
                                        static_cast<std::uint32_t>(rect.width()),
                                        static_cast<std::uint32_t>(rect.height())};
        xcb_configure_window(
            m_own, line.window,
            XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, values);
        line.rect = rect;
        return Placed::moved;
    }
    line.window = xcb_generate_id(m_own);
    line.rect = rect;
    line.forPresent = forPresent;
    // No background: the server never clears it, every pixel comes from the line's pixmaps.
    const std::uint32_t values[] = {XCB_BACK_PIXMAP_NONE};
    xcb_create_window(m_own, XCB_COPY_FROM_PARENT, line.window, m_parent, static_cast<std::int16_t>(rect.x()),
                      static_cast<std::int16_t>(rect.y()), static_cast<std::uint16_t>(rect.width()),
                      static_cast<std::uint16_t>(rect.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXMAP, values);
    // An empty input shape: the pointer goes through to the band, which reports it.
    const std::uint32_t region = xcb_generate_id(m_own);
    xcb_xfixes_create_region(m_own, region, 0, nullptr);
    xcb_xfixes_set_window_shape_region(m_own, line.window, XCB_SHAPE_SK_INPUT, 0, 0, region);
    xcb_xfixes_destroy_region(m_own, region);
    xcb_map_window(m_own, line.window);
    // Qt's connection selects the window's exposures (the server must know the window first).
    X11Connection::roundTrip(m_own);
    const std::uint32_t mask[] = {XCB_EVENT_MASK_EXPOSURE};
    xcb_change_window_attributes(m_qt, line.window, XCB_CW_EVENT_MASK, mask);
    xcb_flush(m_qt);
    return Placed::made;
}

void X11LineWindows::destroy(int index)
{
    Line &line = m_lines[static_cast<std::size_t>(index)];
    if (line.window)
        xcb_destroy_window(m_own, line.window);
    line = {};
}

int X11LineWindows::lineOf(std::uint32_t window) const
{
    for (int i = 0; i < lineCount; ++i) {
        if (window && at(i).window == window)
            return i;
    }
    return -1;
}

void X11LineWindows::fillUncovered(int width, int height) const
{
    if (!m_gc)
        return;
    std::array<QRect, lineCount> covered;
    std::size_t count = 0;
    for (const Line &line : m_lines) {
        if (line.window)
            covered[count++] = line.rect;
    }
    std::sort(covered.begin(), covered.begin() + static_cast<std::ptrdiff_t>(count),
              [](const QRect &a, const QRect &b) { return a.top() < b.top(); });
    std::array<xcb_rectangle_t, lineCount + 1> uncovered{};
    std::uint32_t gaps = 0;
    int y = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const QRect &rect = covered[i];
        if (rect.top() > y)
            uncovered[gaps++] = {0, static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width),
                                 static_cast<std::uint16_t>(rect.top() - y)};
        y = std::max(y, rect.bottom() + 1);
    }
    if (height > y)
        uncovered[gaps++] = {0, static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width),
                             static_cast<std::uint16_t>(height - y)};
    if (gaps)
        xcb_poly_fill_rectangle(m_own, m_parent, m_gc, gaps, uncovered.data());
}
