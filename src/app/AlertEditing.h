#pragma once

#include "alerts/AlertStore.h"
#include "settingsui/AlertThresholds.h"

#include <QUuid>

#include <functional>
#include <optional>

class SettingsEnvironment;

/**
 * Lets the settings window edit the price alerts: the environment's alertOf and setAlert read
 * and write the store `store` gives when asked (none yet, or none any more: nothing to edit).
 */
void connectAlertEditing(SettingsEnvironment &environment, std::function<AlertStore *()> store);

/** An alert's thresholds as the settings window edits them, and back. */
AlertThresholds thresholdsOf(const PriceAlert &alert);
PriceAlert alertOf(const QUuid &item, const AlertThresholds &thresholds);
