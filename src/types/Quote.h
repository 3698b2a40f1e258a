#pragma once

#include "types/MarketSession.h"
#include "types/WeatherIcon.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

/** One value on the band's first line, for one watch item. */
struct Quote
{
    /** Most points kept in dayCloses: a whole day at five-minute steps, with room to spare. */
    static constexpr qsizetype maxDayPoints = 400;

    QUuid id;                        ///< the watch item's id
    QString name;                    ///< the watch item's label
    QString price;                   ///< formatted price, or the placeholder "--" / "CLE?"
    std::optional<double> change;    ///< change in percent; absent without a reference value
    QList<double> series;            ///< empty, or 18 points between 0.08 and 0.92
    std::optional<WeatherIcon> icon; ///< weather items only
    QDateTime at{};                  ///< when the value was fetched; invalid for a placeholder
    /** The day's closes as the service gave them, oldest first, at most maxDayPoints (stocks from Yahoo). */
    QList<DayPoint> dayCloses;
    /** The market's hours and extended-hours prices (stocks from Yahoo); absent elsewhere. */
    std::optional<MarketSession> market;

    friend bool operator==(const Quote &, const Quote &) = default;
};
