#include "builtin_param_rows.h"

#include "camera_params.h"
#include "param_page_set.h"

#include <QComboBox>

const QVector<int> kShutterCodes = {7, 8, 30, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};

const QStringList kShutterLabels = [] {
    QStringList labels;
    for (int d : {30, 60, 90, 100, 125, 195, 215, 230, 250, 350, 500, 725, 1000, 1500, 2000, 3000, 4000, 6000, 10000})
        labels << QString::asprintf("1/%d", d);
    return labels;
}();

const QVector<int> kWhiteBalanceCodes = {0, 1, 3, 4, 5, 30};

const char *const BuiltInParamRows::kSceneKey = "eSceneMode";

namespace {
const QStringList kIsoLabels = {"100",  "125",  "160",  "200",  "250",  "320",  "400",
                                "500",  "640",  "800",  "1000", "1250", "1600", "2000",
                                "2500", "3200", "4000", "5000", "6400", "8000", "9600"};

ParamRow colourTone(const QString &key, const QString &label, int slot, const BuiltInParamRows::Callbacks &cb)
{
    ParamRow r = ParamRow::centred(key, label, slot);
    // Showing the camera's own record is not a change of tone: the tables are read
    // along with it. A file's tones are changes: the camera derives its tables anew.
    r.onChanged = [cb](ParamPageSet &pages, int) {
        if (!pages.isShowingCameraRecord() && cb.colourToneChanged)
            cb.colourToneChanged();
    };
    return r;
}
} // namespace

void BuiltInParamRows::exposureModeChanged(ParamPageSet &pages, int index)
{
    if (index == 0 || index == 1)
        pages.setRowsVisible({"uiMShutterSpeed", "ucManualGain"}, index == 1);
}

void BuiltInParamRows::whiteBalanceChanged(ParamPageSet &pages, int index)
{
    if (index != 0 && index != 1)
        return;
    const bool manual = index == 0;
    pages.setRowsVisible({"u32CTNum", "ucRGGain", "ucGRGain", "ucBGGain"}, manual);
    pages.setRowsVisible({"u8RgainTuning", "u8BgainTuning"}, !manual);
}

void BuiltInParamRows::focusModeShown(ParamPageSet &pages, bool faceTracking, const Callbacks &callbacks)
{
    if (callbacks.showFaceModelArea)
        callbacks.showFaceModelArea(faceTracking);
    if (ParamControl *area = pages.control("ucAFArea"))
        area->combo->setEnabled(!faceTracking);
}

