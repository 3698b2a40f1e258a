#pragma once

#include "band/LineMotion.h"
#include "x11band/X11FrameQueue.h"
#include "x11band/X11LineUploader.h"

#include <QtGlobal>

#include <array>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct xcb_connection_t;
class FrameStats;

/**
 * Draws the frames of lines that scroll without Present, on a thread with a connection of its
 * own. Frames fall on a fixed grid of the monotonic clock, so the rate does not drift, and
 * each copies every moving line's columns at the band's time of that frame into the line's
 * window. Where the server offers SYNC, the thread queues a second of frames at a time on the
 * server (X11FrameQueue) and wakes twice a second; otherwise it wakes for each frame and
 * draws it. The main thread only hands over what a line shows and how it moves; a hand-over
 * cancels what was queued and shows from the next frame on. After a stall the grid starts
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
        friend bool operator==(const Line &, const Line &) = default;
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
    /** Frames drawn or queued so far. */
    quint64 frames() const;
    /** Whether frames are queued on the server ahead of their time rather than drawn one by one. */
    bool queuesFrames() const;
    /**
     * The band times of the frames queued last, newest last (at most 128): what a picture of
     * the band taken meanwhile may show.
     */
    std::vector<double> recentFrameTimes() const;

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
    bool queueFrames(qint64 nowNs, qint64 untilNs);
    void queueSoon();
    bool placeBandTime(qint64 nowNs);
    void cancelQueued();
    void drawLines(std::uint32_t gc, double bandTime);
    void noteFrame(double bandTime);

    xcb_connection_t *m_connection = nullptr;
    std::unique_ptr<X11FrameQueue> m_queue; // null: frames drawn one by one
    std::uint32_t m_gc = 0;                 // for frames drawn one by one
    std::uint8_t m_gcDepth = 0;
    std::uint32_t m_depthWindow = 0; // the last window the depth was asked for
    std::uint8_t m_depth = 0;
    std::uint32_t m_root = 0;
    FrameStats *m_stats;

    // Queued frames: the band's time at a monotonic time is m_bandTime + m_bandRate *
    // (t - m_bandSince); a clock moved by hand (tests) stands still between its moves.
    double m_bandTime = 0;
    qint64 m_bandSince = 0;
    double m_bandRate = 1;
    std::int64_t m_serverOffsetMs = 0;
    qint64 m_serverCheckedAt = 0;
    qint64 m_gridNs = 0;        // a frame time; the others are whole intervals away
    qint64 m_queuedUntilNs = 0; // the last frame queued; 0 when none is
    bool m_letGo = false;       // a cancel let queued frames go, drawing nothing since
    bool m_changedLines = true;
    std::array<double, 128> m_recent{};
    std::size_t m_recentCount = 0;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::array<Line, 2> m_lines;
    qint64 m_intervalNs = 0;
    quint64 m_frames = 0;
    qint64 m_nextFrameNs = 0; // the next frame drawn one by one; 0 when none is due
    bool m_stop = false;
    std::thread m_thread;
};
