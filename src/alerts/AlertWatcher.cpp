#include "alerts/AlertWatcher.h"

#include "alerts/AlertNotifier.h"
#include "alerts/AlertStore.h"
#include "alerts/AlertsLog.h"
#include "data/DataService.h"
#include "util/Clock.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>

namespace {

/** A day's change as a notification writes it: "+1.25", "−1.25" (a true minus sign). */
QString changeText(double change)
{
    QString text = QString::asprintf("%+.2f", change);
    if (text.startsWith(u'-'))
        text.replace(0, 1, QChar(0x2212));
    return text;
}

} // namespace

AlertWatcher::AlertWatcher(AlertStore &store, AlertNotifier &notifier, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_notifier(notifier)
    , m_since(Clock::current().now())
{
    onAlertsChanged(m_store.alerts());
    connect(&m_store, &AlertStore::alertsChanged, this, &AlertWatcher::onAlertsChanged);
}

void AlertWatcher::watch(DataService &data)
{
    connect(&data, &DataService::quotesChanged, this, &AlertWatcher::observe);
}

std::optional<double> AlertWatcher::priceOf(const QString &text)
{
    // Only what the band writes for a price: digits with an optional decimal part.
    static const QRegularExpression number(QStringLiteral("^[0-9]+(\\.[0-9]+)?$"));
    if (text.size() > 32 || !number.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString AlertWatcher::thresholdText(double value)
{
    // Fixed notation without trailing zeros: users type 600 or 0.5, never 6e+02.
    QString text = QString::number(value, 'f', 4);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

void AlertWatcher::onAlertsChanged(const QList<PriceAlert> &alerts)
{
    m_alerts.clear();
    for (const PriceAlert &alert : alerts)
        m_alerts.insert(alert.item, alert);
    // Items that lost their alert start afresh if one comes back, and stop alerting.
    m_armed.removeIf([this](const auto &entry) { return !m_alerts.contains(entry.key()); });
    const qsizetype dropped = m_alerting.removeIf([this](const QUuid &item) { return !m_alerts.contains(item); });
    if (dropped > 0)
        emit alertingChanged(m_alerting);
}

void AlertWatcher::acknowledge(const QUuid &item)
{
    if (m_alerting.removeAll(item) > 0)
        emit alertingChanged(m_alerting);
}

QStringList AlertWatcher::reached(const Quote &quote, Armed &armed) const
{
    QStringList lines;
    const PriceAlert &alert = armed.alert;
    if (const auto price = priceOf(quote.price)) {
        if (alert.above) {
            const double threshold = *alert.above;
            if (armed.above && *price >= threshold) {
                armed.above = false;
                lines << tr("%1 — au-dessus de %2").arg(quote.price, thresholdText(threshold));
            } else if (!armed.above && *price < threshold * (1 - priceMargin)) {
                armed.above = true;
            }
        }
        if (alert.below) {
            const double threshold = *alert.below;
            if (armed.below && *price <= threshold) {
                armed.below = false;
                lines << tr("%1 — en dessous de %2").arg(quote.price, thresholdText(threshold));
            } else if (!armed.below && *price > threshold * (1 + priceMargin)) {
                armed.below = true;
            }
        }
    }
    if (alert.movePercent && quote.change && std::isfinite(*quote.change)) {
        const double threshold = *alert.movePercent;
        const double change = *quote.change;
        if (armed.move && std::abs(change) >= threshold) {
            armed.move = false;
            const QString text = change < 0 ? tr("%1, %2 % aujourd'hui — baisse de plus de %3 %")
                                            : tr("%1, %2 % aujourd'hui — hausse de plus de %3 %");
            lines << text.arg(quote.price, changeText(change), thresholdText(threshold));
        } else if (!armed.move && std::abs(change) < threshold * moveRearmShare) {
            armed.move = true;
        }
    }
    return lines;
}

void AlertWatcher::observe(const QList<Quote> &quotes)
{
    if (m_alerts.isEmpty())
        return;
    for (const Quote &quote : quotes) {
        const auto alert = m_alerts.constFind(quote.id);
        if (alert == m_alerts.cend())
            continue;
        if (!quote.at.isValid() || quote.at < m_since)
            continue;
        auto armed = m_armed.find(quote.id);
        if (armed == m_armed.end() || armed->alert != *alert)
            armed = m_armed.insert(quote.id, Armed{*alert, true, true, true, {}});
        // Every publication repeats the values already seen; only a new fetch counts.
        if (armed->lastAt == quote.at)
            continue;
        armed->lastAt = quote.at;
        const QStringList lines = reached(quote, *armed);
        if (lines.isEmpty())
            continue;

        const QString summary = quote.name.left(maxSummaryLength);
        const QString body = lines.join(u'\n');
        qCDebug(lcAlerts, "alert reached for one item (%lld thresholds)", qlonglong(lines.size()));
        m_notifier.notify(summary, body);
        if (!m_alerting.contains(quote.id)) {
            m_alerting.append(quote.id);
            emit alertingChanged(m_alerting);
        }
        emit fired(quote.id, summary, body);
    }
}
