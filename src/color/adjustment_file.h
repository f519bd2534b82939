#pragma once

#include "palette_state.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// The palette's JSON file. Reading refuses what the palette could not have written
// or could not show: it is bounded in size and counts, and a refused file changes
// nothing.
class AdjustmentFile {
    Q_DECLARE_TR_FUNCTIONS(AdjustmentFile)

public:
    static constexpr qint64 kMaxFileBytes = 8 * 1024 * 1024;
    static constexpr int kMaxAngles = 48;
    static constexpr int kMaxRadii = 24;
    static constexpr int kMaxControlPoints = kMaxAngles * kMaxRadii;
    // Table values and positions beyond this size are refused; real ones stay far below.
    static constexpr double kMaxMagnitude = 1.0e6;

    // The document of a state, keys sorted, indented.
    static QByteArray toJson(const PaletteState &state);
    // Replaces the file only when the whole text was written. On failure *error says why.
    static bool save(const PaletteState &state, const QString &path, QString *error);

    // Reads `path` over `current`: the counts, every cell the file's counts cover,
    // the points and the table come from the file; cells beyond the file's ring count
    // keep their current values. On failure `*result` is left alone and *error says why,
    // in the language of the user interface (the log says it in Chinese).
    static bool load(const QString &path, const PaletteState &current, PaletteState *result, QString *error);
    enum class ParseResult { Ok, NotJson, Refused };
    // `*logText`, when given, receives a refusal of the file's values as the log writes it.
    static ParseResult parse(const QByteArray &text, const PaletteState &current, PaletteState *result,
                             QString *error, QString *logText = nullptr);
};
