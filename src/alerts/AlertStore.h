#pragma once

#include "alerts/PriceAlert.h"
#include "types/WatchItem.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>

#include <optional>

class Settings;
class UserDefaults;

/**
 * The price alerts, kept under their own user-defaults key as one JSON array, one object per
 * alerted item: {"item": "<id>", "above": number|null, "below": number|null,
 * "movePercent": number|null}. Only quote and metal items of the watch list carry alerts, one
 * each; the alerts of items that leave the list are dropped and the file written again. A file
 * that cannot be read is treated as empty and kept aside under `unreadableKey` before it is
 * first overwritten, as the settings record is. A write that fails leaves the file as it was;
 * the alerts hold for the session and are written with the next change.
 */
class AlertStore : public QObject
{
    Q_OBJECT
public:
    static inline const QString key = QStringLiteral("priceAlerts.v1");
    static inline const QString unreadableKey = QStringLiteral("priceAlerts.v1.unreadable");
    /** A longer file is not read (it is kept aside like any unreadable one). */
    static constexpr qsizetype maxFileBytes = 256 * 1024;
    /** Alerts kept at most: one per item of the watch list's active part. */
    static constexpr qsizetype maxAlerts = maxActiveWatchItems;

    /** Reads the alerts from `store` and follows the watch list of `settings`; neither is owned. */
    AlertStore(UserDefaults &store, Settings &settings, QObject *parent = nullptr);

    /** Every alert, in the file's order (new items last). */
    QList<PriceAlert> alerts() const { return m_alerts; }
    /** The alert of `item`, if it has one. */
    std::optional<PriceAlert> alert(const QUuid &item) const;

    /**
     * Gives `alert.item` this alert, replacing its previous one; an alert without any
     * threshold removes it. Refused (false) for an item that is not a watched quote or metal,
     * a threshold that is negative or not finite, or beyond maxAlerts.
     */
    bool setAlert(const PriceAlert &alert);
    /** Removes the alert of `item`, if any. */
    void removeAlert(const QUuid &item);

    /** Whether an item of `kind` can carry an alert: quotes and metals, not the weather. */
    static bool accepts(ItemKind kind) { return kind != ItemKind::weather; }
    /** Whether every threshold of `alert` is a finite number, zero or more. */
    static bool hasValidThresholds(const PriceAlert &alert);

    /** The alerts in `bytes`; nothing when they are not such an array. Empty alerts and duplicates are kept. */
    static std::optional<QList<PriceAlert>> decode(const QByteArray &bytes);
    /** The compact JSON array of `alerts`, members in the order above. */
    static QByteArray encode(const QList<PriceAlert> &alerts);

signals:
    /** The alerts after every change (an edit, or items leaving the watch list). */
    void alertsChanged(const QList<PriceAlert> &alerts);

private:
    void load();
    /** Keeps the first alert of each item that `items` lists as a quote or metal, within the bound. */
    QList<PriceAlert> kept(const QList<PriceAlert> &alerts, const QList<WatchItem> &items) const;
    void onItemsChanged(const QList<WatchItem> &items);
    void save();

    UserDefaults &m_store;
    Settings &m_settings;
    QList<PriceAlert> m_alerts;
    /** The stored bytes that failed to decode, until a copy of them is kept. */
    std::optional<QByteArray> m_unreadable;
};
