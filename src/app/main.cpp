#include "app/AppDelegate.h"
#include "app/LaunchOptions.h"
#include "app/LedIcon.h"
#include "app/SingleInstance.h"
#include "wayland/SessionMode.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char **argv)
{
    // Decided before the application object: on a Wayland desktop without the layer shell
    // Qt must be told to go through XWayland before it picks its platform.
    SessionMode::prepare();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("dotbanner"));
    QApplication::setApplicationVersion(QStringLiteral(DOTBANNER_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("dotbanner"));
    QApplication::setWindowIcon(LedIcon::icon());
    // The band and the tray stay when the settings window closes.
    QApplication::setQuitOnLastWindowClosed(false);

    const LaunchOptions options = LaunchOptions::parse(QApplication::arguments());

    // Opening the program again while it runs opens the running one's settings window.
    SingleInstance instance;
    if (!options.runsAlone()) {
        QStringList commands;
        if (options.twoLines)
            commands << SingleInstance::twoLinesCommand;
        commands << SingleInstance::openSettingsCommand;
        if (instance.claim(commands) == SingleInstance::Outcome::forwarded)
            return 0;
    }

    AppDelegate delegate(AppServices::standard());
    QObject::connect(&instance, &SingleInstance::commandReceived, &delegate, &AppDelegate::handleCommand);
    // Launching is over once the event loop runs: what the sequence starts may end the loop.
    QTimer::singleShot(0, &delegate, [&delegate, options] { delegate.applicationDidFinishLaunching(options); });
    return QApplication::exec();
}
