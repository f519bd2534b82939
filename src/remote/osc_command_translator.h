#pragma once

#include "control_api_backend.h"
#include "control_api_handler.h"

#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

// OSC addresses in the control API's terms: the camera's segment and the verb make
// the API's path, the arguments its body, and the API checks every value as it checks
// its own requests.
//
//   /kestrane/<camera>/ptz/<left|right|up|down|stop|home|zoomin|zoomout|zoomstop|
//                          focusnear|focusfar|focusstop> [speed]
//   /kestrane/<camera>/preset/<call|set|delete> n
//   /kestrane/<camera>/param/<key> value
//   /kestrane/<camera>/param/<key>/delta d
//   /kestrane/<camera>/select
//
// <camera> is a serial (percent-encoded where it holds a "/"), the panel's index of
// the camera, or "active". A move's argument 0 stops it, as a button sends when it is
// let go; every move stops by itself after the move limit.
class OscCommandTranslator {
public:
    using Request = ControlApiHandler::Request;

    // The request for a message; nothing, with the reason, for one the tool does not take,
    // and nothing with no reason for one that asks for nothing (a stop's button let go).
    static std::optional<Request> translate(const QString &address, const QList<QJsonValue> &arguments,
                                            const QList<ControlApiBackend::Camera> &cameras, int moveLimitMs,
                                            QString *error);
};
