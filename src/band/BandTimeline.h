#pragma once

#include <cstdint>

class Clock;

/**
 * The band's time against the monotonic clock the X server's times are compared with. The
 * band's time comes from the process clock (to the millisecond, or moved by hand in tests);
 * frames asked for ahead need it at instants to come, so it is kept as a line through an
 * anchor: at monotonic `t` it is anchorBand + pace × (t − anchorNs). A new reading moves the
 * anchor only when it leaves that line by more than the tolerance, so the rounding of the
 * milliseconds moves nothing while a clock that jumped or was moved by hand does.
 */
class BandTimeline
{
public:
    /** How the band's time goes on between readings. */
    enum class Pace {
        real,     ///< with the monotonic clock
        standing, ///< not at all: a clock moved by hand stands still between its moves
    };

    /**
     * A timeline that follows readings within `toleranceSeconds` of the line. A standing
     * clock is followed exactly: each of its moves is meant to show.
     */
    explicit BandTimeline(double toleranceSeconds);

    /** The pace of `clock`: standing when it is moved by hand. */
    static Pace paceOf(const Clock &clock);

    /**
     * Reads the band's time `band` at monotonic `nowNs`. Returns true when the timeline already
     * gave it (within the tolerance, at the same pace); otherwise anchors the line anew there
     * and returns false.
     */
    bool follow(double band, std::int64_t nowNs, Pace pace = Pace::real);
    /** Drops the anchor: the next reading anchors anew. */
    void forget() { m_anchored = false; }

    bool isAnchored() const { return m_anchored; }
    Pace pace() const { return m_pace; }
    /** The band's time at monotonic `monotonicNs`. Needs isAnchored(). */
    double at(std::int64_t monotonicNs) const
    {
        return m_band + m_rate * static_cast<double>(monotonicNs - m_anchorNs) / 1e9;
    }

private:
    double m_tolerance;
    bool m_anchored = false;
    Pace m_pace = Pace::real;
    double m_rate = 1;
    double m_band = 0;
    std::int64_t m_anchorNs = 0;
};
