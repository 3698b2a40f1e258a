#include "health/HealthLog.h"

#include "health/SourceHealthText.h"

namespace {

QString subject(const SourceId &source, const QString &itemName, const QString &feedName)
{
    const QString name = SourceHealthText::logName(source, feedName);
    return itemName.isEmpty() ? name : QStringLiteral("%1 \"%2\"").arg(name, itemName);
}

} // namespace

namespace HealthLog {

void failure(const QLoggingCategory &category, const SourceId &source, const SourceHealth::Outcome &outcome,
             const SourceFailure &failure, const QString &itemName, const QString &feedName)
{
    using Transition = SourceHealth::Transition;
    // A failure of the whole source is told once for the source, not once per item it hits.
    QString who;
    if (outcome.source == Transition::failing)
        who = subject(source, {}, feedName);
    else if (outcome.item == Transition::failing)
        who = subject(source, itemName, feedName);
    if (who.isEmpty())
        return;
    qCWarning(category, "%s: %s", qPrintable(who), qPrintable(SourceHealthText::logReason(failure)));
}

void success(const QLoggingCategory &category, const SourceId &source, const SourceHealth::Outcome &outcome,
             const QString &itemName, const QString &feedName)
{
    using Transition = SourceHealth::Transition;
    QString who;
    if (outcome.source == Transition::recovered)
        who = subject(source, {}, feedName);
    else if (outcome.item == Transition::recovered)
        who = subject(source, itemName, feedName);
    if (who.isEmpty())
        return;
    qCInfo(category, "%s: answering again", qPrintable(who));
}

} // namespace HealthLog
