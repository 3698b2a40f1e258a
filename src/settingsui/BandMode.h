#pragma once

/**
 * How the band keeps other windows clear of itself on this desktop, as the band reports it
 * (SettingsEnvironment::bandMode).
 */
enum class BandMode {
    x11Ewmh,        ///< X11 with an EWMH window manager: the band pushes windows aside itself
    x11WithoutEwmh, ///< X11, but the window manager does not tell where windows are
    layerShell,     ///< Wayland with layer-shell: the compositor keeps windows clear of the band
    xwaylandStrut,  ///< Wayland through XWayland: the band reserves its strip of the screen
    unsupported,    ///< no way to keep windows clear (unknown platform, no band)
};
