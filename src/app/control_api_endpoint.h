#pragma once

#include <QString>

#include <optional>

// The running GUI's control API, announced in "control_api.json" in the tool's files
// directory while it serves: {"host": ..., "port": ..., "pid": ...}. The command-line
// tool reads it to talk to the GUI instead of opening the cameras itself, once it
// has made sure that the GUI which wrote it still runs.
class ControlApiEndpoint {
public:
    static constexpr qint64 kMaxFileSize = 4096;
    static const char *const kFileName; // "control_api.json"

    struct Address {
        QString host; // where a client connects (a loopback address for a wildcard bind)
        quint16 port = 0;
        qint64 pid = 0; // the process that serves it (written: this one)
    };

    static QString filePath();
    // Written whole or not at all; the reason of a failure, empty on success.
    static QString write(const Address &address);
    // The announced address; nothing for a missing, oversized or malformed file.
    static std::optional<Address> read();
    // The announced address when the process that announced it still runs and is
    // the tool's GUI (ProcessIdentity): a file left behind by a GUI that did not end
    // cleanly may name a port that another program listens on now.
    static std::optional<Address> readTrusted();
    // Removes the file when this process wrote it.
    static void removeOwn();
};
