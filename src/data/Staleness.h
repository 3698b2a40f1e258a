#pragma once

#include "types/Quote.h"
#include "types/SettingsEnums.h"
#include "types/WatchItem.h"

#include <QDateTime>
#include <QList>

/**
 * When a value on the band has stopped updating. A stock value is stale once it is older
 * than three refresh periods of its provider, except a closed market's close until its
 * market has opened again (see DataService::quietUntil); a metal or weather value once it is older than
 * the daily slot before the last one (it missed two refreshes in a row). Placeholders, which
 * carry no time, are never stale.
 */
namespace Staleness {

/** Seconds after which a stock value from `provider` is stale. */
qint64 stockLimitSeconds(StockProvider provider);

/** Whether `quote`, shown for an item of `kind`, is stale at `now`. */
bool isStale(const Quote &quote, ItemKind kind, StockProvider provider, const QDateTime &now);

/** One flag per quote, its kind looked up in `items` by id (a quote without an item counts as a stock). */
QList<bool> flags(const QList<Quote> &quotes, const QList<WatchItem> &items, StockProvider provider,
                  const QDateTime &now);

} // namespace Staleness
