#pragma once

#include <QStringList>

#include <memory>

class StartupWindow;
struct CommandLineOptions;

// The process entry: application object, window icon, log, start-up records, the
// boot window centred on the primary screen, and the event loop.
class ApplicationEntry {
public:
    static int run(int argc, char *argv[]);

    // What follows the application object: the window icon, the log with its start-up
    // records (`arguments` is the full argument list, program path first), and the boot
    // window shown centred on the primary screen.
    static std::unique_ptr<StartupWindow> start(const CommandLineOptions &options, const QStringList &arguments);
};
