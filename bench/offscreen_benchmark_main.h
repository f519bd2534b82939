#pragma once

// The main() of the benchmarks that build windows: an offscreen application whose log
// records go to a scratch directory, as the application writes them.
#include "app_paths.h"
#include "log_manager.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>

#include <functional>

// `reporter` (optional) receives the results instead of the console; `after` runs once
// all benchmarks are done, with the application still alive.
inline int runOffscreenBenchmarks(int argc, char **argv, benchmark::BenchmarkReporter *reporter = nullptr,
                                  const std::function<void()> &after = {})
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    AppPaths::setApplicationDirOverride(QDir::tempPath());
    LogManager::setInitialConsoleOutput(false);
    LogManager::instance()->setLogDirectory(QDir::tempPath() + "/kestrane-bench-logs");
    LogManager::instance()->installMessageHandler();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks(reporter);
    if (after)
        after();
    benchmark::Shutdown();
    return 0;
}
