#include "simulated_camera.h"

#include "packet_cmd.h"
#include "packet_codec.h"
#include "simulated_clock.h"
#include "simulated_command_set.h"

#include <QDate>

namespace {
// A report that is not a reply: bytes a confused firmware might put on the wire.
QByteArray garbageReport(quint32 seed) {
    QByteArray report(PacketCodec::kInputReportSize, '\0');
    quint32 x = seed * 2654435761u + 1;
    for (char &c : report) {
        x = x * 1664525u + 1013904223u;
        c = char(x >> 24);
    }
    report[0] = 'X'; // never the magic
    return report;
}
} // namespace

SimulatedCamera::SimulatedCamera(const QString &model, const QString &deviceName, const QString &serial,
                                 quint16 productId)
    : m_model(model), m_deviceName(deviceName), m_serial(serial), m_buildDate(QStringLiteral("2024-06-18")),
      m_productId(productId), m_path(QStringLiteral("sim:") + serial),
      m_commands(new SimulatedCommandSet(*this)) {}

SimulatedCamera::~SimulatedCamera() {
    delete m_commands;
}

QString SimulatedCamera::selectionName() const {
    return m_deviceName + QLatin1Char('-') + m_serial.right(3);
}

SimulatedPtz::Position SimulatedCamera::ptzPosition() const {
    return m_ptz.position(SimulatedClock::nowMs());
}

void SimulatedCamera::tick() {
    const qint64 now = SimulatedClock::nowMs();
    if (m_present && m_rebootAt >= 0 && now >= m_rebootAt)
        rebootNow();
    if (!m_present && m_returnAt >= 0 && now >= m_returnAt)
        plugIn();
}

bool SimulatedCamera::isPresent() {
    tick();
    return m_present;
}

void SimulatedCamera::goOffline(int returnAfterMs) {
    m_present = false;
    ++m_session;
    m_returnAt = returnAfterMs >= 0 ? SimulatedClock::nowMs() + returnAfterMs : -1;
    m_rebootAt = -1;
    m_rebootWhenReplyRead = false;
    m_pending.clear();
    m_assembly.clear();
    m_assemblyPackets = 0;
    m_assemblyOverflow = false;
}

void SimulatedCamera::unplug(int returnAfterMs) {
    if (m_present)
        goOffline(returnAfterMs);
    else
        m_returnAt = returnAfterMs >= 0 ? SimulatedClock::nowMs() + returnAfterMs : -1;
}

void SimulatedCamera::plugIn() {
    m_present = true;
    m_returnAt = -1;
}

void SimulatedCamera::scheduleReboot(int afterMs, bool whenReplyRead) {
    m_rebootAt = SimulatedClock::nowMs() + afterMs;
    m_rebootWhenReplyRead = whenReplyRead;
}

void SimulatedCamera::rebootNow() {
    const qint64 now = SimulatedClock::nowMs();
    ++m_reboots;
    m_ptz.reset();
    m_faces.abortTraining();
    if (m_upgrade.finishOnReboot(now) && m_upgradeTakes)
        m_buildDate = QDate::currentDate().toString(Qt::ISODate); // the new firmware's date
    goOffline(m_returnDelayMs);
}

void SimulatedCamera::setFault(Fault fault) {
    m_fault = fault;
    m_pending.clear();
}

void SimulatedCamera::record(quint32 cmdId, const QByteArray &payload, int packets) {
    ReceivedRequest r;
    r.cmdId = cmdId;
    r.payloadSize = int(payload.size());
    r.payload = payload.left(kMaxRecordedPayload);
    r.packets = packets;
    if (cmdId != CmdUpgradeData)
        r.cmd = SimulatedCommandSet::commandName(payload);
    if (m_received.size() >= kMaxRecordedRequests)
        m_received.removeFirst();
    m_received << r;
}

