#include "camera_profile_restorer.h"

#include "camera_profile_store.h"
#include "log_manager.h"
#include "message_boxes.h"

#include <QTimer>

CameraProfileRestorer::CameraProfileRestorer(IndexedExchange exchange, QObject *parent)
    : QObject(parent), m_exchange(std::move(exchange))
{
}

void CameraProfileRestorer::beginRefresh()
{
    m_previous = m_current;
    m_current.clear();
}

void CameraProfileRestorer::deviceIdentified(int index, const QString &serial)
{
    if (serial.isEmpty() || m_current.contains(serial))
        return;
    m_current.insert(serial);
    if (m_previous.contains(serial) || !CameraProfileStore::restoreEnabled(serial))
        return;
    // Not from inside the identity exchange: queued behind it.
    QTimer::singleShot(0, this, [this, index, serial] { restore(index, serial); });
}

void CameraProfileRestorer::restore(int index, const QString &serial)
{
    const std::optional<CameraParams> profile = CameraProfileStore::profileToRestore(serial);
    if (!profile) {
        ::logRecord(WARNING, QStringLiteral("Profile"),
                    QStringLiteral("[PROFILE] %1: restore is on but %2 is missing or damaged")
                        .arg(serial, CameraProfileStore::filePath(serial)));
        emit profileRestored(serial, false);
        return;
    }
    ::logRecord(INFO, QStringLiteral("Profile"),
                QStringLiteral("[PROFILE] %1: restoring the default profile on device %2").arg(serial).arg(index));
    const QString error = CameraRecordIo::write(
        [this, index](quint32 cmdId, const QByteArray &text) { return m_exchange(index, cmdId, text); }, *profile);
    if (error.isEmpty())
        ::logRecord(INFO, QStringLiteral("Profile"), QStringLiteral("[PROFILE] %1: default profile restored").arg(serial));
    else
        ::logRecord(WARNING, QStringLiteral("Profile"),
                    QStringLiteral("[PROFILE] %1: restoring stopped: %2").arg(serial, error));
    emit profileRestored(serial, error.isEmpty());
}

bool CameraProfileRestorer::saveWithNotice(QWidget *parent, const QString &serial, const CameraParams &record)
{
    if (serial.isEmpty()) {
        MessageBoxes::showStyledMessageBox(parent, tr("错误"), tr("请先选择相机"));
        return false;
    }
    QString error;
    if (!CameraProfileStore::save(serial, record, &error)) {
        ::logRecord(WARNING, QStringLiteral("Profile"), QStringLiteral("[PROFILE] %1: saving failed: %2").arg(serial, error));
        MessageBoxes::showStyledMessageBox(parent, tr("错误"), tr("保存默认配置失败: %1").arg(error));
        return false;
    }
    ::logRecord(INFO, QStringLiteral("Profile"),
                QStringLiteral("[PROFILE] %1: default profile saved to %2").arg(serial, CameraProfileStore::filePath(serial)));
    MessageBoxes::showTimedNotice(parent, tr("成功"), tr("已保存为默认配置，连接时将自动恢复"), 1000);
    return true;
}
