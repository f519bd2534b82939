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

    // While held (nothing else may reach the camera), values that come due are kept
    // instead of sent; once released, each goes out on the next turn of the event loop.
    void setHeld(bool held);
    bool isHeld() const { return m_held; }

    // Stops every pending send without sending.
    void cancelAll();

    int intervalMs() const { return m_intervalMs; }
    bool hasPending(const QString &key) const { return m_timers.contains(key) || m_due.contains(key); }
    int pendingCount() const { return int(m_timers.size() + m_due.size()); }

private:
    void start(const QString &key, SendFunction send, int intervalMs);
    void fire(QString key, SendFunction send);

    int m_intervalMs = kDefaultIntervalMs;
    bool m_paused = false;
    bool m_held = false;
    QMap<QString, QTimer *> m_timers;
    QMap<QString, SendFunction> m_due; // came due while held
    QMap<QString, QString> m_pendingValues;
};
