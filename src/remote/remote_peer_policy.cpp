#include "remote_peer_policy.h"

#include <QSettings>

namespace {
// An IPv4 peer reached through a dual-stack socket comes as ::ffff:a.b.c.d.
QHostAddress plain(const QHostAddress &address)
{
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    return ok ? QHostAddress(v4) : address;
}
} // namespace

std::optional<RemotePeerPolicy> RemotePeerPolicy::fromSettings(const QSettings &settings, QString *error,
                                                               const QString &address)
{
    const QVariant peers = settings.value(QStringLiteral("AllowedPeers"));
    // QSettings reads "a, b" as a list and "a" as a text.
    QStringList allowed = peers.typeId() == QMetaType::QStringList ? peers.toStringList()
                                                                    : peers.toString().split(QLatin1Char(','));
    return make(address.isEmpty() ? settings.value(QStringLiteral("Address"), QStringLiteral("127.0.0.1")).toString()
                                  : address,
                allowed, error);
}

std::optional<RemotePeerPolicy> RemotePeerPolicy::make(const QString &address, const QStringList &allowed, QString *error)
{
    RemotePeerPolicy policy;
    const QString bind = address.trimmed();
    if (!bind.isEmpty() && !policy.m_bind.setAddress(bind)) {
        *error = QStringLiteral("not an address to listen on: %1").arg(bind.left(64));
        return std::nullopt;
    }
    for (const QString &entry : allowed) {
        const QString text = entry.trimmed();
        if (text.isEmpty())
            continue;
        QPair<QHostAddress, int> subnet(QHostAddress(), -1);
        if (text.contains(QLatin1Char('/'))) {
            subnet = QHostAddress::parseSubnet(text);
        } else if (const QHostAddress single(text); !single.isNull()) {
            const QHostAddress v4 = plain(single);
            subnet = qMakePair(v4, v4.protocol() == QAbstractSocket::IPv4Protocol ? 32 : 128);
        }
        if (subnet.first.isNull() || subnet.second < 0) {
            *error = QStringLiteral("not an address or subnet among the allowed peers: %1").arg(text.left(64));
            return std::nullopt;
        }
        policy.m_allowed << subnet;
        policy.m_allowedText << text;
    }
    return policy;
}

bool RemotePeerPolicy::allows(const QHostAddress &peer) const
{
    const QHostAddress address = plain(peer);
    if (address.isLoopback())
        return true;
    for (const auto &subnet : m_allowed)
        if (address.isInSubnet(subnet))
            return true;
    return false;
}

QString RemotePeerPolicy::describe() const
{
    QString text = m_bind.toString();
    if (reachableFromOutside())
        text += m_allowedText.isEmpty() ? QStringLiteral(", no other computer allowed")
                                        : QStringLiteral(", allowed: %1").arg(m_allowedText.join(QStringLiteral(", ")));
    return text;
}
