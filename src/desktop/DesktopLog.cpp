#include "desktop/DesktopLog.h"

Q_LOGGING_CATEGORY(lcDesktop, "dotbanner.desktop", QtInfoMsg)
