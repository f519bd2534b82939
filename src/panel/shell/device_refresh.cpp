#include "device_refresh.h"

#include "camera_io_scope.h"
#include "debounced_param_sender.h"
#include "device_list.h"
#include "device_models.h"
#include "hid_manager.h"
#include "packet_cmd.h"
#include "panel_camera_context.h"

#include <QDebug>
#include <QTimer>

#include <utility>

DeviceRefresh::DeviceRefresh(const Host &host, QObject *parent) : QObject(parent), m_host(host)
{
}

HIDManager *DeviceRefresh::manager(int index) const
{
    return index >= 0 && index < m_managers.size() ? m_managers[index] : nullptr;
}

void DeviceRefresh::refresh()
{
    // A refresh closes every connection, the upgrading camera's too: it waits.
    if (DeviceSender::isBusHeld()) {
        qDebug() << "固件升级进行中，设备列表在升级结束后刷新";
        m_refreshAfterHold = true;
        return;
    }
    // Asked for by a reply being read: the connections are closed once the read is over.
    if (CameraIoScope::active()) {
        QTimer::singleShot(0, this, &DeviceRefresh::refresh);
        return;
    }
    qDebug() << "on handleRefresh";
    m_host.clearPanel();
    releaseAll();

    HIDManager scanner;
    const quint16 vendorId = cameraVendorId();
    const QList<HidDeviceInfo> found = scanner.enumerateDevices(vendorId);
    // The watcher compares with what this refresh saw, so that a camera coming or going
    // while the refresh runs (one restarting after a rename, say) brings another refresh.
    m_seenCount = int(found.size());
    for (const HidDeviceInfo &info : found) {
        if (info.vendorId != vendorId)
            continue;
        auto *manager = new HIDManager;
        if (manager->openDevice(info.path)) {
            qDebug() << "Opened device at path:" << info.path;
            m_managers << manager;
            connect(manager, &HIDManager::dataReceived, this, &DeviceRefresh::onDataReceived);
        } else {
            qWarning() << "Failed to open device at path:" << info.path;
            delete manager;
        }
    }

    DeviceSender &sender = m_host.camera->sender();
    sender.forgetUnanswered();
    m_host.routerState->deviceInfoQuery = true;
    for (int i = 0; i < m_managers.size(); ++i)
        sender.sendCmdToDevice(i, CmdGetDeviceInfo, nullptr, 0, nullptr);
    m_host.routerState->deviceInfoQuery = false;

    QTimer::singleShot(kFinishMs, this, [this] { m_host.finished(); });
}

void DeviceRefresh::releaseAll()
{
    for (HIDManager *manager : std::as_const(m_managers)) {
        disconnect(manager, nullptr, this, nullptr);
        manager->closeDevice();
        manager->waitForDeviceClose(500);
    }
    qDeleteAll(m_managers);
    m_managers.clear();
    *m_host.currentIndex = -1;
    m_host.routerState->deviceInfoQuery = false;
    m_host.routerState->quietProbe = false;
    m_host.list->forgetEntries();
}

void DeviceRefresh::setHeld(bool hold)
{
    if (!hold && std::exchange(m_refreshAfterHold, false))
        QTimer::singleShot(DebouncedParamSender::kDefaultIntervalMs, this, &DeviceRefresh::refresh);
}

void DeviceRefresh::onDataReceived(const QByteArray &data, void *deviceIndex)
{
    m_host.router->route(data, deviceIndex ? *static_cast<int *>(deviceIndex) : -1);
}
