#pragma once

#include <functional>
#include <memory>

class BandLines;
class BandSurface;
class WindowSystem;

/**
 * Chooses, once at start, what shows the band: a layer-shell surface where the compositor offers
 * one, the X server's pixmaps where Qt runs on X11, Qt's own painting otherwise.
 * `DOTBANNER_SURFACE` ("wayland", "x11", "qt") asks for one by name, for comparison.
 */
class BandSurfaceFactory
{
public:
    /** Makes a surface for `lines`; `system` (not owned, may be null) marks and places its window. */
    using Make = std::function<std::unique_ptr<BandSurface>(BandLines &lines, WindowSystem *system)>;

    /** The surface the session and DOTBANNER_SURFACE call for; never null. */
    static std::unique_ptr<BandSurface> make(BandLines &lines, WindowSystem *system);
};
