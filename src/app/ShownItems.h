#pragma once

#include "band/BandItems.h"
#include "types/Headline.h"
#include "types/Quote.h"

class Settings;
class SourceHealth;

/**
 * What the band's lines show now, item by item: the quotes and headlines of the last lines
 * shown, the spans drawn from them, and which quotes were drawn as stale. An item's target is
 * made when asked, with the watch list and the sources' health as they are then: an item without
 * a fresh value tells why, and one whose key is missing or refused leads to that key's field.
 */
class ShownItems : public BandItems
{
public:
    /** Reads the watch list from `settings` and the reasons from `health`, which must outlive it. */
    explicit ShownItems(const Settings &settings, const SourceHealth &health);

    /** The line of quotes now shows `quotes` as `spans`; `stale` flags them one by one. */
    void setQuotes(QList<Quote> quotes, QList<bool> stale, QList<LineSpan> spans);
    /**
     * The news line now shows `headlines` as `spans`, both empty without a news line; `message`
     * is the text of its message span, while no headline is there.
     */
    void setHeadlines(QList<Headline> headlines, QList<LineSpan> spans, QString message = {});

    const QList<LineSpan> &spans(int line) const override;
    std::optional<LineTargets::Target> target(int line, const LineSpan &span) const override;
    /** A quote reads as its name, value and change; a headline as its title, a feed as its name. */
    Reading reading(int line, const LineSpan &span) const override;

    const QList<Quote> &quotes() const { return m_quotes; }
    const QList<bool> &stale() const { return m_stale; }
    const QList<Headline> &headlines() const { return m_headlines; }

private:
    const Settings &m_settings;
    const SourceHealth &m_health;
    QList<Quote> m_quotes;
    QList<bool> m_stale;
    QList<LineSpan> m_quoteSpans;
    QList<Headline> m_headlines;
    QList<LineSpan> m_newsSpans;
    QString m_message;
};
