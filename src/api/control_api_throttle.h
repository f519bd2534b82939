#pragma once

#include <QHash>
#include <QHostAddress>

// Slows down guessing the token: a peer that sends too many wrong ones within a
// window is refused, whatever it sends, for the next window. Peers are remembered
// only while they matter and never more than kMaxPeers at once; IPv6 peers by their
// /64 network, which one host can fill with addresses of its own.
class ControlApiThrottle {
public:
    static constexpr int kMaxPeers = 256;

    ControlApiThrottle(int maxFailures, int windowMs) : m_maxFailures(maxFailures), m_windowMs(windowMs) {}

    bool blocked(const QHostAddress &peer, qint64 nowMs) const;
    void failed(const QHostAddress &peer, qint64 nowMs);
    int peers() const { return int(m_peers.size()); }

private:
    struct Peer {
        qint64 windowStart = 0;
        int failures = 0;
        qint64 blockedUntil = 0;
    };
    static QByteArray key(const QHostAddress &peer);
    void forgetOld(qint64 nowMs);

    int m_maxFailures;
    int m_windowMs;
    QHash<QByteArray, Peer> m_peers;
};
