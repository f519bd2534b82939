#pragma once

#include "camera_record_io.h"
#include "control_api_backend.h"

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QList>
#include <QMap>
#include <QPair>
#include <QStringList>

#include <functional>
#include <optional>

// The control API's requests, from path and body to the panel's send path, and their
// JSON answers. Everything a request asks for is checked before anything is sent: a
// body that is not a JSON object, a member the request does not take, a value outside
// what the camera's panel can send, or a camera that is not listed is answered with a
// 4xx status and {"error": "..."}, and the camera gets nothing.
//
// Paths (below /api/v1; {serial} percent-encoded):
//   GET  /                          the service: {"service": "kestrane", "api": 1, ...}
//   GET  /cameras                   {"cameras": [camera, ...]}
//   GET  /cameras/{serial}          camera: {"serial", "name", "model", "series",
//                                   "buildDate", "index", "active"}
//   GET  /cameras/{serial}/params   {"VideoParam": {...}, "Setting": {...}} as read
//   GET  /cameras/{serial}/params/{key}            {"key": ..., "value": ...}: what the
//                                   panel shows while it shows the camera, else as read;
//                                   "?fresh=1" always reads the camera
//   POST /cameras/{serial}/params   {"key": K, "value": N} or {"key": K, "delta": D}
//                                   (a step from the current value, clamped to the range)
//   POST /cameras/{serial}/ptz      {"command": "Left"}: directions as the user sees the
//                                   picture, turned into the model's own words as the
//                                   panel's arrows are; "raw": true sends the camera's word
//                                   as given; "speed" 1…9 is checked, the cameras take no
//                                   speed; "durationMs" stops the move after that time
//   POST /cameras/{serial}/preset   {"action": "call"|"set"|"delete", "preset": N}
//   GET  /cameras/{serial}/presets  {"presets": [{"preset": N, "name": ...}, ...]}: the
//                                   named ones
//   POST /cameras/{serial}/select   activates the camera in the panel
//   GET  /cameras/{serial}/profile  {"serial": ..., "config": base64 of the camera's
//                                   record in the configuration-file format}
//   POST /cameras/{serial}/profile  {"config": base64} (and the exported "serial"):
//                                   writes that record after checking every value
// "active" in place of a serial addresses the camera the panel shows.
class ControlApiHandler {
public:
    static constexpr int kMaxBodySize = 64 * 1024;

    struct Request {
        QByteArray method;
        QStringList path; // the decoded segments of the URL path
        QMap<QString, QString> query; // the decoded query items ("?fresh=1")
        QByteArray body;
    };
    struct Reply {
        Reply() = default;
        Reply(int status_, QJsonObject body_) : status(status_), body(std::move(body_)) {}

        int status = 200;
        QJsonObject body;
        QList<QPair<QByteArray, QByteArray>> headers; // extra response headers ("Allow", "Retry-After")
    };

    static constexpr int kMaxDurationMs = 60000;
    // A move from a controller whose stop may be lost on the way (VISCA, OSC over UDP)
    // stops by itself after this, unless configured otherwise.
    static constexpr int kRemoteMoveLimitMs = 30000;
    static constexpr int kMinSpeed = 1;
    static constexpr int kMaxSpeed = 9;
    static constexpr int kStopRetryMs = 50;

    using EventSink = std::function<void(const QJsonObject &event)>;

    explicit ControlApiHandler(ControlApiBackend *backend) : m_backend(backend) {}

    // Where the changes a request made are announced ({"event": "parameter", ...}).
    void setEventSink(EventSink sink) { m_events = std::move(sink); }

    // The answer to a request the server can give at once, without the panel: the
    // service description, and paths outside /api/v1; nothing otherwise.
    static std::optional<Reply> immediate(const Request &request);
    Reply handle(const Request &request);
    // True for a request that reaches a camera or changes the selection (everything
    // below /cameras/{serial}/...); listing cameras and the service do not.
    static bool reachesCamera(const Request &request);
    // True for a request that stops a movement (a PTZ "Stop", "ZoomStop" or
    // "FocusStop"): a lost stop leaves the camera moving, so the server never refuses
    // one for being busy and lets it pass the requests that wait.
    static bool isStop(const Request &request);

    static Reply error(int status, const QString &message);
    // 405 with the "Allow" header.
    static Reply notAllowed(const QList<QByteArray> &methods);
    static QJsonObject cameraObject(const ControlApiBackend::Camera &camera);

private:
    using Camera = ControlApiBackend::Camera;
    using Action = Reply (ControlApiHandler::*)(const Camera &, const Request &);
    struct Route {
        const char *what;
        bool withKey; // a further path segment follows
        const char *method;
        Action action;
    };
    static const QList<Route> &routes();

    Reply readParams(const Camera &camera, const Request &request);
    Reply readParam(const Camera &camera, const Request &request);
    Reply setParam(const Camera &camera, const Request &request);
    Reply ptz(const Camera &camera, const Request &request);
    Reply preset(const Camera &camera, const Request &request);
    Reply listPresets(const Camera &camera, const Request &request);
    Reply select(const Camera &camera, const Request &request);
    Reply exportProfile(const Camera &camera, const Request &request);
    Reply importProfile(const Camera &camera, const Request &request);

    // The body as an object holding the `required` members and no others than those
    // and the `optional` ones; otherwise the 400 answer in `failure`.
    static std::optional<QJsonObject> members(const Request &request, const QStringList &required, Reply *failure,
                                              const QStringList &optional = {});
    // Sends one command; "ok" unless the camera did not answer or refused it.
    Reply send(const Camera &camera, quint32 cmdId, const QByteArray &text);
    CameraRecordIo::Exchange recordExchange(const Camera &camera);
    QString readReported(const Camera &camera, QJsonObject *reported);

    // The stop of a timed move, sent when the panel is free; a later move or stop of
    // the camera replaces it.
    void scheduleStop(const Camera &camera, const QString &stopWord, int ms);
    void sendScheduledStop(const QString &serial, quint64 generation, const QString &stopWord, int tries);
    void announce(const QString &event, const Camera &camera, QJsonObject members = {});

    ControlApiBackend *m_backend;
    EventSink m_events;
    QObject m_timers; // context of the timed stops
    QHash<QString, quint64> m_moveGeneration; // per serial
};
