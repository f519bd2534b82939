#pragma once

#include "camera_params.h"
#include "cli_output.h"

#include <QJsonObject>
#include <QList>
#include <QString>

class CliCameraLink;

// The cameras kestrane-cli works on: the ones it opens itself (CliDirectCameras), or
// those of the running GUI through its control API (CliApiCameras), so that two
// processes never take turns on one camera. Operations return an empty string, or
// what went wrong.
class CliCameras {
public:
    virtual ~CliCameras() = default;

    virtual QString list(QList<CliOutput::Camera> *cameras) = 0;
    // -1 in `index` when no camera has the serial.
    virtual QString indexOfSerial(const QString &serial, int *index) = 0;
    // {"VideoParam": {...}, "Setting": {...}} as the camera reports them.
    virtual QString readParams(int index, QJsonObject *reported) = 0;
    // `jsonValue` is the JSON text of the value.
    virtual QString setParam(int index, const QString &key, const QString &jsonValue) = 0;
    // `command` is a direction as the user sees the picture, turned into the model's
    // own word as the panel's arrows are; `raw` sends the camera's word as given.
    virtual QString ptz(int index, const QString &command, bool raw) = 0;
    // `action` is "call", "set" or "delete".
    virtual QString preset(int index, const QString &action, int presetId) = 0;
    virtual QString readRecord(int index, CameraParams *record) = 0;
    virtual QString writeRecord(int index, const CameraParams &record) = 0;
    // The tool's own connections, for what only they do (upgrade, raw commands); null
    // through the control API.
    virtual CliCameraLink *link() { return nullptr; }
};
