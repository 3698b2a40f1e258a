#pragma once

#include "types/MarketSession.h"

#include <QDateTime>
#include <QTimeZone>

#include <optional>

/**
 * Whether a market is open, from the regular session its quote service last reported. The
 * service names only the session current when it answered, so a later opening is that
 * session's start moved on by whole days in the exchange's time (weekends and holidays are
 * not known: a closed market is looked at again once a day).
 */
namespace MarketHours {

/** A regular session this long or longer belongs to a market that never closes (crypto). */
inline constexpr qint64 allDaySeconds = 23 * 3600;

/** When a closed market last closed and when it opens next. */
struct Closure
{
    QDateTime lastClose;
    QDateTime nextOpen;

    friend bool operator==(const Closure &, const Closure &) = default;
};

/** True for a market without a regular session or with one covering the whole day. */
bool isAllDay(const MarketSession &session);

/** The exchange's zone: the named one where this system knows it, else its offset, else UTC. */
QTimeZone zone(const MarketSession &session);

/** The closure the market is in at `now`; nothing while it is open, or if it never closes. */
std::optional<Closure> closure(const MarketSession &session, const QDateTime &now);

} // namespace MarketHours
