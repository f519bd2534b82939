#pragma once

#ifdef KESTRANE_CONTROL_API

#include "cli_cameras.h"
#include "control_api_client.h"

#include <optional>

// The cameras of the running GUI, through its control API: the GUI sends every
// command between its own exchanges. Indexes are the GUI's device indexes.
class CliApiCameras : public CliCameras {
public:
    explicit CliApiCameras(const ControlApiClient &client) : m_client(client) {}

    QString list(QList<CliOutput::Camera> *cameras) override;
    QString indexOfSerial(const QString &serial, int *index) override;
    QString readParams(int index, QJsonObject *reported) override;
    QString setParam(int index, const QString &key, const QString &jsonValue) override;
    QString ptz(int index, const QString &command, bool raw) override;
    QString preset(int index, const QString &action, int presetId) override;
    QString readRecord(int index, CameraParams *record) override;
    QString writeRecord(int index, const CameraParams &record) override;

private:
    // The GUI's camera list, asked for once.
    QString cameras(QList<CliOutput::Camera> *cameras);
    // The API path of the camera at `index` ("/cameras/<serial>"), in `path`.
    QString cameraPath(int index, QString *path);
    QString post(int index, const QString &what, const QJsonObject &body);
    static QString failure(const ControlApiClient::Response &response);

    ControlApiClient m_client;
    std::optional<QList<CliOutput::Camera>> m_cameras;
};

#endif
