#include "alerts/AlertStore.h"

#include "alerts/AlertsLog.h"
#include "settings/Settings.h"
#include "settings/SettingsRecord.h"
#include "settings/UserDefaults.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

const QLatin1String kItem("item");
const QLatin1String kAbove("above");
const QLatin1String kBelow("below");
const QLatin1String kMove("movePercent");

bool validThreshold(const std::optional<double> &value)
{
    return !value || (std::isfinite(*value) && *value >= 0);
}

/** A threshold member: absent and null are no threshold; anything but a number fails. */
bool readThreshold(const QJsonObject &object, QLatin1String name, std::optional<double> &out)
{
    const QJsonValue value = object.value(name);
    if (value.isUndefined() || value.isNull())
        return true;
    if (!value.isDouble())
        return false;
    out = value.toDouble();
    return validThreshold(out);
}

QByteArray numberOrNull(const std::optional<double> &value)
{
    if (!value)
        return "null";
    return QByteArray::number(*value, 'g', QLocale::FloatingPointShortest);
}

} // namespace

AlertStore::AlertStore(UserDefaults &store, Settings &settings, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_settings(settings)
{
    load();
    connect(&m_settings, &Settings::itemsChanged, this, &AlertStore::onItemsChanged);
}

std::optional<PriceAlert> AlertStore::alert(const QUuid &item) const
{
    for (const PriceAlert &alert : m_alerts) {
        if (alert.item == item)
            return alert;
    }
    return std::nullopt;
}

bool AlertStore::hasValidThresholds(const PriceAlert &alert)
{
    return validThreshold(alert.above) && validThreshold(alert.below) && validThreshold(alert.movePercent);
}

bool AlertStore::setAlert(const PriceAlert &alert)
{
    if (!hasValidThresholds(alert))
        return false;
    if (alert.isEmpty()) {
        removeAlert(alert.item);
        return true;
    }
    const QList<WatchItem> items = m_settings.items();
    const bool watched = std::any_of(items.cbegin(), items.cend(), [&alert](const WatchItem &item) {
        return item.id == alert.item && accepts(item.kind);
    });
    if (!watched)
        return false;
    QList<PriceAlert> alerts = m_alerts;
    const auto existing = std::find_if(alerts.begin(), alerts.end(),
                                       [&alert](const PriceAlert &other) { return other.item == alert.item; });
    if (existing != alerts.end()) {
        if (*existing == alert)
            return true;
        *existing = alert;
    } else {
        if (alerts.size() >= maxAlerts)
            return false;
        alerts.append(alert);
    }
    m_alerts = alerts;
    save();
    emit alertsChanged(m_alerts);
    return true;
}

void AlertStore::removeAlert(const QUuid &item)
{
    const qsizetype removed = m_alerts.removeIf([&item](const PriceAlert &alert) { return alert.item == item; });
    if (removed == 0)
        return;
    save();
    emit alertsChanged(m_alerts);
}

std::optional<QList<PriceAlert>> AlertStore::decode(const QByteArray &bytes)
{
    if (bytes.size() > maxFileBytes)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    QList<PriceAlert> alerts;
    for (const QJsonValue &entry : document.array()) {
        if (!entry.isObject())
            return std::nullopt;
        const QJsonObject object = entry.toObject();
        const QJsonValue item = object.value(kItem);
        if (!item.isString())
            return std::nullopt;
        const auto id = SettingsRecord::parseUuid(item.toString());
        if (!id)
            return std::nullopt;
        PriceAlert alert;
        alert.item = *id;
        if (!readThreshold(object, kAbove, alert.above) || !readThreshold(object, kBelow, alert.below) ||
            !readThreshold(object, kMove, alert.movePercent))
            return std::nullopt;
        alerts.append(alert);
    }
    return alerts;
}

QByteArray AlertStore::encode(const QList<PriceAlert> &alerts)
{
    // Written by hand so the members keep the documented order (QJsonObject sorts them).
    QByteArray out = "[";
    for (qsizetype i = 0; i < alerts.size(); ++i) {
        const PriceAlert &alert = alerts.at(i);
        if (i > 0)
            out += ',';
        out += R"({"item":")" + SettingsRecord::uuidText(alert.item).toLatin1() + R"(","above":)" +
               numberOrNull(alert.above) + R"(,"below":)" + numberOrNull(alert.below) + R"(,"movePercent":)" +
               numberOrNull(alert.movePercent) + '}';
    }
    out += ']';
    return out;
}

QList<PriceAlert> AlertStore::kept(const QList<PriceAlert> &alerts, const QList<WatchItem> &items) const
{
    QSet<QUuid> watched;
    for (const WatchItem &item : items) {
        if (accepts(item.kind))
            watched.insert(item.id);
    }
    QList<PriceAlert> out;
    QSet<QUuid> seen;
    for (const PriceAlert &alert : alerts) {
        if (out.size() == maxAlerts)
            break;
        if (alert.isEmpty() || !watched.contains(alert.item) || seen.contains(alert.item))
            continue;
        seen.insert(alert.item);
        out.append(alert);
    }
    return out;
}

void AlertStore::load()
{
    const std::optional<QByteArray> bytes = m_store.data(key);
    if (!bytes)
        return;
    const auto decoded = decode(*bytes);
    if (!decoded) {
        qCWarning(lcAlerts, "price alerts unreadable; none are used and the file is kept as \"%s\"",
                  qPrintable(unreadableKey));
        m_unreadable = *bytes;
        return;
    }
    m_alerts = kept(*decoded, m_settings.items());
    if (m_alerts != *decoded) {
        qCDebug(lcAlerts, "%lld stored alerts dropped: their items are gone",
                qlonglong(decoded->size() - m_alerts.size()));
        save();
    }
}

void AlertStore::onItemsChanged(const QList<WatchItem> &items)
{
    const QList<PriceAlert> alerts = kept(m_alerts, items);
    if (alerts == m_alerts)
        return;
    m_alerts = alerts;
    save();
    emit alertsChanged(m_alerts);
}

void AlertStore::save()
{
    if (m_unreadable) {
        // A file we could not read may be hand-edited or from a newer version: keep it before
        // replacing it. An earlier copy is the older original and stays. Without the copy the
        // file is not overwritten either; the next change tries again.
        if (!m_store.data(unreadableKey) && !m_store.set(unreadableKey, *m_unreadable)) {
            qCWarning(lcAlerts, "price alerts not saved: the unreadable file could not be kept aside");
            return;
        }
        m_unreadable.reset();
    }
    if (!m_store.set(key, encode(m_alerts)))
        qCWarning(lcAlerts, "price alerts not saved; they will be written with the next change");
}
