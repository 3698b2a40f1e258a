#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

/**
 * Where a window opens on a screen the band shares: pure geometry in logical pixels, so it
 * is tested without a screen.
 */
class WindowPlacement
{
public:
    /**
     * The part of `available` (a screen's work area) that `band` leaves free: the larger of
     * the strips above and below it. `available` itself when the band is elsewhere or none.
     */
    static QRect areaBeside(const QRect &available, const QRect &band);

    /**
     * The window's own rectangle (without its frame): `wanted` grown to `minimum`, then shrunk
     * so that with its `frame` it fits `area` (never below `minimum`), its frame centred in
     * `area`. An area too small even for the minimum keeps the frame's top-left corner in it.
     */
    static QRect place(const QRect &area, QSize wanted, QSize minimum, const QMargins &frame);
};
