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
    // The index of the camera with `serial`, -1 when none has it.
    int indexOfSerial(const QString &serial) const;
    const Camera &camera(int index) const { return m_cameras[size_t(index)]; }

    // Sends `text` with packet id `cmdId` and parses the reply into `reply`.
    // Returns an empty string on success, otherwise what went wrong. An empty text is
    // sent only for the commands that carry none; otherwise it was refused when it was
    // formatted and nothing is sent.
    QString exchange(int index, quint32 cmdId, const QByteArray &text, QJsonObject *reply);

    // The same exchange, the reply's text as it came (empty when none came or the
    // index is wrong).
    QByteArray exchangeText(int index, quint32 cmdId, const QByteArray &text);
    // Sends `data` in packets of the data channel; the reply's text as it came.
    QByteArray sendData(int index, quint32 cmdId, const QByteArray &data);

    // After a restart: waits up to `timeoutMs` for the camera at `index` (known by its
    // serial) to come back, reopens it and reads its identity again. False when it did
    // not come back in time.
    bool reconnect(int index, int timeoutMs);

private:
    static const char *payload(quint32 cmdId, const QByteArray &text);
    bool readIdentity(int index);

    quint16 m_vendorId;
    std::vector<Camera> m_cameras;
    DeviceSender m_sender;
};
