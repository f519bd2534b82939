#include "camera_config_file.h"

#include <QDataStream>
#include <QFile>
#include <QHash>
#include <QLocale>

#include <initializer_list>

const char *const CameraConfigFile::kDefaultFileName = "camera.config";
const char *const CameraConfigFile::kFilter = QT_TRANSLATE_NOOP("CameraConfigTransfer", "配置文件 (*.config);;所有文件 (*.*)");

namespace {
// The slots of each line of the file log, in print order.
const std::initializer_list<std::initializer_list<int>> kLogLines = {
    {21, 22, 23, 24, 25, 26}, {27, 28, 29, 30, 31, 32}, {33, 34, 35, 36, 38, 37}, {39, 40, 41, 42},
    {4, 5, 6, 8, 9, 10},      {11, 12, 13, 14, 15},     {16, 17, 18, 19, 20},     {71, 72, 73, 74, 75},
    {43, 44, 45, 46, 47},     {62, 63, 64, 65, 66},     {67, 68, 69, 70},         {50, 51, 52, 53, 54},
    {55, 56, 57, 58, 59},     {48, 49, 76, 77},         {60, 61, 78, 79, 80},
};

QString fileLabel(int slot) {
    static const QHash<int, QString> labels = [] {
        QHash<int, QString> out;
        for (const CameraParams::SlotInfo &info : CameraParams::layout())
            out.insert(info.slot, QString::fromLatin1(info.fileLabel));
        return out;
    }();
    return labels.value(slot);
}

QString tableLine(const CameraParams &params, int firstSlot) {
    QStringList values;
    for (int value : params.table(firstSlot))
        values << QString::number(value);
    return fileLabel(firstSlot) + QStringLiteral(":[") + values.join(QLatin1Char(',')) + QLatin1Char(']');
}
} // namespace

QByteArray CameraConfigFile::encode(const CameraParams &params) {
    QByteArray image;
    image.reserve(kFileSize);
    QDataStream out(&image, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out << kMagic;
    const QByteArray record = params.toBytes();
    out.writeRawData(record.constData(), int(record.size()));
    return image;
}

CameraConfigFile::Status CameraConfigFile::decode(const QByteArray &image, CameraParams &params) {
    if (image.size() < kFileSize)
        return Status::TooShort;
    QDataStream in(image);
    in.setVersion(kStreamVersion);
    quint32 magic = 0;
    in >> magic;
    if (in.status() != QDataStream::Ok || magic != kMagic)
        return Status::BadMagic;
    QByteArray record(CameraParams::kByteSize, '\0');
    if (in.readRawData(record.data(), int(record.size())) != CameraParams::kByteSize)
        return Status::ShortRecord;
    CameraParams read;
    if (!read.fromBytes(record))
        return Status::ShortRecord;
    params = read;
    return Status::Ok;
}

CameraConfigFile::ReadResult CameraConfigFile::read(const QString &path) {
    ReadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.errorString = file.errorString();
        return result;
    }
    result.fileSize = file.size();
    // Only the head is read: a large file chosen by mistake costs no memory.
    const QByteArray image = file.read(kFileSize);
    file.close();
    result.status = decode(image, result.params);
    return result;
}

QStringList CameraConfigFile::logLines(const CameraParams &params) {
    QStringList lines;
    for (const auto &line : kLogLines) {
        QStringList fields;
        for (int slot : line) {
            const QString value =
                slot == CameraParams::SaturationFactor
                    ? QString::number(params.saturationFactor(), 'g', QLocale::FloatingPointShortest)
                    : QString::number(params[slot]);
            fields << fileLabel(slot) + QLatin1Char('=') + value;
        }
        lines << fields.join(QStringLiteral(", "));
    }
    lines << tableLine(params, CameraParams::HueTable) << tableLine(params, CameraParams::SaturationTable);
    return lines;
}
