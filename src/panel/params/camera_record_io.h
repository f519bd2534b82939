#pragma once

#include "camera_params.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <QSet>

#include <functional>
#include <optional>

// A camera's whole record read and written without a panel: the video parameters,
// the settings and both colour tables. What the command-line tool and the control
// API use for export and import; the panels show a record through their pages.
class CameraRecordIo {
public:
    // One exchange: sends `text` with packet id `cmdId`, returns the reply text (empty
    // when nothing came).
    using Exchange = std::function<QByteArray(quint32 cmdId, const QByteArray &text)>;

    // Reads the camera into `params`. Returns an empty string, or what went wrong.
    static QString read(const Exchange &exchange, CameraParams &params);
    // Sends every keyed video parameter and setting of `params`, then both tables,
    // each checked for the camera's answer. Stops at the first refusal and says which.
    static QString write(const Exchange &exchange, const CameraParams &params);
    // The camera's video parameters and settings as it reports them, in `reported`:
    // {"VideoParam": {...}, "Setting": {...}} (the settings without "nResult").
    static QString readReported(const Exchange &exchange, QJsonObject *reported);

    // Every value `write` would send for a key whose control `allowed` knows (the
    // values it can send) must be one of those, or what the camera reports for the key
    // now (`reported`, as readReported gives it: unchanged values pass whatever they
    // are). Keys without a control pass as recorded. Empty, or the first refusal,
    // naming the key.
    using Allowed = std::function<std::optional<QSet<int>>(const QString &key)>;
    static QString checkValues(const CameraParams &params, const Allowed &allowed, const QJsonObject &reported);
};
