#include "camera_profile_store.h"

#include "app_paths.h"
#include "camera_config_file.h"

#include <QDir>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSettings>

namespace {
QString iniPath()
{
    return CameraProfileStore::dir() + QStringLiteral("/profiles.ini");
}
} // namespace

QString CameraProfileStore::fileKey(const QString &serial)
{
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9_-]"));
    return QString(serial).replace(unsafe, QStringLiteral("_")).left(64);
}

QString CameraProfileStore::dir()
{
    return AppPaths::filesDir() + QStringLiteral("/profiles");
}

QString CameraProfileStore::filePath(const QString &serial)
{
    const QString name = fileKey(serial);
    return name.isEmpty() ? QString() : dir() + QLatin1Char('/') + name + QStringLiteral(".config");
}

QString CameraProfileStore::writeWhole(const QString &dir, const QString &path, const QByteArray &image)
{
    if (path.isEmpty())
        return QStringLiteral("camera has no serial");
    if (!QDir().mkpath(dir))
        return QStringLiteral("cannot create %1").arg(dir);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size() || !file.flush() || !file.commit())
        return file.errorString();
    return QString();
}

bool CameraProfileStore::save(const QString &serial, const CameraParams &record, QString *error)
{
    const QString failure = writeWhole(dir(), filePath(serial), CameraConfigFile::encode(record));
    if (!failure.isEmpty()) {
        if (error)
            *error = failure;
        return false;
    }
    setRestoreEnabled(serial, true);
    return true;
}

std::optional<CameraParams> CameraProfileStore::load(const QString &serial)
{
    const QString path = filePath(serial);
    if (path.isEmpty() || !QFile::exists(path))
        return std::nullopt;
    const CameraConfigFile::ReadResult file = CameraConfigFile::read(path);
    if (file.status != CameraConfigFile::Status::Ok)
        return std::nullopt;
    return file.params;
}

bool CameraProfileStore::restoreEnabled(const QString &serial)
{
    const QString key = fileKey(serial);
    return !key.isEmpty() && QSettings(iniPath(), QSettings::IniFormat).value(QStringLiteral("Restore/") + key, false).toBool();
}

void CameraProfileStore::setRestoreEnabled(const QString &serial, bool enabled)
{
    const QString key = fileKey(serial);
    if (key.isEmpty())
        return;
    QDir().mkpath(dir());
    QSettings ini(iniPath(), QSettings::IniFormat);
    ini.setValue(QStringLiteral("Restore/") + key, enabled);
    ini.sync();
}

std::optional<CameraParams> CameraProfileStore::profileToRestore(const QString &serial)
{
    if (!restoreEnabled(serial))
        return std::nullopt;
    return load(serial);
}
