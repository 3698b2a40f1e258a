#include "app/AlertEditing.h"

#include "settingsui/SettingsEnvironment.h"

AlertThresholds thresholdsOf(const PriceAlert &alert)
{
    return AlertThresholds{alert.above, alert.below, alert.movePercent};
}

PriceAlert alertOf(const QUuid &item, const AlertThresholds &thresholds)
{
    return PriceAlert{item, thresholds.above, thresholds.below, thresholds.movePercent};
}

void connectAlertEditing(SettingsEnvironment &environment, std::function<AlertStore *()> store)
{
    environment.alertOf = [store](const QUuid &item) -> std::optional<AlertThresholds> {
        AlertStore *alerts = store ? store() : nullptr;
        if (!alerts)
            return std::nullopt;
        const std::optional<PriceAlert> alert = alerts->alert(item);
        return alert ? std::optional(thresholdsOf(*alert)) : std::nullopt;
    };
    environment.setAlert = [store](const QUuid &item, const AlertThresholds &thresholds) {
        AlertStore *alerts = store ? store() : nullptr;
        // No thresholds removes the alert (AlertStore::setAlert does so too).
        return alerts && alerts->setAlert(alertOf(item, thresholds));
    };
}
