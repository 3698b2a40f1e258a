#pragma once

#include <QString>
#include <QStringList>

/**
 * How the band reaches the screen in this session, decided once before the application
 * object exists (the platform Qt uses can only be chosen then).
 */
class SessionMode
{
public:
    enum class Kind {
        x11,        ///< an X11 session: the band is an X window placed through the window manager
        layerShell, ///< a Wayland compositor with the layer shell: the band is a layer surface
        xwayland,   ///< a Wayland compositor without it (GNOME): the band is an X window through XWayland
        none,       ///< no display known (tests, offscreen)
    };

    /**
     * Looks at the session and, on a Wayland compositor without the layer shell, makes Qt use
     * XWayland (unless QT_QPA_PLATFORM already says otherwise). Call before QApplication.
     */
    static Kind prepare();

    /** What prepare() found; `none` when it was never called. */
    static Kind current();

    /** The mode in plain words, for the settings window. */
    static QString describe(Kind kind);

    /**
     * True on a Wayland session where Qt can open no window: no X display for XWayland and no
     * Qt Wayland plug-in. Qt aborts with a core dump there, so the program checks before it
     * starts Qt. Uses what prepare() found.
     */
    static bool qtPlatformMissing();
    /** The same from the facts: a Wayland session, an X display, the folders Qt takes platform plug-ins from. */
    static bool qtPlatformMissing(bool waylandSession, bool x11Display, const QStringList &pluginDirs);
    /** The folders Qt looks in for platform plug-ins, in its order. */
    static QStringList platformPluginDirs();

    /** The decision itself, from the session's variables and whether the layer shell answered. */
    static Kind decide(bool waylandSession, bool layerShell, bool x11Display);
};
