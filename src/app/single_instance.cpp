#include "single_instance.h"

#include "log_manager.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace {
void record(LogLevel level, const QString &message)
{
    LogManager::instance()->log(level, "Startup", message);
}

// A message is a 4-byte big-endian length and a JSON array of texts.
QByteArray frame(const QStringList &arguments)
{
    const QByteArray json = QJsonDocument(QJsonArray::fromStringList(arguments)).toJson(QJsonDocument::Compact);
    QByteArray message;
    QDataStream(&message, QIODevice::WriteOnly) << quint32(json.size());
    return message + json;
}
} // namespace

SingleInstance::SingleInstance(const QString &name, QObject *parent) : QObject(parent), m_name(name)
{
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

QString SingleInstance::defaultName()
{
    // Per user: the home directory names the user on every system.
    const QByteArray user = QCryptographicHash::hash(QDir::homePath().toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QStringLiteral("kestrane-") + QString::fromLatin1(user);
}

SingleInstance::Claim SingleInstance::claim(const QStringList &arguments)
{
    m_lock = std::make_unique<QLockFile>(QDir::temp().filePath(m_name + QStringLiteral(".lock")));
    m_lock->setStaleLockTime(0); // a lock whose process is gone is taken over
    if (!m_lock->tryLock(100)) {
        m_lock.reset();
        return handOver(arguments) ? Claim::HandedOver : Claim::Unreachable;
    }
    QLocalServer::removeServer(m_name); // left behind by a process that was killed
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name))
        record(WARNING, QStringLiteral("later starts cannot reach this one: %1").arg(m_server->errorString()));
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::receive);
    return Claim::First;
}

bool SingleInstance::handOver(const QStringList &arguments)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kTimeoutMs))
        return false;
    socket.write(frame(arguments));
    if (!socket.waitForBytesWritten(kTimeoutMs))
        return false;
    // The running one answers one byte once it has the arguments.
    return socket.waitForReadyRead(kTimeoutMs) && socket.read(1) == "1";
}

void SingleInstance::receive()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kTimeoutMs, socket, [socket] { socket->abort(); }); // a silent client
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
            if (socket->bytesAvailable() < 4)
                return;
            quint32 length = 0;
            QDataStream(socket->peek(4)) >> length;
            if (length > kMaxMessage) {
                record(WARNING, QStringLiteral("a later start sent %1 bytes; refused").arg(length));
                socket->abort();
                return;
            }
            if (socket->bytesAvailable() < 4 + qint64(length))
                return;
            socket->read(4);
            const QJsonDocument doc = QJsonDocument::fromJson(socket->read(length));
            QStringList arguments;
            for (const QJsonValue &value : doc.array())
                if (value.isString())
                    arguments << value.toString();
            if (!doc.isArray() || arguments.isEmpty()) {
                record(WARNING, QStringLiteral("a later start sent no arguments; ignored"));
                socket->abort();
                return;
            }
            socket->write("1");
            socket->flush();
            record(INFO, QStringLiteral("started again: %1").arg(arguments.join(' ').left(200)));
            emit startedAgain(arguments);
        });
    }
}
