#pragma once

#include "control_api_settings.h"

#include <QObject>
#include <QPointer>
#include <QString>

class ControlApiServer;
class ControlRequestQueue;
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
    // Starts it when the settings or the command line ask for it.
    void startConfigured();

private:
    void panelOpened(Widget *panel);

    QPointer<StartupWindow> m_window;
    ControlApiSettings m_settings;
    ControlRequestQueue *m_requests = nullptr;
    ControlApiServer *m_server = nullptr;
};
