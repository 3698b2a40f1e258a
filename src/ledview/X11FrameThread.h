#pragma once

#include "ledview/LineMotion.h"
#include "ledview/X11LineUploader.h"

#include <QtGlobal>

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

struct xcb_connection_t;
class FrameStats;

/**
 * Draws the frames of lines that scroll without Present: a thread with a connection of its
 * own wakes at each frame of a fixed grid (absolute times on the monotonic clock, so the rate
 * does not drift) and copies each moving line's columns at the band's time into the line's
 * window. The main thread only hands over what a line shows and how it moves; it is not woken
 * by the frames, and a hand-over shows from the next frame on. After a stall the grid starts
 * again from now rather than drawing the frames nobody saw.
 */
class X11FrameThread
{
public:
    /** What one line shows: its window, its pixmaps and how it moves. */
    struct Line
    {
        std::uint32_t window = 0;
        std::vector<X11LineUploader::Segment> segments;
        LineMotion motion;
        int width = 0; ///< the window's width, device pixels

        bool isDrawn() const { return window && !segments.empty() && width > 0 && motion.rect.height() > 0; }
    };

    /**
     * Opens a connection to the default display and starts the thread, idle. `stats` (may be
     * null; not owned, must outlive this) records each frame drawn.
     */
    explicit X11FrameThread(FrameStats *stats = nullptr);
    ~X11FrameThread();
    X11FrameThread(const X11FrameThread &) = delete;
    X11FrameThread &operator=(const X11FrameThread &) = delete;

    /** Whether the connection and the thread are up. */
    bool isValid() const { return m_thread.joinable(); }

    /**
     * Draws `line` as line `index` from the next frame on (a line that is not drawn stops its
     * frames). Returns once the server has carried out every copy made from what the line
     * showed before, so its pixmaps and window may go.
     */
    void setLine(int index, Line line);
    /** The frame interval; frames are drawn while it is positive and some drawn line moves. */
    void setInterval(qint64 intervalNs);
    /** Whether frames are being drawn. */
    bool isDrawing() const;
    /** Frames drawn so far. */
    quint64 frames() const;

private:
    void run();
    bool drawsFrames() const; // with the lock held
    void ensureGc(std::uint32_t drawable);
    void discardEvents(bool read);

    xcb_connection_t *m_connection = nullptr;
    std::uint32_t m_gc = 0;
    std::uint8_t m_gcDepth = 0;
    std::uint32_t m_gcWindow = 0; // the last window the context was checked against
    FrameStats *m_stats;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::array<Line, 2> m_lines;
    qint64 m_intervalNs = 0;
    quint64 m_frames = 0;
    bool m_stop = false;
    std::thread m_thread;
};
