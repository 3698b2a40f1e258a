#include "avoider/AvoiderLog.h"

Q_LOGGING_CATEGORY(lcAvoider, "dotbanner.avoider", QtInfoMsg)
