#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <algorithm>

/** One item of the news line. */
struct Headline
{
    /** Most characters of a title on the band; a longer one is cut and ends in "…". */
    static constexpr qsizetype maxTitleLength = 300;
    /** Most characters of a feed's name on the band. */
    static constexpr qsizetype maxSourceLength = 60;

    QString source;   ///< the feed's name when it was fetched
    QString title;    ///< the normalised title
    QUrl link{};      ///< the item's own page (http or https); empty when the feed names none
    QDateTime date{}; ///< when the item was published; invalid when the feed does not say
    QUrl site{};      ///< the feed's own site (http or https); empty when the feed names none

    /**
     * `text` when it has at most `limit` characters; otherwise its start, cut between two
     * characters (never inside a surrogate pair), followed by "…", `limit` characters in all.
     */
    static QString shortened(const QString &text, qsizetype limit)
    {
        if (text.size() <= limit)
            return text;
        qsizetype keep = std::max<qsizetype>(limit - 1, 0);
        if (keep > 0 && text.at(keep - 1).isHighSurrogate())
            --keep;
        return text.first(keep) + QChar(u'\u2026');
    }

    friend bool operator==(const Headline &, const Headline &) = default;
};
