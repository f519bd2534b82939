#include "visca_frame.h"

namespace {
quint32 bigEndian(const QByteArray &bytes, int at, int size)
{
    quint32 value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

void appendBigEndian(QByteArray &out, quint32 value, int size)
{
    for (int i = size - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xFF));
}
} // namespace

ViscaFrame::Datagram ViscaFrame::parseDatagram(const QByteArray &bytes)
{
    Datagram out;
    if (bytes.size() < kHeaderSize)
        return out;
    out.type = quint16(bigEndian(bytes, 0, 2));
    const quint32 length = bigEndian(bytes, 2, 2);
    out.sequence = bigEndian(bytes, 4, 4);
    out.status = Status::Malformed;
    if (length != quint32(bytes.size() - kHeaderSize) || length == 0 || length > quint32(kMaxMessage))
        return out;
    out.payload = bytes.mid(kHeaderSize);
    switch (out.type) {
    case Command:
    case Inquiry:
    case DeviceSetting:
        if (isMessage(out.payload))
            out.status = Status::Ok;
        break;
    case Control:
        out.status = Status::Ok;
        break;
    default:
        out.status = Status::UnknownType;
        break;
    }
    return out;
}

QByteArray ViscaFrame::datagram(quint16 type, quint32 sequence, const QByteArray &payload)
{
    QByteArray out;
    out.reserve(kHeaderSize + payload.size());
    appendBigEndian(out, type, 2);
    appendBigEndian(out, quint32(payload.size()), 2);
    appendBigEndian(out, sequence, 4);
    return out + payload;
}

bool ViscaFrame::isMessage(const QByteArray &bytes)
{
    if (bytes.size() < kMinMessage || bytes.size() > kMaxMessage)
        return false;
    if ((quint8(bytes[0]) & 0xF0) != 0x80 || bytes.back() != kTerminator)
        return false;
    return bytes.indexOf(kTerminator) == bytes.size() - 1;
}

std::optional<QByteArray> ViscaFrame::takeMessage(QByteArray &buffer, bool *overflow)
{
    *overflow = false;
    for (;;) {
        // A message starts with 8x; anything before is noise.
        qsizetype start = 0;
        while (start < buffer.size() && (quint8(buffer[start]) & 0xF0) != 0x80)
            ++start;
        if (start > 0)
            buffer.remove(0, start);
        const qsizetype end = buffer.indexOf(kTerminator);
        if (end < 0) {
            if (buffer.size() > kMaxMessage) {
                buffer.clear(); // the rest of it is dropped when its FF comes
                *overflow = true;
            }
            return std::nullopt;
        }
        QByteArray message = buffer.left(end + 1);
        buffer.remove(0, end + 1);
        if (message.size() <= kMaxMessage)
            return message;
        *overflow = true;
    }
}

QByteArray ViscaFrame::hex(const QByteArray &bytes)
{
    return bytes.toHex(' ').toUpper();
}
