#pragma once

#include "line/LineTargets.h"
#include "types/LineSpan.h"

#include <QList>

#include <optional>

/**
 * What the band's lines show now, item by item: each line's spans (columns of its loop, see
 * LineHit) and what each item opens and tells. The owner of the band keeps it in step with the
 * lines it shows, so a point under the pointer always means what was drawn there.
 */
class BandItems
{
public:
    virtual ~BandItems() = default;

    /** The spans of line `line` (BandLines::Line) as shown now; empty for any other line. */
    virtual const QList<LineSpan> &spans(int line) const = 0;

    /** What the item `span` of line `line` opens and tells; none when it stands for nothing. */
    virtual std::optional<LineTargets::Target> target(int line, const LineSpan &span) const = 0;
};
