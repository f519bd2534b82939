#pragma once

#include <QByteArray>
#include <QJsonObject>

// The camera side of a firmware upgrade: a request announces the file size, data
// blocks follow, then the camera writes the image to flash. "UpdateStatus" is 0 when
// idle, 1 while receiving and flashing, 2 when complete; "Progress" runs 0-50 with
// the bytes received and 50-100 over the flashing time.
class SimulatedFirmwareUpgrade {
public:
    enum Status { Idle = 0, Busy = 1, Complete = 2 };

    static constexpr int kFileTypeFirmware = 2;
    static constexpr int kMaxKeptBytes = 4 * 1024 * 1024; // the image kept for tests

    // Returns the nResult of the request.
    int request(int fileType, qint64 fileSize, qint64 nowMs);
    // Data beyond the announced size is refused (false) and the upgrade fails back
    // to idle.
    bool receive(const QByteArray &data, qint64 nowMs);
    // The top-level "UpdateStatus" and "Progress" members.
    QJsonObject report(qint64 nowMs) const;

    Status status(qint64 nowMs) const;
    int progress(qint64 nowMs) const;
    qint64 fileSize() const { return m_fileSize; }
    qint64 received() const { return m_received; }
    QByteArray image() const { return m_image; }
    void setFlashMs(int ms) { m_flashMs = qMax(0, ms); }
    // A reboot ends any upgrade; true when a completed image was installed.
    bool finishOnReboot(qint64 nowMs);

private:
    bool m_active = false;
    qint64 m_fileSize = 0;
    qint64 m_received = 0;
    qint64 m_flashStart = -1;
    int m_flashMs = 5000;
    QByteArray m_image;
};
