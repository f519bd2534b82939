#include "cli_camera_link.h"

#include "packet_cmd.h"

#include <QJsonDocument>

CliCameraLink::CliCameraLink(quint16 vendorId)
    : m_sender([this](int index) { return index >= 0 && index < count() ? m_cameras[size_t(index)].manager.get() : nullptr; },
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
    for (int i = 0; i < count(); ++i) {
        QJsonObject identity;
        if (!exchange(i, CmdGetDeviceInfo, QByteArray(), &identity).isEmpty())
            continue;
        Camera &c = m_cameras[size_t(i)];
        c.answered = identity.contains("DeviceName");
        c.deviceName = identity.value("DeviceName").toString();
        c.productModel = identity.value("ProductModel").toString();
        c.serial = identity.value("Serial").toString();
        c.buildDate = identity.value("BuildDate").toString();
    }
}

QString CliCameraLink::exchange(int index, quint32 cmdId, const QByteArray &text, QJsonObject *reply)
{
    if (index < 0 || index >= count())
        return QStringLiteral("no camera with index %1 (%2 connected)").arg(index).arg(count());
    QByteArray buffer(DeviceSender::kReplyBufferSize, '\0');
    const bool ok = m_sender.sendCmdToDevice(index, int(cmdId), text.isEmpty() ? nullptr : text.constData(),
                                             int(text.size()), buffer.data(), int(buffer.size()));
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
