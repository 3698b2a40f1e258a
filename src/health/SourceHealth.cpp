#include "health/SourceHealth.h"

#include <algorithm>

SourceHealth::SourceHealth(QObject *parent)
    : QObject(parent)
{}

SourceHealth &SourceHealth::shared()
{
    // Lives as long as the process, like the services that feed it.
    static SourceHealth *const instance = new SourceHealth();
    return *instance;
}

bool SourceHealth::concernsItemOnly(FailureKind kind)
{
    switch (kind) {
    case FailureKind::notFound:
    case FailureKind::unreadable:
    case FailureKind::httpError:
    case FailureKind::badAddress:
        return true;
    case FailureKind::missingKey:
    case FailureKind::keyRejected:
    case FailureKind::accessDenied:
    case FailureKind::tooManyRequests:
    case FailureKind::serverError:
    case FailureKind::network:
    case FailureKind::timeout:
    case FailureKind::serviceError:
    case FailureKind::tooManyRedirects:
    case FailureKind::redirectRefused:
        break;
    }
    return false;
}

SourceHealth::Transition SourceHealth::succeed(HealthRecord &record, const QDateTime &at)
{
    const HealthRecord::State before = record.state;
    record.state = HealthRecord::State::ok;
    record.lastSuccess = at;
    record.failuresInRow = 0;
    record.nextTry = QDateTime();
    switch (before) {
    case HealthRecord::State::unknown:
        return Transition::firstOk;
    case HealthRecord::State::failing:
        return Transition::recovered;
    case HealthRecord::State::ok:
        break;
    }
    return Transition::same;
}

SourceHealth::Transition SourceHealth::fail(HealthRecord &record, const SourceFailure &failure,
                                            const QDateTime &nextTry)
{
    const bool again = record.isFailing() && record.lastFailure && record.lastFailure->sameReason(failure);
    record.state = HealthRecord::State::failing;
    record.lastFailure = failure;
    record.failuresInRow = std::min(record.failuresInRow + 1, 1000000);
    record.nextTry = nextTry;
    return again ? Transition::same : Transition::failing;
}

SourceHealth::Outcome SourceHealth::recordSuccess(const SourceId &source, const QDateTime &at, const QUuid &item)
{
    Entry &entry = m_sources[source];
    Outcome outcome;
    outcome.source = succeed(entry.record, at);
    bool itemStateChanged = false;
    if (!item.isNull()) {
        HealthRecord &own = entry.items[item];
        const bool failedAlone = own.isFailing() && own.lastFailure && concernsItemOnly(own.lastFailure->kind);
        const Transition transition = succeed(own, at);
        itemStateChanged = transition != Transition::same;
        // An item that failed with its whole source recovers with the source.
        if (transition != Transition::recovered || failedAlone)
            outcome.item = transition;
    }
    announce(source, outcome.source != Transition::same || itemStateChanged);
    return outcome;
}

SourceHealth::Outcome SourceHealth::recordFailure(const SourceId &source, const SourceFailure &failure,
                                                  const QUuid &item, const QDateTime &nextTry)
{
    Entry &entry = m_sources[source];
    Outcome outcome;
    const bool itemOnly = concernsItemOnly(failure.kind);
    if (item.isNull() || !itemOnly)
        outcome.source = fail(entry.record, failure, nextTry);
    else if (entry.record.state == HealthRecord::State::unknown && failure.kind != FailureKind::badAddress)
        // The service answered, if only to say that it does not know the item: it is reachable
        // and took the key, though no value came yet.
        entry.record.state = HealthRecord::State::ok;
    bool itemStateChanged = false;
    if (!item.isNull()) {
        const Transition transition = fail(entry.items[item], failure, nextTry);
        itemStateChanged = transition != Transition::same;
        // A failure of the whole source is the source's to tell.
        if (itemOnly)
            outcome.item = transition;
    }
    announce(source, outcome.source != Transition::same || itemStateChanged);
    return outcome;
}

HealthRecord SourceHealth::record(const SourceId &source) const
{
    return m_sources.value(source).record;
}

HealthRecord SourceHealth::itemRecord(const SourceId &source, const QUuid &item) const
{
    const auto entry = m_sources.constFind(source);
    return entry == m_sources.cend() ? HealthRecord() : entry->items.value(item);
}

std::optional<SourceFailure> SourceHealth::failureFor(const SourceId &source, const QUuid &item) const
{
    const auto entry = m_sources.constFind(source);
    if (entry == m_sources.cend())
        return std::nullopt;
    const auto own = entry->items.constFind(item);
    if (own != entry->items.cend() && own->isFailing())
        return own->lastFailure;
    if (entry->record.isFailing())
        return entry->record.lastFailure;
    return std::nullopt;
}

QDateTime SourceHealth::nextTryFor(const SourceId &source, const QUuid &item) const
{
    const auto entry = m_sources.constFind(source);
    if (entry == m_sources.cend())
        return {};
    const auto own = entry->items.constFind(item);
    if (own != entry->items.cend() && own->isFailing() && own->nextTry.isValid())
        return own->nextTry;
    return entry->record.isFailing() ? entry->record.nextTry : QDateTime();
}

void SourceHealth::keepItems(const QSet<QUuid> &items)
{
    for (auto it = m_sources.begin(); it != m_sources.end(); ++it) {
        const qsizetype before = it->items.size();
        it->items.removeIf([&items](const auto &item) { return !items.contains(item.key()); });
        if (it->items.size() != before)
            emit changed(it.key());
    }
}

void SourceHealth::announce(const SourceId &source, bool stateChange)
{
    emit changed(source);
    if (stateChange)
        emit stateChanged(source);
}
