#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

/** One session of a market, as two instants (start before end). */
struct TradingPeriod
{
    QDateTime start;
    QDateTime end;

    friend bool operator==(const TradingPeriod &, const TradingPeriod &) = default;
};

/**
 * What a stock's quote service said about its market along with the value: the regular
 * session it called current, the exchange's time zone, and the latest prices outside the
 * regular session where it gave them. Every member may be missing; see MarketHours for
 * what follows from them.
 */
struct MarketSession
{
    std::optional<TradingPeriod> regular;
    QString timeZone;                      ///< the exchange's IANA zone ("America/New_York"); empty if not given
    std::optional<int> utcOffsetSeconds;   ///< the exchange's offset from UTC when the answer was made
    std::optional<double> preMarketPrice;  ///< before the regular session
    std::optional<double> postMarketPrice; ///< after the regular session

    friend bool operator==(const MarketSession &, const MarketSession &) = default;
};

/** One close of the day's chart and its time. */
struct DayPoint
{
    qint64 time = 0; ///< seconds since 1970-01-01 UTC
    double close = 0;

    friend bool operator==(const DayPoint &, const DayPoint &) = default;
};
