#pragma once

#include <QMap>
#include <QString>

// The user-given camera names, kept in "device_names.ini" beside the executable
// (group "DeviceNames": name key -> display name).
class DeviceNameStore {
public:
    static QString filePath();
    static QMap<QString, QString> load();
    // An empty map leaves the stored names alone.
    static void save(const QMap<QString, QString> &names);
};
