#include "line/LineTargets.h"

#include "types/MarketHours.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("LineTargets", text);
}

// A tooltip shows a title whole, but never a whole book.
constexpr qsizetype kMaxTooltipText = 600;

QString bounded(const QString &text)
{
    return text.size() > kMaxTooltipText ? text.left(kMaxTooltipText) + QStringLiteral("\u2026") : text;
}

/** The bidirectional embeddings, overrides and isolates: they would reorder the tooltip's text. */
bool isBidiControl(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

QString localTime(const QDateTime &time)
{
    const QDateTime local = time.toLocalTime();
    const QLocale locale;
    // Today's values need only the time; older ones the day too.
    if (local.date() == QDate::currentDate())
        return locale.toString(local.time(), QLocale::ShortFormat);
    return locale.toString(local, QLocale::ShortFormat);
}

/** A price as the band writes it: two decimals below 10000, none from there up. */
QString priceText(double price)
{
    return QString::asprintf(price < 10000 ? "%.2f" : "%.0f", price);
}

} // namespace

namespace LineTargets {

QString tidyTooltip(const QString &text, int maxColumns)
{
    maxColumns = std::max(maxColumns, 8);
    QStringList out;
    for (QString line : text.split(u'\n')) {
        line.removeIf(isBidiControl);
        // Wrapped at the last space that fits; a word longer than a line is cut where it must be.
        while (line.size() > maxColumns) {
            qsizetype cut = line.lastIndexOf(u' ', maxColumns);
            const bool atSpace = cut > 0;
            if (!atSpace)
                cut = maxColumns;
            out << line.left(cut);
            line = line.mid(atSpace ? cut + 1 : cut);
        }
        out << line;
    }
    return out.join(u'\n');
}

QUrl quotePage(const QString &symbol)
{
    const QString trimmed = symbol.trimmed();
    // "." and ".." would be read as a step within the path, escaped or not: no page for them.
    if (trimmed.isEmpty() || trimmed == QLatin1String(".") || trimmed == QLatin1String(".."))
        return {};
    // Every character outside the unreserved set is escaped, so "^GSPC" becomes "%5EGSPC"
    // and a symbol can never add a path, a query or a fragment.
    return QUrl::fromEncoded("https://finance.yahoo.com/quote/" + QUrl::toPercentEncoding(trimmed), QUrl::StrictMode);
}

QString conditionName(WeatherIcon icon)
{
    switch (icon) {
    case WeatherIcon::sun:
        return tr("Ensoleillé");
    case WeatherIcon::moon:
        return tr("Ciel dégagé");
    case WeatherIcon::partly:
    case WeatherIcon::partlyNight:
        return tr("Partiellement nuageux");
    case WeatherIcon::cloud:
        return tr("Nuageux");
    case WeatherIcon::rain:
        return tr("Pluie");
    case WeatherIcon::snow:
        return tr("Neige");
    case WeatherIcon::thunder:
        return tr("Orage");
    case WeatherIcon::fog:
        return tr("Brouillard");
    }
    return {};
}

QStringList marketLines(const Quote &quote, const QDateTime &now)
{
    QStringList lines;
    if (!quote.market)
        return lines;
    const MarketSession &market = *quote.market;
    if (const auto closed = MarketHours::closure(market, now)) {
        const QTime opens = closed->nextOpen.toTimeZone(MarketHours::zone(market)).time();
        lines << tr("Marché fermé — ouvre à %1").arg(opens.toString(QStringLiteral("HH:mm")));
    }
    if (market.preMarketPrice)
        lines << tr("Avant-Bourse : %1").arg(priceText(*market.preMarketPrice));
    if (market.postMarketPrice)
        lines << tr("Après-Bourse : %1").arg(priceText(*market.postMarketPrice));
    return lines;
}

Target quoteTarget(const Quote &quote, const WatchItem *item, bool stale, const QDateTime &now, const QString &why)
{
    Target target;
    QStringList lines;
    const ItemKind kind = item ? item->kind : (quote.icon ? ItemKind::weather : ItemKind::quote);
    if (kind == ItemKind::weather) {
        lines << bounded(quote.name);
        if (quote.at.isValid() || why.isEmpty()) {
            QString weather = quote.price;
            if (quote.icon)
                weather += QStringLiteral(", ") + conditionName(*quote.icon);
            lines << weather;
        }
    } else {
        QString head = bounded(quote.name);
        if (item && !item->symbol.isEmpty() && item->symbol != quote.name)
            head += QStringLiteral(" (") + bounded(item->symbol) + u')';
        lines << head;
        QString value = quote.price;
        // Without a value the placeholder says nothing the band did not: the reason replaces it.
        if (!quote.at.isValid() && !why.isEmpty())
            value.clear();
        if (quote.change && std::isfinite(*quote.change))
            value += QStringLiteral("  ") + QString::asprintf("%+.2f %%", *quote.change);
        if (!value.isEmpty())
            lines << value;
        if (kind == ItemKind::quote) {
            lines << marketLines(quote, now.isValid() ? now : QDateTime::currentDateTimeUtc());
            if (item)
                target.url = quotePage(item->symbol);
        }
    }
    if (stale && quote.at.isValid())
        lines << tr("Valeur non mise à jour depuis %1").arg(localTime(quote.at));
    else if (quote.at.isValid())
        lines << tr("Valeur de %1").arg(localTime(quote.at));
    if (!why.isEmpty())
        lines << bounded(why);
    target.tooltip = tidyTooltip(lines.join(u'\n'));
    return target;
}

Target headlineTarget(const Headline &headline, LineSpan::Part part)
{
    Target target;
    QStringList lines{bounded(headline.source), bounded(headline.title)};
    if (headline.date.isValid())
        lines << localTime(headline.date);
    target.tooltip = tidyTooltip(lines.join(u'\n'));
    if (part == LineSpan::Part::source)
        target.url = headline.site;
    else if (part == LineSpan::Part::title)
        target.url = headline.link;
    return target;
}

} // namespace LineTargets
