#include "control_api_server.h"

#include "control_api_connection.h"
#include "control_api_endpoint.h"
#include "control_api_settings.h"
#include "control_request_queue.h"

#include <QJsonDocument>
#include <QTcpSocket>
#include <QUrl>

#include <vector>

namespace {
using Reply = ControlApiHandler::Reply;
using Request = ControlApiHandler::Request;

const QStringList kEventsPath = {QStringLiteral("api"), QStringLiteral("v1"), QStringLiteral("events")};

// Compares in time independent of where the texts differ.
bool sameSecret(const QByteArray &a, const QByteArray &b)
{
    unsigned char difference = a.size() == b.size() ? 0 : 1;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i % qMax<qsizetype>(1, b.size())]);
    return difference == 0 && !b.isEmpty();
}

bool hasHeader(const Reply &reply, const char *name)
{
    for (const auto &header : reply.headers)
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

Reply withHeader(Reply reply, const QByteArray &name, const QByteArray &value)
{
    reply.headers.append(qMakePair(name, value));
    return reply;
}

Reply unavailable(const QString &message, int retrySeconds)
{
    return ControlRequestQueue::unavailable(message, retrySeconds);
}
} // namespace

ControlApiServer::ControlApiServer(std::unique_ptr<ControlApiBackend> backend, QObject *parent)
    : ControlApiServer(new ControlRequestQueue(std::move(backend)), parent)
{
    m_requests->setParent(this);
}

ControlApiServer::ControlApiServer(ControlRequestQueue *requests, QObject *parent)
    : QObject(parent), m_requests(requests), m_throttle(m_limits.maxAuthFailures, m_limits.authWindowMs)
{
    connect(m_requests, &ControlRequestQueue::event, this, &ControlApiServer::publish);
    connect(&m_keepAlive, &QTimer::timeout, this, &ControlApiServer::keepStreamsAlive);
    connect(&m_listener, &QTcpServer::newConnection, this, &ControlApiServer::accept);
    m_clock.start();
}

ControlApiServer::~ControlApiServer()
{
    m_listener.close();
    for (ControlApiConnection *connection : std::as_const(m_connections)) {
        connection->disconnect(this);
        delete connection;
    }
    if (m_announced)
        ControlApiEndpoint::removeOwn();
}

