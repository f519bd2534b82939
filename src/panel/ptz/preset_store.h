#pragma once

#include <QKeySequence>
#include <QMap>
#include <QString>

#include <optional>

// The preset names and shortcuts of cameras whose user chose to keep them, keyed by
// serial: "presets/<serial>.json" under the tool's files directory. A camera is
// remembered while its file exists; the file is written whole or not at all.
class PresetStore {
public:
    struct Book {
        QMap<int, QString> names;
        QMap<int, QKeySequence> shortcuts;
    };
    static constexpr int kMaxPresetId = 255;
    static constexpr int kMaxNameLength = 32;
    static constexpr qint64 kMaxFileSize = 64 * 1024;

    // A bare Enter, Return or Escape (the keypad's too) answers the shortcut dialog;
    // it is no chord of a preset shortcut.
    static bool isAnswerKey(QKeyCombination chord);
    // The sequence without such chords (files written before kept the Return that
    // confirmed the dialog).
    static QKeySequence withoutAnswerKeys(const QKeySequence &sequence);

    static QString dir();
    // Empty for an empty serial.
    static QString filePath(const QString &serial);
    static bool remembered(const QString &serial);
    // The stored book; entries with preset ids outside 1..kMaxPresetId, empty names or
    // unreadable sequences are dropped, answer keys are taken out of sequences, names are cut to kMaxNameLength. Nothing for a
    // missing, oversized or malformed file.
    static std::optional<Book> load(const QString &serial);
    static bool save(const QString &serial, const Book &book, QString *error = nullptr);
    static void forget(const QString &serial);
};
