#include "simulated_camera_state.h"

#include <QJsonArray>

#include <cmath>

namespace {
struct KeyDefault {
    const char *key;
    int value;
};

// Neutral values: the sliders' middle (50) for every tone and gain, automatic
// exposure and white balance, AF, the standard scene.
const KeyDefault kVideoDefaults[] = {
    {"Luminance", 50},
    {"Contrast", 50},
    {"Saturation", 50},
    {"ucHue", 50},
    {"Hue", 50},
    {"ucRuddy", 50},
    {"ucFairSkinned", 0},
    {"ucSmotohEn", 0},
    {"Smotohness", 0},
    {"ucUvcEnable", 1},
    {"eExposureMode", 0},
    {"BExpCPS", 0},
    {"ucAEWeightLevel", 1},
    {"uiMShutterSpeed", 8},
    {"ucManualIris", 0},
    {"ucAutoGainLimit", 10},
    {"ucManualGain", 0},
    {"bBacklightCompensation", 0},
    {"ucAntiFlicker", 1},
    {"eWDMode", 0},
    {"ucWDRStrength", 30},
    {"u8HDR", 0},
    {"eWBMode", 1},
    {"uAwbTolerance", 50},
    {"u32CTNum", 5000},
    {"ucRGGain", 50},
    {"ucBGGain", 50},
    {"ucGRGain", 50},
    {"ucGGGain", 50},
    {"u8RgainTuning", 50},
    {"u8GgainTuning", 50},
    {"u8BgainTuning", 50},
    {"u8Yellow", 50},
    {"u8Orange", 50},
    {"u8Gray", 50},
    {"u8Black", 50},
    {"u8White", 50},
    {"ucFocusMode", 3},
    {"u8LensType", 1},
    {"ucAFScene", 0},
    {"ucAFArea", 0},
    {"ucFocusDistanceMin", 0},
    {"nMaxValDistance", 0},
    {"ucAFSen", 1},
    {"u32AIFocus", 0},
    {"eNightMode", 0},
    {"ucNightDayChnSensity", 1},
    {"uc2DNR", 50},
    {"uc3DNR", 20},
    {"uDpSlope", 0},
    {"ucDefogMode", 0},
    {"ucDelFogClass", 50},
    {"ucGammaVal", 5},
    {"ucCamCorrection", 0},
    {"u32AIAe", 0},
    {"bHorzInvert", 0},
    {"bVertInvert", 0},
    {"ucRotation", 0},
    {"eSceneMode", 1},
    {"ucScreenOrientation", 0},
    {"ucDigitalZoom", 0},
    {"u32Lut", 0},
};

const KeyDefault kSettingDefaults[] = {
    {"language", 1}, {"trace", 0}, {"hgr", 0}, {"sleep", 0}, {"lvdsFreq", 100},
};

// The keys a scene switch rewrites, and by how much each scene departs from the
// standard look. Scene 4 (professional) is the crisp, contrasty one.
struct SceneProfile {
    int contrast, saturation, sharpness, nr2d, nr3d, wdr, gamma, black, white, satTableOffset;
};

SceneProfile sceneProfile(int code) {
    switch (code) {
    case 1:
        return {50, 50, 50, 50, 20, 30, 5, 50, 50, 0};
    case 4:
        return {56, 58, 62, 30, 40, 45, 3, 46, 54, 8};
    default: {
        const int k = code % 5; // a distinct but stable look for the other scenes
        return {50 + k, 50 + 2 * k, 50 + k, 50 - 3 * k, 20 + 2 * k, 30 + k, 5 - (k % 3), 50 - k, 50 + k, k};
    }
    }
}

// The tones the camera derives from its saturation table and back: each governs the
// table point of its hue (red 0°, orange 30°, yellow 60°), which sits as far from its
// default as the tone sits from neutral. A tone that changes sets its point; a table
// whose point changed sets the tone.
struct ToneLink {
    const char *key;
    int point;
};
const ToneLink kToneLinks[] = {{"ucRuddy", 0}, {"u8Orange", 2}, {"u8Yellow", 4}};
constexpr int kToneNeutral = 50;
constexpr int kToneMin = 0;
constexpr int kToneMax = 100;

bool integral(const QJsonValue &v, int *out) {
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (!std::isfinite(d) || std::floor(d) != d || d < -2147483648.0 || d > 2147483647.0)
        return false;
    *out = int(d);
    return true;
}
} // namespace

