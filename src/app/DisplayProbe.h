#pragma once

/**
 * Looks for a graphical session before Qt does: Qt aborts with a core dump when the
 * platform it picks cannot connect, so the program checks first and can say so plainly.
 */
class DisplayProbe
{
public:
    /** An X server answers on $DISPLAY, or a Wayland compositor on $WAYLAND_DISPLAY. */
    static bool displayReachable();

    /** The user chose a Qt platform through QT_QPA_PLATFORM: it is then theirs to get right. */
    static bool platformChosen();

private:
    static bool x11Reachable();
    static bool waylandReachable();
};
