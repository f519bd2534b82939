#pragma once

#include <QString>

#include <optional>

// The running GUI's control API, announced in "control_api.json" in the tool's files
// directory while it serves: {"host": ..., "port": ..., "pid": ...}. The command-line
// tool reads it to talk to the GUI instead of opening the cameras itself.
class ControlApiEndpoint {
public:
    static constexpr qint64 kMaxFileSize = 4096;
    static const char *const kFileName; // "control_api.json"

    struct Address {
        QString host; // where a client connects (a loopback address for a wildcard bind)
        quint16 port = 0;
    };

    static QString filePath();
    // Written whole or not at all; the reason of a failure, empty on success.
    static QString write(const Address &address);
    // The announced address; nothing for a missing, oversized or malformed file.
    static std::optional<Address> read();
    // Removes the file when this process wrote it.
    static void removeOwn();
};