bool ControlApiServer::start(const ControlApiSettings &settings, QString *error)
{
    QHostAddress address;
    if (settings.address.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        address = QHostAddress(QHostAddress::LocalHost);
    else if (!address.setAddress(settings.address)) {
        *error = QStringLiteral("not an IP address: %1").arg(settings.address);
        return false;
    }
    if (!address.isLoopback() && settings.token.isEmpty()) {
        *error = QStringLiteral("listening on %1 needs a Token in %2").arg(address.toString(), ControlApiSettings::filePath());
        return false;
    }
    if (!settings.token.isEmpty() && settings.token.size() < ControlApiSettings::kMinTokenLength) {
        *error = QStringLiteral("the Token in %1 has %2 characters; it needs at least %3")
                     .arg(ControlApiSettings::filePath())
                     .arg(settings.token.size())
                     .arg(ControlApiSettings::kMinTokenLength);
        return false;
    }
    // A token that is set guards every address, a loopback one too (other users and
    // programs of this machine).
    m_token = settings.token.toUtf8();
    m_throttle = ControlApiThrottle(m_limits.maxAuthFailures, m_limits.authWindowMs);
    m_requests->setLimits(m_limits.maxWaitMs, m_limits.maxWaiting, m_limits.retryMs);
    m_keepAlive.setInterval(m_limits.keepAliveCommentMs);
    m_listener.setMaxPendingConnections(1); // taken at once, or left to the listen queue
    if (!m_listener.listen(address, settings.port)) {
        *error = QStringLiteral("cannot listen on %1 port %2: %3")
                     .arg(address.toString())
                     .arg(settings.port)
                     .arg(m_listener.errorString());
        return false;
    }
    m_port = m_listener.serverPort();
    const bool wildcard = address == QHostAddress::Any || address == QHostAddress::AnyIPv4 || address == QHostAddress::AnyIPv6;
    ControlApiEndpoint::Address announced;
    announced.host = wildcard ? QStringLiteral("127.0.0.1") : address.toString();
    announced.port = m_port;
    const QString failure = ControlApiEndpoint::write(announced);
    m_announced = failure.isEmpty();
    if (!m_announced)
        ControlApiLog::note(WARNING, QStringLiteral("%1 not written, the command-line tool will not find the API: %2")
                                         .arg(ControlApiEndpoint::filePath(), failure));
    ControlApiLog::note(INFO, QStringLiteral("serving on http://%1:%2/api/v1%3")
                                  .arg(address.protocol() == QAbstractSocket::IPv6Protocol ? "[" + address.toString() + "]"
                                                                                            : address.toString())
                                  .arg(m_port)
                                  .arg(m_token.isEmpty() ? QString() : QStringLiteral(" (token required)")));
    return true;
}

// Beyond the cap no connection is taken: further clients wait in the system's listen
// queue, which costs the program no descriptor, until one ends. So clients can never
// take the descriptors the program needs for its own files and cameras, and a burst
// of requests (a stop among them) is served in turn instead of refused.
void ControlApiServer::accept()
{
    while (m_connections.size() < m_limits.maxConnections) {
        QTcpSocket *socket = m_listener.nextPendingConnection();
        if (!socket)
            break;
        auto *connection = new ControlApiConnection(socket, m_limits, this);
        m_connections.append(connection);
        connect(connection, &ControlApiConnection::headReceived, this, &ControlApiServer::checkHead);
        connect(connection, &ControlApiConnection::requestReceived, this, &ControlApiServer::carryOut);
        connect(connection, &ControlApiConnection::refused, this, &ControlApiServer::refuse);
        connect(connection, &ControlApiConnection::closed, this, &ControlApiServer::closed);
    }
    if (m_connections.size() >= m_limits.maxConnections)
        m_listener.pauseAccepting();
}

Request ControlApiServer::parse(const QByteArray &method, const QByteArray &target)
{
    Request request;
    request.method = method;
    const qsizetype hash = target.indexOf('#');
    const QByteArray local = hash < 0 ? target : target.left(hash);
    const qsizetype question = local.indexOf('?');
    for (const QByteArray &segment : (question < 0 ? local : local.left(question)).split('/'))
        if (!segment.isEmpty())
            request.path << QUrl::fromPercentEncoding(segment);
    if (question >= 0) {
        for (const QByteArray &item : local.mid(question + 1).split('&')) {
            const qsizetype equals = item.indexOf('=');
            if (!item.isEmpty())
                request.query.insert(QUrl::fromPercentEncoding(equals < 0 ? item : item.left(equals)),
                                     equals < 0 ? QString() : QUrl::fromPercentEncoding(item.mid(equals + 1)));
        }
    }
    return request;
}

bool ControlApiServer::authorised(const ControlApiConnection *connection) const
{
    if (m_token.isEmpty())
        return true;
    // "Bearer" in any case (RFC 7235), then the token.
    const QByteArray value = connection->head().field("Authorization").value_or(QByteArray());
    const qsizetype space = value.indexOf(' ');
    return space > 0 && value.left(space).compare("Bearer", Qt::CaseInsensitive) == 0 &&
           sameSecret(value.mid(space + 1).trimmed(), m_token);
}

// Web pages must not drive the cameras: a browser names the page's origin, and a page
// that made its own name point at this machine still names itself in "Host".
bool ControlApiServer::fromBrowser(const ControlApiConnection *connection) const
{
    if (connection->head().field("Origin"))
        return true;
    if (!m_token.isEmpty())
        return false; // the token guards it
    QByteArray host = connection->head().field("Host").value_or(QByteArray()).toLower();
    const qsizetype colon = host.lastIndexOf(':');
    if (colon > host.lastIndexOf(']'))
        host.truncate(colon);
    return host != "127.0.0.1" && host != "localhost" && host != "[::1]";
}

// Who asks, and from where, is settled on the head: nothing of the body is read for a
// request that is refused.
void ControlApiServer::checkHead(ControlApiConnection *connection)
{
    const Request request = parse(connection->head().method, connection->head().target);
    const qint64 now = m_clock.elapsed();
    if (!m_token.isEmpty() && m_throttle.blocked(connection->peer(), now)) {
        const QByteArray seconds = QByteArray::number((m_limits.authWindowMs + 999) / 1000);
        answer(connection, request,
               withHeader(ControlApiHandler::error(429, QStringLiteral("too many wrong tokens; try again later")),
                          "Retry-After", seconds));
        return;
    }
    if (fromBrowser(connection)) {
        answer(connection, request,
               ControlApiHandler::error(403, QStringLiteral("requests from web pages are refused")));
        return;
    }
    if (!authorised(connection)) {
        m_throttle.failed(connection->peer(), now);
        answer(connection, request, ControlApiHandler::error(401, QStringLiteral("a valid token is required")));
        return;
    }
    if (request.path == kEventsPath) {
        if (request.method != "GET")
            answer(connection, request,
                   withHeader(ControlApiHandler::error(405, QStringLiteral("method not allowed")), "Allow", "GET"));
        else if (m_subscribers.size() >= m_limits.maxSubscribers)
            answer(connection, request, unavailable(QStringLiteral("too many event subscribers"), kRetryLaterSeconds));
        else {
            connection->openEventStream();
            m_subscribers.append(connection);
            if (!m_keepAlive.isActive())
                m_keepAlive.start();
            m_log.answered(request.method, QLatin1Char('/') + request.path.join(QLatin1Char('/')), 200, QString());
            emit answered(200);
        }
        return;
    }
    connection->readBody();
}

void ControlApiServer::refuse(ControlApiConnection *connection, int status, const QString &why)
{
    const Request request = parse(connection->head().method, connection->head().target);
    answer(connection, request, ControlApiHandler::error(status, why), true);
}

void ControlApiServer::carryOut(ControlApiConnection *connection)
{
    Request request = parse(connection->head().method, connection->head().target);
    request.body = connection->body();
    Request logged; // what the answer's log line names
    logged.method = request.method;
    logged.path = request.path;
    const QPointer<ControlApiConnection> client(connection);
    m_requests->submit(
        std::move(request), [this, client, logged](const Reply &reply) { answer(client, logged, reply); },
        [client] { return client && client->isOpen(); });
}

void ControlApiServer::closed(ControlApiConnection *connection)
{
    m_connections.removeOne(connection);
    m_subscribers.removeOne(connection);
    if (m_subscribers.isEmpty())
        m_keepAlive.stop();
    if (m_connections.size() < m_limits.maxConnections && m_listener.isListening()) {
        m_listener.resumeAccepting();
        accept(); // one may already wait in the server's own queue
    }
}

void ControlApiServer::answer(ControlApiConnection *connection, const Request &request, Reply reply, bool close)
{
    if (reply.status == 503 && !hasHeader(reply, "Retry-After"))
        reply = withHeader(std::move(reply), "Retry-After", QByteArray::number(kRetryBusySeconds));
    if (reply.status == 401 && !hasHeader(reply, "WWW-Authenticate"))
        reply = withHeader(std::move(reply), "WWW-Authenticate", "Bearer");
    m_log.answered(request.method.isEmpty() ? QByteArray("-") : request.method,
                   QLatin1Char('/') + request.path.join(QLatin1Char('/')), reply.status,
                   reply.status >= 400 ? reply.body.value(QStringLiteral("error")).toString() : QString());
    if (connection)
        connection->respond(reply.status, reply.headers, QJsonDocument(reply.body).toJson(), close);
    emit answered(reply.status);
}

void ControlApiServer::publish(const QJsonObject &event)
{
    const QByteArray bytes = "data: " + QJsonDocument(event).toJson(QJsonDocument::Compact) + "\n\n";
    for (ControlApiConnection *subscriber : QList<ControlApiConnection *>(m_subscribers))
        subscriber->sendEvent(bytes);
}

void ControlApiServer::keepStreamsAlive()
{
    for (ControlApiConnection *subscriber : QList<ControlApiConnection *>(m_subscribers))
        subscriber->sendEvent(": keep-alive\n\n");
}
