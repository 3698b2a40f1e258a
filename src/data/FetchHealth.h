#pragma once

#include "data/Fetched.h"
#include "types/SourceFailure.h"
#include "types/SourceId.h"
#include "types/WatchItem.h"

#include <optional>

class SourceHealth;

/**
 * The data service's side of the health model: records each fetch's outcome for its service
 * (and for its item where the service answers per item), with when a waiting service or item
 * is asked again, and logs each change of state once under "dotbanner.data".
 */
class FetchHealth
{
public:
    explicit FetchHealth(SourceHealth &health)
        : m_health(health)
    {}

    SourceHealth &model() const { return m_health; }

    /** A value came from `source` (for `item`, when given). */
    void succeeded(const SourceId &source, const WatchItem *item = nullptr);
    /**
     * `source` failed (for `item`, when given); `retryAtMs` is the back-off's monotonic time of
     * the next attempt, when it waits.
     */
    void failed(const SourceId &source, const SourceFailure &failure, const WatchItem *item = nullptr,
                std::optional<qint64> retryAtMs = std::nullopt);
    /** `source` was not asked: its key is empty. */
    void missingKey(const SourceId &source, const WatchItem *item = nullptr);

    /** The outcome of `fetched`, if it says anything: a value, or a failure (a cancelled fetch says nothing). */
    template<typename T>
    void record(const SourceId &source, const Fetched<T> &fetched, const WatchItem *item,
                std::optional<qint64> retryAtMs)
    {
        if (fetched.value)
            succeeded(source, item);
        else if (fetched.failure)
            failed(source, *fetched.failure, item, retryAtMs);
    }

private:
    SourceHealth &m_health;
};
