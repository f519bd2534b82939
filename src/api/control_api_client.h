#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>

// A client of the running GUI's control API, for the command-line tool: one blocking
// request at a time (a local event loop runs while it waits).
class ControlApiClient {
public:
    static constexpr int kProbeTimeoutMs = 2000;
    // A request may wait for the panel and then carry out a whole import.
    static constexpr int kRequestTimeoutMs = 180000;

    struct Response {
        int status = 0; // 0: no HTTP answer (see error)
        QJsonObject body;
        QString error;
        QString message() const; // the answer's "error", or what went wrong
    };

    ControlApiClient(const QString &host, quint16 port, const QString &token);

    // The GUI's API when it answers as such at the address it announced, and the
    // process that announced it is a running GUI. Nothing otherwise: the caller then
    // opens the cameras itself.
    static std::optional<ControlApiClient> discover();

    // `path` below /api/v1, its segments already encoded (see segment()).
    Response get(const QString &path, int timeoutMs = kRequestTimeoutMs) const;
    Response post(const QString &path, const QJsonObject &body) const;
    // A path segment, percent-encoded (serials may hold any character).
    static QString segment(const QString &text);

private:
    Response request(const QByteArray &verb, const QString &path, const QByteArray &body, int timeoutMs) const;

    QString m_host;
    quint16 m_port;
    QString m_token;
};
