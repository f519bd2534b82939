// The two INI files of the files directory, whatever they hold: the user-given camera
// names ("device_names.ini") and the last firmware directory ("update_path.ini").
#include "app_paths.h"
#include "device_name_store.h"
#include "firmware_upgrade.h"
#include "fuzz_environment.h"
#include "fuzz_input.h"
#include "fuzz_target.h"

#include <QDir>
#include <QFile>

namespace {
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}
} // namespace

KESTRANE_FUZZ_TARGET(ini_files)
{
    FuzzEnvironment::ensure();
    FuzzInput input(data, size);
    const QByteArray names = input.chunk();
    const QByteArray firmware = input.rest();
    const QString dir = AppPaths::filesDir();
    writeFile(DeviceNameStore::filePath(), names);
    writeFile(QDir(dir).filePath(QString::fromLatin1(FirmwareUpgrade::kDirFileName)), firmware);

    const QMap<QString, QString> loaded = DeviceNameStore::load();
    // Whatever was read can be stored and read back.
    DeviceNameStore::save(loaded);
    if (!loaded.isEmpty())
        FUZZ_CHECK(DeviceNameStore::load() == loaded);

    // The firmware directory is always one that exists.
    FUZZ_CHECK(QDir(FirmwareUpgrade::loadFirmwareDir()).exists());
    return 0;
}
