#pragma once

#include <QGuiApplication>

#include <benchmark/benchmark.h>

/**
 * The main of a benchmark that draws text: Qt's text engine needs a GUI application, and the
 * offscreen platform gives one without a display.
 */
inline int runGuiBenchmarks(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
