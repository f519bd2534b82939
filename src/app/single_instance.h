#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QLocalServer;

// One running tool per user: the first start claims the instance and listens; a later
// start hands its arguments to the running one (which raises its window and takes
// what they ask, e.g. a LUT) instead of opening the cameras a second time.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // A message from a later start; more is refused unread.
    static constexpr qint64 kMaxMessage = 64 * 1024;
    static constexpr int kTimeoutMs = 2000;

    enum class Claim {
        First,       // this process is the instance; later starts reach it
        HandedOver,  // another process is; the arguments were given to it
        Unreachable, // another process holds the claim but does not answer
    };

    // `name` tells instances apart: defaultName() for the tool, another for tests.
    explicit SingleInstance(const QString &name, QObject *parent = nullptr);
    ~SingleInstance() override;

    // The user's instance name.
    static QString defaultName();

    Claim claim(const QStringList &arguments);

signals:
    // A later start's arguments (the program's name first).
    void startedAgain(const QStringList &arguments);

private:
    void receive();
    bool handOver(const QStringList &arguments);

    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
