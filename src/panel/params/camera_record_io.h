#pragma once

#include "camera_params.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <functional>

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
};
