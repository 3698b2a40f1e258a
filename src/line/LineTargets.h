#pragma once

#include "types/Headline.h"
#include "types/LineSpan.h"
#include "types/Quote.h"
#include "types/WatchItem.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

/**
 * What an item of the band leads to: the address a click opens (empty: nothing opens) and
 * the text shown when the pointer rests on it. Texts are plain, one fact a line.
 */
namespace LineTargets {

struct Target
{
    QUrl url;
    QString tooltip;

    friend bool operator==(const Target &, const Target &) = default;
};

/**
 * Most characters on one line of a tooltip: some 600 to 700 pixels in the usual tooltip
 * fonts, within the narrowest screen the band runs on.
 */
inline constexpr int maxTooltipColumns = 80;

/**
 * `text` made safe to show as a tooltip: without the bidirectional controls (U+202A–U+202E,
 * U+2066–U+2069) that would reorder it, and with every line longer than `maxColumns`
 * characters wrapped at a space, or cut where a word alone is longer.
 */
QString tidyTooltip(const QString &text, int maxColumns = maxTooltipColumns);

/**
 * The quote page of a stock symbol: https://finance.yahoo.com/quote/ + the symbol as one
 * percent-encoded path segment ("/" included); none for an empty symbol, "." or "..".
 */
QUrl quotePage(const QString &symbol);

/**
 * The target of a quote of `item` (null when the watch list no longer has it). Stocks open
 * their quote page; metals and weather open nothing. A `stale` value says since when it has
 * not been updated. A stock whose market is closed at `now` (the current time when invalid)
 * says when it opens; see marketLines(). A non-empty `why` tells why the value is missing or
 * stale, on the last line; it replaces the placeholder of a quote without a value.
 */
Target quoteTarget(const Quote &quote, const WatchItem *item, bool stale = false, const QDateTime &now = {},
                   const QString &why = {});

/**
 * The lines a stock's tooltip gives about its market at `now`: "Marché fermé — ouvre à 09:00"
 * (the opening in the exchange's time) while it is closed, then the pre- and post-market
 * prices where the quote has them. Empty for a quote without market hours.
 */
QStringList marketLines(const Quote &quote, const QDateTime &now);

/** The target of a headline's span: its source's name opens the feed's site, its title its own page. */
Target headlineTarget(const Headline &headline, LineSpan::Part part);

/** The French name of a weather condition. */
QString conditionName(WeatherIcon icon);

} // namespace LineTargets
