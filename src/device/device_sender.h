#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

#include <functional>

class HIDManager;

// The senders of every panel: single-packet and multi-packet requests, one report
// write, one report read, and the reply collection they share. A panel owns one and
// tells it how to find a device's manager, how to log requests and where its quiet
// probe flag lives.
class DeviceSender {
public:
    static constexpr int kReadTimeoutMs = 3000;
    static constexpr int kReplyBufferSize = 3072;
    // A reply that fits the 3072-byte buffer needs at most four packets; a camera that
    // keeps sending without ever marking one as last is cut off here, so it holds the
    // tool for at most this many reads.
    static constexpr int kMaxReplyPackets = 8;

    enum class RequestLog {
        QtDebug,        // the control panel's "[SEND] device:" debug line
        CommandRecord,  // an INFO/"Command" record, plus the index -1 note
        IndexNoteOnly,  // no request record, only the index -1 note
        None,
    };

    using ManagerLookup = std::function<HIDManager *(int index)>;

    explicit DeviceSender(ManagerLookup lookup, RequestLog requestLog = RequestLog::QtDebug,
                          const bool *quietProbe = nullptr);

    // A non-null `payload` with no bytes is a command text that was refused when it was
    // formatted: nothing is sent and the call fails. Requests without a payload pass
    // null. `reply`, when given, receives the concatenated reply payloads and a terminating
    // zero byte; at most `replyCapacity` bytes are written to it.
    bool sendCmdToDevice(int index, int cmdId, const void *payload, int length, char *reply,
                         int replyCapacity = kReplyBufferSize);
    bool sendDataToDevice(int index, int cmdId, const char *data, int length, char *reply,
                          int replyCapacity = kReplyBufferSize);
    bool sendToDevice(int index, const QByteArray &packet);
    QByteArray readFromDevice(int index, void *arg);

    // Convenience for texts: sends `text` as one request.
    bool sendText(int index, int cmdId, const QByteArray &text, char *reply = nullptr,
                  int replyCapacity = kReplyBufferSize);

    // A camera that lets a read time out is not asked again until the user starts
    // something new with it: each further request of the same flow (the rest of an
    // import, the next orientation probes) is refused at once instead of blocking for
    // another time-out. The owner forgets the camera at its next activation and at
    // every refresh (-1: all cameras).
    void forgetUnanswered(int index = -1);
    bool isUnanswered(int index) const { return m_unanswered.contains(index); }

    // While one sender holds the bus (a firmware upgrade streaming to a camera), every
    // other sender's requests to any camera are refused with a logged warning, so that
    // nothing lands inside the stream or takes its replies. Null releases it.
    static void holdBus(const DeviceSender *holder);
    static bool isBusHeld();

private:
    bool refusedWhileBusHeld(int index, int cmdId) const;
    bool refuseEmptyText(int index, int cmdId);
    bool refusedAsUnanswered(int index);
    bool collectReply(int index, char *reply, int replyCapacity);
    void logRequest(int index, int cmdId, const void *payload, int length);
    bool quiet() const { return m_quietProbe && *m_quietProbe; }

    ManagerLookup m_lookup;
    RequestLog m_requestLog;
    const bool *m_quietProbe;
    QSet<int> m_unanswered; // indexes whose last read timed out
};
