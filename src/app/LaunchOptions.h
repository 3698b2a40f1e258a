#pragma once

#include <QString>
#include <QStringList>

#include <optional>

/**
 * The program's own command-line switches. A switch counts only as one whole argument; one
 * that takes a value uses the argument right after it, and is absent when nothing follows.
 */
struct LaunchOptions
{
    bool twoLines = false;                 ///< "--two-lines": the band gets its news line
    bool debugWeather = false;             ///< "--debug-weather": print the forecast report and end
    std::optional<QString> snapshotUi;     ///< "--snapshot-ui PREFIX": write the reference images and end
    std::optional<QString> snapshot;       ///< "--snapshot PATH": write the band as a PNG and end

    /** Reads `arguments` as QCoreApplication::arguments() gives them (the program first). */
    static LaunchOptions parse(const QStringList &arguments);

    /** "--snapshot" or "--snapshot-ui" is there, with or without its value. */
    bool mentionsSnapshot = false;

    /**
     * True for the launches meant to do one job and end: they run beside an instance that is
     * already running instead of handing over to it. A snapshot switch that lacks its value
     * counts too, so a mistyped script never opens the running instance's settings window.
     */
    bool runsAlone() const { return debugWeather || mentionsSnapshot; }

    /** The launch does one job that needs no screen: a snapshot with its value, or the report. */
    bool worksWithoutDisplay() const { return debugWeather || snapshot || snapshotUi; }
};
