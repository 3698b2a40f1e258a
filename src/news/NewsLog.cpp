#include "news/NewsLog.h"

Q_LOGGING_CATEGORY(lcNews, "dotbanner.news", QtInfoMsg)
