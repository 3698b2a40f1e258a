#include "search/SearchLog.h"

Q_LOGGING_CATEGORY(lcSearch, "dotbanner.search", QtInfoMsg)
