#include "debounced_param_sender.h"

#include <QPointer>
#include <QTimer>

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
    if (QTimer *running = m_timers.take(key)) {
        running->stop();
        delete running;
    }
    m_pendingValues.insert(key, value);

    auto *timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setInterval(m_intervalMs);
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

void DebouncedParamSender::cancelAll()
{
    const QList<QTimer *> timers = m_timers.values();
    m_timers.clear();
    for (QTimer *timer : timers) {
        timer->stop();
        delete timer;
    }
}
