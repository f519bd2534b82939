#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <array>
#include <type_traits>

// A camera's whole parameter set as one fixed record: 770 slots of 32 bits (3080 bytes),
// each named by the camera's JSON key. Slots 6–7 together hold one double. The record is
// the body of the configuration file, so its size and slot positions never change.
// In memory the slots are host-order integers; toBytes()/fromBytes() give the file's
// little-endian bytes on any host. A new record is all zeros.
struct CameraParams {
    static constexpr int kSlotCount = 770;
    static constexpr int kByteSize = kSlotCount * 4;

    // Slots with a fixed meaning that code refers to by position.
    enum Slot : int {
        SaturationFactor = 6, // double over slots 6 and 7
        Brightness = 11,
        Contrast = 12,
        Saturation = 13,
        Sharpness = 15,       // the camera's key is "Hue"
        ExposureMode = 21,
        ExposureValue = 22,
        ShutterSpeed = 24,
        ManualGain = 27,
        WdrMode = 30,
        WdrStrength = 31,
        WhiteBalanceMode = 33,
        ColourTemperature = 35,
        FocusMode = 50,
        LensType = 51,
        AfArea = 54,
        AfSensitivity = 57,
        HorizontalInvert = 71,
        VerticalInvert = 72,
        SceneMode = 74,
        Language = 78,
        Trace = 79,
        Gesture = 80,
        HueTable = 81,        // 24 entries, point 0 first
        SaturationTable = 105 // 24 entries
    };
    static constexpr int kTablePoints = 24;

    // One named slot of the layout: the camera's key (empty for slots the camera does
    // not report) and the label under which the configuration file log prints it.
    struct SlotInfo {
        int slot;
        const char *key;
        const char *fileLabel;
    };
    // Every named slot, in slot order (slots 0–3 and 129–769 are unnamed; the two
    // tables appear once each, under their first slot).
    static const QList<SlotInfo> &layout();

    std::array<qint32, kSlotCount> values{};

    qint32 &operator[](int slot) { return values[size_t(slot)]; }
    qint32 operator[](int slot) const { return values[size_t(slot)]; }
    bool operator==(const CameraParams &other) const { return values == other.values; }
    bool operator!=(const CameraParams &other) const { return values != other.values; }

    double saturationFactor() const;
    void setSaturationFactor(double factor);

    QList<int> table(int firstSlot) const;          // 24 entries from firstSlot
    void setTable(int firstSlot, const QList<int> &table); // at most 24 entries are taken

    // The 3080 bytes of the file, slot 0 first, little-endian.
    QByteArray toBytes() const;
    // Nothing is read unless `bytes` holds at least 3080 bytes; returns whether it was.
    bool fromBytes(const QByteArray &bytes);
};

static_assert(sizeof(CameraParams) == CameraParams::kByteSize, "CameraParams is a 3080-byte file record");
static_assert(std::is_trivially_copyable_v<CameraParams>, "CameraParams is copied as raw bytes");
static_assert(std::is_standard_layout_v<CameraParams>, "CameraParams has no hidden members");
