#pragma once

#include "camera_record_io.h"
#include "cli_camera_link.h"
#include "cli_cameras.h"

// The cameras kestrane-cli opens itself: every interface of the family, in
// enumeration order.
class CliDirectCameras : public CliCameras {
public:
    explicit CliDirectCameras(quint16 vendorId) : m_link(vendorId) {}

    QString list(QList<CliOutput::Camera> *cameras) override;
    QString indexOfSerial(const QString &serial, int *index) override;
    QString readParams(int index, QJsonObject *reported) override;
    QString setParam(int index, const QString &key, const QString &jsonValue) override;
    QString ptz(int index, const QString &command, bool raw) override;
    QString preset(int index, const QString &action, int presetId) override;
    QString readRecord(int index, CameraParams *record) override;
    QString writeRecord(int index, const CameraParams &record) override;
    CliCameraLink *link() override { return &m_link; }

private:
    QString requireCamera(int index) const;
    CameraRecordIo::Exchange recordExchange(int index);

    CliCameraLink m_link;
};