SimulatedCameraState::SimulatedCameraState() {
    resetImage();
    resetSettings();
    m_hue = defaultHueTable();
    m_sat = defaultSatTable();
}

const QStringList &SimulatedCameraState::videoParamKeys() {
    static const QStringList keys = [] {
        QStringList k;
        for (const auto &d : kVideoDefaults)
            k << QLatin1String(d.key);
        return k;
    }();
    return keys;
}

int SimulatedCameraState::defaultVideoParam(const QString &key) {
    for (const auto &d : kVideoDefaults)
        if (key == QLatin1String(d.key))
            return d.value;
    return 0;
}

const QVector<int> &SimulatedCameraState::defaultHueTable() {
    static const QVector<int> table = {-3, -6,  -9,  -10, 0,  -1, -1, 0, 0, -13, -11, 0,
                                       0,  -10, -11, -10, -7, -8, 0,  0, 0, 0,   0,   0};
    return table;
}

const QVector<int> &SimulatedCameraState::defaultSatTable() {
    static const QVector<int> table = {56, 64, 64, 64, 64, 64, 78, 73, 76, 94, 89, 64,
                                       64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64};
    return table;
}

bool SimulatedCameraState::isValidSceneMode(int code) {
    return code >= 1 && code <= 13 && code != 2;
}

QJsonObject SimulatedCameraState::result(int nResult) {
    QJsonObject o;
    o.insert(QStringLiteral("nResult"), nResult);
    return o;
}

void SimulatedCameraState::resetImage() {
    const int lens = m_video.value(QStringLiteral("u8LensType"), 1);
    for (const auto &d : kVideoDefaults)
        m_video.insert(QLatin1String(d.key), d.value);
    m_video.insert(QStringLiteral("u8LensType"), lens); // the lens is hardware, not a setting
}

void SimulatedCameraState::resetSettings() {
    m_settings.clear();
    for (const auto &d : kSettingDefaults)
        m_settings.insert(QLatin1String(d.key), d.value);
}

void SimulatedCameraState::applyScene(int code) {
    const SceneProfile p = sceneProfile(code);
    m_video.insert(QStringLiteral("Contrast"), p.contrast);
    m_video.insert(QStringLiteral("Saturation"), p.saturation);
    m_video.insert(QStringLiteral("Hue"), p.sharpness);
    m_video.insert(QStringLiteral("uc2DNR"), p.nr2d);
    m_video.insert(QStringLiteral("uc3DNR"), p.nr3d);
    m_video.insert(QStringLiteral("ucWDRStrength"), p.wdr);
    m_video.insert(QStringLiteral("ucGammaVal"), p.gamma);
    m_video.insert(QStringLiteral("u8Black"), p.black);
    m_video.insert(QStringLiteral("u8White"), p.white);
    m_sat = defaultSatTable();
    for (int &v : m_sat)
        v = qBound(kSatMin, v + p.satTableOffset, kSatMax);
}

void SimulatedCameraState::setVideoParamValue(const QString &key, int value) {
    const bool sceneChange = key == QLatin1String("eSceneMode") && m_video.value(key) != value;
    m_video.insert(key, value);
    if (sceneChange)
        applyScene(value);
}

QJsonObject SimulatedCameraState::getVideoParam() const {
    QJsonObject params;
    for (auto it = m_video.cbegin(); it != m_video.cend(); ++it)
        params.insert(it.key(), it.value());
    QJsonObject content = result(0);
    content.insert(QStringLiteral("ChanNum"), 0);
    content.insert(QStringLiteral("VideoParam"), params);
    return content;
}

QJsonObject SimulatedCameraState::setVideoParam(const QJsonObject &content) {
    const QJsonValue v = content.value(QStringLiteral("VideoParam"));
    if (!v.isObject())
        return result(-1);
    const QJsonObject params = v.toObject();
    int nResult = 0;
    for (auto it = params.begin(); it != params.end(); ++it) {
        if (!m_video.contains(it.key()))
            continue; // the camera ignores keys it does not know
        int value = 0;
        if (!integral(it.value(), &value)) {
            nResult = -1;
            continue;
        }
        if (it.key() == QLatin1String("eSceneMode") && !isValidSceneMode(value)) {
            nResult = -1;
            continue;
        }
        const bool changed = m_video.value(it.key()) != value;
        setVideoParamValue(it.key(), value);
        for (const ToneLink &link : kToneLinks)
            if (changed && it.key() == QLatin1String(link.key))
                m_sat[link.point] =
                    qBound(kSatMin, defaultSatTable()[link.point] + value - kToneNeutral, kSatMax);
    }
    return result(nResult);
}

