#include "firmware_build_check.h"

#include "log_manager.h"

QString FirmwareBuildCheck::message() const
{
    if (!cameBack())
        return tr("设备重启后未能读取版本信息，无法确认固件是否已更新");
    if (changed())
        return tr("固件已更新: 版本日期 %1 → %2").arg(before, after);
    return tr("固件版本日期未改变 (%1)，升级可能未生效").arg(before);
}

void FirmwareBuildCheck::log() const
{
    ::logRecord(changed() ? INFO : WARNING, QStringLiteral("Firmware"),
                QStringLiteral("[FIRMWARE_VERIFY] build date before: %1, after: %2, changed: %3")
                    .arg(before, cameBack() ? after : QStringLiteral("(no answer)"),
                         changed() ? QStringLiteral("yes") : QStringLiteral("no")));
}
