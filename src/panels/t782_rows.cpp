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
    ParamRow mode = combo("eExposureMode", "模式:", {"自动曝光", "手动曝光", "快门优先", "光圈优先"}, 21);
    mode.clearBeforeApply = true;
    mode.onChanged = [hooks](ParamPageSet &, int index) {
        if (index >= 0 && hooks.exposureModeChanged)
            hooks.exposureModeChanged(index);
    };

    ParamRow compensation = ParamRow::slider("BExpCPS", "曝光补偿:", 0, 100, 50, 1, -50, 22);
    compensation.boxText = [](int v) { return QString::number(v - 50); };

    // Every index is sent as index + 1: no selection sends 0.
    ParamRow area = combo("ucAEWeightLevel", "曝光区域:", {"全局", "中部", "顶部", "底部"}, 23);
    area.sentRule = [](int index, int *sent) {
        *sent = index + 1;
        return true;
    };
    // An index past the items leaves the combo without a selection.
    area.shownRule = [](qint32 level, int) { return level > 0 ? level - 1 : -1; };

    // One slider: the manual gain in manual exposure, the gain limit otherwise. The
    // panel sets it from the record itself (its slot depends on the record's mode).
    ParamRow gain = ParamRow::slider("ucAutoGainLimit", "增益:", 0, 255, 16, 1, 0, 26);
    gain.keyRule = hooks.gainTarget;
    gain.sentRule = [hooks](int v, int *sent) {
        *sent = v;
        return !(hooks.gainSwitching && hooks.gainSwitching());
    };

    ParamRow iris = combo("ucManualIris", "光圈:",
                          {"F1.5", "F2.0", "F2.4", "F2.8", "F3.4", "F4.0", "F4.8", "F5.6", "F6.8", "F8.0"}, 25);
    iris.shownRule = [](qint32 code, int) { return code == 254 ? 0 : code; };

    return {
        mode,
        compensation,
        area,
        gain,
        toggle("eWDMode", "宽动态:", 30),
        plain("ucWDRStrength", "宽动态水平:", 0, 31),
        toggle("bBacklightCompensation", "背光:", 28),
        combo("uiMShutterSpeed", "快门速度:", shutterLabels(), 24, kShutterCodes),
        iris,
    };
}

QList<ParamRow> colourRows()
{
    ParamRow mode = combo("eWBMode", "白平衡模式:", {"手动", "自动", "一次"}, 33, {0, 1, 3});
    // Codes the combo has no item for (4, 30) leave it without a selection.
    mode.clearBeforeApply = true;
    mode.onChanged = [](ParamPageSet &pages, int index) {
        if (index < 0)
            return;
        const bool manual = index == 0;
        pages.setRowsVisible({"u32CTNum", "ucRGGain", "ucGGGain", "ucBGGain"}, manual);
        pages.setRowsVisible({"u8RgainTuning", "u8GgainTuning", "u8BgainTuning"}, !manual);
    };

    ParamRow temperature = ParamRow::slider("u32CTNum", "色温:", 25, 90, 50, 100, 0, 35);
    temperature.boxText = [](int v) { return QStringLiteral("+%1K").arg(v * 100); };
    temperature.boxWidth = 80;

    return {
        mode,
        temperature,
        plain("u8RgainTuning", "红微调:", 50, 40),
        plain("u8GgainTuning", "绿微调:", 50, 41),
        plain("u8BgainTuning", "蓝微调:", 50, 42),
        plain("ucRGGain", "红增益:", 50, 36),
        plain("ucGGGain", "绿增益:", 50, 39),
        plain("ucBGGain", "蓝增益:", 50, 37),
    };
}

QList<ParamRow> imageRows()
{
    QStringList gammas;
    for (int i = 0; i <= 11; ++i)
        gammas << QString::number(i);
    return {
        plain("Luminance", "亮度:", 50, 11),
        plain("Contrast", "对比度:", 60, 12),
        plain("Saturation", "饱和度:", 50, 13),
        plain("ucHue", "色度:", 50, 14),
        plain("Hue", "锐度:", 80, 15),
        plain("uc2DNR", "2D降噪:", 50, 62),
        plain("uc3DNR", "3D降噪:", 50, 63),
        combo("ucDefogMode", "透雾:", {"关闭", "自动", "手动"}, 65),
        plain("ucDelFogClass", "透雾等级:", 80, 66),
        combo("ucGammaVal", "伽马矫正:", gammas, 67),
        toggle("ucCamCorrection", "畸变矫正:", 68),
    };
}

QList<ParamRow> focusRows()
{
    // Neither is shown from the record.
    ParamRow zoom = toggle("ucDigitalZoom", "数字变倍:", -1).asSetting();
    ParamRow range = combo("nMaxValDistance", "激光量程:", {"1.0m", "1.5m", "2.0m", "3.0m"}, -1).asSetting();

    // Face priority and TOF share focus mode 3 and differ in the AI focus flag.
    ParamRow mode = combo("ucFocusMode", "聚焦模式:", {"人脸优先", "TOF", "手动", "自动", "一次"}, 50, {3, 3, 0, 1, 2});
    mode.companion = {QStringLiteral("u32AIFocus"), {1, 0, 0, 0, 0}, 59};

    ParamRow tof = ParamRow::slider("lvdsFreq", "TOF通道:", kTofFirstChannel, kTofLastChannel, 21, 1,
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
        combo("ucAFScene", "聚焦策略:", {"速度优先", "平滑优先"}, 53),
        combo("ucAFArea", "聚焦区域:", {"默认", "上", "中", "下"}, 54, {0, 2, 3, 4}),
        combo("ucFocusDistanceMin", "聚焦近限:", {"30cm", "40cm", "50cm", "60cm", "70cm", "80cm"}, 55),
        range,
        combo("ucAFSen", "灵敏度:", {"低", "中", "高"}, 57),
    };
}

QList<ParamRow> settingsRows(const Hooks &hooks)
{
    ParamRow scene = combo("eSceneMode", "场景:", {"默认", "服饰", "自定义1", "自定义2"}, 74, {1, 3, 4, 5});
    scene.clearBeforeApply = true;
    scene.onChanged = [hooks](ParamPageSet &pages, int index) {
        if (index >= 0 && !pages.isApplying() && hooks.sceneChanged)
            hooks.sceneChanged();
    };
    return {
        scene,
        toggle("bHorzInvert", "水平镜像:", 71),
        toggle("bVertInvert", "垂直镜像:", 72),
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
