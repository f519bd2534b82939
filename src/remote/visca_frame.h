#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>

// The bytes of VISCA: a message is 3 to 16 bytes, starts with 8x (x the address, 8
// for every camera) and ends with the only FF in it. Over UDP each message travels in
// a datagram with the 8-byte VISCA-over-IP header in front (payload type, payload
// length and sequence number, big-endian); over TCP messages follow each other raw.
// Pure functions: nothing here keeps state or allocates beyond the input's size.
class ViscaFrame {
public:
    enum PayloadType : quint16 {
        Command = 0x0100,
        Inquiry = 0x0110,
        Reply = 0x0111,
        DeviceSetting = 0x0120,
        Control = 0x0200,
        ControlReply = 0x0201,
    };
    static constexpr int kHeaderSize = 8;
    static constexpr int kMinMessage = 3;
    static constexpr int kMaxMessage = 16;
    static constexpr char kTerminator = char(0xFF);

    // What a datagram holds.
    enum class Status {
        Ok,          // a message of a known payload type
        Malformed,   // the header can be read, the rest cannot: answered with a syntax error
        UnknownType, // a payload type no camera takes: answered with a control reply
        Unreadable,  // shorter than a header: dropped
    };
    struct Datagram {
        Status status = Status::Unreadable;
        quint16 type = 0;
        quint32 sequence = 0;
        QByteArray payload;
    };

    static Datagram parseDatagram(const QByteArray &datagram);
    static QByteArray datagram(quint16 type, quint32 sequence, const QByteArray &payload);

    // A well-formed VISCA message (see above).
    static bool isMessage(const QByteArray &bytes);

    // The next message of a raw stream, taken out of `buffer` up to and with its FF.
    // Bytes that cannot start a message are skipped; a message that grows past
    // kMaxMessage without its FF is dropped and `overflow` is set, so that the buffer
    // never holds more than one message's worth of bytes. (What follows a dropped
    // message is taken as it comes: a piece that is no message gets its syntax error.)
    static std::optional<QByteArray> takeMessage(QByteArray &buffer, bool *overflow);

    // "81 01 06 01 FF" (for the log).
    static QByteArray hex(const QByteArray &bytes);
};
