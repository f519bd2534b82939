#include "visca_port_table.h"

#include "app_paths.h"

#include <QDir>
#include <QSettings>

ViscaPortTable::ViscaPortTable(const QString &file)
    : m_file(file.isEmpty() ? QDir(AppPaths::filesDir()).filePath(QStringLiteral("visca.ini")) : file)
{
    load();
}

void ViscaPortTable::load()
{
    QSettings ini(m_file, QSettings::IniFormat);
    m_enabled = ini.value(QStringLiteral("Visca/Enabled"), false).toBool();
    bool ok = false;
    const int limit = ini.value(QStringLiteral("Visca/MoveLimitMs"), m_moveLimitMs).toInt(&ok);
    if (ok && limit > 0)
        m_moveLimitMs = limit;
    else
        m_problems << QStringLiteral("MoveLimitMs is no positive number of milliseconds; %1 is used").arg(m_moveLimitMs);
    const int size = std::min(ini.beginReadArray(QStringLiteral("Cameras")), kMaxCameras);
    for (int i = 0; i < size; ++i) {
        ini.setArrayIndex(i);
        bool udpOk = false, tcpOk = false;
        Ports ports;
        ports.serial = ini.value(QStringLiteral("Serial")).toString();
        const uint udp = ini.value(QStringLiteral("Udp")).toUInt(&udpOk);
        const uint tcp = ini.value(QStringLiteral("Tcp")).toUInt(&tcpOk);
        ports.udp = quint16(udp);
        ports.tcp = quint16(tcp);
        if (ports.serial.isEmpty() || !udpOk || !tcpOk || udp == 0 || tcp == 0 || udp > 65535 || tcp > 65535 ||
            find(ports.serial) || taken(ports.udp, ports.tcp)) {
            m_problems << QStringLiteral("camera entry %1 is left out: it needs a serial of its own and two free ports").arg(i + 1);
            continue;
        }
        m_entries << ports;
    }
    ini.endArray();
}

void ViscaPortTable::save() const
{
    QSettings ini(m_file, QSettings::IniFormat);
    ini.beginWriteArray(QStringLiteral("Cameras"), int(m_entries.size()));
    for (int i = 0; i < m_entries.size(); ++i) {
        ini.setArrayIndex(i);
        ini.setValue(QStringLiteral("Serial"), m_entries[i].serial);
        ini.setValue(QStringLiteral("Udp"), m_entries[i].udp);
        ini.setValue(QStringLiteral("Tcp"), m_entries[i].tcp);
    }
    ini.endArray();
}

bool ViscaPortTable::taken(quint16 udp, quint16 tcp) const
{
    for (const Ports &entry : m_entries)
        if (entry.udp == udp || entry.tcp == tcp)
            return true;
    return false;
}

std::optional<ViscaPortTable::Ports> ViscaPortTable::find(const QString &serial) const
{
    for (const Ports &entry : m_entries)
        if (entry.serial == serial)
            return entry;
    return std::nullopt;
}

std::optional<ViscaPortTable::Ports> ViscaPortTable::portsFor(const QString &serial)
{
    if (const std::optional<Ports> known = find(serial))
        return known;
    if (m_entries.size() >= kMaxCameras)
        return std::nullopt;
    int n = 0;
    while (taken(quint16(kFirstUdpPort + n), quint16(kFirstTcpPort + n)))
        ++n;
    m_entries << Ports{serial, quint16(kFirstUdpPort + n), quint16(kFirstTcpPort + n)};
    save();
    return m_entries.last();
}
