#pragma once

// The process entry: application object, window icon, log, start-up records, the
// boot window centred on the primary screen, and the event loop.
class ApplicationEntry {
public:
    static int run(int argc, char *argv[]);
};
