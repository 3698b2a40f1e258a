#include "settings/SettingsLog.h"

Q_LOGGING_CATEGORY(lcSettings, "dotbanner.settings", QtInfoMsg)
