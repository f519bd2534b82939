#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The local control API's settings, in "control_api.ini" (group "ControlApi") in the
// tool's files directory, shared by the GUI and the command-line tool:
//   Enabled  the GUI serves the API at start-up (default false; "--api-port" also
//            turns it on)
//   Address  the address it listens on (default 127.0.0.1)
//   Port     its port (default kDefaultPort)
//   Token    when set, every request must carry "Authorization: Bearer <token>";
//            an Address other than a loopback one needs it. The API does not start
//            with one shorter than kMinTokenLength characters. It is taken as
//            written on its line (commas and semicolons included).
struct ControlApiSettings {
    static constexpr quint16 kDefaultPort = 8723;
    static constexpr int kMinTokenLength = 16;
    static constexpr qint64 kMaxFileSize = 64 * 1024; // beyond, the token is not looked for
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
    // The value of "Token" in the group "ControlApi" of an INI file's text, as the
    // line has it: blanks around it removed, and one pair of double quotes around
    // the whole of it. Nothing when there is no such line.
    static std::optional<QString> tokenAsWritten(const QByteArray &ini);
};
