#pragma once

// The main() of the benchmarks that build windows: an offscreen application whose log
// records go to a scratch directory, as the application writes them.
#include "app_paths.h"
#include "log_manager.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>

inline int runOffscreenBenchmarks(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    AppPaths::setApplicationDirOverride(QDir::tempPath());
    LogManager::setInitialConsoleOutput(false);
    LogManager::instance()->setLogDirectory(QDir::tempPath() + "/kestrane-bench-logs");
    LogManager::instance()->installMessageHandler();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