QList<ParamRow> BuiltInParamRows::imageRows(const Callbacks &cb)
{
    ParamRow scene = ParamRow::combo(kSceneKey, QT_TRANSLATE_NOOP("ParamRow", "图像版本"), {QT_TRANSLATE_NOOP("ParamRow", "标准"), QT_TRANSLATE_NOOP("ParamRow", "专业")}, {1, 4}, CameraParams::SceneMode);
    scene.onChanged = [cb](ParamPageSet &pages, int index) {
        if (index != 0 && index != 1)
            return;
        const int code = index == 0 ? 1 : 4;
        if (cb.storeSlot)
            cb.storeSlot(CameraParams::SceneMode, code);
        if (!pages.isApplying() && cb.reloadAfterSceneChange)
            cb.reloadAfterSceneChange();
    };

    ParamRow exposure = ParamRow::combo("eExposureMode", QT_TRANSLATE_NOOP("ParamRow", "曝光"), {QT_TRANSLATE_NOOP("ParamRow", "自动曝光"), QT_TRANSLATE_NOOP("ParamRow", "手动曝光")}, {}, CameraParams::ExposureMode);
    exposure.clearBeforeApply = true;
    exposure.onChanged = &BuiltInParamRows::exposureModeChanged;

    ParamRow shutter = ParamRow::combo("uiMShutterSpeed", QT_TRANSLATE_NOOP("ParamRow", "快门速度"), kShutterLabels, kShutterCodes, CameraParams::ShutterSpeed);

    // The built-in page sends the ISO step but neither shows nor collects it: it keeps
    // the user's last choice.
    ParamRow iso = ParamRow::combo("ucManualGain", "ISO", kIsoLabels, {}, CameraParams::ManualGain);
    iso.mirror = ParamRow::Mirror::SendOnly;

    ParamRow whiteBalance = ParamRow::combo("eWBMode", QT_TRANSLATE_NOOP("ParamRow", "白平衡"), {QT_TRANSLATE_NOOP("ParamRow", "手动"), QT_TRANSLATE_NOOP("ParamRow", "自动")}, kWhiteBalanceCodes,
                                            CameraParams::WhiteBalanceMode);
    whiteBalance.clearBeforeApply = true;
    whiteBalance.onChanged = &BuiltInParamRows::whiteBalanceChanged;

    ParamRow temperature = ParamRow::slider("u32CTNum", QT_TRANSLATE_NOOP("ParamRow", "色温"), 25, 90, 50, 100, 0, CameraParams::ColourTemperature);
    temperature.kind = ParamRow::Kind::ColorTemperature;

    return {
        scene,
        exposure,
        shutter,
        iso,
        whiteBalance,
        temperature,
        ParamRow::centred("ucRGGain", QT_TRANSLATE_NOOP("ParamRow", "红(R)"), 36),
        ParamRow::centred("ucGRGain", QT_TRANSLATE_NOOP("ParamRow", "绿(G)"), 38),
        ParamRow::centred("ucBGGain", QT_TRANSLATE_NOOP("ParamRow", "蓝(B)"), 37),
        ParamRow::centred("u8RgainTuning", QT_TRANSLATE_NOOP("ParamRow", "红(R)"), 40),
        ParamRow::centred("u8BgainTuning", QT_TRANSLATE_NOOP("ParamRow", "蓝(B)"), 42),
        colourTone("u8Yellow", QT_TRANSLATE_NOOP("ParamRow", "黄色"), 43, cb),
        colourTone("u8Orange", QT_TRANSLATE_NOOP("ParamRow", "橙色"), 44, cb),
        colourTone("ucRuddy", QT_TRANSLATE_NOOP("ParamRow", "红润"), 16, cb),
        ParamRow::centred("u8Gray", QT_TRANSLATE_NOOP("ParamRow", "灰色"), 45),
        ParamRow::centred("u8Black", QT_TRANSLATE_NOOP("ParamRow", "黑色等级"), 46),
        ParamRow::centred("u8White", QT_TRANSLATE_NOOP("ParamRow", "高光"), 47),
        ParamRow::centred("Luminance", QT_TRANSLATE_NOOP("ParamRow", "亮度"), CameraParams::Brightness),
        ParamRow::centred("Contrast", QT_TRANSLATE_NOOP("ParamRow", "对比度"), CameraParams::Contrast),
        ParamRow::centred("Saturation", QT_TRANSLATE_NOOP("ParamRow", "饱和度"), CameraParams::Saturation),
        ParamRow::centred("Hue", QT_TRANSLATE_NOOP("ParamRow", "锐度"), CameraParams::Sharpness),
        ParamRow::slider("ucWDRStrength", "WDR", 0, 100, 30, 1, 0, CameraParams::WdrStrength),
    };
}

QList<ParamRow> BuiltInParamRows::focusRows(const Callbacks &cb)
{
    ParamRow mode = ParamRow::combo("ucFocusMode", QT_TRANSLATE_NOOP("ParamRow", "模式"), {QT_TRANSLATE_NOOP("ParamRow", "AF(前景聚焦)"), QT_TRANSLATE_NOOP("ParamRow", "MF(手动聚焦)"), QT_TRANSLATE_NOOP("ParamRow", "人脸追焦")}, {3, 0, 6},
                                    CameraParams::FocusMode);
    mode.onChanged = [cb](ParamPageSet &pages, int index) {
        focusModeShown(pages, index == 2, cb);
        // The face lists are asked for even while the send guard is closed.
        if (index == 2 && cb.requestFaceModels)
            cb.requestFaceModels();
    };
    mode.afterApply = [cb](ParamPageSet &pages, int slotValue) { focusModeShown(pages, slotValue == 6, cb); };

    return {
        mode,
        ParamRow::combo("ucAFArea", QT_TRANSLATE_NOOP("ParamRow", "区域"), {QT_TRANSLATE_NOOP("ParamRow", "默认"), QT_TRANSLATE_NOOP("ParamRow", "全部"), QT_TRANSLATE_NOOP("ParamRow", "上"), QT_TRANSLATE_NOOP("ParamRow", "中"), QT_TRANSLATE_NOOP("ParamRow", "下")}, {}, CameraParams::AfArea),
        ParamRow::combo("ucAFSen", QT_TRANSLATE_NOOP("ParamRow", "灵敏度"), {QT_TRANSLATE_NOOP("ParamRow", "低"), QT_TRANSLATE_NOOP("ParamRow", "中"), QT_TRANSLATE_NOOP("ParamRow", "高")}, {}, CameraParams::AfSensitivity),
    };
}

