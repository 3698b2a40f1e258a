#include "avoider/AvoiderGeometry.h"

#include <algorithm>

namespace AvoiderGeometry {

bool isCandidate(const WindowRecord &window, qint64 ownPid)
{
    if (window.pid != 0 && window.pid == ownPid)
        return false;
    // A window kept out of the taskbar belongs to an accessory (a panel, a desktop widget, our
    // own band): those place themselves on purpose.
    return window.standard && !window.skipTaskbar && !window.minimised && !window.fullScreen;
}

QList<Change> plan(const QRectF &band, const QList<ScreenRecord> &screens, const QList<WindowRecord> &windows,
                   qint64 ownPid)
{
    QList<Change> changes;
    if (band.isEmpty() || screens.isEmpty())
        return changes;

    const ScreenRecord *screen = &screens.first();
    for (const ScreenRecord &candidate : screens) {
        if (candidate.frame.intersects(band)) {
            screen = &candidate;
            break;
        }
    }
    const QRectF visible = screen->available;
    const qreal scale = screen->scale > 0 ? screen->scale : 1.0;
    const qreal floorHeight = minimumHeight * scale;
    const qreal tolerance = edgeTolerance * scale;

    const qreal bandLeft = band.x();
    const qreal bandRight = band.x() + band.width();
    const qreal bandTop = band.y();
    const qreal bandBottom = band.y() + band.height();
    const qreal visTop = visible.y();
    const qreal visBottom = visible.y() + visible.height();
    const qreal roomBelow = std::max(visBottom - bandBottom, floorHeight);
    const bool topBand = bandTop <= visTop + topBandTolerance * scale;

    for (const WindowRecord &window : windows) {
        if (!isCandidate(window, ownPid))
            continue;
        const qreal px = window.frame.x();
        const qreal py = window.frame.y();
        const qreal w = window.frame.width();
        const qreal h = window.frame.height();
        if (!(px < bandRight && px + w > bandLeft))
            continue;

        qreal newTop = py;
        qreal newHeight = h;
        if (topBand) {
            if (!(py < bandBottom - tolerance && py + h > bandTop))
                continue;
            newTop = bandBottom;
            newHeight = std::min(h, roomBelow);
        } else {
            if (!(py + h > bandTop + tolerance && py < bandBottom))
                continue;
            if (bandTop - py >= floorHeight) {
                newHeight = bandTop - py;
            } else {
                newTop = std::max(bandTop - h, visTop);
                newHeight = std::min(h, bandTop - newTop);
            }
        }
        // A band squeezed against the top of the available area would leave no room at all;
        // a window is never collapsed to nothing.
        if (newHeight < 1.0)
            continue;

        Change change{window, std::nullopt, std::nullopt};
        if (newTop != py)
            change.top = newTop;
        if (newHeight != h)
            change.height = newHeight;
        if (change.top || change.height)
            changes.append(change);
    }
    return changes;
}

} // namespace AvoiderGeometry
