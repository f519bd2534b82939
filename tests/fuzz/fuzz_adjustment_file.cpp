// The palette's adjustment file on any text: a refused file leaves the state alone;
// one that loads gives counts, tables, points and a table the palette can use, and
// the cube and image-processor table can be built from it.
#include "adjustment_file.h"
#include "fuzz_target.h"

#include <QByteArray>

KESTRANE_FUZZ_TARGET(adjustment_file) {
    PaletteState current;
    current.deltaSaturation = PaletteTable(current.numAngles, QVector<float>(current.numRadii, 0.25f));
    current.deltaHue = current.deltaSaturation;
    current.hisiOutput = PaletteLut::zeroHisiTable();
    PaletteState result = current;
    result.numAngles = -1;
    QString error;
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    if (AdjustmentFile::parse(text, current, &result, &error) != AdjustmentFile::ParseResult::Ok) {
        FUZZ_CHECK(result.numAngles == -1 && !error.isEmpty());
        return 0;
    }
    FUZZ_CHECK(result.numAngles >= 1 && result.numAngles <= AdjustmentFile::kMaxAngles);
    FUZZ_CHECK(result.numRadii >= 1 && result.numRadii <= AdjustmentFile::kMaxRadii);
    for (const PaletteTable *t : {&result.deltaSaturation, &result.deltaHue}) {
        FUZZ_CHECK(t->size() == result.numAngles);
        for (const QVector<float> &row : *t)
            FUZZ_CHECK(row.size() >= result.numRadii);
    }
    FUZZ_CHECK(result.controlPoints.size() <= AdjustmentFile::kMaxControlPoints);
    for (const ControlPoint &p : result.controlPoints)
        FUZZ_CHECK(p.angleIdx >= 0 && p.angleIdx < result.numAngles && p.radiusIdx >= 0 &&
                   p.radiusIdx < result.numRadii);
    FUZZ_CHECK(result.hisiOutput.size() == PaletteLut::kHisiRows);
    for (const QList<quint32> &row : result.hisiOutput)
        FUZZ_CHECK(row.size() == PaletteLut::kHisiWords);

    QVector<QRgb> cube;
    PaletteLut::generateCube(result.deltaSaturation, result.deltaHue, result.numAngles, result.numRadii,
                             &cube);
    const HisiTable table = PaletteLut::toHisiTable(cube, result.deltaSaturation, result.deltaHue,
                                                    result.numAngles, result.numRadii);
    FUZZ_CHECK(table.size() == PaletteLut::kHisiRows);
    FUZZ_CHECK(AdjustmentFile::toJson(result).size() > 0);
    return 0;
}
