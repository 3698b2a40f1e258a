#pragma once

#include <QRect>

#include <array>
#include <cstdint>

struct xcb_connection_t;

/**
 * The child windows the band's lines are shown in, one per line, inside the band's own
 * window. They have no background, so the server never clears them: every pixel comes from
 * the line's pixmaps. Their input shape is empty, so the pointer goes through to the band,
 * which reports it. Their exposures are selected on Qt's connection, where the view filters
 * them; the band's window shows the background wherever no line's window is.
 */
class X11LineWindows
{
public:
    static constexpr int lineCount = 2;

    /** Makes windows on `own` and selects their exposures on `qt` (neither owned). */
    X11LineWindows(xcb_connection_t *own, xcb_connection_t *qt);

    /** The band's window and a graphics context of its own with the background as foreground. */
    void setParent(std::uint32_t parent, std::uint32_t gc);

    /** What place() did. */
    enum class Placed { unchanged, moved, made };
    /**
     * Shows line `index` in `rect` of the band's window (device pixels): moves its window
     * there, or makes one; `forPresent` marks a new window as one frames are queued for.
     */
    Placed place(int index, const QRect &rect, bool forPresent);
    /** Destroys line `index`'s window, with whatever frames were queued for it. */
    void destroy(int index);

    /** Line `index`'s window; 0 when it has none. */
    std::uint32_t window(int index) const { return at(index).window; }
    /** Where that window is, device pixels of the band's window. */
    QRect rect(int index) const { return at(index).rect; }
    /** Whether that window was made while frames were queued for it through Present. */
    bool madeForPresent(int index) const { return at(index).forPresent; }
    /** The line shown in `window`; −1 for none. */
    int lineOf(std::uint32_t window) const;

    /** Fills the band's window, `width` × `height` device pixels, with the background where no line's window is. */
    void fillUncovered(int width, int height) const;

private:
    struct Line
    {
        std::uint32_t window = 0;
        QRect rect;
        bool forPresent = false;
    };
    const Line &at(int index) const { return m_lines[static_cast<std::size_t>(index)]; }

    xcb_connection_t *m_own;
    xcb_connection_t *m_qt;
    std::uint32_t m_parent = 0;
    std::uint32_t m_gc = 0;
    std::array<Line, lineCount> m_lines;
};
