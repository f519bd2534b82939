#pragma once

#include "camera_params.h"

#include <QString>

#include <optional>

// Per-camera default profiles, keyed by serial: the camera's record in the
// configuration-file format ("profiles/<serial>.config" under the tool's files
// directory) and whether it is restored when the camera appears
// ("profiles/profiles.ini", group "Restore"). A profile is only ever written by an
// explicit save, never by what a camera reports.
class CameraProfileStore {
public:
    static QString dir();
    // A serial reduced to letters, digits, '-' and '_' (at most 64 of them), usable as
    // a file name or settings key; empty for an empty serial.
    static QString fileKey(const QString &serial);
    // Writes `image` to `path` inside `dir` (created when missing), whole or not at all;
    // the reason of a failure, empty on success. An empty path is a camera without a
    // serial.
    static QString writeWhole(const QString &dir, const QString &path, const QByteArray &image);
    // The profile file of `serial`; serials are reduced to letters, digits, '-' and
    // '_' so that no serial reaches outside the directory. Empty for an empty serial.
    static QString filePath(const QString &serial);

    // Writes the record (whole or not at all) and turns restoring on.
    static bool save(const QString &serial, const CameraParams &record, QString *error = nullptr);
    // The profile's record, when the file is there and whole.
    static std::optional<CameraParams> load(const QString &serial);

    static bool restoreEnabled(const QString &serial);
    static void setRestoreEnabled(const QString &serial, bool enabled);
    // A profile to send when the camera appears: enabled and readable.
    static std::optional<CameraParams> profileToRestore(const QString &serial);
};
