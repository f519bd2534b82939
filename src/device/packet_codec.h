#pragma once

#include <QByteArray>
#include <QList>

// Binary framing of the HID reports.
//
// Request (output report, 1025 bytes): report id 0, magic "FDTH", command id (u32 LE),
// payload length (u16 LE), last-packet flag (u16 LE), payload from offset 13.
// Reply (input report, no report id): magic, 4 bytes not interpreted, payload length
// (u16 LE) at 8, last-packet flag (u16 LE) at 10, 4 bytes not interpreted, payload from 16.
class PacketCodec {
public:
    static constexpr int kReportSize = 1025;
    static constexpr int kRequestHeaderSize = 13;
    static constexpr int kMaxSinglePayload = kReportSize - kRequestHeaderSize; // 1012
    static constexpr int kChunkPayload = 1000;
    static constexpr int kReplyHeaderSize = 16;
    static constexpr int kInputReportSize = 1024;
    static constexpr int kMaxReplyPayload = kInputReportSize - kReplyHeaderSize; // 1008
    static constexpr quint32 kMagic = 0x48544446; // "FDTH" read as little-endian

    // One request packet. Returns an empty array (and builds nothing) when the payload
    // does not fit a single report.
    static QByteArray buildRequest(quint32 cmdId, const char *payload, int length, bool last = true);

    // The request packets of a multi-packet request: chunks of at most 1000 bytes,
    // last-packet flag set on the final one only.
    static QList<QByteArray> buildChunks(quint32 cmdId, const char *data, int length);

    static bool hasMagic(const QByteArray &packet);

    struct Request {
        bool valid = false;
        quint32 cmdId = 0;
        int length = 0;       // as declared in the header
        bool last = false;
        QByteArray payload;   // bounded by what the report really holds
    };
    // Parses an output report (report id first), as a camera sees it.
    static Request parseRequest(const QByteArray &report);

    struct Reply {
        bool valid = false;    // starts with the magic and holds a whole header
        int declaredLength = 0;
        bool last = false;
        QByteArray payload;    // min(declared length, bytes present after the header)
    };
    // Parses an input report as returned by a read.
    static Reply parseReply(const QByteArray &report);

    // Builds one input report (1024 bytes) as a camera sends it.
    static QByteArray buildReply(quint32 cmdId, const QByteArray &payload, bool last);
    // Splits a reply payload into as many input reports as it needs.
    static QList<QByteArray> buildReplies(quint32 cmdId, const QByteArray &payload);

    static quint16 readU16(const char *p);
    static quint32 readU32(const char *p);
    static void writeU16(char *p, quint16 value);
    static void writeU32(char *p, quint32 value);
};
