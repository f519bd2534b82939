// A camera's stored preset names and shortcuts ("presets/<serial>.json"), whatever the
// file holds: what is read stays within the bounds of the preset menus, and whatever was
// read is written and read back the same.
#include "fuzz_environment.h"
#include "fuzz_target.h"
#include "preset_store.h"

#include <QDir>
#include <QFile>

KESTRANE_FUZZ_TARGET(preset_store)
{
    FuzzEnvironment::ensure();
    const QString serial = QStringLiteral("SN-FUZZ");
    QDir().mkpath(PresetStore::dir());
    {
        QFile file(PresetStore::filePath(serial));
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const std::optional<PresetStore::Book> book = PresetStore::load(serial);
    if (!book)
        return 0;
    for (auto it = book->names.cbegin(); it != book->names.cend(); ++it)
        FUZZ_CHECK(it.key() >= 1 && it.key() <= PresetStore::kMaxPresetId && !it.value().isEmpty() &&
                   it.value().size() <= PresetStore::kMaxNameLength);
    for (auto it = book->shortcuts.cbegin(); it != book->shortcuts.cend(); ++it)
        FUZZ_CHECK(it.key() >= 1 && it.key() <= PresetStore::kMaxPresetId && !it.value().isEmpty() &&
                   book->shortcuts.keys(it.value()).size() == 1);
    FUZZ_CHECK(PresetStore::save(serial, *book));
    const std::optional<PresetStore::Book> again = PresetStore::load(serial);
    FUZZ_CHECK(again && again->names == book->names && again->shortcuts == book->shortcuts);
    return 0;
}
