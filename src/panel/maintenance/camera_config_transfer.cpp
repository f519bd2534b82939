#include "camera_config_transfer.h"

#include "camera_config_file.h"
#include "file_dialogs.h"
#include "log_manager.h"
#include "message_boxes.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

const char *const CameraConfigTransfer::kSettingsKey = "LastConfigPath";

namespace {
const char *const kErrorTitle = QT_TRANSLATE_NOOP("CameraConfigTransfer", "错误");
const char *const kSuccessTitle = QT_TRANSLATE_NOOP("CameraConfigTransfer", "成功");
constexpr int kNoticeMs = 1000;

void showError(QWidget *parent, const QString &text) {
    MessageBoxes::showStyledMessageBox(parent, CameraConfigTransfer::tr(kErrorTitle), text);
}
} // namespace

QString CameraConfigTransfer::lastDirectory() {
    return QSettings().value(QLatin1String(kSettingsKey), QDir::currentPath()).toString();
}

void CameraConfigTransfer::rememberDirectory(const QString &filePath, QString &lastConfigDir) {
    lastConfigDir = QFileInfo(filePath).absolutePath();
    QSettings().setValue(QLatin1String(kSettingsKey), lastConfigDir);
}

void CameraConfigTransfer::logFileRecord(const QString &prefix, const QString &firstLine,
                                         const CameraParams &record) {
    ::logRecord(DEBUG, QStringLiteral("Data"), prefix + QLatin1Char(' ') + firstLine);
    for (const QString &line : CameraConfigFile::logLines(record))
        ::logRecord(DEBUG, QStringLiteral("Data"), prefix + QLatin1Char(' ') + line);
}

bool CameraConfigTransfer::exportConfig(QWidget *parent, CameraParams &record, const Collect &collect,
                                        QString &lastConfigDir) {
    const QString path = FileDialogs::getSaveFileName(parent, tr("导出相机配置"),
                                                      lastDirectory() + QLatin1Char('/') +
                                                          QLatin1String(CameraConfigFile::kDefaultFileName),
                                                      tr(CameraConfigFile::kFilter));
    if (path.isEmpty())
        return false;
    rememberDirectory(path, lastConfigDir);

    // Written beside the target and renamed over it once complete, so a failed export
    // never leaves a truncated or half-written configuration behind. A writable file in
    // a folder that takes no new files is written in place.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        showError(parent, tr("无法创建文件: %1").arg(file.errorString()));
        return false;
    }
    if (collect)
        collect(record);
    logFileRecord(QStringLiteral("[EXPORT_PARAM]"), QStringLiteral("File: %1").arg(path), record);

    const QByteArray image = CameraConfigFile::encode(record);
    // The explicit flush: commit() alone lets a failing flush of the last bytes through.
    if (file.write(image) != image.size() || !file.flush() || !file.commit()) {
        const QString error = file.errorString();
        file.cancelWriting();
        showError(parent, tr("写入文件失败: %1").arg(error));
        return false;
    }
    MessageBoxes::showTimedNotice(parent, tr(kSuccessTitle), tr("相机配置已成功导出到: %1").arg(path),
                                  kNoticeMs);
    return true;
}

bool CameraConfigTransfer::importConfig(QWidget *parent, CameraParams &record, const Apply &apply,
                                        QString &lastConfigDir) {
    const QString path = FileDialogs::getOpenFileName(parent, tr("导入相机配置"), lastDirectory(),
                                                      tr(CameraConfigFile::kFilter));
    if (path.isEmpty())
        return false;
    rememberDirectory(path, lastConfigDir);

    const CameraConfigFile::ReadResult file = CameraConfigFile::read(path);
    switch (file.status) {
    case CameraConfigFile::Status::Ok:
        break;
    case CameraConfigFile::Status::CannotOpen:
        showError(parent, tr("无法打开文件: %1").arg(file.errorString));
        return false;
    case CameraConfigFile::Status::TooShort:
        showError(parent, tr("文件大小不正确，可能已损坏"));
        return false;
    case CameraConfigFile::Status::BadMagic:
        showError(parent, tr("无效的文件格式"));
        return false;
    case CameraConfigFile::Status::ShortRecord:
        showError(parent, tr("读取配置数据失败"));
        return false;
    }

    // Two-argument arg(): a "%2" in the path must not take the size's place.
    logFileRecord(QStringLiteral("[IMPORT_PARAM]"),
                  QStringLiteral("File: %1, size: %2 bytes").arg(path, QString::number(file.fileSize)),
                  file.params);
    record = file.params;
    if (apply)
        apply(record);
    MessageBoxes::showTimedNotice(parent, tr(kSuccessTitle), tr("相机配置已成功导入"), kNoticeMs);
    return true;
}
