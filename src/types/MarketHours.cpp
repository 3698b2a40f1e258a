#include "types/MarketHours.h"

#include <algorithm>

namespace MarketHours {

bool isAllDay(const MarketSession &session)
{
    if (!session.regular)
        return true;
    return session.regular->start.secsTo(session.regular->end) >= allDaySeconds;
}

QTimeZone zone(const MarketSession &session)
{
    if (!session.timeZone.isEmpty()) {
        const QByteArray id = session.timeZone.toUtf8();
        if (QTimeZone::isTimeZoneIdAvailable(id))
            return QTimeZone(id);
    }
    if (session.utcOffsetSeconds)
        return QTimeZone(*session.utcOffsetSeconds);
    return QTimeZone::utc();
}

std::optional<Closure> closure(const MarketSession &session, const QDateTime &now)
{
    if (isAllDay(session) || !now.isValid())
        return std::nullopt;
    const TradingPeriod &regular = *session.regular;
    if (!regular.start.isValid() || !regular.end.isValid())
        return std::nullopt;
    if (now >= regular.start && now < regular.end)
        return std::nullopt;

    // Days are counted in the exchange's zone so that an opening keeps its local time
    // across a change of daylight saving time.
    const QTimeZone exchange = zone(session);
    const QDateTime start = regular.start.toTimeZone(exchange);
    const QDateTime end = regular.end.toTimeZone(exchange);
    if (now < regular.start) {
        // Before the session named (a morning, or a weekend when the service already names
        // Monday's): the last close is taken as that session's end on the latest earlier day.
        const qint64 back = std::max<qint64>(1, now.secsTo(regular.end) / 86400);
        for (qint64 days = back; days <= back + 4; ++days) {
            const QDateTime close = end.addDays(-days);
            if (close <= now)
                return Closure{close.toUTC(), regular.start.toUTC()};
        }
        return Closure{now.toUTC(), regular.start.toUTC()};
    }

    // Long after the session (a value kept for days), jump close to now before stepping.
    const qint64 first = std::max<qint64>(1, start.secsTo(now) / 86400 - 1);
    for (qint64 days = first; days <= first + 4; ++days) {
        const QDateTime open = start.addDays(days);
        if (open > now)
            return Closure{regular.end.toUTC(), open.toUTC()};
    }
    return Closure{regular.end.toUTC(), now.addDays(1).toUTC()};
}

} // namespace MarketHours
