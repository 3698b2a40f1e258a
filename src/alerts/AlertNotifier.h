#pragma once

#include <QString>

/** Where an alert is told to the user: the desktop's notifications, or a fake in tests. */
class AlertNotifier
{
public:
    virtual ~AlertNotifier() = default;

    /** Tells one alert: `summary` names the item, `body` gives the value and what it crossed. Plain text. */
    virtual void notify(const QString &summary, const QString &body) = 0;
};
