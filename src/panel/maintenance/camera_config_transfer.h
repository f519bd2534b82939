#pragma once

#include "camera_params.h"

#include <QCoreApplication>
#include <QString>

#include <functional>

class QWidget;

// The "导出配置" and "导入配置" flows of a panel: the file dialog, the remembered
// directory, the file log, every box, and the hand-over of the record to the panel.
// The panel supplies its record and how its controls fill it or are filled from it,
// so the control panel and the model panels share one implementation.
class CameraConfigTransfer {
    Q_DECLARE_TR_FUNCTIONS(CameraConfigTransfer)

public:
    static const char *const kSettingsKey; // "LastConfigPath", in the application's user settings

    // Brings `record` up to date from the panel's controls.
    using Collect = std::function<void(CameraParams &record)>;
    // Shows `record` on the panel's controls as coming from a file, sending every change.
    using Apply = std::function<void(const CameraParams &record)>;

    // Asks for a file and writes `record` to it, collected from the controls just before.
    // An existing file is replaced only by a completely written one. Returns whether the
    // file was written.
    static bool exportConfig(QWidget *parent, CameraParams &record, const Collect &collect,
                             QString &lastConfigDir);

    // Asks for a file and, when it is a whole configuration file, copies its record over
    // `record` and applies it. A refused file leaves `record` and the camera untouched.
    // Returns whether a record was applied.
    static bool importConfig(QWidget *parent, CameraParams &record, const Apply &apply,
                             QString &lastConfigDir);

    // The remembered directory (the current directory when none is).
    static QString lastDirectory();

private:
    static void rememberDirectory(const QString &filePath, QString &lastConfigDir);
    static void logFileRecord(const QString &prefix, const QString &firstLine, const CameraParams &record);
};
