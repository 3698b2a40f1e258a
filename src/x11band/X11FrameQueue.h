#pragma once

#include "band/ServerClock.h"

#include <cstdint>
#include <optional>
#include <vector>

struct xcb_connection_t;

/**
 * Frames queued on an X server ahead of their time, for a server without Present. Each
 * frame's copies are sent after a SYNC Await on the server's millisecond clock (its
 * SERVERTIME counter), so the server draws them when their time comes while the client
 * sleeps. Every wait also ends when a counter of our own goes up: cancel() raises it from a
 * control connection, which nothing queued can hold up, after emptying the clip of the
 * graphics context the queued copies use, so the frames it lets go draw nothing.
 *
 * Which server millisecond a frame waits for, and whether it may (a 32-bit clock wraps), is
 * the caller's to work out (ServerClock).
 *
 * await() and the copies go out on the frames connection, from one thread at a time;
 * cancel() and readServerClock() may be called from another thread, but not at the
 * same time as each other (the caller holds a lock).
 */
class X11FrameQueue
{
public:
    /** Sets up on `frames` (not owned; must outlive this). Invalid without SYNC or its clock. */
    explicit X11FrameQueue(xcb_connection_t *frames);
    ~X11FrameQueue();
    X11FrameQueue(const X11FrameQueue &) = delete;
    X11FrameQueue &operator=(const X11FrameQueue &) = delete;

    bool isValid() const { return m_serverTime != 0; }

    /**
     * Reads the server's clock now (a round trip on the control connection), with the
     * instants of ours around it; nothing when the server did not answer.
     */
    std::optional<ServerClock::Reading> readServerClock();

    /**
     * The graphics context for the copies of frames queued from now on, for drawables of
     * `depth` on the screen of `root`; made anew after each cancel. Zero if that failed.
     */
    std::uint32_t gc(std::uint8_t depth, std::uint32_t root);
    /**
     * Holds what is sent after this on the frames connection until the server's clock reaches
     * `serverMs`, or until cancel(). With `notify`, the server reports the frame when it is let
     * go by its time (see takeShown()).
     */
    void await(std::int64_t serverMs, bool notify);
    /** Whether frames are queued that a cancel would let go. */
    bool hasQueued() const { return m_queued; }
    /** Lets every queued frame go at once, drawing nothing. */
    void cancel();
    /**
     * Reads what the server sent on the frames connection and returns the server times at
     * which notified frames were let go. Errors (a window that went meanwhile) are dropped.
     */
    std::vector<std::int64_t> takeShown();

private:
    xcb_connection_t *m_frames;
    xcb_connection_t *m_control = nullptr;
    std::uint32_t m_serverTime = 0; // the server's SERVERTIME counter
    std::uint32_t m_cancel = 0;     // ours, on the control connection
    std::int64_t m_cancelValue = 0; // its value, as last set
    std::uint8_t m_syncEvent = 0;   // the extension's first event code
    std::uint32_t m_gc = 0;
    std::uint8_t m_gcDepth = 0;
    bool m_queued = false;
};
