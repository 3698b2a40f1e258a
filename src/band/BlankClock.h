#pragma once

#include <cstdint>
#include <optional>

/**
 * A screen's vertical blank counter against the monotonic clock, learnt from the server's
 * reports that blank `msc` was shown at `ust` microseconds. Frames are asked for by blank
 * number, so the time each blank will show must be known ahead: the newest reading is the
 * reference, and the interval between blanks is measured over the longest span read so far
 * (from a baseline at least 60 blanks back), so the time of a blank a second ahead stays
 * exact. A reading the model does not predict within two blanks means another screen or a
 * counter that restarted: everything starts again from it, and frames asked for by the old
 * numbers are off.
 */
class BlankClock
{
public:
    /** One report: blank `msc` was shown at `ust` microseconds of the monotonic clock. */
    struct Reading
    {
        std::uint64_t msc = 0;
        std::uint64_t ust = 0;
        friend bool operator==(const Reading &, const Reading &) = default;
    };

    /** What a reading did to the model. */
    enum class Update {
        ignored,  ///< no time in it: servers that cannot tell send 0
        first,    ///< the first reading since the start (or since reset())
        followed, ///< as predicted; the interval may be measured more exactly now
        jumped,   ///< not as predicted: the model starts again from it
    };

    /** The interval assumed until one is measured: 60 Hz. */
    static constexpr double defaultIntervalUs = 1e6 / 60;
    /** Blanks between the baseline and a reading before the interval is measured from them. */
    static constexpr std::uint64_t measuringSpan = 60;
    /** How far, in blanks, a reading may stray from the prediction before it counts as a jump. */
    static constexpr double jumpBlanks = 2;

    /** Takes the newest of a batch of reports. */
    Update take(Reading reading);
    /** Forgets the reference (the interval measured so far stays): the next reading is a first one. */
    void reset() { m_reference.reset(); }

    /** Whether a reference is known; nothing below means anything before. */
    bool isKnown() const { return m_reference.has_value(); }
    /** The reference reading: the newest seen. */
    const std::optional<Reading> &reference() const { return m_reference; }
    /** Microseconds between two blanks. */
    double intervalUs() const { return m_intervalUs; }

    /** The blank being shown at `ustNow` (never before the reference's). Needs isKnown(). */
    std::uint64_t mscAt(std::uint64_t ustNow) const;
    /** When blank `msc` is (or was) shown, microseconds of the monotonic clock. Needs isKnown(). */
    double ustOf(std::uint64_t msc) const;
    /** The blanks that take at least `seconds`: how many to ask for to fill that time. */
    std::uint64_t blanksFor(double seconds) const;

private:
    std::optional<Reading> m_reference;
    Reading m_baseline; ///< an older reading, for measuring the interval over a long span
    double m_intervalUs = defaultIntervalUs;
};
