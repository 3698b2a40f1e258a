#pragma once

#include "alerts/AlertNotifier.h"

#include <QList>
#include <QPair>
#include <QString>

namespace AlertTest {

/** Records what it is told, in order. */
class RecordingNotifier final : public AlertNotifier
{
public:
    void notify(const QString &summary, const QString &body) override { told.append({summary, body}); }

    QList<QPair<QString, QString>> told;
};

} // namespace AlertTest
