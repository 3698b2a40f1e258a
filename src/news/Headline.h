#pragma once

#include <QString>

/** One item of the news line. */
struct Headline
{
    QString source; ///< the feed's name when it was fetched
    QString title;  ///< the normalised title

    friend bool operator==(const Headline &, const Headline &) = default;
};
