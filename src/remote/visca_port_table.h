#pragma once

#include "control_api_handler.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

// visca.ini in the tool's files directory: whether VISCA is served, where, to whom,
// how long a move runs without a stop, and each camera's ports by serial. A camera
// seen for the first time gets the next free pair counting from 52381 (UDP) and 5678
// (TCP), and keeps it across runs and reconnections, so that a controller's setup
// stays right. Entries that cannot be used (a port out of range or taken twice) are
// left out and reported.
//
//   [Visca]
//   Enabled=false
//   Address=127.0.0.1
//   AllowedPeers=192.168.1.20, 192.168.1.0/24
//   MoveLimitMs=30000
//   [Cameras]
//   1\Serial=...
//   1\Udp=52381
//   1\Tcp=5678
class ViscaPortTable {
public:
    static constexpr quint16 kFirstUdpPort = 52381;
    static constexpr quint16 kFirstTcpPort = 5678;
    static constexpr int kMaxCameras = 256;

    struct Ports {
        QString serial;
        quint16 udp = 0;
        quint16 tcp = 0;
    };

    // The table of `file` (visca.ini in the files directory when empty).
    explicit ViscaPortTable(const QString &file = QString());

    QString fileName() const { return m_file; }
    bool enabled() const { return m_enabled; }
    int moveLimitMs() const { return m_moveLimitMs; }
    // What could not be used, one line each (for the log).
    QStringList problems() const { return m_problems; }

    std::optional<Ports> find(const QString &serial) const;
    // The camera's ports, assigned and written to the file when it is new; nothing when
    // the table is full.
    std::optional<Ports> portsFor(const QString &serial);
    const QList<Ports> &entries() const { return m_entries; }

private:
    void load();
    void save() const;
    bool taken(quint16 udp, quint16 tcp) const;

    QString m_file;
    bool m_enabled = false;
    int m_moveLimitMs = ControlApiHandler::kRemoteMoveLimitMs;
    QList<Ports> m_entries;
    QStringList m_problems;
};
