#include "osc_server.h"

#include "control_request_queue.h"
#include "osc_command_translator.h"

#include "app_paths.h"

#include <QDir>
#include <QJsonValue>
#include <QSettings>
#include <QNetworkDatagram>
#include <QPointer>

#include <lo/lo.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {
template <typename T>
T readAs(const char *at)
{
    T value;
    std::memcpy(&value, at, sizeof value); // liblo aligns its arguments to 4 bytes only
    return value;
}

// An argument as the API's JSON takes it; nothing for a type it has no value for.
std::optional<QJsonValue> jsonArgument(char type, const char *at)
{
    switch (type) {
    case LO_INT32:
        return QJsonValue(readAs<qint32>(at));
    case LO_INT64:
        return QJsonValue(double(readAs<qint64>(at)));
    case LO_FLOAT:
        return QJsonValue(double(readAs<float>(at)));
    case LO_DOUBLE:
        return QJsonValue(readAs<double>(at));
    case LO_STRING:
    case LO_SYMBOL:
        return QJsonValue(QString::fromUtf8(at));
    case LO_TRUE:
        return QJsonValue(true);
    case LO_FALSE:
        return QJsonValue(false);
    default:
        return std::nullopt;
    }
}
QString iniPath(const QString &iniFile)
{
    return iniFile.isEmpty() ? QDir(AppPaths::filesDir()).filePath(QStringLiteral("osc.ini")) : iniFile;
}
} // namespace

OscServer::OscServer(ControlRequestQueue *requests, QObject *parent) : QObject(parent), m_requests(requests)
{
    connect(&m_socket, &QUdpSocket::readyRead, this, &OscServer::readDatagrams);
}

bool OscServer::start(quint16 port, const RemotePeerPolicy &policy, QString *error)
{
    m_policy = policy;
    if (!m_socket.bind(policy.bindAddress(), port)) {
        *error = QStringLiteral("UDP port %1 on %2: %3").arg(port).arg(policy.bindAddress().toString(), m_socket.errorString());
        m_log.write(CRITICAL, QStringLiteral("not served: %1").arg(*error));
        return false;
    }
    m_log.write(INFO, QStringLiteral("serving on UDP port %1 of %2").arg(m_socket.localPort()).arg(policy.describe()));
    if (policy.reachableFromOutside())
        m_log.write(WARNING, QStringLiteral("OSC has no authentication: every allowed peer can move the cameras"));
    return true;
}

bool OscServer::configuredOn(const QString &iniFile)
{
    return QSettings(iniPath(iniFile), QSettings::IniFormat).value(QStringLiteral("Osc/Enabled"), false).toBool();
}

bool OscServer::startConfigured(quint16 port, QString *error, const QString &iniFile)
{
    QSettings ini(iniPath(iniFile), QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Osc"));
    bool ok = false;
    const uint filePort = ini.value(QStringLiteral("Port"), kDefaultPort).toUInt(&ok);
    if (port == 0 && (!ok || filePort == 0 || filePort > 65535)) {
        *error = QStringLiteral("Port in %1 is no port").arg(ini.fileName());
        m_log.write(CRITICAL, QStringLiteral("not served: %1").arg(*error));
        return false;
    }
    const int limit = ini.value(QStringLiteral("MoveLimitMs"), ControlApiHandler::kRemoteMoveLimitMs).toInt(&ok);
    m_moveLimitMs = ok && limit > 0 ? std::min(limit, int(ControlApiHandler::kMaxDurationMs))
                                    : ControlApiHandler::kRemoteMoveLimitMs;
    const std::optional<RemotePeerPolicy> policy = RemotePeerPolicy::fromSettings(ini, error);
    if (!policy) {
        m_log.write(CRITICAL, QStringLiteral("not served: %1").arg(*error));
        return false;
    }
    return start(port != 0 ? port : quint16(filePort), *policy, error);
}

void OscServer::readDatagrams()
{
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram in = m_socket.receiveDatagram(kMaxDatagram);
        if (!in.isValid())
            continue;
        if (!m_policy.allows(in.senderAddress())) {
            if (m_refusedPeers.size() < 64 && !m_refusedPeers.contains(in.senderAddress())) {
                m_refusedPeers.insert(in.senderAddress());
                m_log.write(WARNING, QStringLiteral("%1 is not among the allowed peers; what it sends is ignored")
                                         .arg(in.senderAddress().toString()));
            }
            continue;
        }
        handle(in.data());
    }
}

void OscServer::refuse(const QString &address, const QString &why)
{
    m_log.answered("OSC", address, 400, why);
    emit handled(address, 0);
}

void OscServer::handle(const QByteArray &datagram)
{
    QByteArray data = datagram; // liblo reads from a writable copy
    int result = 0;
    const std::unique_ptr<std::remove_pointer_t<lo_message>, void (*)(lo_message)> message(
        lo_message_deserialise(data.data(), size_t(data.size()), &result), &lo_message_free);
    if (!message) {
        refuse(QString(), data.startsWith("#bundle") ? QStringLiteral("OSC bundles are not taken; send messages")
                                                     : QStringLiteral("not an OSC message (liblo error %1)").arg(result));
        return;
    }
    // A message liblo accepts begins with its address, ended by a zero byte.
    const QString address = QString::fromUtf8(data.constData(), data.indexOf('\0'));
    const char *types = lo_message_get_types(message.get());
    lo_arg **argv = lo_message_get_argv(message.get());
    QList<QJsonValue> arguments;
    for (int i = 0, n = lo_message_get_argc(message.get()); i < n; ++i) {
        const std::optional<QJsonValue> value = jsonArgument(types[i], reinterpret_cast<const char *>(argv[i]));
        if (!value) {
            refuse(address, QStringLiteral("argument %1 is of a type the tool does not take ('%2')").arg(i + 1).arg(QLatin1Char(types[i])));
            return;
        }
        arguments << *value;
    }
    QString why;
    const std::optional<ControlRequestQueue::Request> request =
        OscCommandTranslator::translate(address, arguments, m_requests->backend()->cameras(), m_moveLimitMs, &why);
    if (!request) {
        if (why.isEmpty())
            emit handled(address, 200);
        else
            refuse(address, why);
        return;
    }
    if (m_pending >= kMaxPending) {
        refuse(address, QStringLiteral("too many messages wait for the panel"));
        return;
    }
    ++m_pending;
    const QPointer<OscServer> self(this);
    m_requests->submit(*request, [self, address](const ControlRequestQueue::Reply &reply) {
        if (!self)
            return;
        --self->m_pending;
        self->m_log.answered("OSC", address, reply.status, reply.body.value(QStringLiteral("error")).toString());
        emit self->handled(address, reply.status);
    });
}
