#include "simulated_firmware_upgrade.h"

int SimulatedFirmwareUpgrade::request(int fileType, qint64 fileSize, qint64 nowMs) {
    Q_UNUSED(nowMs)
    m_active = false;
    m_received = 0;
    m_flashStart = -1;
    m_image.clear();
    if (fileType != kFileTypeFirmware || fileSize <= 0) {
        m_fileSize = 0;
        return -1;
    }
    m_fileSize = fileSize;
    m_active = true;
    return 0;
}

bool SimulatedFirmwareUpgrade::receive(const QByteArray &data, qint64 nowMs) {
    if (!m_active || m_flashStart >= 0)
        return false;
    if (m_received + data.size() > m_fileSize) {
        m_active = false;
        m_received = 0;
        m_image.clear();
        return false;
    }
    m_received += data.size();
    if (m_image.size() + data.size() <= kMaxKeptBytes)
        m_image += data;
    if (m_received == m_fileSize)
        m_flashStart = nowMs;
    return true;
}

SimulatedFirmwareUpgrade::Status SimulatedFirmwareUpgrade::status(qint64 nowMs) const {
    if (!m_active)
        return Idle;
    if (m_flashStart >= 0 && nowMs - m_flashStart >= m_flashMs)
        return Complete;
    return Busy;
}

int SimulatedFirmwareUpgrade::progress(qint64 nowMs) const {
    if (!m_active || m_fileSize <= 0)
        return 0;
    if (m_flashStart < 0)
        return int(m_received * 50 / m_fileSize);
    if (m_flashMs == 0)
        return 100;
    return 50 + int(qMin<qint64>(nowMs - m_flashStart, m_flashMs) * 50 / m_flashMs);
}

QJsonObject SimulatedFirmwareUpgrade::report(qint64 nowMs) const {
    QJsonObject o;
    o.insert(QStringLiteral("UpdateStatus"), int(status(nowMs)));
    o.insert(QStringLiteral("Progress"), progress(nowMs));
    return o;
}

bool SimulatedFirmwareUpgrade::finishOnReboot(qint64 nowMs) {
    const bool installed = status(nowMs) == Complete;
    m_active = false;
    m_received = 0;
    m_flashStart = -1;
    m_fileSize = 0;
    return installed;
}
