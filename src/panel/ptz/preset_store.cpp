#include "preset_store.h"

#include "app_paths.h"
#include "camera_profile_store.h"

#include <QDebug>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

bool PresetStore::isAnswerKey(QKeyCombination chord)
{
    const Qt::Key key = chord.key();
    return (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) &&
           (chord.keyboardModifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

QKeySequence PresetStore::withoutAnswerKeys(const QKeySequence &sequence)
{
    const QKeyCombination none = QKeyCombination::fromCombined(0);
    QKeyCombination kept[4] = {none, none, none, none};
    int count = 0;
    for (int i = 0; i < sequence.count(); ++i)
        if (!isAnswerKey(sequence[i]))
            kept[count++] = sequence[i];
    return QKeySequence(kept[0], kept[1], kept[2], kept[3]);
}

QString PresetStore::dir()
{
    return AppPaths::filesDir() + QStringLiteral("/presets");
}

QString PresetStore::filePath(const QString &serial)
{
    const QString key = CameraProfileStore::fileKey(serial);
    return key.isEmpty() ? QString() : dir() + QLatin1Char('/') + key + QStringLiteral(".json");
}

bool PresetStore::remembered(const QString &serial)
{
    const QString path = filePath(serial);
    return !path.isEmpty() && QFile::exists(path);
}

std::optional<PresetStore::Book> PresetStore::load(const QString &serial)
{
    QFile file(filePath(serial));
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    if (file.size() > kMaxFileSize) {
        qWarning() << "Preset file too large, ignored:" << file.fileName();
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.read(kMaxFileSize), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        qWarning() << "Preset file unreadable, ignored:" << file.fileName() << parseError.errorString();
        return std::nullopt;
    }
    Book book;
    auto forEachPreset = [&](const char *member, const auto &take) {
        const QJsonObject entries = document.object().value(QLatin1String(member)).toObject();
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            bool ok = false;
            const int id = it.key().toInt(&ok);
            const QString text = it.value().toString().trimmed();
            if (ok && id >= 1 && id <= kMaxPresetId && !text.isEmpty())
                take(id, text);
        }
    };
    forEachPreset("names", [&](int id, const QString &text) {
        // Cut where the name reads back the same: not inside a character, not before a space.
        QString name = text.left(kMaxNameLength);
        if (name.size() < text.size() && name.back().isHighSurrogate())
            name.chop(1);
        book.names.insert(id, name.trimmed());
    });
    forEachPreset("shortcuts", [&](int id, const QString &text) {
        const QKeySequence read = QKeySequence::fromString(text, QKeySequence::PortableText);
        const QKeySequence sequence = withoutAnswerKeys(read);
        // Only combinations of known keys: an unknown word ("Ct+1") would bind a key
        // nobody can press and could not be written back.
        bool known = !sequence.isEmpty();
        for (int i = 0; known && i < sequence.count(); ++i)
            known = sequence[i].key() != Qt::Key_unknown && sequence[i].key() != 0;
        known = known && QKeySequence::fromString(read.toString(QKeySequence::PortableText),
                                                   QKeySequence::PortableText) == read;
        if (known && !book.shortcuts.key(sequence))
            book.shortcuts.insert(id, sequence);
    });
    return book;
}

bool PresetStore::save(const QString &serial, const Book &book, QString *error)
{
    QJsonObject names;
    for (auto it = book.names.cbegin(); it != book.names.cend(); ++it)
        names.insert(QString::number(it.key()), it.value());
    QJsonObject shortcuts;
    for (auto it = book.shortcuts.cbegin(); it != book.shortcuts.cend(); ++it)
        shortcuts.insert(QString::number(it.key()), it.value().toString(QKeySequence::PortableText));
    const QByteArray image =
        QJsonDocument(QJsonObject{{QStringLiteral("names"), names}, {QStringLiteral("shortcuts"), shortcuts}}).toJson();

    const QString failure = CameraProfileStore::writeWhole(dir(), filePath(serial), image);
    if (failure.isEmpty())
        return true;
    qWarning() << "Preset names and shortcuts not saved:" << failure;
    if (error)
        *error = failure;
    return false;
}

void PresetStore::forget(const QString &serial)
{
    const QString path = filePath(serial);
    if (!path.isEmpty())
        QFile::remove(path);
}
