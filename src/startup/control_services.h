#pragma once

#include "control_api_settings.h"

#include <QObject>
#include <QPointer>
#include <QString>

class ControlApiServer;
class ControlRequestQueue;
class OscServer;
class ViscaServer;
class StartupWindow;
class Widget;

// What outside the window reaches the cameras: one queue into the control panel (the
// same checks and send path for every protocol) and the servers on it. The control API
// starts as its settings or the command line say and can be turned on and off at run
// time (the tray); without the API in the build there is no queue.
class ControlServices : public QObject {
    Q_OBJECT
public:
    // `apiPort` 0 keeps the port of the settings.
    ControlServices(StartupWindow *window, quint16 apiPort, QObject *parent = nullptr);
    ~ControlServices() override;

    // Null in a build without the control API.
    ControlRequestQueue *requests() const { return m_requests; }

    bool apiBuilt() const;
    bool apiRunning() const;
    // Starts the API as configured; false, logged, with the reason, when it cannot.
    bool startApi(QString *error = nullptr);
    void stopApi();
    // Starts it when the settings or the command line ask for it, and so VISCA and OSC.
    void startConfigured();

    // What the command line asks of VISCA and OSC (before startConfigured()): VISCA
    // on, the address it listens on, OSC's port (0: as osc.ini says).
    void setRemoteOptions(bool visca, const QString &viscaAddress, quint16 oscPort);
    // VISCA over IP (visca.ini) and OSC (osc.ini), on the same queue as the API;
    // false, logged, with the reason, when they cannot start.
    bool viscaRunning() const { return m_visca != nullptr; }
    bool startVisca(QString *error = nullptr);
    void stopVisca();
    bool oscRunning() const { return m_osc != nullptr; }
    bool startOsc(QString *error = nullptr);
    void stopOsc();
    // "VISCA: UDP 52381, TCP 5678" for a camera VISCA serves; empty otherwise.
    QString viscaPorts(const QString &serial) const;

private:
    void panelOpened(Widget *panel);

    QPointer<StartupWindow> m_window;
    ControlApiSettings m_settings;
    ControlRequestQueue *m_requests = nullptr;
    ControlApiServer *m_server = nullptr;
    ViscaServer *m_visca = nullptr;
    OscServer *m_osc = nullptr;
    bool m_viscaWanted = false;
    QString m_viscaAddress;
    quint16 m_oscPort = 0;
};
