#include "x11band/X11BandLog.h"

Q_LOGGING_CATEGORY(lcX11Band, "dotbanner.x11band", QtInfoMsg)
