#include "app/BandSurfaceFactory.h"

#include "band/BandSurface.h"
#include "desktop/WindowSystem.h"
#include "qtband/LedView.h"
#include "qtband/PanelSurface.h"
#include "settings/ScreenChoice.h"
#include "wayland/SessionMode.h"
#include "wayland/WaylandBandSurface.h"
#include "x11band/X11BandSurface.h"
#include "x11band/X11BandView.h"

namespace {

/** The screen picker offers the compositor's outputs, which the layer surface goes on by name. */
void offerOutputs(WaylandBandSurface &surface, ScreenChoice &choice)
{
    const auto publish = [&surface, &choice] {
        QList<ScreenChoice::Screen> screens;
        for (const WaylandClient::Output &output : surface.outputs())
            screens.append({output.name, output.description});
        choice.setScreens(screens);
    };
    publish();
    QObject::connect(&surface, &WaylandBandSurface::outputsChanged, &surface, publish);
}

} // namespace

std::unique_ptr<BandSurface> BandSurfaceFactory::make(BandLines &lines, WindowSystem *system)
{
    // The X server moves the pixels where it can; Qt's own painting is the fallback and can be
    // chosen by name for comparison.
    const QString wanted = qEnvironmentVariable("DOTBANNER_SURFACE");
    // On a compositor with the layer shell the band is one of its layer surfaces, whatever
    // platform Qt uses for the other windows.
    if ((wanted.isEmpty() || wanted == QLatin1String("wayland")) &&
        SessionMode::current() == SessionMode::Kind::layerShell) {
        if (auto surface = WaylandBandSurface::create(lines)) {
            offerOutputs(*surface, ScreenChoice::shared());
            return surface;
        }
        qWarning("The compositor's layer shell cannot be reached; the band is an ordinary window");
    }
    const bool x11 = X11BandView::isAvailable();
    if (!wanted.isEmpty() && wanted != QLatin1String("qt") && wanted != QLatin1String("wayland") &&
        !(wanted == QLatin1String("x11") && x11))
        qWarning("DOTBANNER_SURFACE=%s is not available here; the band uses the default surface", qPrintable(wanted));
    if (x11 && wanted != QLatin1String("qt"))
        return std::make_unique<X11BandSurface>(lines, system);
    return std::make_unique<PanelSurface>(lines, new LedView(&lines), system, QStringLiteral("qt"));
}
