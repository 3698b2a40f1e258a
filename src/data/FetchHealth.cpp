#include "data/FetchHealth.h"

#include "data/DataLog.h"
#include "health/HealthLog.h"
#include "health/SourceHealth.h"
#include "util/Clock.h"

void FetchHealth::succeeded(const SourceId &source, const WatchItem *item)
{
    const auto outcome = m_health.recordSuccess(source, Clock::current().now(), item ? item->id : QUuid());
    HealthLog::success(lcData(), source, outcome, item ? item->symbol : QString());
}

void FetchHealth::failed(const SourceId &source, const SourceFailure &failure, const WatchItem *item,
                         std::optional<qint64> retryAtMs)
{
    const Clock &clock = Clock::current();
    QDateTime nextTry;
    if (retryAtMs)
        nextTry = clock.now().addMSecs(std::max<qint64>(0, *retryAtMs - clock.monotonicMs()));
    const auto outcome = m_health.recordFailure(source, failure, item ? item->id : QUuid(), nextTry);
    HealthLog::failure(lcData(), source, outcome, failure, item ? item->symbol : QString());
}

void FetchHealth::missingKey(const SourceId &source, const WatchItem *item)
{
    failed(source, SourceFailure{FailureKind::missingKey, 0, 0, NetworkProblem::none, Clock::current().now()}, item);
}
