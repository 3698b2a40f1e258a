#pragma once

#include <QtGlobal>

/**
 * Watched items beyond this many stay in the record but are neither fetched nor drawn:
 * each costs requests, memory and width on the band.
 */
inline constexpr qsizetype maxActiveWatchItems = 200;
