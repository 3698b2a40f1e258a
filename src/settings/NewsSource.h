#pragma once

#include <QList>
#include <QString>
#include <QUuid>

/** One configured news feed. */
struct NewsSource
{
    QUuid id;
    QString name;         ///< becomes the source of every headline of this feed
    QString url;          ///< as typed by the user; surrounding white space is tolerated
    bool enabled = true;

    /** The four default feeds, built once per process with fresh ids, all enabled. */
    static const QList<NewsSource> &defaults();

    friend bool operator==(const NewsSource &, const NewsSource &) = default;
};
