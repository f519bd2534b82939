#pragma once

#include "control_api_log.h"
#include "remote_peer_policy.h"
#include "visca_command_translator.h"
#include "visca_port_table.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class ControlRequestQueue;
class ViscaCameraEndpoint;

// VISCA over IP for every camera the panel lists, each on its own ports from
// visca.ini. A camera keeps its ports while it is away (restarting, unplugged) and
// answers "not executable" meanwhile. A port that cannot be bound is logged and
// reported by failures(); the other cameras are served.
class ViscaServer : public QObject {
    Q_OBJECT
public:
    explicit ViscaServer(ControlRequestQueue *requests, QObject *parent = nullptr);
    ~ViscaServer() override;

    // Reads `iniFile` (visca.ini in the files directory when empty); `address`, when
    // given, replaces the one it names. False, with the reason, when the file's
    // address or allowed peers cannot be read.
    bool start(const QString &address, QString *error, const QString &iniFile = QString());
    // Serves the cameras the panel lists now; cameras served before keep their ports.
    void refresh();

    const ViscaPortTable *table() const { return m_table.get(); }
    const RemotePeerPolicy &policy() const { return m_policy; }
    // The ports a camera is served on; nothing when it is not (yet) served.
    std::optional<ViscaPortTable::Ports> ports(const QString &serial) const;
    QStringList failures() const { return m_failures; }

signals:
    // A camera got its ports, or could not.
    void camerasChanged();

private:
    ControlRequestQueue *m_requests;
    std::unique_ptr<ViscaPortTable> m_table;
    std::unique_ptr<ViscaCommandTranslator> m_translator;
    RemotePeerPolicy m_policy;
    ControlApiLog m_log{QStringLiteral("VISCA")};
    QHash<QString, ViscaCameraEndpoint *> m_endpoints; // by serial
    QHash<QString, bool> m_failed;                     // serials whose ports could not be bound
    QStringList m_failures;
};