int SimulatedCamera::write(const QByteArray &report) {
    tick();
    if (!m_present || m_fault == Fault::WriteError)
        return -1;
    const PacketCodec::Request request = PacketCodec::parseRequest(report);
    if (!request.valid)
        return int(report.size()); // taken off the wire and dropped, as the firmware does
    if (!m_assembly.isEmpty() || m_assemblyPackets > 0) {
        if (request.cmdId != m_assemblyCmd) {
            // A new request interrupts an unfinished one; the partial data is dropped.
            m_assembly.clear();
            m_assemblyPackets = 0;
            m_assemblyOverflow = false;
        }
    }
    // A request begun while the previous reply is still unread: two exchanges overlap.
    if (m_assemblyPackets == 0 && !m_pending.empty())
        ++m_overlappingRequests;
    m_assemblyCmd = request.cmdId;
    ++m_assemblyPackets;
    if (m_assembly.size() + request.payload.size() > kMaxRequestBytes)
        m_assemblyOverflow = true;
    if (!m_assemblyOverflow)
        m_assembly += request.payload;
    if (!request.last)
        return int(report.size());

    const QByteArray payload = m_assembly;
    const int packets = m_assemblyPackets;
    const bool overflow = m_assemblyOverflow;
    m_assembly.clear();
    m_assemblyPackets = 0;
    m_assemblyOverflow = false;
    if (overflow) {
        record(request.cmdId, QByteArray(), packets);
        queueReply(request.cmdId, SimulatedCommandSet::resultReply(QString(), SimulatedCommandSet::kFailed));
    } else {
        handleRequest(request.cmdId, payload, packets);
    }
    return int(report.size());
}

void SimulatedCamera::handleRequest(quint32 cmdId, const QByteArray &payload, int packets) {
    record(cmdId, payload, packets);
    switch (m_fault) {
    case Fault::Silent:
        return;
    case Fault::NegativeResult:
        queueReply(cmdId,
                   SimulatedCommandSet::resultReply(m_received.last().cmd, SimulatedCommandSet::kFailed));
        return;
    default: {
        const auto override = m_replyOverrides.constFind(m_received.last().cmd);
        if (override != m_replyOverrides.constEnd() && !m_received.last().cmd.isEmpty())
            queueReply(cmdId, override.value());
        else
            queueReply(cmdId, m_commands->execute(cmdId, payload));
    }
    }
}

void SimulatedCamera::setReplyOverride(const QString &cmd, const QByteArray &payload) {
    if (payload.isEmpty())
        m_replyOverrides.remove(cmd);
    else
        m_replyOverrides.insert(cmd, payload);
}

void SimulatedCamera::queueReply(quint32 cmdId, const QByteArray &payload) {
    const qint64 now = SimulatedClock::nowMs();
    QList<QByteArray> reports;
    switch (m_fault) {
    case Fault::Garbage:
        reports << garbageReport(cmdId + quint32(m_received.size()));
        break;
    case Fault::MalformedJson:
        reports = PacketCodec::buildReplies(cmdId, payload.left(qMax(1, int(payload.size()) / 2)) + "\x01,]");
        break;
    default:
        reports = PacketCodec::buildReplies(cmdId, payload);
        break;
    }
    for (int i = 0; i < reports.size(); ++i) {
        QByteArray &r = reports[i];
        if (m_fault == Fault::Endless || (m_fault == Fault::DisconnectMidReply && i == 0))
            PacketCodec::writeU16(r.data() + 10, 0);
        if (m_fault == Fault::OversizedLength)
            PacketCodec::writeU16(r.data() + 8, 0xFFFF);
    }
    if (m_fault == Fault::DisconnectMidReply && reports.size() > 1)
        reports = reports.mid(0, 1);
    for (const QByteArray &r : reports) {
        if (m_pending.size() >= size_t(kMaxPendingReports))
            m_pending.pop_front(); // nobody is reading: the oldest report is overwritten
        PendingReport p;
        p.data = r;
        p.readyAt = m_fault == Fault::Slow ? now + m_slowReplyMs : now;
        p.dropAfter = m_fault == Fault::DisconnectMidReply;
        m_pending.push_back(p);
    }
}

QByteArray SimulatedCamera::takeReport(qint64 *readyInMs) {
    tick();
    *readyInMs = -1;
    if (!m_present)
        return QByteArray();
    const qint64 now = SimulatedClock::nowMs();
    if (m_pending.empty()) {
        if (m_fault == Fault::Endless && !m_received.isEmpty()) {
            // Still "answering" the last request, never reaching the end.
            return PacketCodec::buildReply(m_received.last().cmdId, QByteArrayLiteral("{}"), false);
        }
        return QByteArray();
    }
    const PendingReport &front = m_pending.front();
    if (front.readyAt > now) {
        *readyInMs = front.readyAt - now;
        return QByteArray();
    }
    const PendingReport p = front;
    m_pending.pop_front();
    if (p.dropAfter)
        goOffline(m_returnDelayMs);
    else if (m_pending.empty() && m_rebootWhenReplyRead && m_rebootAt >= 0)
        rebootNow(); // the answer is out: restart now
    return p.data;
}
