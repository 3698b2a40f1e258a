#include "settingsui/SettingsUiLog.h"

Q_LOGGING_CATEGORY(lcSettingsUi, "dotbanner.settingsui", QtInfoMsg)
