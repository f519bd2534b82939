#include "k310a_rows.h"

#include "camera_params.h"

namespace K310aRows {

const QVector<int> kShutterCodes = {8, 30, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26};

const QStringList kShutterLabels = [] {
    QStringList labels;
    for (int d : {30, 50, 60, 90, 100, 125, 180, 195, 215, 230, 250, 350, 500, 725, 1000, 1500, 2000, 3000, 4000, 6000})
        labels << QString::asprintf("1/%d", d);
    return labels;
}();

QList<ParamRow> imageRows(const BuiltInParamRows::Callbacks &cb)
{
    QList<ParamRow> rows = BuiltInParamRows::imageRows(cb);
    if (ParamRow *shutter = findRow(rows, "uiMShutterSpeed")) {
        shutter->label = QT_TRANSLATE_NOOP("ParamRow", "快门");
        shutter->items = kShutterLabels;
        shutter->codes = kShutterCodes;
    }
    if (ParamRow *iso = findRow(rows, "ucManualGain"))
        iso->mirror = ParamRow::Mirror::Both;
    // A scene code without an item leaves the combo empty rather than showing the
    // version of the camera shown before.
    if (ParamRow *scene = findRow(rows, BuiltInParamRows::kSceneKey)) {
        scene->applySilently = true;
        scene->clearBeforeApply = true;
    }
    // "色温", the two tuning rows, then the three gains.
    QList<ParamRow> tuning;
    for (const char *key : {"u8RgainTuning", "u8BgainTuning"})
        for (int i = 0; i < rows.size(); ++i)
            if (rows[i].key == QLatin1String(key))
                tuning << rows.takeAt(i--);
    int at = 0;
    while (at < rows.size() && rows[at].key != QLatin1String("ucRGGain"))
        ++at;
    for (int i = 0; i < tuning.size(); ++i)
        rows.insert(at + i, tuning[i]);
    return rows;
}

ParamRow noise2d()
{
    return ParamRow::slider("uc2DNR", QT_TRANSLATE_NOOP("ParamRow", "2D降噪"), 0, 10, 5, 10, 0, 62);
}

ParamRow noise3d()
{
    return ParamRow::slider("uc3DNR", QT_TRANSLATE_NOOP("ParamRow", "3D降噪"), 0, 10, 2, 10, 0, 63);
}

ParamRow horizontalMirror()
{
    return ParamRow::toggle("bHorzInvert", QT_TRANSLATE_NOOP("ParamRow", "水平镜像"), CameraParams::HorizontalInvert);
}

ParamRow verticalMirror()
{
    return ParamRow::toggle("bVertInvert", QT_TRANSLATE_NOOP("ParamRow", "垂直镜像"), CameraParams::VerticalInvert);
}

ParamRow sleepSwitch()
{
    // "sleep" lives outside the record.
    return ParamRow::toggle("sleep", QT_TRANSLATE_NOOP("ParamRow", "系统休眠"), -1).asSetting();
}

ParamRow uvcSwitch()
{
    return ParamRow::toggle("ucUvcEnable", "UVC", 20);
}

CameraParamReader::Profile readerProfile()
{
    CameraParamReader::Profile profile;
    profile.videoKeys = CameraParamReader::without(
        CameraParamReader::videoKeys(), {{"ucGGGain", -1}, {"nMaxValDistance", -1}, {"ucCamCorrection", 68}});
    return profile;
}

} // namespace K310aRows
