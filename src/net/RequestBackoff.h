#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>

#include <chrono>
#include <optional>

/**
 * How long a failing service, or one item of it, is left alone. After a failure the key
 * is not asked again for 5 minutes, doubling at each further failure up to a cap the
 * caller gives (the time to its next scheduled slot), and longer when the service's
 * Retry-After asks for it. A success forgets the key. A forced attempt (the user's
 * refresh, a changed key) may go through a wait, but at most once a minute per key.
 *
 * Times are the process clock's monotonic milliseconds. Kept in memory only: a restart
 * starts afresh.
 */
class RequestBackoff
{
public:
    static constexpr std::chrono::milliseconds firstDelay{5 * 60 * 1000};
    static constexpr std::chrono::milliseconds forcedSpacing{60 * 1000};
    /** A Retry-After longer than this is taken as this: the user's refresh is the only other way out. */
    static constexpr std::chrono::milliseconds longestRetryAfter{24 * 60 * 60 * 1000};

    /** True when `key` may be asked at `nowMs`. */
    bool mayAsk(const QString &key, qint64 nowMs, bool force) const;
    /**
     * A failed attempt at `nowMs`. `cap` bounds the doubled delay (never below the first
     * delay); `retryAfter` is the answer's header, empty without one, read against `wallNow`.
     */
    void failed(const QString &key, qint64 nowMs, std::chrono::milliseconds cap, const QByteArray &retryAfter = {},
                const QDateTime &wallNow = {});
    void succeeded(const QString &key) { m_states.remove(key); }

    /** The monotonic time before which `key` is not asked unforced; nothing when it is not waiting. */
    std::optional<qint64> retryAtMs(const QString &key) const;
    /** Failures in a row of `key`. */
    int failures(const QString &key) const { return m_states.value(key).failures; }

    /** A Retry-After value (whole seconds, or an HTTP date read against `now`) as a duration; nothing if unreadable. */
    static std::optional<std::chrono::milliseconds> parseRetryAfter(const QByteArray &value, const QDateTime &now);

private:
    struct State
    {
        int failures = 0;
        qint64 retryAtMs = 0;
        qint64 lastAttemptMs = 0;
    };
    QHash<QString, State> m_states;
};
