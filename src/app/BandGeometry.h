#pragma once

#include "types/SettingsEnums.h"

#include <QRect>
#include <QString>

class QScreen;
class WindowSystem;
struct ScreenRecord;

/**
 * Where the band stands: which screen, that screen's area without panels, and the band's frame
 * in it. Reads Qt's screens and, where Qt's figures cannot be trusted, the window system's.
 */
class BandGeometry
{
public:
    /**
     * The band's frame on a screen whose whole area is `screen` and whose area without
     * panels is `available`: full width, at the top or the bottom of the available area.
     */
    static QRect bandFrame(const QRect &screen, const QRect &available, DockPosition position, int height);

    /**
     * The area without panels of the screen at `geometry` (logical pixels) from the window
     * system's `record` of it (device pixels); empty when the record gives nothing usable.
     */
    static QRect workArea(const QRect &geometry, const ScreenRecord &record);

    /** The connected screen named `name`, or the primary screen when there is none by that name. */
    static QScreen *screenNamed(const QString &name);

    /**
     * The area without panels of `screen`. Qt's figure, except with several monitors (Qt then
     * reports each screen's whole area) or while the band reserves a strip of its own
     * (`bandReservesStrip`: Qt's figure leaves the band's strip out, which would push the band
     * by its own height): then the window system's, which counts other panels only.
     */
    static QRect availableArea(QScreen *screen, const WindowSystem &system, bool bandReservesStrip);
};
