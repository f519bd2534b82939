#include "hid_manager.h"

#include "camera_io_scope.h"
#include "log_manager.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMutexLocker>
#include <QThread>

namespace {
QMutex g_liveMutex;
int g_liveManagers = 0;

void hidLog(LogLevel level, const QString &message)
{
    LogManager::instance()->log(level, "HID", message);
}
} // namespace

HIDManager::HIDManager(QObject *parent) : QObject(parent), m_backend(HidBackend::active())
{
    {
        QMutexLocker locker(&g_liveMutex);
        ++g_liveManagers;
    }
    if (m_backend->init() == -1) {
        hidLog(CRITICAL, QStringLiteral("HID API初始化失败"));
        emit errorOccurred(QStringLiteral("HID API初始化失败"));
    }
}

HIDManager::~HIDManager()
{
    closeDevice();
    // Other managers may still hold open devices: the library is released only
    // when the last manager goes away.
    QMutexLocker locker(&g_liveMutex);
    if (--g_liveManagers == 0)
        m_backend->exit();
}

int HIDManager::liveManagers()
{
    QMutexLocker locker(&g_liveMutex);
    return g_liveManagers;
}

QList<HidDeviceInfo> HIDManager::enumerateDevices(quint16 vendorId)
{
    return m_backend->enumerate(vendorId);
}

void HIDManager::closeLocked()
{
    if (!m_device)
        return;
    hidLog(INFO, QStringLiteral("关闭HID设备"));
    m_backend->close(m_device);
    m_device = nullptr;
}

bool HIDManager::openDevice(const QString &path)
{
    QMutexLocker locker(&m_mutex);
    closeLocked();
    hidLog(INFO, QStringLiteral("尝试打开HID设备: %1").arg(path));
    m_device = m_backend->open(path.toUtf8());
    if (m_device) {
        m_backend->setNonBlocking(m_device, 1);
        hidLog(INFO, QStringLiteral("HID设备打开成功: %1").arg(path));
        return true;
    }
    hidLog(CRITICAL, QStringLiteral("无法打开设备: %1").arg(path));
    locker.unlock(); // receivers may do anything, also close this connection
    CameraIoScope scope;
    emit errorOccurred(QStringLiteral("无法打开设备: ") + path);
    return false;
}

void HIDManager::closeDevice()
{
    QMutexLocker locker(&m_mutex);
    closeLocked();
}

bool HIDManager::isOpen()
{
    QMutexLocker locker(&m_mutex);
    return m_device != nullptr;
}

void HIDManager::waitForDeviceClose(int timeoutMs)
{
    hidLog(INFO, QStringLiteral("等待设备关闭，超时=%1ms").arg(timeoutMs));
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        {
            QMutexLocker locker(&m_mutex);
            if (!m_device)
                break;
        }
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    {
        QMutexLocker locker(&m_mutex);
        if (m_device) {
            LogManager::instance()->log(WARNING, "Error", QStringLiteral("设备关闭超时，强制关闭"));
            m_backend->close(m_device);
            m_device = nullptr;
        }
    }
    hidLog(INFO, QStringLiteral("设备关闭完成"));
}

int HIDManager::writeData(const QByteArray &data)
{
    QMutexLocker locker(&m_mutex);
    if (!m_device) {
        hidLog(CRITICAL, QStringLiteral("尝试写入数据时设备未打开"));
        return -1;
    }
    const int result =
        m_backend->write(m_device, reinterpret_cast<const unsigned char *>(data.constData()), size_t(data.size()));
    if (result < 0) {
        const QString text = m_backend->errorText(m_device);
        hidLog(CRITICAL, QStringLiteral("写入失败: %1").arg(text));
        locker.unlock();
        CameraIoScope scope;
        emit errorOccurred(QStringLiteral("写入失败: ") + text);
    }
    return result;
}

QByteArray HIDManager::readData(int timeoutMs, void *arg)
{
    // The packet is delivered after the lock is released, and no receiver may run a
    // nested event loop until the read is over.
    CameraIoScope scope;
    QMutexLocker locker(&m_mutex);
    QByteArray buffer(kReportSize, '\0');
    if (!m_device) {
        hidLog(CRITICAL, QStringLiteral("尝试读取数据时设备未打开"));
        return buffer;
    }
    const int result = m_backend->readTimeout(m_device, reinterpret_cast<unsigned char *>(buffer.data()),
                                              size_t(kReportSize), timeoutMs);
    if (result > 0) {
        buffer.resize(qMin(result, int(kReportSize)));
        locker.unlock();
        emit dataReceived(buffer, arg);
        return buffer;
    }
    if (result < 0) {
        const QString text = m_backend->errorText(m_device);
        hidLog(CRITICAL, QStringLiteral("读取失败: %1").arg(text));
        locker.unlock();
        emit errorOccurred(QStringLiteral("读取失败: ") + text);
    }
    buffer.fill('\0', kReportSize); // a time-out or an error yields a clean zero report
    return buffer;
}
