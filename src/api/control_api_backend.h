#pragma once

#include "device_entry.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

#include <optional>

// What the control API needs from the program that serves it: the listed cameras,
// the parameters their panels let set, and the one send path of the panel. Every call
// comes from the GUI thread, between the panel's own work (see availability()).
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

    // Whether requests can be carried out now.
    enum class Availability {
        Ready,
        // The panel is in the middle of short work of its own (a refresh, an
        // activation) or not open yet: requests wait for it, up to a bound.
        Busy,
        // A firmware upgrade runs, from its request until it has fully ended (restart
        // prompt answered, new build checked): nothing may reach any camera or change
        // the selection; such requests are refused at once.
        Upgrading,
        // Cameras of several series are connected and the window waits for the user
        // to choose one: the panel will not open before that, so requests are refused
        // at once.
        AwaitingSeries,
    };
    virtual Availability availability() const = 0;
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
    // The value the panel shows for `key` while it shows this camera and is not busy
    // (the panel follows its camera): nothing otherwise, and the camera is asked.
    virtual std::optional<int> shownValue(const Camera &camera, const QString &key)
    {
        Q_UNUSED(camera);
        Q_UNUSED(key);
        return std::nullopt;
    }
    // The camera's presets the user named: camera preset number → name.
    virtual QMap<int, QString> presetNames(const Camera &camera)
    {
        Q_UNUSED(camera);
        return {};
    }
};
