#pragma once

#include <QObject>
#include <QString>

#include <functional>

class DeviceList;

// A camera restarting at the user's request (restart, factory reset, rename, firmware)
// leaves the bus and comes back. This remembers the active camera while it does (its
// serial and whether the PTZ area was shown) and, at the end of the refresh that lists
// it again, selects it again; after kWaitMs without it the panel stops waiting.
class CameraRestartWatch : public QObject {
    Q_OBJECT
public:
    static constexpr int kWaitMs = 60000;

    // What the watch needs from the control panel.
    struct Host {
        const DeviceList *list = nullptr;
        std::function<void(int slot)> select; // as a click on the slot's button
        std::function<void()> showPtz;
        std::function<void()> gaveUp; // kWaitMs passed without the camera
    };

    CameraRestartWatch(const Host &host, QObject *parent);

    void expect(const QString &serial, bool ptzShown);
    // At the end of a refresh: selects the camera again if it is listed.
    void reselect();
    bool isWaiting() const { return !m_restart.serial.isEmpty(); }

private:
    struct Restart {
        QString serial;
        bool ptzShown = false;
        bool seenGone = false; // a refresh has not listed it since
    };

    Host m_host;
    Restart m_restart;
};
