#pragma once

#include <QString>

class CliCameraLink;
class QTextStream;

// "kestrane-cli upgrade INDEX FILE": announces the size, streams the file in 1 MiB
// blocks, follows the camera's progress until it reports completion, restarts the
// camera, waits for it to come back and compares its build date with the one before.
// A progress bar is drawn on `progress` when it is a terminal; otherwise one line
// per stage.
class CliFirmwareUpgrade {
public:
    static constexpr int kBlockSize = 1048576;
    static constexpr int kMaxStatusQueries = 301;
    static constexpr int kPollIntervalMs = 1000;
    static constexpr int kStatusComplete = 2;
    static constexpr int kReturnTimeoutMs = 60000;
    // A camera may still answer for a moment after the restart request: its identity
    // is asked for again only after this.
    static constexpr int kRestartSettleMs = 2000;

    struct Options {
        bool terminal = false;
        int pollIntervalMs = kPollIntervalMs;
        int returnTimeoutMs = kReturnTimeoutMs;
        int restartSettleMs = kRestartSettleMs;
    };

    // Returns the exit code: 0 upgraded and the build date changed, 1 otherwise (the
    // reason is returned in `error`).
    static int run(CliCameraLink &link, int index, const QString &path, const Options &options,
                   QTextStream &out, QTextStream &progress, QString *error);
};
