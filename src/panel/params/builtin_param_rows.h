#pragma once

#include "param_row.h"

#include <QList>
#include <QStringList>
#include <QVector>

#include <functional>

class ParamPageSet;

// "快门速度" index -> "uiMShutterSpeed" code (19 entries; code 30 is 1/90, between 8 and 9).
extern const QVector<int> kShutterCodes;
// Labels "1/%d" of the shutter combo, in the order of kShutterCodes.
extern const QStringList kShutterLabels;
// The "eWBMode" codes in the order apply searches them. The "白平衡" combo has two
// entries, so only 0 (manual) and 1 (automatic) have a position; 3, 4, 5 and 30 leave
// the combo without a selection and collect keeps them.
extern const QVector<int> kWhiteBalanceCodes;

// The rows of the control panel's own parameter pages, and their special hooks. The
// model panels start from these rows and apply their differences.
class BuiltInParamRows {
public:
    // What the special rows need from the panel that owns them. Empty functions are
    // skipped.
    struct Callbacks {
        // Stores a value in the panel's record ("图像版本" keeps slot 74 current).
        std::function<void(int slot, int value)> storeSlot;
        // A scene switch changes the camera's parameter set: re-read everything and
        // the colour tables.
        std::function<void()> reloadAfterSceneChange;
        // Asks the camera for its face models (ids, then names).
        std::function<void()> requestFaceModels;
        // Shows or hides the AI face-model area of the focus page.
        std::function<void(bool visible)> showFaceModelArea;
        // "黄色", "橙色" or "红润" moved: the colour tables follow these tones.
        std::function<void()> colourToneChanged;
    };

    static QList<ParamRow> imageRows(const Callbacks &callbacks);
    static QList<ParamRow> focusRows(const Callbacks &callbacks);
    static QList<ParamRow> settingsRows(const Callbacks &callbacks);

    // The image and settings rows regrouped for panels that split them by theme:
    // "曝光调整" (exposure), "颜色调节" (colour) and "噪声抑制" (noise).
    static QList<ParamRow> exposureRows(const Callbacks &callbacks);
    static QList<ParamRow> colourRows(const Callbacks &callbacks);
    static QList<ParamRow> noiseRows(const Callbacks &callbacks);

    // The order in which apply sets the rows of the three pages, "图像版本" excluded:
    // the panel shows the colour tables first and sets it last.
    static QStringList applyOrder();
    static const char *const kSceneKey; // "eSceneMode"
    // "u8Yellow", "u8Orange", "ucRuddy": the tones a colour-table change moves.
    static QStringList toneKeys();

    // Hooks, attached to their rows by the functions above and reusable by panels.
    // "曝光": automatic hides "快门速度" and "ISO", manual shows them.
    static void exposureModeChanged(ParamPageSet &pages, int index);
    // "白平衡": manual shows "色温" and the three gain rows and hides the two tuning
    // rows; automatic does the opposite.
    static void whiteBalanceChanged(ParamPageSet &pages, int index);
    // "模式": the AI area is shown and "区域" disabled exactly for "人脸追焦" (index 2).
    static void focusModeShown(ParamPageSet &pages, bool faceTracking, const Callbacks &callbacks);

private:
    static QList<ParamRow> pick(const QList<ParamRow> &rows, const QStringList &keys);
};
