#include "t782_rows.h"

#include "param_page_set.h"

#include <QDebug>

#include <algorithm>
#include <memory>

namespace T782Rows {

const QVector<int> kShutterCodes = {9, 10, 11, 12, 31, 32, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25};

namespace {
const int kShutterDenominators[] = {60,  90,  100, 125, 140,  160,  180,  195,  215, 230,
                                    250, 350, 500, 725, 1000, 1500, 2000, 3000, 4000};

QStringList shutterLabels()
{
    QStringList labels;
    for (int d : kShutterDenominators)
        labels << QString::asprintf("1/%d", d);
    return labels;
}

// A 0…100 slider sent and shown unchanged.
ParamRow plain(const char *key, const char *label, int initial, int slot)
{
    return ParamRow::slider(QString::fromLatin1(key), QString::fromUtf8(label), 0, 100, initial, 1, 0, slot);
}

ParamRow combo(const char *key, const char *label, const QStringList &items, int slot, const QVector<int> &codes = {})
{
    return ParamRow::combo(QString::fromLatin1(key), QString::fromUtf8(label), items, codes, slot);
}

ParamRow toggle(const char *key, const char *label, int slot)
{
    return ParamRow::toggle(QString::fromLatin1(key), QString::fromUtf8(label), slot);
}
} // namespace

int tofChannel(qint32 reported, bool *clamped)
{
    const qint64 sentFirst = kTofFirstChannel + kTofChannelOffset;
    const qint64 sentLast = kTofLastChannel + kTofChannelOffset;
    qint64 channel = reported;
    if (reported >= sentFirst && reported <= sentLast)
        channel = reported - kTofChannelOffset;
    const bool outside = channel < kTofFirstChannel || channel > kTofLastChannel;
    if (clamped)
        *clamped = outside;
    return int(std::clamp<qint64>(channel, kTofFirstChannel, kTofLastChannel));
}

QList<ParamRow> exposureRows(const Hooks &hooks)
{
    ParamRow mode = combo("eExposureMode", QT_TRANSLATE_NOOP("ParamRow", "模式:"), {QT_TRANSLATE_NOOP("ParamRow", "自动曝光"), QT_TRANSLATE_NOOP("ParamRow", "手动曝光"), QT_TRANSLATE_NOOP("ParamRow", "快门优先"), QT_TRANSLATE_NOOP("ParamRow", "光圈优先")}, 21);
    mode.clearBeforeApply = true;
    mode.onChanged = [hooks](ParamPageSet &, int index) {
        if (index >= 0 && hooks.exposureModeChanged)
            hooks.exposureModeChanged(index);
    };

    ParamRow compensation = ParamRow::slider("BExpCPS", QT_TRANSLATE_NOOP("ParamRow", "曝光补偿:"), 0, 100, 50, 1, -50, 22);
    compensation.boxText = [](int v) { return QString::number(v - 50); };

    // Every index is sent as index + 1: no selection sends 0.
    ParamRow area = combo("ucAEWeightLevel", QT_TRANSLATE_NOOP("ParamRow", "曝光区域:"), {QT_TRANSLATE_NOOP("ParamRow", "全局"), QT_TRANSLATE_NOOP("ParamRow", "中部"), QT_TRANSLATE_NOOP("ParamRow", "顶部"), QT_TRANSLATE_NOOP("ParamRow", "底部")}, 23);
    area.sentRule = [](int index, int *sent) {
        *sent = index + 1;
        return true;
    };
    // An index past the items leaves the combo without a selection.
    area.shownRule = [](qint32 level, int) { return level > 0 ? level - 1 : -1; };

    // One slider: the manual gain in manual exposure, the gain limit otherwise. The
    // panel sets it from the record itself (its slot depends on the record's mode).
    ParamRow gain = ParamRow::slider("ucAutoGainLimit", QT_TRANSLATE_NOOP("ParamRow", "增益:"), 0, 255, 16, 1, 0, 26);
    gain.keyRule = hooks.gainTarget;
    gain.sentRule = [hooks](int v, int *sent) {
        *sent = v;
        return !(hooks.gainSwitching && hooks.gainSwitching());
    };

    ParamRow iris = combo("ucManualIris", QT_TRANSLATE_NOOP("ParamRow", "光圈:"),
                          {"F1.5", "F2.0", "F2.4", "F2.8", "F3.4", "F4.0", "F4.8", "F5.6", "F6.8", "F8.0"}, 25);
    iris.shownRule = [](qint32 code, int) { return code == 254 ? 0 : code; };

    return {
        mode,
        compensation,
        area,
        gain,
        toggle("eWDMode", QT_TRANSLATE_NOOP("ParamRow", "宽动态:"), 30),
        plain("ucWDRStrength", QT_TRANSLATE_NOOP("ParamRow", "宽动态水平:"), 0, 31),
        toggle("bBacklightCompensation", QT_TRANSLATE_NOOP("ParamRow", "背光:"), 28),
        combo("uiMShutterSpeed", QT_TRANSLATE_NOOP("ParamRow", "快门速度:"), shutterLabels(), 24, kShutterCodes),
        iris,
    };
}

QList<ParamRow> colourRows()
{
    ParamRow mode = combo("eWBMode", QT_TRANSLATE_NOOP("ParamRow", "白平衡模式:"), {QT_TRANSLATE_NOOP("ParamRow", "手动"), QT_TRANSLATE_NOOP("ParamRow", "自动"), QT_TRANSLATE_NOOP("ParamRow", "一次")}, 33, {0, 1, 3});
    // Codes the combo has no item for (4, 30) leave it without a selection.
    mode.clearBeforeApply = true;
    mode.onChanged = [](ParamPageSet &pages, int index) {
        if (index < 0)
            return;
        const bool manual = index == 0;
        pages.setRowsVisible({"u32CTNum", "ucRGGain", "ucGGGain", "ucBGGain"}, manual);
        pages.setRowsVisible({"u8RgainTuning", "u8GgainTuning", "u8BgainTuning"}, !manual);
    };

    ParamRow temperature = ParamRow::slider("u32CTNum", QT_TRANSLATE_NOOP("ParamRow", "色温:"), 25, 90, 50, 100, 0, 35);
    temperature.boxText = [](int v) { return QStringLiteral("+%1K").arg(v * 100); };
    temperature.boxWidth = 80;

    return {
        mode,
        temperature,
        plain("u8RgainTuning", QT_TRANSLATE_NOOP("ParamRow", "红微调:"), 50, 40),
        plain("u8GgainTuning", QT_TRANSLATE_NOOP("ParamRow", "绿微调:"), 50, 41),
        plain("u8BgainTuning", QT_TRANSLATE_NOOP("ParamRow", "蓝微调:"), 50, 42),
        plain("ucRGGain", QT_TRANSLATE_NOOP("ParamRow", "红增益:"), 50, 36),
        plain("ucGGGain", QT_TRANSLATE_NOOP("ParamRow", "绿增益:"), 50, 39),
        plain("ucBGGain", QT_TRANSLATE_NOOP("ParamRow", "蓝增益:"), 50, 37),
    };
}

QList<ParamRow> imageRows()
{
    QStringList gammas;
    for (int i = 0; i <= 11; ++i)
        gammas << QString::number(i);
    return {
        plain("Luminance", QT_TRANSLATE_NOOP("ParamRow", "亮度:"), 50, 11),
        plain("Contrast", QT_TRANSLATE_NOOP("ParamRow", "对比度:"), 60, 12),
        plain("Saturation", QT_TRANSLATE_NOOP("ParamRow", "饱和度:"), 50, 13),
        plain("ucHue", QT_TRANSLATE_NOOP("ParamRow", "色度:"), 50, 14),
        plain("Hue", QT_TRANSLATE_NOOP("ParamRow", "锐度:"), 80, 15),
        plain("uc2DNR", QT_TRANSLATE_NOOP("ParamRow", "2D降噪:"), 50, 62),
        plain("uc3DNR", QT_TRANSLATE_NOOP("ParamRow", "3D降噪:"), 50, 63),
        combo("ucDefogMode", QT_TRANSLATE_NOOP("ParamRow", "透雾:"), {QT_TRANSLATE_NOOP("ParamRow", "关闭"), QT_TRANSLATE_NOOP("ParamRow", "自动"), QT_TRANSLATE_NOOP("ParamRow", "手动")}, 65),
        plain("ucDelFogClass", QT_TRANSLATE_NOOP("ParamRow", "透雾等级:"), 80, 66),
        combo("ucGammaVal", QT_TRANSLATE_NOOP("ParamRow", "伽马矫正:"), gammas, 67),
        toggle("ucCamCorrection", QT_TRANSLATE_NOOP("ParamRow", "畸变矫正:"), 68),
    };
}

QList<ParamRow> focusRows()
{
    // Neither is shown from the record.
    ParamRow zoom = toggle("ucDigitalZoom", QT_TRANSLATE_NOOP("ParamRow", "数字变倍:"), -1).asSetting();
    ParamRow range = combo("nMaxValDistance", QT_TRANSLATE_NOOP("ParamRow", "激光量程:"), {"1.0m", "1.5m", "2.0m", "3.0m"}, -1).asSetting();

    // Face priority and TOF share focus mode 3 and differ in the AI focus flag.
    ParamRow mode = combo("ucFocusMode", QT_TRANSLATE_NOOP("ParamRow", "聚焦模式:"), {QT_TRANSLATE_NOOP("ParamRow", "人脸优先"), "TOF", QT_TRANSLATE_NOOP("ParamRow", "手动"), QT_TRANSLATE_NOOP("ParamRow", "自动"), QT_TRANSLATE_NOOP("ParamRow", "一次")}, 50, {3, 3, 0, 1, 2});
    mode.companion = {QStringLiteral("u32AIFocus"), {1, 0, 0, 0, 0}, 59};

    ParamRow tof = ParamRow::slider("lvdsFreq", QT_TRANSLATE_NOOP("ParamRow", "TOF通道:"), kTofFirstChannel, kTofLastChannel, 21, 1,
                                    kTofChannelOffset, kTofSlot)
                       .asSetting();
    tof.path = ParamRow::Path::Immediate;
    auto warned = std::make_shared<bool>(false);
    tof.shownRule = [warned](qint32 reported, int) {
        bool clamped = false;
        const int channel = tofChannel(reported, &clamped);
        if (clamped && !*warned) {
            *warned = true;
            qWarning() << "TOF通道超出范围:" << reported << "显示为" << channel;
        }
        return channel;
    };

    return {
        zoom,
        mode,
        tof,
        combo("ucAFScene", QT_TRANSLATE_NOOP("ParamRow", "聚焦策略:"), {QT_TRANSLATE_NOOP("ParamRow", "速度优先"), QT_TRANSLATE_NOOP("ParamRow", "平滑优先")}, 53),
        combo("ucAFArea", QT_TRANSLATE_NOOP("ParamRow", "聚焦区域:"), {QT_TRANSLATE_NOOP("ParamRow", "默认"), QT_TRANSLATE_NOOP("ParamRow", "上"), QT_TRANSLATE_NOOP("ParamRow", "中"), QT_TRANSLATE_NOOP("ParamRow", "下")}, 54, {0, 2, 3, 4}),
        combo("ucFocusDistanceMin", QT_TRANSLATE_NOOP("ParamRow", "聚焦近限:"), {"30cm", "40cm", "50cm", "60cm", "70cm", "80cm"}, 55),
        range,
        combo("ucAFSen", QT_TRANSLATE_NOOP("ParamRow", "灵敏度:"), {QT_TRANSLATE_NOOP("ParamRow", "低"), QT_TRANSLATE_NOOP("ParamRow", "中"), QT_TRANSLATE_NOOP("ParamRow", "高")}, 57),
    };
}

QList<ParamRow> settingsRows(const Hooks &hooks)
{
    ParamRow scene = combo("eSceneMode", QT_TRANSLATE_NOOP("ParamRow", "场景:"), {QT_TRANSLATE_NOOP("ParamRow", "默认"), QT_TRANSLATE_NOOP("ParamRow", "服饰"), QT_TRANSLATE_NOOP("ParamRow", "自定义1"), QT_TRANSLATE_NOOP("ParamRow", "自定义2")}, 74, {1, 3, 4, 5});
    scene.clearBeforeApply = true;
    scene.onChanged = [hooks](ParamPageSet &pages, int index) {
        if (index >= 0 && !pages.isApplying() && hooks.sceneChanged)
            hooks.sceneChanged();
    };
    return {
        scene,
        toggle("bHorzInvert", QT_TRANSLATE_NOOP("ParamRow", "水平镜像:"), 71),
        toggle("bVertInvert", QT_TRANSLATE_NOOP("ParamRow", "垂直镜像:"), 72),
    };
}

QStringList applyOrderBeforeGain()
{
    return {"BExpCPS", "ucAEWeightLevel"};
}

QStringList applyOrderBeforeRecord()
{
    return {"eWDMode", "ucWDRStrength", "bBacklightCompensation", "uiMShutterSpeed", "ucManualIris"};
}

QStringList applyOrderAfterRecord()
{
    return {"eExposureMode", "Luminance",     "Contrast",      "Hue",           "uc2DNR",
            "uc3DNR",        "ucDefogMode",   "ucDelFogClass", "ucGammaVal",    "ucCamCorrection",
            "eWBMode",       "ucRGGain",      "ucGGGain",      "ucBGGain",      "u32CTNum",
            "u8RgainTuning", "u8GgainTuning", "u8BgainTuning", "ucHue",         "Saturation",
            "bHorzInvert",   "bVertInvert",   "ucFocusMode",   "lvdsFreq",      "ucFocusDistanceMin",
            "ucAFScene",     "ucAFArea",      "ucAFSen"};
}

} // namespace T782Rows
