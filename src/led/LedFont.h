#pragma once

#include "types/Kind.h"

#include <QString>

class Grid;

/**
 * What the line builder needs from a font that draws text as LED cells. Widths are in
 * columns; `width` is exactly the span of columns `draw` may cover.
 */
class LedFont
{
public:
    virtual ~LedFont() = default;

    /** Rows of one text line. */
    virtual int hThin() const = 0;
    virtual int hThick() const = 0;
    virtual int sparkW() const = 0;
    /** Blank columns between the parts of one item. */
    virtual int gap() const = 0;
    /** The row at which text is drawn inside a line. */
    virtual int yThin() const = 0;
    virtual int yLine1() const = 0;
    virtual int yLine2() const = 0;

    /** The number of columns that `draw` covers for `text`. */
    virtual int width(const QString &text, bool small) const = 0;
    /** Lights the cells of `text` in `kind`, its top-left corner at column x, row y; never clears a cell. */
    virtual void draw(Grid &grid, const QString &text, int x, int y, Kind kind, bool small) const = 0;
};
