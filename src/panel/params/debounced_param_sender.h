#pragma once

#include <QMap>
#include <QObject>
#include <QString>

#include <functional>

class QTimer;

// Turns a burst of value changes of one parameter (a slider being dragged) into one
// send of the last value: each key is sent once it has been quiet for the interval
// (100 ms). Keys run independently. Knows nothing of cameras; the caller supplies
// the function that sends.
class DebouncedParamSender : public QObject {
    Q_OBJECT
public:
    using SendFunction = std::function<void(const QString &key, const QString &value)>;

    static constexpr int kDefaultIntervalMs = 100;

    explicit DebouncedParamSender(QObject *parent = nullptr);
    ~DebouncedParamSender() override;

    // Queues value for key; send is called once, later, with the key's latest value.
    // Dropped without trace while paused.
    void schedule(const QString &key, const QString &value, SendFunction send);

    // While paused, schedule() ignores its calls; values already pending still go out.
    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }

    // Stops every pending send without sending.
    void cancelAll();

    int intervalMs() const { return m_intervalMs; }
    bool hasPending(const QString &key) const { return m_timers.contains(key); }
    int pendingCount() const { return m_timers.size(); }

private:
    void fire(QString key, SendFunction send);

    int m_intervalMs = kDefaultIntervalMs;
    bool m_paused = false;
    QMap<QString, QTimer *> m_timers;
    QMap<QString, QString> m_pendingValues;
};
