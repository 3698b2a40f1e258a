#pragma once

#include "band/LineSteps.h"

#include <QRect>

#include <optional>

class ScrollLine;

/**
 * Where a line stands and how it moves, as its ScrollLine says, without its tiles: what a
 * surface needs to know to draw the line at any time once its pixels are on the server.
 */
struct LineMotion
{
    double anchorColumn = 0;
    double anchorTime = 0;
    double columnsPerSecond = 0;
    std::optional<double> pausedColumn;
    double loopColumns = 1;
    int loopPixels = 0;
    double devicePitch = 1; ///< device pixels per LED column
    QRect rect;             ///< the line's rectangle in the band, device pixels
    LineSteps steps;        ///< where a line in steps stands still; empty while it scrolls

    static LineMotion of(const ScrollLine &line, int deviceWidth);
    double columnAt(double t) const;
    /** Device pixels the loop is shifted left by at time `t`, in [0, loopPixels). */
    int offsetAt(double t) const;
    bool isMoving() const { return !pausedColumn && columnsPerSecond > 0 && loopPixels > 0; }
    void pause(double now);
    void resume(double now);
    friend bool operator==(const LineMotion &, const LineMotion &) = default;
};
