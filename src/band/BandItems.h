#pragma once

#include "line/LineTargets.h"
#include "types/LineSpan.h"

#include <QList>
#include <QString>

#include <optional>

/**
 * What the band's lines show now, item by item: each line's spans (columns of its loop, see
 * LineHit) and what each item opens and tells. The owner of the band keeps it in step with the
 * lines it shows, so a point under the pointer always means what was drawn there.
 */
class BandItems
{
public:
    /** What a screen reader says of an item: what the band shows of it, then what more it tells. */
    struct Reading
    {
        QString name;        ///< the item as words: a quote's name, value and change; a title
        QString description; ///< what the pointer resting on it would tell
        bool opens = false;  ///< a click on it opens a page

        friend bool operator==(const Reading &, const Reading &) = default;
    };

    virtual ~BandItems() = default;

    /** The spans of line `line` (BandLines::Line) as shown now; empty for any other line. */
    virtual const QList<LineSpan> &spans(int line) const = 0;

    /** What the item `span` of line `line` opens and tells; none when it stands for nothing. */
    virtual std::optional<LineTargets::Target> target(int line, const LineSpan &span) const = 0;

    /** How a screen reader reads the item `span` of line `line`. */
    virtual Reading reading(int line, const LineSpan &span) const = 0;
};
