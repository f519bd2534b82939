#pragma once

#include "camera_params.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// The camera configuration file: the 4-byte magic 0xC0DE1234 (big-endian, C0 DE 12 34),
// then the 3080 bytes of a CameraParams record exactly as CameraParams::toBytes() gives
// them (slot 0 first, each slot little-endian). Written files are exactly kFileSize
// bytes; a reader takes the first kFileSize bytes and ignores anything after them.
// There is no version field and no checksum.
class CameraConfigFile {
public:
    static constexpr quint32 kMagic = 0xC0DE1234u;
    static constexpr int kStreamVersion = 19; // the QDataStream version of the magic
    static constexpr int kHeaderSize = 4;
    static constexpr int kFileSize = kHeaderSize + CameraParams::kByteSize; // 3084

    static const char *const kDefaultFileName; // "camera.config"
    static const char *const kFilter;          // the file dialogs' filter

    enum class Status {
        Ok,
        CannotOpen,  // the file could not be opened for reading
        TooShort,    // fewer than kFileSize bytes
        BadMagic,    // the first four bytes are not the magic
        ShortRecord, // the record could not be read whole
    };

    // The bytes of a file holding `params`.
    static QByteArray encode(const CameraParams &params);
    // Reads a file image; `params` is written only when the result is Ok.
    static Status decode(const QByteArray &image, CameraParams &params);

    struct ReadResult {
        Status status = Status::CannotOpen;
        CameraParams params; // the file's record when status is Ok, zeros otherwise
        qint64 fileSize = 0; // as the file system reports it
        QString errorString; // the file's error text when it could not be opened
    };
    // Reads at most kFileSize bytes, however large the file is.
    static ReadResult read(const QString &path);

    // The record as the file log prints it, one entry per line, without the
    // "[EXPORT_PARAM]"/"[IMPORT_PARAM]" prefix: named slots as "label=value" under the
    // file labels of CameraParams::layout(), then the two colour tables.
    static QStringList logLines(const CameraParams &params);
};
