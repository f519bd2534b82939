#include "control_api_throttle.h"

QByteArray ControlApiThrottle::key(const QHostAddress &peer)
{
    bool v4 = false;
    const quint32 ip4 = peer.toIPv4Address(&v4); // also for IPv4 mapped into IPv6
    if (v4)
        return "4:" + QByteArray::number(ip4);
    const Q_IPV6ADDR ip6 = peer.toIPv6Address();
    return "6:" + QByteArray(reinterpret_cast<const char *>(ip6.c), 8);
}

bool ControlApiThrottle::blocked(const QHostAddress &peer, qint64 nowMs) const
{
    const auto it = m_peers.constFind(key(peer));
    return it != m_peers.cend() && nowMs < it->blockedUntil;
}

void ControlApiThrottle::failed(const QHostAddress &peer, qint64 nowMs)
{
    const QByteArray id = key(peer);
    if (!m_peers.contains(id) && m_peers.size() >= kMaxPeers)
        forgetOld(nowMs);
    Peer &p = m_peers[id];
    if (nowMs - p.windowStart >= m_windowMs) {
        p.windowStart = nowMs;
        p.failures = 0;
    }
    if (++p.failures >= m_maxFailures)
        p.blockedUntil = nowMs + m_windowMs;
}

// Drops the peers whose window and block have passed; when all still count, the one
// whose window began first.
void ControlApiThrottle::forgetOld(qint64 nowMs)
{
    for (auto it = m_peers.begin(); it != m_peers.end();)
        it = nowMs - it->windowStart >= m_windowMs && nowMs >= it->blockedUntil ? m_peers.erase(it) : std::next(it);
    if (m_peers.size() < kMaxPeers)
        return;
    auto oldest = m_peers.begin();
    for (auto it = m_peers.begin(); it != m_peers.end(); ++it)
        if (it->windowStart < oldest->windowStart)
            oldest = it;
    m_peers.erase(oldest);
}
