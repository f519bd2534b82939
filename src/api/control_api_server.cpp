#include "control_api_server.h"

#include "control_api_endpoint.h"
#include "control_api_settings.h"
#include "log_manager.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonDocument>
#include <QTcpSocket>
#include <QUrl>

namespace {
void apiRecord(LogLevel level, const QString &message)
{
    ::logRecord(level, QStringLiteral("Api"), QStringLiteral("[API] ") + message);
}

QByteArray methodName(QHttpServerRequest::Method method)
{
    switch (method) {
    case QHttpServerRequest::Method::Get:
        return "GET";
    case QHttpServerRequest::Method::Post:
        return "POST";
    case QHttpServerRequest::Method::Put:
        return "PUT";
    case QHttpServerRequest::Method::Delete:
        return "DELETE";
    case QHttpServerRequest::Method::Patch:
        return "PATCH";
    case QHttpServerRequest::Method::Head:
        return "HEAD";
    default:
        return "OTHER";
    }
}

// Compares in time independent of where the texts differ.
bool sameSecret(const QByteArray &a, const QByteArray &b)
{
    unsigned char difference = a.size() == b.size() ? 0 : 1;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i % qMax<qsizetype>(1, b.size())]);
    return difference == 0 && !b.isEmpty();
}
} // namespace

ControlApiServer::ControlApiServer(std::unique_ptr<ControlApiBackend> backend, QObject *parent)
    : QAbstractHttpServer(parent), m_backend(std::move(backend)), m_handler(m_backend.get())
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &ControlApiServer::pump);
}

ControlApiServer::~ControlApiServer()
{
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
    m_token = address.isLoopback() ? QString() : settings.token;
    m_port = listen(address, settings.port);
    if (m_port == 0) {
        *error = QStringLiteral("cannot listen on %1 port %2").arg(address.toString()).arg(settings.port);
        return false;
    }
    const bool wildcard = address == QHostAddress::Any || address == QHostAddress::AnyIPv4 || address == QHostAddress::AnyIPv6;
    ControlApiEndpoint::Address announced;
    announced.host = wildcard ? QStringLiteral("127.0.0.1") : address.toString();
    announced.port = m_port;
    const QString failure = ControlApiEndpoint::write(announced);
    m_announced = failure.isEmpty();
    if (!m_announced)
        apiRecord(WARNING, QStringLiteral("%1 not written, the command-line tool will not find the API: %2")
                               .arg(ControlApiEndpoint::filePath(), failure));
    apiRecord(INFO, QStringLiteral("serving on http://%1:%2/api/v1%3")
                        .arg(address.protocol() == QAbstractSocket::IPv6Protocol ? "[" + address.toString() + "]"
                                                                                  : address.toString())
                        .arg(m_port)
                        .arg(m_token.isEmpty() ? QString() : QStringLiteral(" (token required)")));
    return true;
}

ControlApiHandler::Request ControlApiServer::parse(const QHttpServerRequest &request)
{
    ControlApiHandler::Request parsed;
    parsed.method = methodName(request.method());
    for (const QString &segment : request.url().path(QUrl::FullyEncoded).split('/', Qt::SkipEmptyParts))
        parsed.path << QUrl::fromPercentEncoding(segment.toLatin1());
    parsed.body = request.body();
    return parsed;
}

std::optional<QByteArray> ControlApiServer::header(const QHttpServerRequest &request, const char *name)
{
    for (const auto &h : request.headers())
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second.trimmed();
    return std::nullopt;
}

bool ControlApiServer::authorised(const QHttpServerRequest &request) const
{
    if (m_token.isEmpty())
        return true;
    const QByteArray value = header(request, "Authorization").value_or(QByteArray());
    return value.startsWith("Bearer ") && sameSecret(value.mid(7).trimmed(), m_token.toUtf8());
}

// Web pages must not drive the cameras: a browser names the page's origin, and a page
// that made its own name point at this machine still names itself in "Host".
bool ControlApiServer::fromBrowser(const QHttpServerRequest &request) const
{
    if (header(request, "Origin"))
        return true;
    if (!m_token.isEmpty())
        return false; // the token guards it
    QByteArray host = header(request, "Host").value_or(QByteArray()).toLower();
    const int colon = int(host.lastIndexOf(':'));
    if (colon > int(host.lastIndexOf(']')))
        host.truncate(colon);
    return host != "127.0.0.1" && host != "localhost" && host != "[::1]";
}

bool ControlApiServer::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    const ControlApiHandler::Request parsed = parse(request);
    if (fromBrowser(request)) {
        answer(request, socket, parsed, ControlApiHandler::error(403, QStringLiteral("requests from web pages are refused")));
        return true;
    }
    if (!authorised(request)) {
        answer(request, socket, parsed, ControlApiHandler::error(401, QStringLiteral("a valid token is required")));
        return true;
    }
    if (parsed.body.size() > ControlApiHandler::kMaxBodySize) {
        answer(request, socket, parsed, ControlApiHandler::error(413, QStringLiteral("the body is too large")));
        return true;
    }
    if (const std::optional<ControlApiHandler::Reply> reply = ControlApiHandler::immediate(parsed)) {
        answer(request, socket, parsed, *reply);
        return true;
    }
    if (waiting() >= kMaxWaiting) {
        answer(request, socket, parsed, ControlApiHandler::error(503, QStringLiteral("too many requests waiting")));
        return true;
    }
    Pending pending{socket, &request, parsed, QElapsedTimer()};
    pending.waited.start();
    m_queue.push_back(std::move(pending));
    QTimer::singleShot(0, this, &ControlApiServer::pump);
    return true;
}

void ControlApiServer::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    answer(request, socket, parse(request), ControlApiHandler::error(404, QStringLiteral("no such path")));
}

// One request per turn of the event loop, so that the panel stays responsive and its
// own timers (a refresh's end, debounced sends) run between requests.
void ControlApiServer::pump()
{
    if (m_pumping)
        return; // a request is being carried out (its activation may show a box)
    while (!m_queue.empty() && !m_queue.front().socket)
        m_queue.pop_front(); // the client went away
    if (m_queue.empty())
        return;
    Pending &front = m_queue.front();
    ControlApiHandler::Reply reply;
    if (m_backend->availability() != ControlApiBackend::Availability::Ready) {
        if (front.waited.elapsed() < kMaxWaitMs) {
            m_retry.start();
            return;
        }
        reply = ControlApiHandler::error(503, QStringLiteral("the control panel is busy or not open; try again"));
    } else {
        m_pumping = true;
        reply = m_handler.handle(front.parsed);
        m_pumping = false;
    }
    const Pending done = std::move(m_queue.front());
    m_queue.pop_front();
    if (done.socket)
        answer(*done.request, done.socket, done.parsed, reply);
    if (!m_queue.empty())
        QTimer::singleShot(0, this, &ControlApiServer::pump);
}

void ControlApiServer::answer(const QHttpServerRequest &request, QTcpSocket *socket,
                              const ControlApiHandler::Request &parsed, const ControlApiHandler::Reply &reply)
{
    apiRecord(reply.status < 400 ? INFO : WARNING,
              QStringLiteral("%1 /%2 -> %3%4")
                  .arg(QString::fromLatin1(parsed.method), parsed.path.join('/'))
                  .arg(reply.status)
                  .arg(reply.status < 400 ? QString() : " " + reply.body.value(QStringLiteral("error")).toString()));
    QHttpServerResponder responder = makeResponder(request, socket);
    responder.write(QJsonDocument(reply.body), QHttpServerResponder::StatusCode(reply.status));
    emit answered(reply.status);
}
