#include "alerts/AlertsLog.h"

Q_LOGGING_CATEGORY(lcAlerts, "dotbanner.alerts", QtInfoMsg)
