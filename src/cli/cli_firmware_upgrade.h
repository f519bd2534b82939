#pragma once

#include "firmware_upgrade.h"

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
    // Block size, poll count and interval are the panel's (FirmwareUpgrade).
    static constexpr int kReturnTimeoutMs = 60000;
    // A camera may still answer for a moment after the restart request: its identity
    // is asked for again only after this.
    static constexpr int kRestartSettleMs = 2000;

    struct Options {
        bool terminal = false;
        int pollIntervalMs = FirmwareUpgrade::kPollIntervalMs;
        int returnTimeoutMs = kReturnTimeoutMs;
        int restartSettleMs = kRestartSettleMs;
    };

    // Returns the exit code: 0 upgraded and the build date changed, 1 otherwise (the
    // reason is returned in `error`).
    static int run(CliCameraLink &link, int index, const QString &path, const Options &options,
                   QTextStream &out, QTextStream &progress, QString *error);
};
