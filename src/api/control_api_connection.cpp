#include "control_api_connection.h"

#include <QTcpSocket>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace {
// What is read from the socket at a time; Qt buffers no more than this either.
constexpr qint64 kReadChunk = 16 * 1024;

// Ends our side of the connection (FIN) while still reading what the client sends.
void shutdownWriting(qintptr descriptor)
{
#ifdef Q_OS_WIN
    ::shutdown(SOCKET(descriptor), SD_SEND);
#else
    ::shutdown(int(descriptor), SHUT_WR);
#endif
}

bool fitsInHeader(const QByteArray &text)
{
    for (const char c : text)
        if (c == '\r' || c == '\n' || c == '\0')
            return false;
    return !text.isEmpty();
}
} // namespace

ControlApiConnection::ControlApiConnection(QTcpSocket *socket, const ControlApiLimits &limits, QObject *parent)
    : QObject(parent), m_socket(socket), m_limits(limits), m_peer(socket->peerAddress()),
      m_reader(limits.maxHead, limits.maxBody)
{
    m_socket->setParent(this);
    m_socket->setReadBufferSize(kReadChunk);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ControlApiConnection::timedOut);
    connect(m_socket, &QTcpSocket::readyRead, this, [this] {
        if (m_state == State::Reading)
            processInput();
        else if (m_state == State::Streaming || m_state == State::Closing)
            swallowInput();
    });
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this] {
        if (m_state == State::Closing && !m_shutDown && m_socket->bytesToWrite() == 0) {
            m_shutDown = true;
            shutdownWriting(m_socket->socketDescriptor());
        }
    });
    connect(m_socket, &QTcpSocket::disconnected, this, &ControlApiConnection::finish);
    m_timer.start(m_limits.requestTimeoutMs);
    QMetaObject::invokeMethod(this, &ControlApiConnection::processInput, Qt::QueuedConnection);
}

QByteArray ControlApiConnection::reason(int status)
{
    switch (status) {
    case 100: return "Continue";
    case 200: return "OK";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 409: return "Conflict";
    case 413: return "Content Too Large";
    case 414: return "URI Too Long";
    case 429: return "Too Many Requests";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    case 504: return "Gateway Timeout";
    case 505: return "HTTP Version Not Supported";
    default: return "Status";
    }
}

// One request at a time: the reader takes what it needs, the rest waits in m_pending
// (and in the socket, which buffers at most kReadChunk) until the answer is out.
void ControlApiConnection::processInput()
{
    while (m_state == State::Reading) {
        switch (m_reader.state()) {
        case HttpRequestReader::State::Done:
            m_state = State::Waiting;
            m_timer.stop();
            emit requestReceived(this);
            return;
        case HttpRequestReader::State::Failed:
            m_state = State::Waiting;
            m_timer.stop();
            emit refused(this, m_reader.failureStatus(), QString::fromLatin1(m_reader.failure()));
            return;
        case HttpRequestReader::State::HeadDone:
            emit headReceived(this); // the owner reads on, or answers
            if (m_reader.state() == HttpRequestReader::State::HeadDone)
                return;
            continue;
        case HttpRequestReader::State::Head:
        case HttpRequestReader::State::Body:
            break;
        }
        if (m_pending.isEmpty())
            m_pending = m_socket->read(kReadChunk);
        if (m_pending.isEmpty())
            return;
        const qsizetype used = m_reader.feed(m_pending);
        m_pending.remove(0, used);
    }
}

void ControlApiConnection::readBody()
{
    if (m_reader.state() != HttpRequestReader::State::HeadDone)
        return;
    m_reader.readBody();
    const QByteArray expect = head().field("Expect").value_or(QByteArray());
    if (m_reader.state() == HttpRequestReader::State::Body && head().minorVersion >= 1 &&
        expect.compare("100-continue", Qt::CaseInsensitive) == 0)
        m_socket->write("HTTP/1.1 100 Continue\r\n\r\n");
}

void ControlApiConnection::respond(int status, const Headers &headers, const QByteArray &body, bool close)
{
    if (m_state == State::Closed || m_state == State::Closing || m_state == State::Streaming)
        return;
    const bool keepOpen = !close && m_reader.state() == HttpRequestReader::State::Done && head().keepAlive();
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason(status) +
                     "\r\nContent-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) +
                     "\r\n";
    for (const auto &[name, value] : headers)
        if (fitsInHeader(name) && fitsInHeader(value))
            out += name + ": " + value + "\r\n";
    out += keepOpen ? "Keep-Alive: timeout=" + QByteArray::number(m_limits.requestTimeoutMs / 1000) + "\r\n\r\n"
                    : QByteArray("Connection: close\r\n\r\n");
    if (head().method != "HEAD")
        out += body;
    m_socket->write(out);
    if (!keepOpen) {
        startClosing();
        return;
    }
    m_reader.reset();
    m_state = State::Reading;
    m_timer.start(m_limits.requestTimeoutMs);
    // The next request on the connection in a later turn of the event loop.
    QMetaObject::invokeMethod(this, &ControlApiConnection::processInput, Qt::QueuedConnection);
}

void ControlApiConnection::openEventStream()
{
    if (m_state != State::Reading && m_state != State::Waiting)
        return;
    m_state = State::Streaming;
    m_timer.stop();
    m_pending.clear();
    m_socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/event-stream\r\nCache-Control: no-cache\r\n"
                    "Connection: close\r\n\r\n");
}

bool ControlApiConnection::sendEvent(const QByteArray &bytes)
{
    if (m_state != State::Streaming)
        return false;
    if (m_socket->bytesToWrite() + bytes.size() > m_limits.maxEventBacklog) {
        finish();
        return false;
    }
    m_socket->write(bytes);
    return true;
}

void ControlApiConnection::swallowInput()
{
    while (m_socket->bytesAvailable() > 0)
        m_socket->skip(m_socket->bytesAvailable());
}

void ControlApiConnection::timedOut()
{
    if (m_state == State::Reading && (m_reader.started() || !m_pending.isEmpty())) {
        m_state = State::Waiting;
        const double seconds = m_limits.requestTimeoutMs / 1000.0;
        emit refused(this, 408, QStringLiteral("the request was not complete within %1 s").arg(seconds));
    } else if (m_state != State::Waiting) {
        finish(); // idle between requests, or the client did not leave after the answer
    }
}

// The answer is out: the connection ends once it is sent, and until the client has
// read it and left (at most lingerMs), what it still sends is read and dropped, so
// that the end of the connection does not wipe out the answer on its side.
void ControlApiConnection::startClosing()
{
    m_state = State::Closing;
    m_pending.clear();
    m_timer.start(m_limits.lingerMs);
    m_socket->flush();
    if (m_socket->bytesToWrite() == 0 && m_socket->state() == QAbstractSocket::ConnectedState) {
        m_shutDown = true;
        shutdownWriting(m_socket->socketDescriptor());
    }
    swallowInput();
}

void ControlApiConnection::finish()
{
    if (m_state == State::Closed)
        return;
    m_state = State::Closed;
    m_timer.stop();
    m_socket->abort();
    emit closed(this);
    deleteLater();
}
