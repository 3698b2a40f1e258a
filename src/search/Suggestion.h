#pragma once

#include "types/WatchItem.h"

#include <QString>
#include <QUuid>

/** One search result: a ready-to-add watch item and the two lines that present it. */
struct Suggestion
{
    QUuid id;       ///< fresh for each suggestion
    WatchItem item; ///< fresh id, kind, symbol, LED label and, where the service gives one, a ref
    QString title;
    QString subtitle;

    friend bool operator==(const Suggestion &, const Suggestion &) = default;
};
