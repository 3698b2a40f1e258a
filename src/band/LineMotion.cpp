#include "band/LineMotion.h"

#include "band/ScrollLine.h"

#include <cmath>

LineMotion LineMotion::of(const ScrollLine &line, int deviceWidth)
{
    LineMotion m;
    if (!line.content())
        return m;
    m.anchorColumn = line.anchorColumn();
    m.anchorTime = line.anchorTime();
    m.columnsPerSecond = line.columnsPerSecond();
    if (line.isPaused())
        m.pausedColumn = line.columnAt(line.anchorTime());
    m.loopColumns = static_cast<double>(line.loopColumns());
    m.loopPixels = line.loopPixels();
    m.devicePitch = line.content()->pitch * line.content()->scale;
    m.rect = line.deviceRect(deviceWidth);
    if (line.steps().period() == line.content()->bitmap.w)
        m.steps = line.steps();
    return m;
}

double LineMotion::columnAt(double t) const
{
    // As ScrollLine::columnAt: the anchor plus the time since at the line's speed, round the loop.
    if (pausedColumn)
        return *pausedColumn;
    double c = std::fmod(anchorColumn + (t - anchorTime) * columnsPerSecond, loopColumns);
    if (!(c >= 0))
        c = c < 0 ? c + loopColumns : 0;
    return steps.snap(c, loopColumns);
}

int LineMotion::offsetAt(double t) const
{
    // As ScrollLine::offsetPixels.
    if (loopPixels <= 0)
        return 0;
    const int offset = static_cast<int>(std::llround(columnAt(t) * devicePitch) % loopPixels);
    return offset < 0 ? offset + loopPixels : offset;
}

void LineMotion::pause(double now)
{
    if (pausedColumn)
        return;
    anchorColumn = columnAt(now);
    anchorTime = now;
    pausedColumn = anchorColumn;
}

void LineMotion::resume(double now)
{
    if (!pausedColumn)
        return;
    anchorTime = now;
    pausedColumn.reset();
}
