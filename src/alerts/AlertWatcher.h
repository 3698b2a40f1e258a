#pragma once

#include "alerts/PriceAlert.h"
#include "types/Quote.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>

#include <optional>

class AlertNotifier;
class AlertStore;
class DataService;

/**
 * Compares every newly fetched value with the alerts of its item and tells each alert that is
 * reached, once: an above alert when the price is at or above it, a below alert when at or
 * below it, a move alert when the day's change is at least that many percent either way. A
 * reached alert stays quiet while the value stays beyond it, and is armed again once the value
 * has come back: by priceMargin of the threshold for prices, below moveRearmShare of the
 * threshold for moves (a day's change wavers around a threshold more than a price does).
 *
 * Only values fetched while watching count: a value is new when it carries a fetch time
 * (placeholders do not), no earlier than the watcher's start (values read back from the
 * stores at launch are older) and other than the one seen before for its item. The alerts of
 * one value that are reached together make one notification. An item whose alert fired is
 * "alerting" until acknowledge() is called for it (the pointer rests on it, or clicks it).
 */
class AlertWatcher : public QObject
{
    Q_OBJECT
public:
    /** A price alert is armed again once the price is back by this share of its threshold. */
    static constexpr double priceMargin = 0.005;
    /** A move alert is armed again once the day's change is below this share of its threshold. */
    static constexpr double moveRearmShare = 0.9;
    /** Longest label put in a notification's summary. */
    static constexpr qsizetype maxSummaryLength = 100;

    /** Watches the alerts of `store` and tells through `notifier`; neither is owned. */
    AlertWatcher(AlertStore &store, AlertNotifier &notifier, QObject *parent = nullptr);

    /** Looks at every publication of `data` from now on. */
    void watch(DataService &data);
    /** Looks at one publication of the band's values (as DataService::quotesChanged gives it). */
    void observe(const QList<Quote> &quotes);

    /** The items whose alert fired and that were not acknowledged since, in firing order. */
    QList<QUuid> alerting() const { return m_alerting; }
    bool isAlerting(const QUuid &item) const { return m_alerting.contains(item); }
    /** The user has seen the alert of `item`: it stops alerting. */
    void acknowledge(const QUuid &item);

    /** The number a price as the band writes it stands for; nothing for placeholders and other text. */
    static std::optional<double> priceOf(const QString &text);
    /** A threshold as it is written in a notification: "600", "0.5", "1234.25". */
    static QString thresholdText(double value);

signals:
    /** The alerting items changed (see alerting()). */
    void alertingChanged(const QList<QUuid> &items);
    /** An item's value reached its alert; `summary` and `body` are what was told. */
    void fired(const QUuid &item, const QString &summary, const QString &body);

private:
    struct Armed
    {
        PriceAlert alert; ///< the alert these states belong to; a changed alert starts armed
        bool above = true;
        bool below = true;
        bool move = true;
        QDateTime lastAt; ///< fetch time of the last value looked at
    };

    void onAlertsChanged(const QList<PriceAlert> &alerts);
    /** The lines of what `quote` reached, arming and disarming `armed` as it goes. */
    QStringList reached(const Quote &quote, Armed &armed) const;

    AlertStore &m_store;
    AlertNotifier &m_notifier;
    QDateTime m_since;
    QHash<QUuid, PriceAlert> m_alerts;
    QHash<QUuid, Armed> m_armed;
    QList<QUuid> m_alerting;
};
