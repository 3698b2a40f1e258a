#pragma once

#include "desktop/DesktopQueries.h"
#include "desktop/WindowMover.h"

#include <QList>
#include <QRectF>

#include <optional>

/**
 * The decisions of one sweep, apart from any window system: which windows reach under the
 * band and where they must go. All lengths are device pixels; the rules' lengths, given in
 * logical pixels, are scaled by the band screen's device pixel ratio.
 */
namespace AvoiderGeometry {

/** Smallest height a window is shortened to, in logical pixels. */
inline constexpr qreal minimumHeight = 200.0;
/** How far a window may reach into the band before it is moved, in logical pixels. */
inline constexpr qreal edgeTolerance = 0.5;
/** How far below the top of the available area a band may sit and still count as a top band. */
inline constexpr qreal topBandTolerance = 1.0;

/** What one sweep must do to one window: a new top, a new height, or both. */
struct Change
{
    WindowRecord window;
    std::optional<qreal> top;
    std::optional<qreal> height;

    bool operator==(const Change &) const = default;
};

/** Whether a window is one the avoider may touch at all. */
bool isCandidate(const WindowRecord &window, qint64 ownPid);

/**
 * The changes one sweep makes, in window order. `band` is in device pixels; `screens` lists the
 * primary screen first. Nothing is returned for an empty band or an empty screen list.
 */
QList<Change> plan(const QRectF &band, const QList<ScreenRecord> &screens, const QList<WindowRecord> &windows,
                   qint64 ownPid);

} // namespace AvoiderGeometry
