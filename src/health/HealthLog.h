#pragma once

#include "health/SourceHealth.h"

#include <QLoggingCategory>
#include <QString>

/**
 * The log lines of the sources' health, written once per change of state: a warning when a
 * source, or one item alone, starts failing or fails for another reason; an info line when it
 * answers again. Retries that fail the same way write nothing. Lines name the source, the item
 * and the HTTP status or network error; never a key, an address or a body.
 */
namespace HealthLog {

/**
 * After SourceHealth::recordFailure() gave `outcome`. `feedName` names a feed; `itemName` the
 * item (a symbol, a place) for a failure of that item alone.
 */
void failure(const QLoggingCategory &category, const SourceId &source, const SourceHealth::Outcome &outcome,
             const SourceFailure &failure, const QString &itemName = {}, const QString &feedName = {});
/** After SourceHealth::recordSuccess() gave `outcome`. */
void success(const QLoggingCategory &category, const SourceId &source, const SourceHealth::Outcome &outcome,
             const QString &itemName = {}, const QString &feedName = {});

} // namespace HealthLog
