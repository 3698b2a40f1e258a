#pragma once

#include "band/BandTimeline.h"
#include "band/BlankClock.h"
#include "band/LineMotion.h"
#include "x11band/X11LineUploader.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

struct xcb_connection_t;
class FrameStats;

/**
 * Frames queued through Present: one PresentPixmap per coming vertical blank, up to a second
 * ahead, each at the offset the line has at the time that blank shows, so the program sleeps
 * while the server moves the pixels. The time of each blank comes from the server's own
 * reports (BlankClock), read with the replies of the view's connection or asked for once at
 * the start; the band's time at that instant from a BandTimeline. A loop longer than a pixmap
 * gets, per batch, the stretch its frames pass over put together on the server (StretchPlan).
 *
 * A new present for a blank already queued replaces it: a change queues again from the next
 * blank. Should the server refuse a Present request, or not tell its blank counter, the
 * scheduler stops and says so; the lines' frames must then come another way.
 */
class X11PresentScheduler
{
public:
    using Segment = X11LineUploader::Segment;

    /** What one line shows now. */
    struct Line
    {
        std::uint32_t window = 0; ///< 0 when the line has none
        int width = 0;            ///< the window's, device pixels
        const std::vector<Segment> *segments = nullptr;
        const LineMotion *motion = nullptr;

        bool shows() const { return window && segments && !segments->empty(); }
    };

    /** What the scheduler asks of the view. */
    struct Hooks
    {
        std::function<Line(int)> line;      ///< what line `index` shows now
        std::function<bool()> visible;      ///< whether the band is shown: frames only then
        std::function<bool()> recordsShown; ///< whether frames shown go to the stats
        std::function<void()> stopped;      ///< Present can no longer be used
    };

    /** How far ahead frames are queued. */
    static constexpr double queueAheadSeconds = 1.0;

    /**
     * Queues on `connection` (not owned), whose Present extension has `opcode`; `stats` (may
     * be null; must outlive this) records the frames the server reports shown. Not `enabled`,
     * it only reads the connection's events (errors of requests gone by) and queues nothing.
     */
    X11PresentScheduler(xcb_connection_t *connection, bool enabled, std::uint8_t opcode, FrameStats *stats,
                        Hooks hooks);

    /** The band's window, its depth and a graphics context for copies, for the stretches. */
    void setTarget(std::uint32_t window, std::uint8_t depth, std::uint32_t gc);

    /** Whether frames go through Present: until the server refused it. */
    bool isEnabled() const { return m_enabled; }
    /** Stops for good, and tells the view (once). */
    void stop();

    /**
     * Queues line `index`'s frames: from the next blank when `replace` (what was queued goes,
     * replaced), else after those queued already, up to a second ahead (a line standing still
     * gets one frame).
     */
    void queue(int index, bool replace);
    /** Queues every line's frames again from the next blank. */
    void queueAll();
    /** Reads what the server reported, queues up to a second ahead again and asks for a reading. */
    void topUp();
    /** Reads what the server reported: blank counter readings, shown frames, refusals. */
    void readEvents();
    /** Line `index` has a new window: nothing is queued for it. */
    void forget(int index) { m_queuedUntil[static_cast<std::size_t>(index)] = 0; }
    /** `window` is gone: its events with it. */
    void windowGone(std::uint32_t window);

private:
    bool takeReference();
    void askReference();
    void selectStatsWindow();
    double timeOfMsc(std::uint64_t msc) const;

    xcb_connection_t *m_connection;
    std::uint8_t m_opcode;
    FrameStats *m_stats;
    Hooks m_hooks;
    bool m_enabled;
    std::uint32_t m_window = 0;
    std::uint8_t m_depth = 0;
    std::uint32_t m_gc = 0;
    std::uint32_t m_serial = 0;
    BlankClock m_blanks;
    BandTimeline m_timeline{0.002}; ///< a test's clock moved by hand shows; milliseconds of rounding do not
    std::array<std::uint64_t, 2> m_queuedUntil{}; ///< the last blank a frame of each line is queued for
    std::vector<int> m_offsets;                   ///< each queued frame's, reused from batch to batch
    std::uint64_t m_lastRecordedMsc = 0;
    std::uint32_t m_statsWindow = 0; ///< the window whose shown frames the stats record
    std::uint32_t m_statsEid = 0;
};
