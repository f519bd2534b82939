#include "camera_restart_watch.h"

#include "device_list.h"

#include <QDebug>
#include <QTimer>

CameraRestartWatch::CameraRestartWatch(const Host &host, QObject *parent) : QObject(parent), m_host(host)
{
}

void CameraRestartWatch::expect(const QString &serial, bool ptzShown)
{
    m_restart = Restart{serial, ptzShown, false};
    QTimer::singleShot(kWaitMs, this, [this, serial] {
        if (m_restart.serial != serial)
            return;
        qWarning() << "设备重启后未重新连接:" << serial;
        m_restart = Restart();
        m_host.gaveUp();
    });
}

void CameraRestartWatch::reselect()
{
    if (m_restart.serial.isEmpty())
        return;
    const int slot = m_host.list->slotOfSerial(m_restart.serial);
    if (slot < 0) {
        m_restart.seenGone = true;
        return;
    }
    const Restart restart = m_restart;
    // Listed before it left: selected again, still waiting for it to come back.
    if (restart.seenGone)
        m_restart = Restart();
    qDebug() << "重启的设备已重新连接，重新选中:" << restart.serial;
    m_host.select(slot);
    if (restart.ptzShown)
        m_host.showPtz();
}
