#include "packet_codec.h"

#include <cstring>

quint16 PacketCodec::readU16(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return quint16(u[0] | (u[1] << 8));
}

quint32 PacketCodec::readU32(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return quint32(u[0]) | (quint32(u[1]) << 8) | (quint32(u[2]) << 16) | (quint32(u[3]) << 24);
}

void PacketCodec::writeU16(char *p, quint16 value)
{
    p[0] = char(value & 0xFF);
    p[1] = char(value >> 8);
}

void PacketCodec::writeU32(char *p, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = char((value >> (8 * i)) & 0xFF);
}

QByteArray PacketCodec::buildRequest(quint32 cmdId, const char *payload, int length, bool last)
{
    if (length < 0 || length > kMaxSinglePayload || (length > 0 && !payload))
        return QByteArray();
    QByteArray packet(kReportSize, '\0');
    char *p = packet.data();
    writeU32(p + 1, kMagic);
    writeU32(p + 5, cmdId);
    writeU16(p + 9, quint16(length));
    writeU16(p + 11, last ? 1 : 0);
    if (length > 0)
        std::memcpy(p + kRequestHeaderSize, payload, size_t(length));
    return packet;
}

QList<QByteArray> PacketCodec::buildChunks(quint32 cmdId, const char *data, int length)
{
    QList<QByteArray> packets;
    if (length <= 0 || !data)
        return packets;
    packets.reserve(length / kChunkPayload + 1);
    for (int offset = 0; offset < length; offset += kChunkPayload) {
        const int n = qMin(kChunkPayload, length - offset);
        packets << buildRequest(cmdId, data + offset, n, offset + n >= length);
    }
    return packets;
}

bool PacketCodec::hasMagic(const QByteArray &packet)
{
    return packet.size() >= 4 && readU32(packet.constData()) == kMagic;
}

PacketCodec::Request PacketCodec::parseRequest(const QByteArray &report)
{
    Request r;
    if (report.size() < kRequestHeaderSize || readU32(report.constData() + 1) != kMagic)
        return r;
    const char *p = report.constData();
    r.valid = true;
    r.cmdId = readU32(p + 5);
    r.length = readU16(p + 9);
    r.last = readU16(p + 11) == 1;
    const int available = int(report.size()) - kRequestHeaderSize;
    r.payload = report.mid(kRequestHeaderSize, qMin(r.length, available));
    return r;
}

PacketCodec::Reply PacketCodec::parseReply(const QByteArray &report)
{
    Reply r;
    if (report.size() < kReplyHeaderSize || !hasMagic(report))
        return r;
    const char *p = report.constData();
    r.valid = true;
    r.declaredLength = readU16(p + 8);
    r.last = readU16(p + 10) == 1;
    const int available = int(report.size()) - kReplyHeaderSize;
    r.payload = report.mid(kReplyHeaderSize, qMin(r.declaredLength, available));
    return r;
}

QByteArray PacketCodec::buildReply(quint32 cmdId, const QByteArray &payload, bool last)
{
    QByteArray report(kInputReportSize, '\0');
    char *p = report.data();
    const int n = qMin(int(payload.size()), kMaxReplyPayload);
    writeU32(p, kMagic);
    writeU32(p + 4, cmdId);
    writeU16(p + 8, quint16(n));
    writeU16(p + 10, last ? 1 : 0);
    std::memcpy(p + kReplyHeaderSize, payload.constData(), size_t(n));
    return report;
}

QList<QByteArray> PacketCodec::buildReplies(quint32 cmdId, const QByteArray &payload)
{
    QList<QByteArray> reports;
    if (payload.isEmpty()) {
        reports << buildReply(cmdId, QByteArray(), true);
        return reports;
    }
    for (int offset = 0; offset < payload.size(); offset += kMaxReplyPayload) {
        const QByteArray part = payload.mid(offset, kMaxReplyPayload);
        reports << buildReply(cmdId, part, offset + part.size() >= payload.size());
    }
    return reports;
}
