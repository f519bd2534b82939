#pragma once

#include <QObject>

#include <functional>

class QTimer;

// Watches the number of the family's HID interfaces every 2000 ms and, after a change,
// asks for one refresh 500 ms after the last change. Nothing happens while the owner
// is busy refreshing.
class DeviceConnectionWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 2000;
    static constexpr int kDelayMs = 500;

    DeviceConnectionWatcher(std::function<bool()> busy, QObject *parent);

    static int interfaceCount();

    void start();
    void stop();
    bool isActive() const;
    // The count seen by the owner's own refresh.
    void setLastCount(int count) { m_lastHidCount = count; }
    int lastCount() const { return m_lastHidCount; }

    void checkDeviceConnection();
    void scheduleDelayedRefresh();

signals:
    void refreshDue();

private:
    void onDelayedRefresh();

    std::function<bool()> m_busy;
    QTimer *m_detectionTimer;
    QTimer *m_delayedRefreshTimer;
    int m_lastHidCount = -1;
};
