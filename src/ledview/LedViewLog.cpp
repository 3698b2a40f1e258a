#include "ledview/LedViewLog.h"

Q_LOGGING_CATEGORY(lcLedView, "dotbanner.ledview", QtInfoMsg)
