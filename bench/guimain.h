#pragma once

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>

// A benchmark main for code that needs fonts: a GUI application on the
// offscreen platform at 96 DPI, so no display is needed and figures repeat.
inline int runGuiBenchmarks(int argc, char **argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_FONT_DPI", "96", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
