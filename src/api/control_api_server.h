#pragma once

#include "control_api_handler.h"
#include "control_api_limits.h"
#include "control_api_log.h"
#include "control_api_throttle.h"
#include "control_request_queue.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <QTimer>

#include <deque>
#include <memory>
#include <optional>

struct ControlApiSettings;
class ControlApiConnection;

// The local control API over HTTP/1.1. Requests are answered one at a time, in the
// order they arrive, on the GUI thread: each goes through the panel's send path
// between the panel's own exchanges. What the backend's availability() says decides
// whether a request runs now, waits (a busy panel, at most maxWaitMs) or is refused
// at once with 503 and Retry-After. A stop is never refused for the number of
// waiting requests and goes ahead of the requests that wait.
//
// A token, when set, guards the API (it must be set to listen on anything but a
// loopback address); requests from web pages are refused (403). Both are checked on the request head, before any
// of the body is read; everything a client sends is bounded (ControlApiLimits).
// GET /api/v1/events is a Server-Sent Events stream of what publish() is given.
// While it serves, the address is announced for the command-line tool
// (ControlApiEndpoint).
class ControlApiServer : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxWaitMs = 30000;
    // Seconds in Retry-After: a busy panel or a full queue; an upgrade or the
    // series selection, which take a person.
    static constexpr int kRetryBusySeconds = ControlRequestQueue::kRetryBusySeconds;
    static constexpr int kRetryLaterSeconds = ControlRequestQueue::kRetryLaterSeconds;

    // A server with a queue of its own into the backend.
    explicit ControlApiServer(std::unique_ptr<ControlApiBackend> backend, QObject *parent = nullptr);
    // A server that shares the queue of other protocols; the queue outlives it.
    explicit ControlApiServer(ControlRequestQueue *requests, QObject *parent = nullptr);
    ~ControlApiServer() override;

    // Before start(); tests shorten the times.
    void setLimits(const ControlApiLimits &limits) { m_limits = limits; }
    const ControlApiLimits &limits() const { return m_limits; }

    // Listens as the settings say (port 0: any free port) and announces the address.
    // False, with the reason, when it cannot: no such address, the port is taken, no
    // token for an address other than a loopback one, or a token that is too short.
    bool start(const ControlApiSettings &settings, QString *error);
    quint16 port() const { return m_port; }
    int waiting() const { return m_requests->waiting(); }
    int connections() const { return int(m_connections.size()); }
    int subscribers() const { return int(m_subscribers.size()); }

    // Sends an event to every subscriber of /api/v1/events ("data: {...}").
    void publish(const QJsonObject &event);

signals:
    // A request was answered with this status (tests).
    void answered(int status);

private:
    void accept();
    void checkHead(ControlApiConnection *connection);
    void carryOut(ControlApiConnection *connection);
    void refuse(ControlApiConnection *connection, int status, const QString &why);
    void closed(ControlApiConnection *connection);
    void answer(ControlApiConnection *connection, const ControlApiHandler::Request &request,
                ControlApiHandler::Reply reply, bool close = false);
    bool authorised(const ControlApiConnection *connection) const;
    bool fromBrowser(const ControlApiConnection *connection) const;
    void keepStreamsAlive();
    static ControlApiHandler::Request parse(const QByteArray &method, const QByteArray &target);

    ControlRequestQueue *m_requests;
    ControlApiLimits m_limits;
    QTcpServer m_listener;
    QList<ControlApiConnection *> m_connections;
    QList<ControlApiConnection *> m_subscribers;
    QTimer m_keepAlive;
    QByteArray m_token; // required when not empty
    ControlApiThrottle m_throttle;
    QElapsedTimer m_clock;
    ControlApiLog m_log;
    quint16 m_port = 0;
    bool m_announced = false;
};
