#pragma once

#include "control_api_handler.h"

#include <QAbstractHttpServer>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <deque>
#include <memory>
#include <optional>

struct ControlApiSettings;
class QHttpServerRequest;
class QTcpSocket;

// The local control API over HTTP. Requests are answered one at a time, in the order
// they arrive, on the GUI thread: each goes through the panel's send path between the
// panel's own exchanges, and waits while the panel is busy (a refresh, an activation,
// a firmware upgrade) for at most kMaxWaitMs before it is answered 503. A token guards
// the API when it listens on anything but a loopback address; requests from web pages
// are refused (403). While it serves, the address is announced for the command-line
// tool (ControlApiEndpoint).
class ControlApiServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    static constexpr int kMaxWaitMs = 30000;
    static constexpr int kRetryMs = 50;
    // More requests than this waiting are answered 503 at once.
    static constexpr int kMaxWaiting = 64;

    explicit ControlApiServer(std::unique_ptr<ControlApiBackend> backend, QObject *parent = nullptr);
    ~ControlApiServer() override;

    // Listens as the settings say (port 0: any free port) and announces the address.
    // False, with the reason, when it cannot: no such address, the port is taken, or
    // no token is set for an address other than a loopback one.
    bool start(const ControlApiSettings &settings, QString *error);
    quint16 port() const { return m_port; }
    int waiting() const { return int(m_queue.size()); }

signals:
    // A request was answered with this status (tests).
    void answered(int status);

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    struct Pending {
        QPointer<QTcpSocket> socket;
        const QHttpServerRequest *request; // lives as long as its socket
        ControlApiHandler::Request parsed;
        QElapsedTimer waited;
    };

    void pump();
    void answer(const QHttpServerRequest &request, QTcpSocket *socket, const ControlApiHandler::Request &parsed,
                const ControlApiHandler::Reply &reply);
    bool authorised(const QHttpServerRequest &request) const;
    bool fromBrowser(const QHttpServerRequest &request) const;
    static std::optional<QByteArray> header(const QHttpServerRequest &request, const char *name);
    static ControlApiHandler::Request parse(const QHttpServerRequest &request);

    std::unique_ptr<ControlApiBackend> m_backend;
    ControlApiHandler m_handler;
    std::deque<Pending> m_queue;
    QTimer m_retry;
    bool m_pumping = false;
    QString m_token; // required when not empty
    quint16 m_port = 0;
    bool m_announced = false;
};
