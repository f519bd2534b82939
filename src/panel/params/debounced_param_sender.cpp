#include "debounced_param_sender.h"

#include <QPointer>
#include <QTimer>

#include <utility>

DebouncedParamSender::DebouncedParamSender(QObject *parent) : QObject(parent)
{
}

DebouncedParamSender::~DebouncedParamSender()
{
    cancelAll();
}

void DebouncedParamSender::schedule(const QString &key, const QString &value, SendFunction send)
{
    if (m_paused)
        return;
    m_pendingValues.insert(key, value);
    m_due.remove(key);
    start(key, std::move(send), m_intervalMs);
}

void DebouncedParamSender::start(const QString &key, SendFunction send, int intervalMs)
{
    if (QTimer *running = m_timers.take(key)) {
        running->stop();
        delete running;
    }
    auto *timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setInterval(intervalMs);
    connect(timer, &QTimer::timeout, this, [this, key, send] { fire(key, send); });
    m_timers.insert(key, timer);
    timer->start();
}

void DebouncedParamSender::fire(QString key, SendFunction send)
{
    // Settle the key before sending: the send function may schedule again (even the
    // same key) or destroy this sender, and must find a consistent, idle key.
    if (QTimer *timer = m_timers.take(key))
        timer->deleteLater();
    if (m_held) {
        if (m_pendingValues.contains(key))
            m_due.insert(key, send);
        return;
    }
    const auto pending = m_pendingValues.constFind(key);
    if (pending == m_pendingValues.constEnd())
        return;
    const QString value = pending.value();
    m_pendingValues.erase(pending);
    if (send)
        send(key, value);
}

void DebouncedParamSender::setPaused(bool paused)
{
    m_paused = paused;
}

void DebouncedParamSender::setHeld(bool held)
{
    m_held = held;
    if (held)
        return;
    const QMap<QString, SendFunction> due = std::exchange(m_due, {});
    for (auto it = due.cbegin(); it != due.cend(); ++it)
        start(it.key(), it.value(), 0);
}

void DebouncedParamSender::cancelAll()
{
    m_due.clear();
    const QList<QTimer *> timers = m_timers.values();
    m_timers.clear();
    for (QTimer *timer : timers) {
        timer->stop();
        delete timer;
    }
}
