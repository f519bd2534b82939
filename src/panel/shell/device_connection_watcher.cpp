#include "device_connection_watcher.h"

#include "device_models.h"
#include "hid_manager.h"

#include <QDebug>
#include <QTimer>

DeviceConnectionWatcher::DeviceConnectionWatcher(std::function<bool()> busy, QObject *parent)
    : QObject(parent), m_busy(std::move(busy)), m_detectionTimer(new QTimer(this)),
      m_delayedRefreshTimer(new QTimer(this))
{
    m_detectionTimer->setInterval(kIntervalMs);
    connect(m_detectionTimer, &QTimer::timeout, this, &DeviceConnectionWatcher::checkDeviceConnection);
    m_delayedRefreshTimer->setSingleShot(true);
    m_delayedRefreshTimer->setInterval(kDelayMs);
    connect(m_delayedRefreshTimer, &QTimer::timeout, this, &DeviceConnectionWatcher::onDelayedRefresh);
}

int DeviceConnectionWatcher::interfaceCount()
{
    HIDManager scanner;
    return int(scanner.enumerateDevices(cameraVendorId()).size());
}

bool DeviceConnectionWatcher::isActive() const
{
    return m_detectionTimer->isActive();
}

void DeviceConnectionWatcher::start()
{
    if (!m_detectionTimer->isActive()) {
        m_detectionTimer->start();
        qDebug() << "设备连接状态检测已启动";
    }
}

void DeviceConnectionWatcher::stop()
{
    if (m_detectionTimer->isActive()) {
        m_detectionTimer->stop();
        qDebug() << "设备连接状态检测已停止";
    }
    if (m_delayedRefreshTimer->isActive()) {
        m_delayedRefreshTimer->stop();
        qDebug() << "延迟刷新定时器已停止";
    }
}

void DeviceConnectionWatcher::checkDeviceConnection()
{
    if (m_busy())
        return;
    const int count = interfaceCount();
    if (m_lastHidCount == -1) {
        m_lastHidCount = count;
        qDebug() << "设备连接检测初始化，当前HID设备数量:" << count;
        return;
    }
    if (count != m_lastHidCount) {
        qDebug() << "检测到设备连接状态变化，原HID设备数量:" << m_lastHidCount << "，当前数量:" << count;
        m_lastHidCount = count;
        scheduleDelayedRefresh();
    }
}

void DeviceConnectionWatcher::scheduleDelayedRefresh()
{
    if (m_delayedRefreshTimer->isActive()) {
        m_delayedRefreshTimer->stop();
        qDebug() << "重置延迟刷新定时器";
    }
    m_delayedRefreshTimer->start();
    qDebug() << "500ms后执行设备列表刷新";
}

void DeviceConnectionWatcher::onDelayedRefresh()
{
    if (m_busy())
        return;
    qDebug() << "延迟刷新触发，开始刷新设备列表";
    emit refreshDue();
}