QJsonObject SimulatedCameraState::getSetting() const {
    QJsonObject content = result(0);
    for (auto it = m_settings.cbegin(); it != m_settings.cend(); ++it)
        content.insert(it.key(), it.value());
    return content;
}

QJsonObject SimulatedCameraState::setSetting(const QJsonObject &content) {
    static constexpr int kMaxSettings = 64; // a flash page, not an open-ended store
    int nResult = content.isEmpty() ? -1 : 0;
    for (auto it = content.begin(); it != content.end(); ++it) {
        int value = 0;
        if (it.key().isEmpty() || it.key().size() > 32 || !integral(it.value(), &value)) {
            nResult = -1;
            continue;
        }
        if (!m_settings.contains(it.key()) && m_settings.size() >= kMaxSettings) {
            nResult = -1;
            continue;
        }
        m_settings.insert(it.key(), value);
    }
    return result(nResult);
}

bool SimulatedCameraState::readTable(const QJsonObject &content, const char *member, int min, int max,
                                     QVector<int> *out) {
    const QJsonValue v = content.value(QLatin1String(member));
    if (!v.isArray())
        return false;
    const QJsonArray a = v.toArray();
    if (a.size() != kHsvPoints)
        return false;
    QVector<int> table;
    table.reserve(kHsvPoints);
    for (const QJsonValue &e : a) {
        int value = 0;
        if (!integral(e, &value))
            return false;
        table << qBound(min, value, max);
    }
    *out = table;
    return true;
}

QJsonObject SimulatedCameraState::getHueTable() const {
    QJsonObject content = result(0);
    QJsonArray a;
    for (int v : m_hue)
        a.append(v);
    content.insert(QStringLiteral("HSV_Hue"), a);
    return content;
}

QJsonObject SimulatedCameraState::getSatTable() const {
    QJsonObject content = result(0);
    QJsonArray a;
    for (int v : m_sat)
        a.append(v);
    content.insert(QStringLiteral("HSV_Sta"), a);
    return content;
}

QJsonObject SimulatedCameraState::setHueTable(const QJsonObject &content) {
    return result(readTable(content, "HSV_Hue", kHueMin, kHueMax, &m_hue) ? 0 : -1);
}

QJsonObject SimulatedCameraState::setSatTable(const QJsonObject &content) {
    const QVector<int> before = m_sat;
    if (!readTable(content, "HSV_Sta", kSatMin, kSatMax, &m_sat))
        return result(-1);
    for (const ToneLink &link : kToneLinks)
        if (m_sat[link.point] != before[link.point])
            m_video.insert(
                QLatin1String(link.key),
                qBound(kToneMin, kToneNeutral + m_sat[link.point] - defaultSatTable()[link.point], kToneMax));
    return result(0);
}

QJsonObject SimulatedCameraState::setPaletteData(const QJsonObject &content) {
    const QJsonValue v = content.value(QStringLiteral("PaletteData"));
    if (!v.isArray())
        return result(-1);
    const QJsonArray rows = v.toArray();
    if (rows.isEmpty() || rows.size() > kPaletteRows)
        return result(-1);
    QList<QList<quint32>> table;
    for (const QJsonValue &row : rows) {
        if (!row.isArray() || row.toArray().size() > kPaletteWords)
            return result(-1);
        QList<quint32> words;
        for (const QJsonValue &w : row.toArray()) {
            const double d = w.toDouble(-1);
            if (!w.isDouble() || d < 0 || d > 4294967295.0 || std::floor(d) != d)
                return result(-1);
            words << quint32(d);
        }
        table << words;
    }
    m_palette = table;
    ++m_paletteUploads;
    return result(0);
}

int SimulatedCameraState::resetDefaults(int config) {
    switch (config) {
    case 1:
        resetImage();
        return 0;
    case 255:
        resetImage();
        resetSettings();
        m_hue = defaultHueTable();
        m_sat = defaultSatTable();
        m_palette.clear();
        return 0;
    case 35:
        m_hue = defaultHueTable();
        return 0;
    case 36:
        m_sat = defaultSatTable();
        return 0;
    default:
        return -1;
    }
}
