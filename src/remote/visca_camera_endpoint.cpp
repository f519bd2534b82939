#include "visca_camera_endpoint.h"

#include "control_request_queue.h"
#include "visca_frame.h"

#include <QNetworkDatagram>
#include <QPointer>
#include <QTcpSocket>

#include <memory>

namespace {
// A datagram longer than a header and the longest message is cut here, and so found
// malformed by its length field.
constexpr qint64 kMaxDatagram = 64;
} // namespace

ViscaCameraEndpoint::ViscaCameraEndpoint(ControlRequestQueue *requests, const ViscaCommandTranslator *translator,
                                         const RemotePeerPolicy *policy, ControlApiLog *log, QObject *parent)
    : QObject(parent), m_requests(requests), m_translator(translator), m_policy(policy), m_log(log)
{
    connect(&m_udp, &QUdpSocket::readyRead, this, &ViscaCameraEndpoint::readDatagrams);
    connect(&m_tcp, &QTcpServer::newConnection, this, &ViscaCameraEndpoint::accept);
    m_tcp.setMaxPendingConnections(kMaxConnections);
}

// The clients go first, without telling this half-destroyed endpoint that they left.
ViscaCameraEndpoint::~ViscaCameraEndpoint()
{
    const QList<QTcpSocket *> clients = m_streams.keys();
    m_streams.clear();
    for (QTcpSocket *client : clients) {
        client->disconnect(this);
        client->abort();
        delete client;
    }
}

bool ViscaCameraEndpoint::listen(const QString &serial, quint16 udpPort, quint16 tcpPort, QString *error)
{
    m_serial = serial;
    const QHostAddress address = m_policy->bindAddress();
    if (!m_udp.bind(address, udpPort)) {
        *error = QStringLiteral("UDP port %1 on %2: %3").arg(udpPort).arg(address.toString(), m_udp.errorString());
        return false;
    }
    if (!m_tcp.listen(address, tcpPort)) {
        *error = QStringLiteral("TCP port %1 on %2: %3").arg(tcpPort).arg(address.toString(), m_tcp.errorString());
        m_udp.close();
        return false;
    }
    return true;
}

bool ViscaCameraEndpoint::admitted(const QHostAddress &peer)
{
    if (m_policy->allows(peer))
        return true;
    if (m_refusedPeers.size() < 64 && !m_refusedPeers.contains(peer)) {
        m_refusedPeers.insert(peer);
        m_log->write(WARNING, QStringLiteral("%1 is not among the allowed peers; what it sends is ignored")
                                         .arg(peer.toString()));
    }
    return false;
}

void ViscaCameraEndpoint::readDatagrams()
{
    while (m_udp.hasPendingDatagrams()) {
        const QNetworkDatagram in = m_udp.receiveDatagram(kMaxDatagram);
        if (!in.isValid() || !admitted(in.senderAddress()))
            continue;
        const QHostAddress peer = in.senderAddress();
        const quint16 port = quint16(in.senderPort());
        const ViscaFrame::Datagram d = ViscaFrame::parseDatagram(in.data());
        const QPointer<QUdpSocket> socket(&m_udp);
        const auto reply = [socket, peer, port](quint16 type, quint32 sequence, const QByteArray &payload) {
            if (socket)
                socket->writeDatagram(ViscaFrame::datagram(type, sequence, payload), peer, port);
        };
        switch (d.status) {
        case ViscaFrame::Status::Unreadable:
            break;
        case ViscaFrame::Status::UnknownType:
            reply(ViscaFrame::ControlReply, d.sequence, QByteArray::fromHex("0F02"));
            break;
        case ViscaFrame::Status::Malformed:
            reply(ViscaFrame::Reply, d.sequence, ViscaCommandTranslator::syntaxError(1));
            break;
        case ViscaFrame::Status::Ok:
            if (d.type == ViscaFrame::Control) // a reset of the sequence numbers is all there is
                reply(ViscaFrame::ControlReply, d.sequence,
                      d.payload == QByteArray(1, char(0x01)) ? d.payload : QByteArray::fromHex("0F01"));
            else
                handle(d.payload, [reply, sequence = d.sequence](const QByteArray &visca) {
                    reply(ViscaFrame::Reply, sequence, visca);
                });
            break;
        }
    }
}

void ViscaCameraEndpoint::accept()
{
    while (QTcpSocket *client = m_tcp.nextPendingConnection()) {
        if (!admitted(client->peerAddress()) || m_streams.size() >= kMaxConnections) {
            client->abort();
            client->deleteLater();
            continue;
        }
        m_streams.insert(client, QByteArray());
        connect(client, &QTcpSocket::readyRead, this, [this, client] { readStream(client); });
        connect(client, &QTcpSocket::disconnected, this, [this, client] {
            m_streams.remove(client);
            client->deleteLater();
        });
    }
}

void ViscaCameraEndpoint::readStream(QTcpSocket *client)
{
    const QPointer<QTcpSocket> guard(client);
    const Send send = [guard](const QByteArray &visca) {
        if (!guard)
            return;
        if (guard->bytesToWrite() > kMaxBacklog) // a client that does not read
            guard->abort();
        else
            guard->write(visca);
    };
    while (guard && client->bytesAvailable() > 0 && m_streams.contains(client)) {
        QByteArray &buffer = m_streams[client];
        buffer += client->read(4096);
        bool overflow = false;
        std::optional<QByteArray> message;
        QList<QByteArray> messages;
        while ((message = ViscaFrame::takeMessage(buffer, &overflow)) || overflow) {
            if (overflow)
                send(ViscaCommandTranslator::syntaxError(1));
            if (message)
                messages << *message;
            overflow = false;
        }
        for (const QByteArray &m : std::as_const(messages))
            handle(m, send);
    }
}

void ViscaCameraEndpoint::handle(const QByteArray &message, const Send &send)
{
    ViscaCommandTranslator::Translation t = m_translator->translate(message, m_serial, m_model);
    if (!t.request) {
        send(t.immediate);
        return;
    }
    if (m_pending >= kMaxPending) {
        send(ViscaCommandTranslator::bufferFull(t.address));
        return;
    }
    if (t.command)
        send(ViscaCommandTranslator::acknowledge(t.address));
    ++m_pending;
    const QPointer<ViscaCameraEndpoint> self(this);
    const QByteArray method = t.request->method;
    const QString path = t.request->path.join(QLatin1Char('/'));
    m_requests->submit(*t.request, [self, send, t, method, path](const ControlRequestQueue::Reply &reply) {
        if (!self)
            return;
        --self->m_pending;
        self->m_log->answered(method, path, reply.status, reply.body.value(QStringLiteral("error")).toString());
        send(ViscaCommandTranslator::answer(t, reply));
    });
}
