#pragma once

#include "alerts/AlertNotifier.h"

#include <QObject>
#include <QString>

#include <functional>

/**
 * Tells alerts through the desktop's notification service (org.freedesktop.Notifications on
 * the session bus, method Notify). Where there is none — no session bus, nobody owning the
 * name, or a call that fails or goes unanswered — the fallback is called with the same texts
 * instead. Calls never block: the answer, or its failure, arrives through the event loop.
 */
class DesktopNotifier : public QObject, public AlertNotifier
{
    Q_OBJECT
public:
    using Fallback = std::function<void(const QString &summary, const QString &body)>;

    static inline const QString service = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString path = QStringLiteral("/org/freedesktop/Notifications");
    static inline const QString interface = QStringLiteral("org.freedesktop.Notifications");
    /** How long a notification service may take to answer before the fallback is used. */
    static constexpr int answerTimeoutMs = 10000;
    /** Longest summary and body sent; longer texts are cut. */
    static constexpr qsizetype maxTextLength = 1000;

    explicit DesktopNotifier(Fallback fallback, QObject *parent = nullptr);

    void notify(const QString &summary, const QString &body) override;

private:
    Fallback m_fallback;
};
