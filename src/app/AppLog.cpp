#include "app/AppLog.h"

Q_LOGGING_CATEGORY(lcApp, "dotbanner.app", QtInfoMsg)
