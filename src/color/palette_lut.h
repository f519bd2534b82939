#pragma once

#include <QByteArray>
#include <QList>
#include <QRgb>
#include <QString>
#include <QVector>

// One palette table: a row per angle, a cell per ring.
using PaletteTable = QVector<QVector<float>>;
// The image processor's table: 17 rows of 324 words.
using HisiTable = QList<QList<quint32>>;

// The products of a palette adjustment: the 17 × 17 × 17 colour cube and the
// 17 × 324 table of the camera's image processor, with its hexadecimal text.
//
// Angle index i of the tables stands for the hue the wheel paints under it,
// (i / angles + 1/2) mod 1: index 0 lies on the positive x axis, over cyan. The
// angle axis is circular; the ring axis runs from grey (ring 0) to full saturation
// (the last ring).
class PaletteLut {
public:
    static constexpr int kLevels = 17;
    static constexpr int kCubeSize = kLevels * kLevels * kLevels;
    static constexpr int kHisiRows = 17;
    static constexpr int kHisiWords = 324;
    // Words 1 + 17 g + b carry the colours; the rest of a row after them stays 0.
    static constexpr int kHisiColourWords = kLevels * kLevels;
    // Changes at or below this size count as no adjustment at all.
    static constexpr float kAdjustmentThreshold = 0.001f;

    // The 8-bit value of level n: floor(255 n / 16).
    static int levelValue(int level) { return 255 * level / (kLevels - 1); }
    static int cubeIndex(int r, int g, int b) { return (r * kLevels + g) * kLevels + b; }

    // The fractional angle position of a hue in [0, 1]: in [0, angles).
    static float anglePosition(float hue, int angles);
    // Bilinear lookup at angle position t (wrapping) and ring position u (clamped to
    // the last ring). Cells the table lacks read as 0.
    static float lookup(const PaletteTable &table, int angles, int rings, float t, float u);

    // Every level colour passed through the adjustment; `cube` gets kCubeSize entries.
    static void generateCube(const PaletteTable &deltaSaturation, const PaletteTable &deltaHue, int angles,
                             int rings, QVector<QRgb> *cube);

    // Word 0 of row r: bits 31–24 r, bits 15–8 the low byte of trunc(mean ΔS × 100),
    // bits 7–0 the low byte of trunc(mean ΔH).
    static quint32 headerWord(int row, float meanSaturation, float meanHue);
    // The table from a cube (kCubeSize entries) and the adjustment behind it. The
    // colour words stay 0 unless some cell changes by more than the threshold.
    static HisiTable toHisiTable(const QVector<QRgb> &cube, const PaletteTable &deltaSaturation,
                                 const PaletteTable &deltaHue, int angles, int rings);
    static HisiTable zeroHisiTable();

    // Each word as 8 upper-case hex digits and a space, a line per row.
    static QByteArray hexText(const HisiTable &table);
    // Replaces the file; false when it cannot be written.
    static bool writeHexFile(const HisiTable &table, const QString &path);
};
