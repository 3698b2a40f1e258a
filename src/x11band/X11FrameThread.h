#pragma once

#include "x11band/X11FrameLine.h"
#include "x11band/X11QueuedFrames.h"

#include <QtGlobal>

#include <array>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

struct xcb_connection_t;
class FrameStats;

/**
 * Draws the frames of lines that scroll without Present, on a thread with a connection of its
 * own. Frames fall on a fixed grid of the monotonic clock, so the rate does not drift, and
 * each copies every moving line's columns at the band's time of that frame into the line's
 * window. Where the server offers SYNC, the thread queues a second of frames at a time on the
 * server (X11QueuedFrames) and wakes twice a second; otherwise it wakes for each frame and
 * draws it. The main thread only hands over what a line shows and how it moves; a hand-over
 * cancels what was queued and shows from the next frame on. After a stall the grid starts
 * again from now rather than drawing the frames nobody saw.
 */
class X11FrameThread
{
public:
    /** What one line shows: its window, its pixmaps and how it moves. */
    using Line = X11FrameLine;

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
    /** Frames drawn or queued so far. */
    quint64 frames() const;
    /** Whether frames are queued on the server ahead of their time rather than drawn one by one. */
    bool queuesFrames() const;

private:
    using Lock = std::unique_lock<std::mutex>;

    // Everything below runs with the lock held.
    void run();
    bool drawsFrames() const;
    void learnDepth(std::uint32_t window);
    std::uint32_t frameGc();
    void discardEvents(bool read);
    void drawNextFrame(Lock &lock);
    void queueAhead(Lock &lock);
    void queueSoon();
    void cancelQueued();
    X11QueuedFrames::Screen screen() const { return {m_depth, m_root}; }

    xcb_connection_t *m_connection = nullptr;
    std::unique_ptr<X11QueuedFrames> m_queued; // null: frames drawn one by one
    std::uint32_t m_gc = 0;                    // for frames drawn one by one
    std::uint8_t m_gcDepth = 0;
    std::uint32_t m_depthWindow = 0; // the last window the depth was asked for
    std::uint8_t m_depth = 0;
    std::uint32_t m_root = 0;
    FrameStats *m_stats;
    bool m_letGo = false; // a cancel let queued frames go, drawing nothing since
    bool m_changedLines = true;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::array<Line, 2> m_lines;
    qint64 m_intervalNs = 0;
    quint64 m_frames = 0;
    qint64 m_nextFrameNs = 0; // the next frame drawn one by one; 0 when none is due
    bool m_stop = false;
    std::thread m_thread;
};
