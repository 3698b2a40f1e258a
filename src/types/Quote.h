#pragma once

#include "types/WeatherIcon.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

/** One value on the band's first line, for one watch item. */
struct Quote
{
    QUuid id;                        ///< the watch item's id
    QString name;                    ///< the watch item's label
    QString price;                   ///< formatted price, or the placeholder "--" / "CLE?"
    std::optional<double> change;    ///< change in percent; absent without a reference value
    QList<double> series;            ///< empty, or 18 points between 0.08 and 0.92
    std::optional<WeatherIcon> icon; ///< weather items only
    QDateTime at{};                  ///< when the value was fetched; invalid for a placeholder

    friend bool operator==(const Quote &, const Quote &) = default;
};
