// Configuration import on any file: a file is either refused, leaving the record
// alone, or read whole; what was read writes back to the same bytes and prints.
#include "camera_config_file.h"
#include "fuzz_environment.h"
#include "fuzz_target.h"

#include <QFile>

#include <cstring>

KESTRANE_FUZZ_TARGET(config_import)
{
    FuzzEnvironment::ensure();
    const QByteArray image(reinterpret_cast<const char *>(data), int(size));
    CameraParams params;
    params[5] = 12345;
    const CameraParams before = params;
    const CameraConfigFile::Status status = CameraConfigFile::decode(image, params);
    if (status != CameraConfigFile::Status::Ok) {
        FUZZ_CHECK(std::memcmp(&params, &before, sizeof params) == 0);
        FUZZ_CHECK(image.size() < CameraConfigFile::kFileSize || !image.startsWith("\xC0\xDE\x12\x34"));
        return 0;
    }
    FUZZ_CHECK(CameraConfigFile::encode(params) == image.left(CameraConfigFile::kFileSize));
    FUZZ_CHECK(!CameraConfigFile::logLines(params).isEmpty());

    // The same bytes through the file reader.
    const QString path = FuzzEnvironment::directory() + QStringLiteral("/fuzz.config");
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(image);
    file.close();
    const CameraConfigFile::ReadResult read = CameraConfigFile::read(path);
    FUZZ_CHECK(read.status == CameraConfigFile::Status::Ok);
    FUZZ_CHECK(std::memcmp(&read.params, &params, sizeof params) == 0);
    return 0;
}
