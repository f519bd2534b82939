#include "control_services.h"

#include "log_manager.h"
#include "startup_window.h"
#include "widget.h"

#ifdef KESTRANE_CONTROL_API
#include "control_api_server.h"
#include "control_request_queue.h"
#include "panel_api_backend.h"
#endif

#include <QJsonArray>
#include <QJsonObject>

namespace {
void apiRecord(LogLevel level, const QString &message)
{
    LogManager::instance()->log(level, "Startup", QStringLiteral("[API] ") + message);
}
} // namespace

ControlServices::ControlServices(StartupWindow *window, quint16 apiPort, QObject *parent)
    : QObject(parent), m_window(window), m_settings(ControlApiSettings::load())
{
    if (apiPort != 0) {
        m_settings.enabled = true;
        m_settings.port = apiPort;
    }
#ifdef KESTRANE_CONTROL_API
    const QPointer<StartupWindow> owner(window);
    m_requests = new ControlRequestQueue(
        std::make_unique<PanelApiBackend>([owner]() -> Widget * { return owner ? owner->controlPanel() : nullptr; },
                                          [owner] { return owner && !owner->controlPanel() && owner->isChoosingSeries(); }),
        this);
    connect(window, &StartupWindow::controlPanelOpened, this, &ControlServices::panelOpened);
#endif
}

ControlServices::~ControlServices()
{
    stopApi();
}

bool ControlServices::apiBuilt() const
{
    return m_requests != nullptr;
}

bool ControlServices::apiRunning() const
{
    return m_server != nullptr;
}

void ControlServices::startConfigured()
{
    if (m_settings.enabled)
        startApi();
}

bool ControlServices::startApi(QString *error)
{
    QString reason;
#ifdef KESTRANE_CONTROL_API
    if (m_server)
        return true;
    m_server = new ControlApiServer(m_requests, this);
    if (m_server->start(m_settings, &reason))
        return true;
    delete m_server;
    m_server = nullptr;
    apiRecord(CRITICAL, QStringLiteral("the control API is not served: %1").arg(reason));
#else
    reason = QStringLiteral("this build has no control API (built without KESTRANE_CONTROL_API)");
    apiRecord(WARNING, reason);
#endif
    if (error)
        *error = reason;
    return false;
}

void ControlServices::stopApi()
{
    delete m_server; // takes its announcement back
    m_server = nullptr;
}

// What the panel changes by itself reaches the event stream too.
void ControlServices::panelOpened(Widget *panel)
{
#ifdef KESTRANE_CONTROL_API
    connect(panel, &Widget::activeCameraChanged, this, [this](const QString &serial) {
        if (m_server)
            m_server->publish(QJsonObject{{QStringLiteral("event"), QStringLiteral("selection")},
                                          {QStringLiteral("serial"), serial}});
    });
    connect(panel, &Widget::deviceListRefreshed, this, [this, panel] {
        if (!m_server)
            return;
        QJsonArray serials;
        for (const auto &listed : panel->listedCameras())
            serials.append(listed.second.serial);
        m_server->publish(QJsonObject{{QStringLiteral("event"), QStringLiteral("connection")},
                                      {QStringLiteral("serials"), serials}});
    });
#else
    Q_UNUSED(panel);
#endif
}
