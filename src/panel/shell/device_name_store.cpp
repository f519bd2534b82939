#include "device_name_store.h"

#include "app_paths.h"

#include <QDebug>
#include <QSettings>

QString DeviceNameStore::filePath()
{
    return AppPaths::filesDir() + "/device_names.ini";
}

QMap<QString, QString> DeviceNameStore::load()
{
    QMap<QString, QString> names;
    QSettings ini(filePath(), QSettings::IniFormat);
    ini.beginGroup("DeviceNames");
    for (const QString &key : ini.childKeys()) {
        // A line "=name" gives an empty key: no camera has it, and it could not be
        // saved again.
        if (!key.isEmpty())
            names[key] = ini.value(key).toString();
    }
    ini.endGroup();
    qDebug() << "设备名称映射已加载，共" << names.size() << "条记录";
    return names;
}

void DeviceNameStore::save(const QMap<QString, QString> &names)
{
    if (names.isEmpty())
        return;
    QSettings ini(filePath(), QSettings::IniFormat);
    ini.beginGroup("DeviceNames");
    ini.remove("");
    for (auto it = names.cbegin(); it != names.cend(); ++it)
        ini.setValue(it.key(), it.value());
    ini.endGroup();
    ini.sync();
    qDebug() << "设备名称映射已保存到:" << filePath() << "，共" << names.size() << "条";
}
