#include "camera_param_reader.h"

#include "command_texts.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonValue>

const CameraParamReader::ParseErrorTexts CameraParamReader::kChineseParseTexts = {"JSON解析错误:", "错误位置:",
                                                                                  "原始数据:"};
const CameraParamReader::ParseErrorTexts CameraParamReader::kEnglishParseTexts = {
    "JSON parse error:", "error offset :", "original data:"};

const QList<CameraParamReader::KeySlot> &CameraParamReader::videoKeys()
{
    static const QList<KeySlot> keys = {
        {"Luminance", 11},
        {"Contrast", 12},
        {"Saturation", 13},
        {"ucHue", 14},
        {"Hue", 15},
        {"eExposureMode", 21},
        {"BExpCPS", 22},
        {"ucAEWeightLevel", 23},
        {"uiMShutterSpeed", 24},
        {"ucManualIris", 25},
        {"ucAutoGainLimit", 26},
        {"ucManualGain", 27},
        {"bBacklightCompensation", 28},
        {"ucAntiFlicker", 29},
        {"eWDMode", 30},
        {"ucWDRStrength", 31},
        {"u8HDR", 32},
        {"eWBMode", 33},
        {"uAwbTolerance", 34},
        {"u32CTNum", 35},
        {"ucRGGain", 36},
        {"ucBGGain", 37},
        {"ucGGGain", 39},
        {"ucGRGain", 38},
        {"u8RgainTuning", 40},
        {"u8GgainTuning", 41},
        {"u8BgainTuning", 42},
        {"ucFocusMode", 50},
        {"ucAFScene", 53},
        {"ucAFArea", 54},
        {"ucFocusDistanceMin", 55},
        {"nMaxValDistance", 56},
        {"ucAFSen", 57},
        {"u32AIFocus", 59},
        {"eNightMode", 60},
        {"ucNightDayChnSensity", 61},
        {"uc2DNR", 62},
        {"uc3DNR", 63},
        {"uDpSlope", 64},
        {"ucDefogMode", 65},
        {"ucDelFogClass", 66},
        {"ucGammaVal", 67},
        {"u32AIFocus", 59},
        {"u32AIAe", 69},
        {"ucCamCorrection", 68},
        {"ucCamCorrection", 70},
        {"bHorzInvert", 71},
        {"bVertInvert", 72},
        {"ucRotation", 73},
        {"eSceneMode", 74},
        {"ucScreenOrientation", 75},
        {"u32Lut", 77},
        {"ucDigitalZoom", 76},
        {"ucRuddy", 16},
        {"u8Yellow", 43},
        {"u8Orange", 44},
        {"u8Gray", 45},
        {"u8Black", 46},
        {"u8White", 47},
        {"ucFairSkinned", 17},
        {"ucSmotohEn", 18},
        {"Smotohness", 19},
        {"ucUvcEnable", 20},
    };
    return keys;
}

const QList<CameraParamReader::KeySlot> &CameraParamReader::settingKeys()
{
    static const QList<KeySlot> keys = {{"language", CameraParams::Language},
                                        {"trace", CameraParams::Trace},
                                        {"hgr", CameraParams::Gesture}};
    return keys;
}

QList<CameraParamReader::KeySlot> CameraParamReader::without(const QList<KeySlot> &keys, const QList<KeySlot> &dropped)
{
    QList<KeySlot> out;
    for (const KeySlot &k : keys) {
        bool drop = false;
        for (const KeySlot &d : dropped)
            drop = drop || (qstrcmp(k.key, d.key) == 0 && (d.slot < 0 || d.slot == k.slot));
        if (!drop)
            out << k;
    }
    return out;
}

CameraParamReader::Profile CameraParamReader::refreshProfile()
{
    return Profile();
}

CameraParamReader::Profile CameraParamReader::selectionProfile()
{
    Profile p;
    p.videoTexts = kEnglishParseTexts;
    p.videoKeys << KeySlot{"u8LensType", CameraParams::LensType};
    p.logSleep = true;
    return p;
}

