#include "app/ShownItems.h"

#include "band/BandLines.h"
#include "line/LedBuilder.h"
#include "health/ItemHealth.h"
#include "settings/Settings.h"
#include "util/Clock.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

ShownItems::ShownItems(const Settings &settings, const SourceHealth &health)
    : m_settings(settings)
    , m_health(health)
{}

void ShownItems::setQuotes(QList<Quote> quotes, QList<bool> stale, QList<LineSpan> spans)
{
    m_quotes = std::move(quotes);
    m_stale = std::move(stale);
    m_quoteSpans = std::move(spans);
}

void ShownItems::setHeadlines(QList<Headline> headlines, QList<LineSpan> spans, QString message)
{
    m_headlines = std::move(headlines);
    m_newsSpans = std::move(spans);
    m_message = std::move(message);
}

const QList<LineSpan> &ShownItems::spans(int line) const
{
    static const QList<LineSpan> none;
    if (line == BandLines::quotes)
        return m_quoteSpans;
    if (line == BandLines::news)
        return m_newsSpans;
    return none;
}

std::optional<LineTargets::Target> ShownItems::target(int line, const LineSpan &span) const
{
    if (line == BandLines::quotes) {
        if (span.index < 0 || span.index >= m_quotes.size())
            return std::nullopt;
        const Quote &quote = m_quotes.at(span.index);
        const QList<WatchItem> items = m_settings.items();
        const auto item =
            std::find_if(items.cbegin(), items.cend(), [&](const WatchItem &w) { return w.id == quote.id; });
        if (item == items.cend())
            return LineTargets::quoteTarget(quote, nullptr, m_stale.value(span.index), Clock::current().now());
        // The market's state is told as of the injectable clock's now. A fresh value needs no excuse; a placeholder or a stale one says what went wrong.
        const bool stale = m_stale.value(span.index);
        std::optional<ItemHealth::Why> why;
        if (stale || !quote.at.isValid())
            why = ItemHealth::why(m_health, *item, m_settings.stockProvider());
        LineTargets::Target target = LineTargets::quoteTarget(quote, &*item, stale, Clock::current().now(), why ? why->text : QString());
        if (why && why->key)
            target.url = ItemHealth::keyFieldLink(*why->key);
        return target;
    }
    if (line != BandLines::news || span.part == LineSpan::Part::message || span.index < 0 ||
        span.index >= m_headlines.size())
        return std::nullopt;
    return LineTargets::headlineTarget(m_headlines.at(span.index), span.part);
}

BandItems::Reading ShownItems::reading(int line, const LineSpan &span) const
{
    Reading reading;
    if (const std::optional<LineTargets::Target> target = this->target(line, span)) {
        reading.description = target->tooltip;
        reading.opens = !target->url.isEmpty();
    }
    if (line == BandLines::quotes && span.index >= 0 && span.index < m_quotes.size()) {
        const Quote &quote = m_quotes.at(span.index);
        QStringList words{Headline::shortened(quote.name, LedBuilder::maxNameLength)};
        if (!quote.price.isEmpty())
            words << quote.price;
        if (quote.icon)
            words << LineTargets::conditionName(*quote.icon);
        if (quote.change && std::isfinite(*quote.change))
            words << QString::asprintf("%+.2f %%", *quote.change);
        reading.name = words.join(u' ');
    } else if (line == BandLines::news && span.part == LineSpan::Part::message) {
        reading.name = m_message;
    } else if (line == BandLines::news && span.index >= 0 && span.index < m_headlines.size()) {
        const Headline &headline = m_headlines.at(span.index);
        reading.name = span.part == LineSpan::Part::source
                           ? Headline::shortened(headline.source, Headline::maxSourceLength)
                           : Headline::shortened(headline.title, Headline::maxTitleLength);
    }
    return reading;
}
