#pragma once

#include "led/LedFont.h"

#include <QFont>
#include <QImage>

#include <cstdint>

/**
 * The high-definition font: the desktop's general font, bold, drawn into a greyscale raster
 * with one pixel per LED; every pixel brighter than the threshold lights its cell. Shows lower
 * case, accents and whatever the system font has. Needs a QGuiApplication (any platform,
 * offscreen included; without one every text is empty) and, like every QPainter on a font,
 * the thread that owns it.
 */
class HDFont final : public LedFont
{
public:
    /** Grey values above this light a cell. */
    static constexpr int threshold = 110;

    int hThin() const override { return 18; }
    int hThick() const override { return 30; }
    int sparkW() const override { return 26; }
    int gap() const override { return 6; }
    int yThin() const override { return 1; }
    int yLine1() const override { return 1; }
    int yLine2() const override { return 15; }

    /** The advance of `text`, rounded up to whole columns. */
    int width(const QString &text, bool small = false) const override;
    void draw(Grid &grid, const QString &text, int x, int y, Kind kind, bool small = false) const override;

    /** Lights the cell at (x + column, y + row) of every raster pixel above the threshold. */
    static void lightCells(Grid &grid, const QImage &raster, std::int64_t x, std::int64_t y, Kind kind);

    /** The font text is drawn with: pixel size 14, or 12 when `small`. */
    static QFont font(bool small);
    /** Rows of the raster: 19, or 17 when `small`. */
    static int rasterHeight(bool small) { return small ? 17 : 19; }
};
