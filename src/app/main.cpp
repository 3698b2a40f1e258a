#include "app/AppDelegate.h"
#include "app/DisplayProbe.h"
#include "app/LaunchOptions.h"
#include "app/LedIcon.h"
#include "app/SingleInstance.h"
#include "settingsui/InterfaceLanguage.h"
#include "util/ProcessMemory.h"
#include "wayland/SessionMode.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace {

// Exit status of a launch that cannot show anything: no graphical session to show it in.
constexpr int noDisplayStatus = 2;

QStringList argumentsOf(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int main(int argc, char **argv)
{
    ProcessMemory::returnLargeBlocks();
    // Decided before the application object: on a Wayland desktop without the layer shell
    // Qt must be told to go through XWayland before it picks its platform.
    SessionMode::prepare();
    // Decided before QApplication exists: Qt aborts when its platform cannot connect, or when
    // a Wayland session offers it neither XWayland nor its Wayland plug-in.
    const bool qtMissing = !DisplayProbe::platformChosen() && SessionMode::qtPlatformMissing();
    if (!DisplayProbe::platformChosen() && (!DisplayProbe::displayReachable() || qtMissing)) {
        const LaunchOptions early = LaunchOptions::parse(argumentsOf(argc, argv));
        if (!early.worksWithoutDisplay()) {
            const QString line =
                !qtMissing
                    ? QCoreApplication::translate(
                          "main", "Dotbanner a besoin d'une session graphique (X11 ou Wayland) et n'en trouve aucune ; "
                                  "« dotbanner --snapshot FICHIER » fait une image du bandeau sans affichage.")
                    : QCoreApplication::translate(
                          "main", "Dotbanner ne peut pas s'afficher dans cette session Wayland : il manque XWayland "
                                  "(aucun affichage X11) et le module Wayland de Qt (paquet qt6-wayland).");
            std::fputs(qPrintable(line + QLatin1Char('\n')), stderr);
            return noDisplayStatus;
        }
        // The one-job switches draw into images or print text: no screen needed.
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("dotbanner"));
    QApplication::setApplicationVersion(QStringLiteral(DOTBANNER_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("dotbanner"));
    QApplication::setWindowIcon(LedIcon::icon());
    // English or French, from the desktop's interface language, before any window exists.
    InterfaceLanguage::install();
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
    QTimer::singleShot(0, &delegate, [&delegate, options] { delegate.launch(options); });
    return QApplication::exec();
}
