#pragma once

#include <QList>
#include <QString>

#include <array>
#include <optional>

// A 24-point colour table as the camera keeps it: entry i belongs to hue 15·i degrees.
// Values read from a camera are kept as received; the editors clamp them for display.
struct HsvTable {
    static constexpr int kPoints = 24;
    static constexpr int kDegreesPerPoint = 15;

    std::array<int, kPoints> values{};

    int &operator[](int i) { return values[size_t(i)]; }
    int operator[](int i) const { return values[size_t(i)]; }
    bool operator==(const HsvTable &other) const { return values == other.values; }
    bool operator!=(const HsvTable &other) const { return values != other.values; }

    QList<int> toList() const { return QList<int>(values.begin(), values.end()); }
    // Nothing unless the list has exactly 24 entries.
    static std::optional<HsvTable> fromList(const QList<int> &list)
    {
        if (list.size() != kPoints)
            return std::nullopt;
        HsvTable t;
        for (int i = 0; i < kPoints; ++i)
            t[i] = list[i];
        return t;
    }
};

// The two tables a camera keeps. Everything that differs between them is looked up
// here, so that reading, sending, editing and resetting are written once.
enum class HsvKind { Hue, Saturation };

struct HsvKindInfo {
    HsvKind kind;
    int minValue;
    int maxValue;
    const char *member;          // JSON member of the get and set replies/requests
    const char *picture;         // the gradient behind the editor
    HsvTable defaults;           // the factory table
    // Texts of the reset flow.
    const char *resetTitle;
    const char *resetQuestion;
    const char *resetLog;
    const char *resetDone;

    static const HsvKindInfo &of(HsvKind kind)
    {
        static const HsvKindInfo hue{
            HsvKind::Hue,
            -64,
            64,
            "HSV_Hue",
            ":/icons/resources/icons/HSV_Hue.png",
            HsvTable{{-3, -6, -9, -10, 0, -1, -1, 0, 0, -13, -11, 0, 0, -10, -11, -10, -7, -8, 0, 0, 0, 0, 0, 0}},
            QT_TRANSLATE_NOOP("ColourPage", "重置色度"),
            QT_TRANSLATE_NOOP("ColourPage", "确定要恢复色度默认设置吗?"),
            "重置色度参数...",
            QT_TRANSLATE_NOOP("ColourPage", "色度设置已恢复为默认值"),
        };
        static const HsvKindInfo sat{
            HsvKind::Saturation,
            0,
            255,
            "HSV_Sta",
            ":/icons/resources/icons/HSV_Sta.png",
            HsvTable{{56, 64, 64, 64, 64, 64, 78, 73, 76, 94, 89, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64}},
            QT_TRANSLATE_NOOP("ColourPage", "重置饱和度"),
            QT_TRANSLATE_NOOP("ColourPage", "确定要恢复饱和度默认设置吗?"),
            "重置饱和度参数...",
            QT_TRANSLATE_NOOP("ColourPage", "饱和度设置已恢复为默认值"),
        };
        return kind == HsvKind::Hue ? hue : sat;
    }
};
