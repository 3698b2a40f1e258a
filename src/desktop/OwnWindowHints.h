#pragma once

#include <QRectF>
#include <QtGlobal>

/**
 * What this process tells the window manager about its own top-level windows (the band's):
 * the states it keeps across desktops, the strip it reserves, the place it must have. Windows
 * are given by their native id.
 */
class OwnWindowHints
{
public:
    virtual ~OwnWindowHints() = default;

    /**
     * Puts `window` on every desktop and out of the taskbar and the pager. Called before each
     * mapping: the window manager reads these states when it maps a window and drops them when
     * it is withdrawn.
     */
    virtual void markAsAccessory(quint64 window) = 0;

    /**
     * Reserves `band` (Qt's logical screen coordinates), a strip along the `edge` (top or
     * bottom) of its screen, for `window`: the window manager then lays other windows out of
     * it, maximised ones and those of Wayland clients included. An empty band gives the strip
     * back. The band's own work area ignores it: see DesktopQueries::screens().
     */
    virtual void reserveStrip(quint64 window, Qt::Edge edge, const QRectF &band) = 0;

    /**
     * Asks the window manager again that `window` have the geometry `frame` (Qt's logical
     * screen coordinates), whatever the toolkit believes the window's geometry to be.
     */
    virtual void placeOwnWindow(quint64 window, const QRectF &frame) = 0;
};
