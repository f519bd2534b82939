#pragma once

#include "hid_backend.h"
#include "hid_device_info.h"

#include <QByteArray>
#include <QMutex>
#include <QObject>

// Transport for one camera's HID interface: enumerate, open, write one report,
// read one report with a time-out, close. Knows nothing of the command protocol.
class HIDManager : public QObject {
    Q_OBJECT
public:
    static constexpr int kReportSize = 1025;

    explicit HIDManager(QObject *parent = nullptr);
    ~HIDManager() override;

    QList<HidDeviceInfo> enumerateDevices(quint16 vendorId);
    bool openDevice(const QString &path);
    void closeDevice();
    void waitForDeviceClose(int timeoutMs);
    int writeData(const QByteArray &data);
    QByteArray readData(int timeoutMs, void *arg);

    bool isOpen();

    // Managers alive in the process; the HID library is released when the last one goes.
    static int liveManagers();

signals:
    void dataReceived(const QByteArray &data, void *arg);
    void errorOccurred(const QString &error);

private:
    void closeLocked();

    HidBackend::Handle m_device = nullptr;
    QMutex m_mutex;
    HidBackend *m_backend;
};
