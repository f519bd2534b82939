#include "visca_server.h"

#include "control_request_queue.h"
#include "visca_camera_endpoint.h"

#include <QSettings>

ViscaServer::ViscaServer(ControlRequestQueue *requests, QObject *parent) : QObject(parent), m_requests(requests) {}

ViscaServer::~ViscaServer() = default;

bool ViscaServer::start(const QString &address, QString *error, const QString &iniFile)
{
    m_table = std::make_unique<ViscaPortTable>(iniFile);
    QSettings ini(m_table->fileName(), QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Visca"));
    const std::optional<RemotePeerPolicy> policy = RemotePeerPolicy::fromSettings(ini, error, address);
    if (!policy)
        return false;
    m_policy = *policy;
    m_translator = std::make_unique<ViscaCommandTranslator>(m_table->moveLimitMs());
    for (const QString &problem : m_table->problems())
        m_log.write(WARNING, QStringLiteral("%1: %2").arg(m_table->fileName(), problem));
    m_log.write(INFO, QStringLiteral("serving on %1").arg(m_policy.describe()));
    if (m_policy.reachableFromOutside())
        m_log.write(WARNING, QStringLiteral("VISCA has no authentication: every allowed peer can move the cameras"));
    refresh();
    return true;
}

void ViscaServer::refresh()
{
    if (!m_table)
        return;
    bool changed = false;
    for (const ControlApiBackend::Camera &camera : m_requests->backend()->cameras()) {
        const QString serial = camera.entry.serial;
        if (serial.isEmpty())
            continue;
        if (ViscaCameraEndpoint *known = m_endpoints.value(serial)) {
            known->setModel(camera.entry.productModel);
            continue;
        }
        if (m_failed.contains(serial))
            continue;
        const std::optional<ViscaPortTable::Ports> ports = m_table->portsFor(serial);
        QString error = QStringLiteral("visca.ini holds no more cameras");
        auto *endpoint = new ViscaCameraEndpoint(m_requests, m_translator.get(), &m_policy, &m_log, this);
        endpoint->setModel(camera.entry.productModel);
        if (ports && endpoint->listen(serial, ports->udp, ports->tcp, &error)) {
            m_endpoints.insert(serial, endpoint);
            m_log.write(INFO, QStringLiteral("camera %1: UDP %2, TCP %3")
                                  .arg(ControlApiLog::escaped(serial))
                                  .arg(ports->udp)
                                  .arg(ports->tcp));
        } else {
            delete endpoint;
            m_failed.insert(serial, true);
            m_failures << QStringLiteral("camera %1: %2").arg(ControlApiLog::escaped(serial), error);
            m_log.write(CRITICAL, QStringLiteral("camera %1 is not served: %2").arg(ControlApiLog::escaped(serial), error));
        }
        changed = true;
    }
    if (changed)
        emit camerasChanged();
}

std::optional<ViscaPortTable::Ports> ViscaServer::ports(const QString &serial) const
{
    const ViscaCameraEndpoint *endpoint = m_endpoints.value(serial);
    if (!endpoint)
        return std::nullopt;
    return ViscaPortTable::Ports{serial, endpoint->udpPort(), endpoint->tcpPort()};
}
