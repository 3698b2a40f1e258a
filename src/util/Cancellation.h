#pragma once

#include <QObject>

/**
 * A cancellation flag shared by one asynchronous run and whoever may stop it.
 * Cancelling emits `cancelled` once, so requests in flight can be aborted at once;
 * the run itself checks `isCancelled()` at the points where it may stop.
 */
class Cancellation : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    bool isCancelled() const { return m_cancelled; }
    void cancel()
    {
        if (m_cancelled)
            return;
        m_cancelled = true;
        emit cancelled();
    }

signals:
    void cancelled();

private:
    bool m_cancelled = false;
};
