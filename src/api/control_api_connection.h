#pragma once

#include "control_api_limits.h"
#include "http_request_reader.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPair>
#include <QTimer>

class QTcpSocket;

// One client connection of the control API. It reads one request at a time, within
// the limits, and takes nothing more from the client until that request is answered
// (so a client can never have more than one request waiting). Its owner checks the
// head (headReceived) before any of the body is read, and answers each complete
// request (requestReceived) or refusal (refused). Keeps the connection open between
// requests when the client asks for that, for at most requestTimeoutMs each.
// A connection may also become an event stream that stays open until the client
// leaves or stops reading.
class ControlApiConnection : public QObject {
    Q_OBJECT
public:
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    // Takes the socket over.
    ControlApiConnection(QTcpSocket *socket, const ControlApiLimits &limits, QObject *parent = nullptr);

    QHostAddress peer() const { return m_peer; }
    const HttpRequestReader::Head &head() const { return m_reader.head(); }
    const QByteArray &body() const { return m_reader.body(); }
    bool isEventStream() const { return m_state == State::Streaming; }
    bool isOpen() const { return m_state != State::Closed; }

    // After headReceived: the head is accepted, the body may be read.
    void readBody();
    // Answers the request. The connection is closed after the answer when `close` is
    // set, when the client asked for it, or when the request was not read whole.
    void respond(int status, const Headers &headers, const QByteArray &body, bool close = false);
    // Answers with an event stream (200, text/event-stream) that stays open.
    void openEventStream();
    // Writes to the event stream; false (and the connection closed) when the client
    // has left more than maxEventBacklog bytes unread.
    bool sendEvent(const QByteArray &bytes);

    // The reason phrase of a status ("Not Found").
    static QByteArray reason(int status);

signals:
    void headReceived(ControlApiConnection *connection);
    void requestReceived(ControlApiConnection *connection);
    // The request is malformed, too large or was not complete in time; nothing of
    // it is carried out. The owner answers `status` (the connection then closes).
    void refused(ControlApiConnection *connection, int status, const QString &why);
    // The connection has ended; the object deletes itself later.
    void closed(ControlApiConnection *connection);

private:
    enum class State {
        Reading,   // a request, until requestTimeoutMs
        Waiting,   // the request is with the owner
        Streaming, // an event stream
        Closing,   // the answer is out; what the client still sends is swallowed
        Closed,
    };

    void processInput();
    void swallowInput();
    void timedOut();
    void startClosing();
    void finish();

    QTcpSocket *m_socket;
    ControlApiLimits m_limits;
    QHostAddress m_peer;
    HttpRequestReader m_reader;
    QByteArray m_pending; // read from the socket, not yet taken by the reader
    State m_state = State::Reading;
    bool m_shutDown = false;
    QTimer m_timer;
};
