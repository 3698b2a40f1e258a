#include "wayland/SessionMode.h"

#include "wayland/WaylandClient.h"

#include <QCoreApplication>

namespace {

SessionMode::Kind g_current = SessionMode::Kind::none;

} // namespace

SessionMode::Kind SessionMode::decide(bool waylandSession, bool layerShell, bool x11Display)
{
    if (waylandSession && layerShell)
        return Kind::layerShell;
    if (waylandSession && x11Display)
        return Kind::xwayland;
    if (x11Display)
        return Kind::x11;
    return Kind::none;
}

SessionMode::Kind SessionMode::prepare()
{
    const WaylandClient::Probe probe = WaylandClient::probe();
    g_current = decide(probe.connected, probe.layerShell, !qEnvironmentVariableIsEmpty("DISPLAY"));
    // Without the layer shell the band's placement, levels and struts need X11: through
    // XWayland the window manager honours them, a native Wayland window gets none of them.
    if (g_current == Kind::xwayland && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    return g_current;
}

SessionMode::Kind SessionMode::current()
{
    return g_current;
}

QString SessionMode::describe(Kind kind)
{
    switch (kind) {
    case Kind::x11:
        return QCoreApplication::translate("SessionMode", "Session X11 : le bandeau est placé par le gestionnaire de fenêtres.");
    case Kind::layerShell:
        return QCoreApplication::translate(
            "SessionMode", "Session Wayland : le bandeau est une surface du compositeur (layer-shell), "
                           "les fenêtres sont disposées à côté de lui par le compositeur.");
    case Kind::xwayland:
        return QCoreApplication::translate(
            "SessionMode", "Session Wayland sans layer-shell : le bandeau passe par XWayland et réserve sa bande "
                           "d'écran.");
    case Kind::none:
        break;
    }
    return QCoreApplication::translate("SessionMode", "Aucun affichage détecté.");
}
