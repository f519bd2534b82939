#pragma once

#include "device_sender.h"
#include "hid_manager.h"

#include <QJsonObject>
#include <QList>
#include <QString>

#include <memory>
#include <vector>

// The cameras the CLI talks to: every interface of the family, opened in enumeration
// order, each asked for its identity.
class CliCameraLink {
public:
    struct Camera {
        std::unique_ptr<HIDManager> manager;
        QString deviceName;
        QString productModel;
        QString serial;
        QString buildDate;
        bool answered = false;
    };

    explicit CliCameraLink(quint16 vendorId);

    int count() const { return int(m_cameras.size()); }
    const Camera &camera(int index) const { return m_cameras[size_t(index)]; }

    // Sends `text` with packet id `cmdId` and parses the reply into `reply`.
    // Returns an empty string on success, otherwise what went wrong.
    QString exchange(int index, quint32 cmdId, const QByteArray &text, QJsonObject *reply);

private:
    std::vector<Camera> m_cameras;
    DeviceSender m_sender;
};
