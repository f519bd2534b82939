#pragma once

#include "control_api_handler.h"
#include "control_api_log.h"
#include "remote_peer_policy.h"

#include <QHostAddress>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUdpSocket>

class ControlRequestQueue;

// OSC over UDP: each message (read by liblo) becomes a control API request on the
// shared queue (see OscCommandTranslator). OSC has no answers: what is refused is
// logged. Only this computer and the allowed peers are listened to.
class OscServer : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kMaxDatagram = 8192;
    // Requests that may wait for the panel at once; beyond, messages are refused.
    static constexpr int kMaxPending = 32;
    static constexpr quint16 kDefaultPort = 9000;

    explicit OscServer(ControlRequestQueue *requests, QObject *parent = nullptr);

    // Listens on `port` (0: any free one) of the policy's address. False, with the
    // reason, when it cannot.
    bool start(quint16 port, const RemotePeerPolicy &policy, QString *error);
    // As osc.ini in the files directory (or `iniFile`) says:
    //   [Osc]
    //   Enabled=false
    //   Port=9000
    //   Address=127.0.0.1
    //   AllowedPeers=192.168.1.20, 192.168.1.0/24
    //   MoveLimitMs=30000
    // `port`, when not 0, replaces the file's.
    bool startConfigured(quint16 port, QString *error, const QString &iniFile = QString());
    // True when osc.ini turns OSC on.
    static bool configuredOn(const QString &iniFile = QString());
    quint16 port() const { return m_socket.localPort(); }
    void setMoveLimitMs(int ms) { m_moveLimitMs = ms; }

signals:
    // A message was carried out or refused: the API's status, 0 when it never reached
    // the API (not OSC, an unknown address, too many waiting) (tests, benchmarks).
    void handled(const QString &address, int status);

private:
    void readDatagrams();
    void handle(const QByteArray &datagram);
    void refuse(const QString &address, const QString &why);

    ControlRequestQueue *m_requests;
    RemotePeerPolicy m_policy;
    QUdpSocket m_socket;
    ControlApiLog m_log{QStringLiteral("OSC")};
    QSet<QHostAddress> m_refusedPeers;
    int m_pending = 0;
    int m_moveLimitMs = ControlApiHandler::kRemoteMoveLimitMs;
};
