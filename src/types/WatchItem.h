#pragma once

#include "types/SettingsEnums.h"

#include <QString>
#include <QUuid>

#include <optional>

/** One watched value on the band's first line. */
struct WatchItem
{
    QUuid id;
    ItemKind kind = ItemKind::quote;
    QString symbol;             ///< provider symbol, metal code or city query
    QString label;              ///< short name drawn on the band
    std::optional<QString> ref; ///< "lat,lon" of a picked city, or a market code; absent otherwise

    friend bool operator==(const WatchItem &, const WatchItem &) = default;
};

/**
 * Watched items beyond this many stay in the record but are neither fetched nor drawn:
 * each costs requests, memory and width on the band.
 */
inline constexpr qsizetype maxActiveWatchItems = 200;
