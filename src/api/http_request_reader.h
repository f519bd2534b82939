#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>

#include <optional>

// Reads one HTTP/1.x request from the bytes of a connection, strictly and within
// limits. It stops at the end of the head (request line and header fields) so that
// the caller can check the head before any of the body is taken, and at the end of
// the request, leaving what follows (a next request) unread.
//
// Refused (state Failed, with the status to answer):
//   400  a malformed request line or header field, a bare CR or LF, a folded field,
//        no Host or several on HTTP/1.1, Content-Length not a plain number or given
//        twice, Content-Length together with Transfer-Encoding, a malformed chunk
//   413  a body over the limit: a declared length when the body is to be read (so
//        that the head is judged first), a chunked one as soon as its chunks
//        announce more
//   414  a request line longer than the head limit
//   431  a head (or a chunked body's trailer) longer than the limit
//   501  a transfer coding other than chunked
//   505  an HTTP version other than 1.x
class HttpRequestReader {
public:
    static constexpr qsizetype kDefaultMaxHead = 16 * 1024;
    static constexpr qsizetype kDefaultMaxBody = 64 * 1024;
    static constexpr int kMaxFields = 100;
    // A chunk-size line, extensions included.
    static constexpr int kMaxChunkLine = 256;

    enum class State {
        Head,     // reading the request line and the header fields
        HeadDone, // the head is complete; nothing more is taken before readBody()
        Body,     // reading the body
        Done,     // the request is complete
        Failed,   // refused: see failureStatus() and failure()
    };

    struct Head {
        QByteArray method;
        QByteArray target; // as sent: "/path?query"
        int minorVersion = 1; // HTTP/1.<minor>
        QList<QPair<QByteArray, QByteArray>> fields; // names as sent, values without surrounding blanks

        // The value of the first field of that name (any case).
        std::optional<QByteArray> field(QByteArrayView name) const;
        // Whether the client keeps the connection open after the answer.
        bool keepAlive() const;
    };

    explicit HttpRequestReader(qsizetype maxHead = kDefaultMaxHead, qsizetype maxBody = kDefaultMaxBody);

    // Takes bytes of the connection; returns how many were used (fewer than given
    // once the head or the request is complete, or the request is refused).
    qsizetype feed(QByteArrayView data);
    // Goes on from HeadDone to the body (Done at once when there is none, Failed
    // when the declared one is too large).
    void readBody();
    // Starts over for the next request of the connection.
    void reset();

    State state() const { return m_state; }
    // Some of a request has come (empty lines before it aside).
    bool started() const { return m_state != State::Head || !m_buffer.isEmpty(); }
    int failureStatus() const { return m_failureStatus; }
    const char *failure() const { return m_failure; }
    const Head &head() const { return m_head; }
    const QByteArray &body() const { return m_body; }

private:
    enum class Chunk { Size, Data, DataEnd, Trailer };

    qsizetype feedHead(QByteArrayView data);
    qsizetype feedBody(QByteArrayView data);
    qsizetype feedChunked(QByteArrayView data);
    // Collects one CRLF-terminated line into m_line, at most `limit` bytes; true when
    // complete (the line without its CRLF in m_line). `used` counts the bytes taken.
    bool takeLine(QByteArrayView data, qsizetype *used, qsizetype limit, int tooLongStatus, const char *tooLong);
    void parseHead(QByteArrayView head);
    bool parseRequestLine(QByteArrayView line);
    bool parseFraming();
    void chunkSizeLine();
    void fail(int status, const char *why);

    qsizetype m_maxHead;
    qsizetype m_maxBody;
    State m_state = State::Head;
    int m_failureStatus = 0;
    const char *m_failure = "";
    Head m_head;
    QByteArray m_buffer; // the head so far
    QByteArray m_line;   // a chunk-size or trailer line so far
    QByteArray m_body;
    bool m_chunked = false;
    bool m_tooLarge = false; // the declared length is over the limit
    Chunk m_chunk = Chunk::Size;
    qint64 m_remaining = 0; // of the declared length, or of the current chunk
    qsizetype m_trailerBytes = 0;
};
