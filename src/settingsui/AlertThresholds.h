#pragma once

#include <optional>

/**
 * The thresholds of one watch item's price alert as the content tab edits them: a price to
 * rise to, a price to fall to, a day's move in percent. None set: no alert.
 */
struct AlertThresholds
{
    std::optional<double> above;
    std::optional<double> below;
    std::optional<double> movePercent;

    bool isEmpty() const { return !above && !below && !movePercent; }

    friend bool operator==(const AlertThresholds &, const AlertThresholds &) = default;
};
