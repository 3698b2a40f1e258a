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

    /** The four default feeds, French news, built once per process with fresh ids, all enabled. */
    static const QList<NewsSource> &defaults();
    /** The four default feeds of an English interface: general and business news in English. */
    static const QList<NewsSource> &englishDefaults();
    /** englishDefaults() when `english`, else defaults(). */
    static const QList<NewsSource> &defaultsFor(bool english) { return english ? englishDefaults() : defaults(); }
    /**
     * Whether `sources` are the default feeds (of English when `english`): the same names,
     * addresses and switches in the same order. Ids are not compared: the defaults get fresh
     * ones at every start.
     */
    static bool areDefaults(const QList<NewsSource> &sources, bool english = false);

    friend bool operator==(const NewsSource &, const NewsSource &) = default;
};

/**
 * Enabled feeds beyond this many stay in the record and in the settings window but are
 * neither downloaded nor drawn, so no record can make the news line unbounded.
 */
inline constexpr qsizetype maxActiveNewsSources = 100;