int CameraParamReader::readIntField(const QJsonObject &object, const QString &key, int defaultValue)
{
    const auto it = object.constFind(key);
    if (it == object.constEnd()) {
        qWarning() << "缺少字段:" << key;
        return defaultValue;
    }
    const QJsonValue value = it.value();
    if (value.isNull() || value.isUndefined()) {
        qWarning() << "字段值为空:" << key;
        return defaultValue;
    }
    return value.toInt(defaultValue);
}

namespace {
// Parses a reply; on failure writes the three debug records and returns false.
bool parse(const QByteArray &reply, const CameraParamReader::ParseErrorTexts &texts, QJsonDocument *document)
{
    QJsonParseError error;
    *document = QJsonDocument::fromJson(reply, &error);
    if (error.error == QJsonParseError::NoError)
        return true;
    qDebug() << texts.error << error.errorString();
    qDebug() << texts.offset << error.offset;
    qDebug() << texts.data << reply.toHex();
    return false;
}

QJsonObject content(const QJsonDocument &document)
{
    return document.object().value(QStringLiteral("Content")).toObject();
}

bool refused(const QJsonObject &content)
{
    return content.value(QStringLiteral("nResult")).toInt(0) < 0;
}
} // namespace

CameraParamReader::Result CameraParamReader::readVideoReply(const QByteArray &reply, CameraParams &params,
                                                            const Profile &profile)
{
    QJsonDocument document;
    if (!parse(reply, profile.videoTexts, &document))
        return Result::ParseError;
    if (!document.isObject())
        return Result::NotAnObject;
    const QJsonObject c = content(document);
    if (refused(c))
        return Result::Refused;
    const QJsonObject video = c.value(QStringLiteral("VideoParam")).toObject();
    const char *tag = profile.videoParamTag;
    if (tag) {
        qDebug().noquote() << tag << "VideoParam isEmpty:" << (video.isEmpty() ? "true" : "false");
        qDebug().noquote() << tag << "VideoParam keys:" << video.keys().join(QStringLiteral(", "));
    }
    for (const KeySlot &k : profile.videoKeys)
        params[k.slot] = readIntField(video, QLatin1String(k.key), 0);
    if (tag)
        qDebug() << "param.focus_mode:" << params[CameraParams::FocusMode];
    qInfo() << "相机参数解析成功";
    return Result::Stored;
}

CameraParamReader::Result CameraParamReader::readSettingsReply(const QByteArray &reply, CameraParams &params,
                                                               qint32 *sleep, const Profile &profile)
{
    QJsonDocument document;
    if (!parse(reply, kChineseParseTexts, &document))
        return Result::ParseError;
    if (!document.isObject())
        return Result::NotAnObject;
    const QJsonObject c = content(document);
    if (refused(c))
        return Result::Refused;
    for (const KeySlot &k : profile.settingKeys)
        params[k.slot] = readIntField(c, QLatin1String(k.key), 0);
    const int sleepValue = sleep ? readIntField(c, QStringLiteral("sleep"), 0) : 0;
    if (sleep)
        *sleep = sleepValue;
    if (profile.logSettings)
        for (const KeySlot &k : profile.settingKeys)
            qDebug() << (qstrcmp(k.key, "language") == 0 ? "language：" : k.key) << params[k.slot];
    if (profile.logSleep)
        qDebug() << "sleep" << sleepValue;
    return Result::Stored;
}

bool CameraParamReader::read(const Exchange &exchange, const Profile &profile, CameraParams &params, qint32 *sleep,
                             const std::function<void()> &afterVideo)
{
    if (!proceeds(readVideoReply(exchange(CommandTexts::getVideoParam()), params, profile)))
        return false;
    if (afterVideo)
        afterVideo();
    return proceeds(readSettingsReply(exchange(CommandTexts::getSetting()), params, sleep, profile));
}
