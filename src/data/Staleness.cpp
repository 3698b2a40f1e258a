#include "data/Staleness.h"

#include "data/DataService.h"

#include <QHash>

namespace Staleness {

qint64 stockLimitSeconds(StockProvider provider)
{
    // Yahoo is asked every minute; Twelve Data, to stay within its quota, every ten.
    switch (provider) {
    case StockProvider::twelveData:
        return 3 * DataService::twelveDataReuseSeconds;
    case StockProvider::yahoo:
        break;
    }
    return 3 * std::chrono::duration_cast<std::chrono::seconds>(DataService::refreshInterval).count();
}

bool isStale(const Quote &quote, ItemKind kind, StockProvider provider, const QDateTime &now)
{
    if (!quote.at.isValid() || !now.isValid())
        return false;
    if (kind == ItemKind::quote) {
        // A closed market's close is not asked again before the market opens: it is current.
        const auto quiet = DataService::quietUntil(quote, quote.at);
        if (quiet && now <= quiet->addSecs(stockLimitSeconds(provider)))
            return false;
        return quote.at.secsTo(now) > stockLimitSeconds(provider);
    }
    const QDateTime slotBefore = DataService::lastSlot(DataService::lastSlot(now).addSecs(-1));
    return quote.at < slotBefore;
}

QList<bool> flags(const QList<Quote> &quotes, const QList<WatchItem> &items, StockProvider provider,
                  const QDateTime &now)
{
    QHash<QUuid, ItemKind> kinds;
    for (const WatchItem &item : items)
        kinds.insert(item.id, item.kind);
    QList<bool> result;
    result.reserve(quotes.size());
    for (const Quote &quote : quotes)
        result.append(isStale(quote, kinds.value(quote.id, ItemKind::quote), provider, now));
    return result;
}

} // namespace Staleness
