#pragma once

#include <QLoggingCategory>

// "dotbanner.alerts": warnings are on; debug messages only with QT_LOGGING_RULES="dotbanner.*.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcAlerts)
