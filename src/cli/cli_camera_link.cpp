#include "cli_camera_link.h"

#include "packet_cmd.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QThread>

namespace {
constexpr int kReconnectPollMs = 250;
}

CliCameraLink::CliCameraLink(quint16 vendorId)
    : m_vendorId(vendorId),
      m_sender([this](int index) { return index >= 0 && index < count() ? m_cameras[size_t(index)].manager.get() : nullptr; },
               DeviceSender::RequestLog::QtDebug)
{
    HIDManager scanner;
    for (const HidDeviceInfo &info : scanner.enumerateDevices(vendorId)) {
        if (info.vendorId != vendorId)
            continue;
        Camera camera;
        camera.manager = std::make_unique<HIDManager>();
        if (!camera.manager->openDevice(info.path))
            continue;
        m_cameras.push_back(std::move(camera));
    }
    for (int i = 0; i < count(); ++i)
        readIdentity(i);
}

bool CliCameraLink::readIdentity(int index)
{
    QJsonObject identity;
    if (!exchange(index, CmdGetDeviceInfo, QByteArray(), &identity).isEmpty())
        return false;
    Camera &c = m_cameras[size_t(index)];
    c.answered = identity.contains("DeviceName");
    c.deviceName = identity.value("DeviceName").toString();
    c.productModel = identity.value("ProductModel").toString();
    c.serial = identity.value("Serial").toString();
    c.buildDate = identity.value("BuildDate").toString();
    return c.answered;
}

int CliCameraLink::indexOfSerial(const QString &serial) const
{
    for (int i = 0; i < count(); ++i)
        if (m_cameras[size_t(i)].answered && m_cameras[size_t(i)].serial == serial)
            return i;
    return -1;
}

bool CliCameraLink::reconnect(int index, int timeoutMs)
{
    if (index < 0 || index >= count())
        return false;
    Camera &camera = m_cameras[size_t(index)];
    const QString serial = camera.serial;
    camera.manager = std::make_unique<HIDManager>();
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        HIDManager scanner;
        for (const HidDeviceInfo &info : scanner.enumerateDevices(m_vendorId)) {
            if (info.vendorId != m_vendorId)
                continue;
            // Another camera answers with its own serial and is let go again.
            camera.manager = std::make_unique<HIDManager>();
            if (camera.manager->openDevice(info.path) && readIdentity(index) && camera.serial == serial)
                return true;
            camera.manager = std::make_unique<HIDManager>();
            camera.serial = serial;
        }
        QThread::msleep(kReconnectPollMs);
    }
    return false;
}

// An empty text of a command that carries one was refused when it was formatted: it is
// passed on as such, and the sender sends nothing.
const char *CliCameraLink::payload(quint32 cmdId, const QByteArray &text)
{
    return text.isEmpty() && packetCarriesNoPayload(cmdId) ? nullptr : text.constData();
}

QByteArray CliCameraLink::exchangeText(int index, quint32 cmdId, const QByteArray &text)
{
    QByteArray buffer(DeviceSender::kReplyBufferSize, '\0');
    if (!m_sender.sendCmdToDevice(index, int(cmdId), payload(cmdId, text), int(text.size()), buffer.data(),
                                  int(buffer.size())))
        return QByteArray();
    return QByteArray(buffer.constData()); // up to the terminating zero
}

QByteArray CliCameraLink::sendData(int index, quint32 cmdId, const QByteArray &data)
{
    QByteArray buffer(DeviceSender::kReplyBufferSize, '\0');
    if (!m_sender.sendDataToDevice(index, int(cmdId), data.constData(), int(data.size()), buffer.data(),
                                   int(buffer.size())))
        return QByteArray();
    return QByteArray(buffer.constData());
}

QString CliCameraLink::exchange(int index, quint32 cmdId, const QByteArray &text, QJsonObject *reply)
{
    if (index < 0 || index >= count())
        return QStringLiteral("no camera with index %1 (%2 connected)").arg(index).arg(count());
    QByteArray buffer(DeviceSender::kReplyBufferSize, '\0');
    if (text.isEmpty() && !packetCarriesNoPayload(cmdId))
        return QStringLiteral("the command does not fit one request");
    const bool ok = m_sender.sendCmdToDevice(index, int(cmdId), payload(cmdId, text), int(text.size()),
                                             buffer.data(), int(buffer.size()));
    if (!ok)
        return QStringLiteral("camera %1 did not answer").arg(index);
    if (!reply)
        return QString();
    const QByteArray payload(buffer.constData()); // up to the terminating zero
    if (payload.isEmpty()) {
        *reply = QJsonObject();
        return QString();
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return QStringLiteral("camera %1 sent an unreadable reply (%2)").arg(index).arg(error.errorString());
    *reply = doc.object();
    const QJsonValue result = reply->value("Content").toObject().value("nResult");
    if (result.isDouble() && result.toInt() < 0)
        return QStringLiteral("camera %1 refused the command (nResult %2)").arg(index).arg(result.toInt());
    return QString();
}
