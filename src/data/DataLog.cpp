#include "data/DataLog.h"

Q_LOGGING_CATEGORY(lcData, "dotbanner.data", QtInfoMsg)
