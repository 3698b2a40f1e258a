#include "wayland/SessionMode.h"

#include "wayland/WaylandClient.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>

namespace {

SessionMode::Kind g_current = SessionMode::Kind::none;
bool g_waylandSession = false;

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
    g_waylandSession = probe.connected;
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

bool SessionMode::qtPlatformMissing()
{
    return qtPlatformMissing(g_waylandSession, !qEnvironmentVariableIsEmpty("DISPLAY"), platformPluginDirs());
}

bool SessionMode::qtPlatformMissing(bool waylandSession, bool x11Display, const QStringList &pluginDirs)
{
    if (!waylandSession || x11Display)
        return false;
    // qt6-wayland brings the "wayland" (generic) and "wayland-egl" plug-ins; either serves.
    for (const QString &dir : pluginDirs) {
        if (!QDir(dir).entryList({QStringLiteral("libqwayland-*.so")}, QDir::Files).isEmpty())
            return false;
    }
    return true;
}

QStringList SessionMode::platformPluginDirs()
{
    // As Qt looks: the platform plug-in folder named outright, then each plug-in path's
    // "platforms" folder, then Qt's own.
    QStringList dirs;
    const QString explicitDir = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH");
    if (!explicitDir.isEmpty())
        dirs.append(explicitDir);
    for (const QString &path : qEnvironmentVariable("QT_PLUGIN_PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        dirs.append(path + QStringLiteral("/platforms"));
    dirs.append(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"));
    return dirs;
}

QString SessionMode::describe(Kind kind)
{
    switch (kind) {
    case Kind::x11:
        return QCoreApplication::translate("SessionMode",
                                           "Session X11 : le bandeau est placé par le gestionnaire de fenêtres.");
    case Kind::layerShell:
        return QCoreApplication::translate("SessionMode",
                                           "Session Wayland : le bandeau est une surface du compositeur (layer-shell), "
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
