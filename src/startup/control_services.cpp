#include "control_services.h"

#include "log_manager.h"
#include "startup_window.h"
#include "widget.h"

#ifdef KESTRANE_CONTROL_API
#include "control_api_server.h"
#include "control_request_queue.h"
#include "osc_server.h"
#include "panel_api_backend.h"
#include "visca_port_table.h"
#include "visca_server.h"
#endif

#include "device_slot_strip.h"
#include "message_boxes.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidgetItem>

#include <algorithm>

#include <QJsonArray>
#include <QJsonObject>

namespace {
void apiRecord(LogLevel level, const QString &message)
{
    LogManager::instance()->log(level, "Startup", QStringLiteral("[API] ") + message);
}

[[maybe_unused]] void remoteRecord(LogLevel level, const QString &message)
{
    LogManager::instance()->log(level, "Startup", message);
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
    delete m_visca; // the panel may be gone already: its tool tips are left alone
    stopOsc();
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
#ifdef KESTRANE_CONTROL_API
    // What cannot start is said in a box as well as in the log, once the window is up.
    const auto report = [this](const QString &what) {
        QTimer::singleShot(0, this, [what] {
            MessageBoxes::warning(nullptr, what, QCoreApplication::translate("TrayIcon", "%1无法切换，详情见日志").arg(what));
        });
    };
    if ((m_viscaWanted || ViscaPortTable().enabled()) && !startVisca())
        report(QStringLiteral("VISCA"));
    if ((m_oscPort != 0 || OscServer::configuredOn()) && !startOsc())
        report(QStringLiteral("OSC"));
#endif
}

void ControlServices::setRemoteOptions(bool visca, const QString &viscaAddress, quint16 oscPort)
{
    m_viscaWanted = visca || !viscaAddress.isEmpty();
    m_viscaAddress = viscaAddress;
    m_oscPort = oscPort;
}

// A camera's ports show where the user finds the camera: the tool tip of its button
// in the panel's device list, under its model and serial.
static void showViscaPorts(Widget *panel, const ControlServices *services)
{
    DeviceSlotStrip *strip = panel->slotStrip();
    for (int slot = 0; slot < DeviceSlotStrip::kSlotCount; ++slot) {
        const QTreeWidgetItem *item = panel->deviceItem(slot);
        if (!item || !strip)
            continue;
        const QString ports = services->viscaPorts(item->data(1, Qt::UserRole).toString());
        for (QWidget *w : {static_cast<QWidget *>(strip->button(slot)), static_cast<QWidget *>(strip->label(slot)),
                           strip->container(slot)}) {
            if (!w)
                continue;
            QStringList lines = w->toolTip().split(QLatin1Char('\n'));
            lines.erase(std::remove_if(lines.begin(), lines.end(),
                                       [](const QString &line) { return line.startsWith(QLatin1String("VISCA: ")); }),
                        lines.end());
            if (!ports.isEmpty())
                lines << ports;
            w->setToolTip(lines.join(QLatin1Char('\n')));
        }
    }
}

bool ControlServices::startVisca(QString *error)
{
    QString reason = QStringLiteral("this build has no remote control (built without KESTRANE_CONTROL_API)");
#ifdef KESTRANE_CONTROL_API
    if (m_visca)
        return true;
    m_visca = new ViscaServer(m_requests, this);
    if (m_visca->start(m_viscaAddress, &reason)) {
        const auto show = [this] {
            if (m_window && m_window->controlPanel())
                showViscaPorts(m_window->controlPanel(), this);
        };
        connect(m_visca, &ViscaServer::camerasChanged, this, show);
        show();
        // Cameras whose ports are taken are reported; the others are served.
        if (m_visca->failures().isEmpty())
            return true;
        reason = m_visca->failures().join(QLatin1Char('\n'));
    } else {
        delete m_visca;
        m_visca = nullptr;
        remoteRecord(CRITICAL, QStringLiteral("[VISCA] not served: %1").arg(reason));
    }
#endif
    if (error)
        *error = reason;
    return false;
}

void ControlServices::stopVisca()
{
    if (!m_visca)
        return;
    delete m_visca;
    m_visca = nullptr;
    if (m_window && m_window->controlPanel())
        showViscaPorts(m_window->controlPanel(), this);
}

bool ControlServices::startOsc(QString *error)
{
    QString reason = QStringLiteral("this build has no remote control (built without KESTRANE_CONTROL_API)");
#ifdef KESTRANE_CONTROL_API
    if (m_osc)
        return true;
    m_osc = new OscServer(m_requests, this);
    if (m_osc->startConfigured(m_oscPort, &reason))
        return true;
    delete m_osc;
    m_osc = nullptr;
#endif
    if (error)
        *error = reason;
    return false;
}

void ControlServices::stopOsc()
{
    delete m_osc;
    m_osc = nullptr;
}

QString ControlServices::viscaPorts(const QString &serial) const
{
#ifdef KESTRANE_CONTROL_API
    if (m_visca)
        if (const std::optional<ViscaPortTable::Ports> ports = m_visca->ports(serial))
            return QStringLiteral("VISCA: UDP %1, TCP %2").arg(ports->udp).arg(ports->tcp);
#else
    Q_UNUSED(serial);
#endif
    return QString();
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
        if (m_visca) {
            m_visca->refresh();
            showViscaPorts(panel, this);
        }
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
