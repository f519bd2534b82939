#pragma once

#include "control_api_log.h"
#include "remote_peer_policy.h"
#include "visca_command_translator.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTcpServer>
#include <QUdpSocket>

#include <functional>

class ControlRequestQueue;
class QTcpSocket;

// One camera as a VISCA camera: VISCA over IP on its UDP port (each datagram answered
// to where it came from, with its sequence number) and raw VISCA on its TCP port.
// Every message becomes a control API request on the shared queue; the camera
// answers "not executable" while it is busy, restarting or unplugged.
class ViscaCameraEndpoint : public QObject {
    Q_OBJECT
public:
    // Commands of one camera that may wait for the panel at once; beyond, "buffer full".
    static constexpr int kMaxPending = 8;
    static constexpr int kMaxConnections = 4;
    // Unread answers a TCP client may leave before it is dropped.
    static constexpr qint64 kMaxBacklog = 64 * 1024;

    ViscaCameraEndpoint(ControlRequestQueue *requests, const ViscaCommandTranslator *translator,
                        const RemotePeerPolicy *policy, ControlApiLog *log, QObject *parent = nullptr);
    ~ViscaCameraEndpoint() override;

    // False, with the reason, when a port cannot be bound.
    bool listen(const QString &serial, quint16 udpPort, quint16 tcpPort, QString *error);
    void setModel(const QString &model) { m_model = model; }
    QString serial() const { return m_serial; }
    quint16 udpPort() const { return m_udp.localPort(); }
    quint16 tcpPort() const { return m_tcp.serverPort(); }

private:
    using Send = std::function<void(const QByteArray &visca)>;

    void readDatagrams();
    void accept();
    void readStream(QTcpSocket *client);
    void handle(const QByteArray &message, const Send &send);
    bool admitted(const QHostAddress &peer);

    ControlRequestQueue *m_requests;
    const ViscaCommandTranslator *m_translator;
    const RemotePeerPolicy *m_policy;
    ControlApiLog *m_log;
    QString m_serial;
    QString m_model;
    QUdpSocket m_udp;
    QTcpServer m_tcp;
    QHash<QTcpSocket *, QByteArray> m_streams; // what each client sent that is no whole message yet
    QSet<QHostAddress> m_refusedPeers;         // logged once each
    int m_pending = 0;
};
