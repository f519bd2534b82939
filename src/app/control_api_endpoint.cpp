#include "control_api_endpoint.h"

#include "app_paths.h"
#include "process_identity.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

const char *const ControlApiEndpoint::kFileName = "control_api.json";

namespace {
constexpr int kMaxHostLength = 255;

std::optional<QJsonObject> readObject()
{
    QFile file(ControlApiEndpoint::filePath());
    if (!file.open(QIODevice::ReadOnly) || file.size() > ControlApiEndpoint::kMaxFileSize)
        return std::nullopt;
    const QJsonDocument doc = QJsonDocument::fromJson(file.read(ControlApiEndpoint::kMaxFileSize));
    if (!doc.isObject())
        return std::nullopt;
    return doc.object();
}
} // namespace

QString ControlApiEndpoint::filePath()
{
    return AppPaths::filesDir() + QLatin1Char('/') + QLatin1String(kFileName);
}

QString ControlApiEndpoint::write(const Address &address)
{
    const QJsonObject object{{QStringLiteral("host"), address.host},
                             {QStringLiteral("port"), int(address.port)},
                             {QStringLiteral("pid"), QCoreApplication::applicationPid()}};
    const QByteArray image = QJsonDocument(object).toJson(QJsonDocument::Compact);
    QSaveFile file(filePath());
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size() || !file.commit())
        return file.errorString();
    return QString();
}

std::optional<ControlApiEndpoint::Address> ControlApiEndpoint::read()
{
    const std::optional<QJsonObject> object = readObject();
    if (!object)
        return std::nullopt;
    Address address;
    address.host = object->value(QStringLiteral("host")).toString();
    const int port = object->value(QStringLiteral("port")).toInt(0);
    if (address.host.isEmpty() || address.host.size() > kMaxHostLength || port < 1 || port > 65535)
        return std::nullopt;
    address.port = quint16(port);
    address.pid = qint64(object->value(QStringLiteral("pid")).toDouble(0));
    return address;
}

std::optional<ControlApiEndpoint::Address> ControlApiEndpoint::readTrusted()
{
    std::optional<Address> address = read();
    if (address && !ProcessIdentity::isKestraneGui(address->pid))
        address.reset();
    return address;
}

void ControlApiEndpoint::removeOwn()
{
    const std::optional<QJsonObject> object = readObject();
    if (object && object->value(QStringLiteral("pid")).toDouble(-1) == double(QCoreApplication::applicationPid()))
        QFile::remove(filePath());
}
