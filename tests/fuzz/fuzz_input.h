#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>

// Takes a fuzz input apart: single bytes for choices, length-prefixed chunks for
// sequences (packets, arguments), and whatever remains. Reading past the end gives
// zeros and empty chunks.
class FuzzInput {
public:
    FuzzInput(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}

    bool atEnd() const { return m_pos >= m_size; }
    size_t remaining() const { return m_size - m_pos; }

    quint8 byte() { return atEnd() ? 0 : m_data[m_pos++]; }

    // A chunk: a 16-bit little-endian length, then that many bytes (fewer when the
    // input ends first).
    QByteArray chunk()
    {
        const int low = byte();
        const int length = low | (byte() << 8);
        const size_t n = qMin(size_t(length), remaining());
        const QByteArray out(reinterpret_cast<const char *>(m_data + m_pos), int(n));
        m_pos += n;
        return out;
    }

    QByteArray rest()
    {
        const QByteArray out(reinterpret_cast<const char *>(m_data + m_pos), int(remaining()));
        m_pos = m_size;
        return out;
    }

    // The encoding that chunk() takes apart, for the seed corpus.
    static QByteArray encodeChunk(const QByteArray &bytes)
    {
        const int n = int(qMin(bytes.size(), qsizetype(0xFFFF)));
        return QByteArray(1, char(n & 0xFF)) + char(n >> 8) + bytes.left(n);
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};
