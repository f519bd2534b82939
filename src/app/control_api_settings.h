#pragma once

#include <QString>

// The local control API's settings, in "control_api.ini" (group "ControlApi") in the
// tool's files directory, shared by the GUI and the command-line tool:
//   Enabled  the GUI serves the API at start-up (default false; "--api-port" also
//            turns it on)
//   Address  the address it listens on (default 127.0.0.1)
//   Port     its port (default kDefaultPort)
//   Token    required as "Authorization: Bearer <token>" when Address is not a
//            loopback address; the API does not start there without one
struct ControlApiSettings {
    static constexpr quint16 kDefaultPort = 8723;
    static const char *const kFileName; // "control_api.ini"

    bool enabled = false;
    QString address = QStringLiteral("127.0.0.1");
    quint16 port = kDefaultPort;
    QString token;

    static QString filePath();
    // Missing or unusable values keep their defaults (an unusable one is logged).
    static ControlApiSettings load();
    // "127.0.0.1", "::1" and "localhost" (any case).
    static bool isLoopback(const QString &address);
};
