#include "device_name_store.h"

#include "app_paths.h"

#include <QDebug>
#include <QSettings>

namespace {
// QSettings takes "/" and "\\" in a key as group separators, so a serial ending in one
// would be stored as a group and never read back: they (and "%") are written escaped.
const QList<QPair<QString, QString>> kEscapes = {{"%", "%25"}, {"/", "%2F"}, {"\\", "%5C"}};

QString escapedKey(const QString &key)
{
    QString out;
    for (const QChar c : key) {
        QString piece(c);
        for (const auto &[plain, escaped] : kEscapes)
            if (piece == plain)
                piece = escaped;
        out += piece;
    }
    return out;
}

QString plainKey(const QString &stored)
{
    QString out;
    for (int i = 0; i < stored.size(); ++i) {
        bool decoded = false;
        for (const auto &[plain, escaped] : kEscapes)
            if (!decoded && stored.mid(i, 3).compare(escaped, Qt::CaseInsensitive) == 0) {
                out += plain;
                i += 2;
                decoded = true;
            }
        if (!decoded)
            out += stored[i];
    }
    return out;
}
} // namespace

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
            names[plainKey(key)] = ini.value(key).toString();
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
        ini.setValue(escapedKey(it.key()), it.value());
    ini.endGroup();
    ini.sync();
    qDebug() << "设备名称映射已保存到:" << filePath() << "，共" << names.size() << "条";
}
