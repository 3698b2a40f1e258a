#pragma once

#include <cstdint>
#include <optional>

/**
 * The X server's millisecond clock against the monotonic clock, for frames queued on the
 * server behind waits on its clock. Reading it costs a round trip, so it is read at the start
 * and then every 10 seconds, not for each batch of frames; a reading is as good as its round
 * trip is short, so a new offset is taken only when it differs from the one in use by more
 * than that (and 2 ms of rounding). The server may count its milliseconds in 32 bits: no wait
 * is asked for across the wrap (every 49.7 days), or it might never end.
 */
class ServerClock
{
public:
    /** One reading: the server's clock read between two instants of the monotonic clock. */
    struct Reading
    {
        std::int64_t serverMs = 0;
        std::int64_t beforeMs = 0; ///< monotonic milliseconds when the question went
        std::int64_t afterMs = 0;  ///< and when the answer came
    };

    /** How often the clock is read again. */
    static constexpr std::int64_t checkIntervalNs = 10'000'000'000;
    /** Milliseconds of rounding a new offset must pass besides the reading's round trip. */
    static constexpr std::int64_t roundingMs = 2;
    /** How close to a 32-bit wrap no wait is asked for. */
    static constexpr std::int64_t wrapMarginMs = 2000;

    /** Whether the clock should be read at monotonic `nowNs`: never read, forgotten, or read 10 s ago. */
    bool isDue(std::int64_t nowNs) const { return !m_checkedAt || nowNs - *m_checkedAt >= checkIntervalNs; }
    /**
     * Takes `reading`, made at monotonic `nowNs`. Returns true when the offset changed: waits
     * asked for with the old one are off.
     */
    bool take(const Reading &reading, std::int64_t nowNs);
    /** Reads again at the next look, and takes that reading's offset whatever it is. */
    void forget() { m_checkedAt.reset(); }
    /** Whether a reading is in use (not forgotten since). */
    bool isKnown() const { return m_checkedAt.has_value(); }

    /** The server's clock less the monotonic clock, milliseconds. */
    std::int64_t offsetMs() const { return m_offsetMs; }
    /** The server's first millisecond at or after monotonic `monotonicNs`: what a wait for that instant waits for. */
    std::int64_t serverMsFor(std::int64_t monotonicNs) const
    {
        return (monotonicNs + 999'999) / 1'000'000 + m_offsetMs;
    }
    /** Nanoseconds from server time `serverMs` to monotonic `nowNs`. */
    std::int64_t nsSince(std::int64_t serverMs, std::int64_t nowNs) const
    {
        return (nowNs / 1'000'000 + m_offsetMs - serverMs) * 1'000'000;
    }
    /** Whether a wait for `serverMs` surely ends: never across a 32-bit wrap. */
    bool canWaitFor(std::int64_t serverMs) const;

private:
    std::optional<std::int64_t> m_checkedAt;
    std::int64_t m_offsetMs = 0;
    std::int64_t m_lastServerMs = 0; ///< the server's clock when last read
};
