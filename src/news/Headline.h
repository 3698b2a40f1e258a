#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>

/** One item of the news line. */
struct Headline
{
    QString source;   ///< the feed's name when it was fetched
    QString title;    ///< the normalised title
    QUrl link{};      ///< the item's own page (http or https); empty when the feed names none
    QDateTime date{}; ///< when the item was published; invalid when the feed does not say
    QUrl site{};      ///< the feed's own site (http or https); empty when the feed names none

    friend bool operator==(const Headline &, const Headline &) = default;
};
