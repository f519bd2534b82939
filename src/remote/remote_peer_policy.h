#pragma once

#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

class QSettings;

// Who may drive the cameras through a protocol that has no authentication (VISCA,
// OSC): the server listens on 127.0.0.1 unless the user names another address, and
// then takes packets only from this computer and from the peers the user allowed
// (addresses or subnets such as 192.168.1.0/24). Everyone else is ignored.
class RemotePeerPolicy {
public:
    RemotePeerPolicy() = default;

    // From "Address" (unless `address` is given) and "AllowedPeers" (comma-separated)
    // of the settings' current group; nothing, with the reason, when either cannot be
    // read.
    static std::optional<RemotePeerPolicy> fromSettings(const QSettings &settings, QString *error,
                                                        const QString &address = QString());
    static std::optional<RemotePeerPolicy> make(const QString &address, const QStringList &allowed, QString *error);

    QHostAddress bindAddress() const { return m_bind; }
    bool allows(const QHostAddress &peer) const;
    // True when a peer other than this computer can reach the server at all.
    bool reachableFromOutside() const { return !m_bind.isLoopback(); }
    // "127.0.0.1" or "0.0.0.0, allowed: 192.168.1.0/24" (for the log).
    QString describe() const;

private:
    QHostAddress m_bind = QHostAddress(QHostAddress::LocalHost);
    QList<QPair<QHostAddress, int>> m_allowed; // subnets; a single address has its full prefix
    QStringList m_allowedText;
};
