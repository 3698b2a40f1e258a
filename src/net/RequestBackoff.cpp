#include "net/RequestBackoff.h"

#include <QLocale>
#include <QTimeZone>

#include <algorithm>

using std::chrono::milliseconds;

bool RequestBackoff::mayAsk(const QString &key, qint64 nowMs, bool force) const
{
    const auto state = m_states.constFind(key);
    if (state == m_states.cend() || nowMs >= state->retryAtMs)
        return true;
    return force && nowMs - state->lastAttemptMs >= forcedSpacing.count();
}

void RequestBackoff::failed(const QString &key, qint64 nowMs, milliseconds cap, const QByteArray &retryAfter,
                            const QDateTime &wallNow)
{
    State &state = m_states[key];
    state.failures = std::min(state.failures + 1, 30);
    // 5 min, 10, 20… shifted without overflow: past 2^20 the cap has long been reached.
    const qint64 doubled = firstDelay.count() << std::min(state.failures - 1, 20);
    qint64 delay = std::max<qint64>(firstDelay.count(), std::min<qint64>(doubled, cap.count()));
    if (const auto asked = parseRetryAfter(retryAfter, wallNow))
        delay = std::max<qint64>(delay, std::min<qint64>(asked->count(), longestRetryAfter.count()));
    state.lastAttemptMs = nowMs;
    state.retryAtMs = nowMs + delay;
}

std::optional<qint64> RequestBackoff::retryAtMs(const QString &key) const
{
    const auto state = m_states.constFind(key);
    if (state == m_states.cend())
        return std::nullopt;
    return state->retryAtMs;
}

std::optional<milliseconds> RequestBackoff::parseRetryAfter(const QByteArray &value, const QDateTime &now)
{
    const QByteArray text = value.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    if (std::all_of(text.cbegin(), text.cend(), [](char c) { return c >= '0' && c <= '9'; })) {
        bool ok = false;
        const qlonglong seconds = text.size() <= 12 ? text.toLongLong(&ok) : 0;
        if (!ok)
            return longestRetryAfter; // more digits than any sane wait
        return milliseconds(seconds * 1000);
    }
    if (!now.isValid())
        return std::nullopt;
    // IMF-fixdate, the form HTTP servers send: "Sun, 06 Nov 1994 08:49:37 GMT".
    QDateTime at =
        QLocale::c().toDateTime(QString::fromLatin1(text), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"));
    if (!at.isValid())
        return std::nullopt;
    at.setTimeZone(QTimeZone::utc());
    return milliseconds(std::max<qint64>(0, now.msecsTo(at)));
}
