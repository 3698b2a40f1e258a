#pragma once

#include <QUuid>

#include <optional>

/**
 * The alert of one watch item: a price to rise to, a price to fall to, and a day's move (in
 * percent, either way) to reach. Each is optional; an alert with none does nothing.
 */
struct PriceAlert
{
    QUuid item;                        ///< the watch item's id
    std::optional<double> above;       ///< fires when the price is at or above it
    std::optional<double> below;       ///< fires when the price is at or below it
    std::optional<double> movePercent; ///< fires when the day's change is this many percent or more, up or down

    bool isEmpty() const { return !above && !below && !movePercent; }

    friend bool operator==(const PriceAlert &, const PriceAlert &) = default;
};
