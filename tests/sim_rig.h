#pragma once

#include "device_sender.h"
#include "hid_manager.h"
#include "simulated_camera.h"
#include "simulated_camera_bus.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <memory>
#include <vector>

// A bus of simulated cameras, one HIDManager per camera found, and the tool's own
// sender over them: the path every request of the tool takes.
class SimRig {
public:
    static constexpr quint16 kVendor = 0x2E7E;

    explicit SimRig(const QStringList &models) : bus(kVendor) {
        for (const QString &m : models)
            bus.addCamera(m);
        HidBackend::setActive(&bus);
        openAll();
    }
    ~SimRig() {
        managers.clear();
        HidBackend::setActive(nullptr);
    }

    // Re-enumerates and opens every camera present, like the panel's refresh.
    int openAll() {
        managers.clear();
        for (const HidDeviceInfo &info : HIDManager().enumerateDevices(kVendor)) {
            auto m = std::make_unique<HIDManager>();
            if (m->openDevice(info.path))
                managers.push_back(std::move(m));
        }
        return int(managers.size());
    }

    SimulatedCamera *camera(int i) const { return bus.cameraAt(i); }

    // One request with a 3072-byte reply buffer; the reply parsed as JSON.
    QJsonObject send(int index, quint32 cmdId, const QByteArray &payload, bool *ok = nullptr) {
        char reply[DeviceSender::kReplyBufferSize];
        const bool r = sender.sendCmdToDevice(
            index, int(cmdId), payload.isEmpty() ? nullptr : payload.constData(), int(payload.size()), reply);
        if (ok)
            *ok = r;
        lastReply = QByteArray(reply);
        return QJsonDocument::fromJson(lastReply).object();
    }
    QJsonObject sendData(int index, quint32 cmdId, const QByteArray &data, bool *ok = nullptr) {
        char reply[DeviceSender::kReplyBufferSize];
        const bool r = sender.sendDataToDevice(index, int(cmdId), data.constData(), int(data.size()), reply);
        if (ok)
            *ok = r;
        lastReply = QByteArray(reply);
        return QJsonDocument::fromJson(lastReply).object();
    }
    static int nResult(const QJsonObject &reply) {
        return reply.value(QStringLiteral("Content")).toObject().value(QStringLiteral("nResult")).toInt(-999);
    }
    static QJsonObject content(const QJsonObject &reply) {
        return reply.value(QStringLiteral("Content")).toObject();
    }

    SimulatedCameraBus bus;
    std::vector<std::unique_ptr<HIDManager>> managers;
    DeviceSender sender{
        [this](int i) { return i >= 0 && i < int(managers.size()) ? managers[size_t(i)].get() : nullptr; },
        DeviceSender::RequestLog::QtDebug};
    QByteArray lastReply;
};
