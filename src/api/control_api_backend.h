#pragma once

#include "device_entry.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

// What the control API needs from the program that serves it: the listed cameras,
// the parameters their panels let set, and the one send path of the panel. Every call
// comes from the GUI thread, between the panel's own work (see busy()).
class ControlApiBackend {
public:
    struct Camera {
        int index = -1; // the panel's device index
        DeviceEntry entry;
        bool active = false; // the camera the panel shows
    };
    // A parameter the camera's panel has a control for.
    struct Param {
        bool setting = false; // sent as "ReqSetSetting", else "ReqSetVideoParam"
        QSet<int> values;     // every value the control can send
    };

    virtual ~ControlApiBackend() = default;

    // True while requests must wait: the control panel is not open yet, or it is in the
    // middle of work of its own (a refresh, an activation, a firmware upgrade).
    virtual bool busy() const = 0;
    virtual QList<Camera> cameras() const = 0;
    // Nothing when the camera's panel has no control for `key`.
    virtual std::optional<Param> param(const Camera &camera, const QString &key) = 0;
    // A request from outside begins for the camera: a camera that let a read time out
    // earlier is asked again.
    virtual void newRequest(const Camera &camera) = 0;
    // One exchange through the panel's sender: the reply text (possibly empty), or
    // nothing when the camera did not answer.
    virtual std::optional<QByteArray> exchange(int index, quint32 cmdId, const QByteArray &text) = 0;
    // Activates the camera in the panel, as a click on it does.
    virtual bool select(const Camera &camera) = 0;
    // A value was sent to a camera; the panel shows it when the camera is the active one.
    virtual void valueSent(const Camera &camera, const QString &key, int value) = 0;
    // The camera's whole record was written; the panel reads it again when it is the
    // active one.
    virtual void recordWritten(const Camera &camera) = 0;
};
