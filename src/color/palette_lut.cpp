#include "palette_lut.h"

#include "hsv_colour.h"

#include <QFile>

#include <cmath>

namespace {

float cell(const PaletteTable &table, int angle, int ring) {
    if (angle < 0 || angle >= table.size())
        return 0.0f;
    const QVector<float> &row = table[angle];
    return ring >= 0 && ring < row.size() ? row[ring] : 0.0f;
}

// The low byte, in two's complement, of a value truncated towards zero.
quint32 lowByteOfTruncated(double value) {
    if (!std::isfinite(value))
        return 0;
    const double t = std::trunc(std::fmod(value, 256.0));
    return quint32(qint32(t)) & 0xFFu;
}

} // namespace

float PaletteLut::anglePosition(float hue, int angles) {
    float shifted = hue - 0.5f;
    shifted -= std::floor(shifted);
    float t = shifted * float(angles);
    if (!(t < float(angles))) // rounding can reach the end of the circle
        t = 0.0f;
    return t;
}

float PaletteLut::lookup(const PaletteTable &table, int angles, int rings, float t, float u) {
    if (angles <= 0 || rings <= 0)
        return 0.0f;
    const int i0 = qBound(0, int(std::floor(t)), angles - 1);
    const int i1 = (i0 + 1) % angles;
    const int j0 = qBound(0, int(std::floor(u)), rings - 1);
    const int j1 = qMin(j0 + 1, rings - 1);
    const float ft = t - float(i0);
    const float fu = u - float(j0);
    return (cell(table, i0, j0) * (1 - ft) + cell(table, i1, j0) * ft) * (1 - fu) +
           (cell(table, i0, j1) * (1 - ft) + cell(table, i1, j1) * ft) * fu;
}

void PaletteLut::generateCube(const PaletteTable &deltaSaturation, const PaletteTable &deltaHue, int angles,
                              int rings, QVector<QRgb> *cube) {
    cube->resize(kCubeSize);
    QRgb *out = cube->data();
    for (int r = 0; r < kLevels; ++r) {
        for (int g = 0; g < kLevels; ++g) {
            for (int b = 0; b < kLevels; ++b) {
                float h, s, v;
                HsvColour::fromRgb(levelValue(r) / 255.0f, levelValue(g) / 255.0f, levelValue(b) / 255.0f, &h,
                                   &s, &v);
                const float t = anglePosition(h, angles);
                const float u = float(rings - 1) * s;
                float s2 = s + lookup(deltaSaturation, angles, rings, t, u);
                if (s2 > 1.0f)
                    s2 = 1.0f;
                if (!(s2 > 0.0f))
                    s2 = 0.0f;
                float h2 = h + lookup(deltaHue, angles, rings, t, u) / 360.0f;
                h2 -= std::floor(h2);
                if (!(h2 < 1.0f))
                    h2 = 0.0f;
                QRgb rgb = qRgb(0, 0, 0);
                HsvColour::toRgb(h2, s2, v, &rgb);
                *out++ = rgb;
            }
        }
    }
}

quint32 PaletteLut::headerWord(int row, float meanSaturation, float meanHue) {
    return (quint32(row & 0xFF) << 24) | (lowByteOfTruncated(double(meanSaturation) * 100.0) << 8) |
           lowByteOfTruncated(meanHue);
}

HisiTable PaletteLut::zeroHisiTable() {
    return HisiTable(kHisiRows, QList<quint32>(kHisiWords, 0u));
}

HisiTable PaletteLut::toHisiTable(const QVector<QRgb> &cube, const PaletteTable &deltaSaturation,
                                  const PaletteTable &deltaHue, int angles, int rings) {
    HisiTable table = zeroHisiTable();
    float sumSaturation = 0.0f;
    float sumHue = 0.0f;
    bool adjusted = false;
    for (int i = 0; i < angles; ++i) {
        for (int j = 0; j < rings; ++j) {
            const float ds = cell(deltaSaturation, i, j);
            const float dh = cell(deltaHue, i, j);
            sumSaturation += ds;
            sumHue += dh;
            if (std::fabs(ds) > kAdjustmentThreshold || std::fabs(dh) > kAdjustmentThreshold)
                adjusted = true;
        }
    }
    const int cells = angles * rings;
    const float meanSaturation = cells > 0 ? sumSaturation / float(cells) : 0.0f;
    const float meanHue = cells > 0 ? sumHue / float(cells) : 0.0f;
    const bool haveCube = cube.size() == kCubeSize;
    for (int r = 0; r < kHisiRows; ++r) {
        QList<quint32> &row = table[r];
        row[0] = headerWord(r, meanSaturation, meanHue);
        if (!adjusted || !haveCube)
            continue;
        for (int k = 0; k < kHisiColourWords; ++k)
            row[1 + k] = cube[r * kHisiColourWords + k] & 0x00FFFFFFu;
    }
    return table;
}

QByteArray PaletteLut::hexText(const HisiTable &table) {
    static const char digits[] = "0123456789ABCDEF";
    QByteArray text;
    text.reserve(table.size() * (kHisiWords * 9 + 1));
    for (const QList<quint32> &row : table) {
        for (quint32 word : row) {
            char token[9];
            for (int k = 0; k < 8; ++k)
                token[k] = digits[(word >> (28 - 4 * k)) & 0xF];
            token[8] = ' ';
            text.append(token, 9);
        }
        text.append('\n');
    }
    return text;
}

bool PaletteLut::writeHexFile(const HisiTable &table, const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate))
        return false;
    const QByteArray text = hexText(table);
    return file.write(text) == text.size();
}
