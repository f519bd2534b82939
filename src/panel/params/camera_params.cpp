#include "camera_params.h"

#include <QtEndian>

#include <cstring>

const QList<CameraParams::SlotInfo> &CameraParams::layout()
{
    static const QList<SlotInfo> table = {
        {4, "", "hueDelta"},
        {5, "", "hueRange"},
        {6, "", "saturationFactor"},
        {8, "", "R"},
        {9, "", "G"},
        {10, "", "B"},
        {11, "Luminance", "brightness"},
        {12, "Contrast", "contrast"},
        {13, "Saturation", "saturation"},
        {14, "ucHue", "hue"},
        {15, "Hue", "sharpness"},
        {16, "ucRuddy", "ruddy"},
        {17, "ucFairSkinned", "sirose"},
        {18, "ucSmotohEn", "smoothEn"},
        {19, "Smotohness", "smoothLevel"},
        {20, "ucUvcEnable", "uvcEn"},
        {21, "eExposureMode", "exp_mode"},
        {22, "BExpCPS", "exp_value"},
        {23, "ucAEWeightLevel", "exp_area"},
        {24, "uiMShutterSpeed", "shutter_speed"},
        {25, "ucManualIris", "iris"},
        {26, "ucAutoGainLimit", "gain_limit"},
        {27, "ucManualGain", "gain"},
        {28, "bBacklightCompensation", "BLC"},
        {29, "ucAntiFlicker", "deFlicker"},
        {30, "eWDMode", "WDR"},
        {31, "ucWDRStrength", "WDR_level"},
        {32, "u8HDR", "HDR"},
        {33, "eWBMode", "WB_mode"},
        {34, "uAwbTolerance", "WB_sensitivity"},
        {35, "u32CTNum", "color_temp"},
        {36, "ucRGGain", "rGain"},
        {37, "ucBGGain", "bGain"},
        {38, "ucGRGain", "gGain"},
        {39, "ucGGGain", "ggGain"},
        {40, "u8RgainTuning", "rTurning"},
        {41, "u8GgainTuning", "gTurning"},
        {42, "u8BgainTuning", "bTurning"},
        {43, "u8Yellow", "deyellow"},
        {44, "u8Orange", "orange"},
        {45, "u8Gray", "grey"},
        {46, "u8Black", "black"},
        {47, "u8White", "white"},
        {48, "", "zoomspeed"},
        {49, "", "dzoom"},
        {50, "ucFocusMode", "focus_mode"},
        {51, "u8LensType", "u8LensType"},
        {52, "", "tofchannel"},
        {53, "ucAFScene", "focus_priority"},
        {54, "ucAFArea", "focus_area"},
        {55, "ucFocusDistanceMin", "focus_limit"},
        {56, "nMaxValDistance", "tofdistance"},
        {57, "ucAFSen", "focus_sensitivity"},
        {58, "", "focus_laser_range"},
        {59, "u32AIFocus", "smart_focus"},
        {60, "eNightMode", "dn_mode"},
        {61, "ucNightDayChnSensity", "dn_sensitivity"},
        {62, "uc2DNR", "nr2d"},
        {63, "uc3DNR", "nr3d"},
        {64, "uDpSlope", "hot_pixel"},
        {65, "ucDefogMode", "defog"},
        {66, "ucDelFogClass", "defog_level"},
        {67, "ucGammaVal", "gamma"},
        {68, "ucCamCorrection", "ldc"},
        {69, "u32AIAe", "smart_exp"},
        {70, "ucCamCorrection", "distortion_correction"},
        {71, "bHorzInvert", "mirror"},
        {72, "bVertInvert", "flip"},
        {73, "ucRotation", "portrait"},
        {74, "eSceneMode", "scene"},
        {75, "ucScreenOrientation", "screen"},
        {76, "ucDigitalZoom", "digital_zooml"},
        {77, "u32Lut", "style"},
        {78, "language", "language"},
        {79, "trace", "trace"},
        {80, "hgr", "hgr"},
        {81, "", "hueArrayValue"},
        {105, "", "satArrayValue"},
    };
    return table;
}

double CameraParams::saturationFactor() const
{
    // Slot 6 holds the low word of the double, as the little-endian file has it.
    const quint64 bits = quint64(quint32(values[SaturationFactor])) | (quint64(quint32(values[SaturationFactor + 1])) << 32);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void CameraParams::setSaturationFactor(double factor)
{
    quint64 bits;
    std::memcpy(&bits, &factor, sizeof bits);
    values[SaturationFactor] = qint32(quint32(bits & 0xFFFFFFFFu));
    values[SaturationFactor + 1] = qint32(quint32(bits >> 32));
}

QList<int> CameraParams::table(int firstSlot) const
{
    QList<int> table;
    table.reserve(kTablePoints);
    for (int i = 0; i < kTablePoints && firstSlot + i < kSlotCount; ++i)
        table << values[size_t(firstSlot + i)];
    return table;
}

void CameraParams::setTable(int firstSlot, const QList<int> &table)
{
    for (int i = 0; i < kTablePoints && i < table.size() && firstSlot + i < kSlotCount; ++i)
        values[size_t(firstSlot + i)] = table[i];
}

QByteArray CameraParams::toBytes() const
{
    QByteArray bytes(kByteSize, Qt::Uninitialized);
    for (int i = 0; i < kSlotCount; ++i)
        qToLittleEndian<qint32>(values[size_t(i)], bytes.data() + 4 * i);
    return bytes;
}

bool CameraParams::fromBytes(const QByteArray &bytes)
{
    if (bytes.size() < kByteSize)
        return false;
    for (int i = 0; i < kSlotCount; ++i)
        values[size_t(i)] = qFromLittleEndian<qint32>(bytes.constData() + 4 * i);
    return true;
}