QList<ParamRow> BuiltInParamRows::settingsRows(const Callbacks &)
{
    // The two flip switches cross over by name: "水平翻转" drives "bVertInvert".
    return {
        ParamRow::combo("language", QT_TRANSLATE_NOOP("ParamRow", "语言"), {"ENG", QT_TRANSLATE_NOOP("ParamRow", "中文")}, {}, CameraParams::Language).asSetting(),
        ParamRow::slider("uc2DNR", QT_TRANSLATE_NOOP("ParamRow", "2D降噪"), 0, 10, 5, 10, 0, 62),
        ParamRow::slider("uc3DNR", QT_TRANSLATE_NOOP("ParamRow", "3D降噪"), 0, 10, 2, 10, 0, 63),
        ParamRow::toggle("trace", QT_TRANSLATE_NOOP("ParamRow", "跟踪"), CameraParams::Trace).asSetting(),
        ParamRow::toggle("hgr", QT_TRANSLATE_NOOP("ParamRow", "手势"), CameraParams::Gesture).asSetting(),
        ParamRow::toggle("bVertInvert", QT_TRANSLATE_NOOP("ParamRow", "水平翻转"), CameraParams::VerticalInvert),
        ParamRow::toggle("bHorzInvert", QT_TRANSLATE_NOOP("ParamRow", "垂直翻转"), CameraParams::HorizontalInvert),
    };
}

QList<ParamRow> BuiltInParamRows::pick(const QList<ParamRow> &rows, const QStringList &keys)
{
    QList<ParamRow> out;
    for (const QString &key : keys)
        for (const ParamRow &r : rows)
            if (r.key == key)
                out << r;
    return out;
}

QList<ParamRow> BuiltInParamRows::exposureRows(const Callbacks &cb)
{
    return pick(imageRows(cb), {"eExposureMode", "uiMShutterSpeed", "ucManualGain", "ucWDRStrength"});
}

QList<ParamRow> BuiltInParamRows::colourRows(const Callbacks &cb)
{
    return pick(imageRows(cb), {"eWBMode", "u32CTNum", "ucRGGain", "ucGRGain", "ucBGGain", "u8RgainTuning",
                                "u8BgainTuning", "Saturation", "u8Yellow", "u8Orange", "ucRuddy"});
}

QList<ParamRow> BuiltInParamRows::noiseRows(const Callbacks &cb)
{
    return pick(settingsRows(cb), {"uc2DNR", "uc3DNR"});
}

QStringList BuiltInParamRows::toneKeys()
{
    return {"u8Yellow", "u8Orange", "ucRuddy"};
}

QStringList BuiltInParamRows::applyOrder()
{
    return {"ucWDRStrength", "uiMShutterSpeed", "eExposureMode", "Luminance", "Contrast", "Hue",
            "bVertInvert",   "bHorzInvert",     "eWBMode",       "ucRGGain",  "ucGRGain", "ucBGGain",
            "u32CTNum",      "u8RgainTuning",   "u8BgainTuning", "Saturation", "ucRuddy", "u8Yellow",
            "u8Orange",      "u8Gray",          "u8Black",       "u8White",   "uc2DNR",   "uc3DNR",
            "ucFocusMode",   "ucAFArea",        "ucAFSen",       "language",  "trace",    "hgr"};
}
