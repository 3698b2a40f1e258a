#pragma once

#include "types/HealthRecord.h"
#include "types/SourceFailure.h"
#include "types/SourceId.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QUuid>

#include <optional>

/**
 * How every source of values fares: each stock service, Metals.Dev, WeatherAPI and each news
 * feed, with its last success, its last failure and when a waiting source is asked again.
 * Where a service answers per item (one stock symbol, one place), the items it failed for
 * alone are kept apart: a symbol the service does not know leaves the service itself healthy.
 *
 * The data and news services record every outcome here; the band and the settings window
 * read it. In memory only, on the main thread.
 */
class SourceHealth : public QObject
{
    Q_OBJECT
public:
    /** What one recorded outcome changed, for the caller to log. */
    enum class Transition {
        same,      ///< the state did not change: another success, or a retry failing the same way
        firstOk,   ///< the first success of a source (or item) never heard of before
        recovered, ///< a success after failures
        failing,   ///< a first failure, or a failure for another reason than the last one
    };
    /**
     * What a recorded outcome changed, for the log: the transition of the source's record, and
     * that of the item's as far as the item alone is concerned (a failure of the whole source,
     * and the item's recovery from one, are the source's to tell). `same` when not touched.
     */
    struct Outcome
    {
        Transition source = Transition::same;
        Transition item = Transition::same;

        friend bool operator==(const Outcome &, const Outcome &) = default;
    };

    explicit SourceHealth(QObject *parent = nullptr);

    /** The model of the running process, fed by DataService::shared() and NewsService::shared(). */
    static SourceHealth &shared();

    /**
     * True for the failures that concern one item of a service, not the service: the symbol
     * or place it does not know, an answer without that item's value, a request the item's
     * own text made impossible.
     */
    static bool concernsItemOnly(FailureKind kind);

    /**
     * A success of `source` at `at`; with `item`, of that item too. Clears the next try of
     * what succeeded.
     */
    Outcome recordSuccess(const SourceId &source, const QDateTime &at, const QUuid &item = {});
    /**
     * A failure of `source`. With `item`, the item's record takes it, and the source's too
     * unless the failure concerns the item only (concernsItemOnly); a source never heard of
     * before then counts as answering (ok, without a success time) unless nothing was sent
     * (FailureKind::badAddress). `nextTry` is when the
     * one that failed is asked again (invalid: at the next usual time).
     */
    Outcome recordFailure(const SourceId &source, const SourceFailure &failure, const QUuid &item = {},
                          const QDateTime &nextTry = {});

    /** The record of `source`; an unknown one when nothing was recorded. */
    HealthRecord record(const SourceId &source) const;
    /** The record of one item of `source`; an unknown one when nothing was recorded for it. */
    HealthRecord itemRecord(const SourceId &source, const QUuid &item) const;
    /**
     * Why `item` of `source` has no fresh value: the item's own failure while it fails, else
     * the source's while the source fails; nothing while both are well or unknown.
     */
    std::optional<SourceFailure> failureFor(const SourceId &source, const QUuid &item) const;
    /** When `item` of `source` is asked again: its own wait, else the source's; invalid when neither waits. */
    QDateTime nextTryFor(const SourceId &source, const QUuid &item) const;
    /** Every source with a record, in no particular order. */
    QList<SourceId> sources() const { return m_sources.keys(); }

    /** Forgets the item records of every source that belong to none of `items` (items removed from the watch list). */
    void keepItems(const QSet<QUuid> &items);
    /** Forgets everything; nothing is signalled. For tests. */
    void clear() { m_sources.clear(); }

signals:
    /** Any record of `source` (or of one of its items) changed, times included. */
    void changed(const SourceId &source);
    /** The state of `source` or of one of its items changed (see Transition); a subset of changed(). */
    void stateChanged(const SourceId &source);

private:
    struct Entry
    {
        HealthRecord record;
        QHash<QUuid, HealthRecord> items;
    };

    static Transition succeed(HealthRecord &record, const QDateTime &at);
    static Transition fail(HealthRecord &record, const SourceFailure &failure, const QDateTime &nextTry);
    void announce(const SourceId &source, bool stateChange);

    QHash<SourceId, Entry> m_sources;
};
