#pragma once

#include "param_row.h"

#include <QList>
#include <QStringList>
#include <QVector>

#include <functional>

class ParamPageSet;

// The pages of the RV-T782-KB cameras, as rows. Most values travel on 0…100 sliders
// unchanged; the codes, keys and hooks below are this camera family's own.
namespace T782Rows {

// "快门速度:" index -> "uiMShutterSpeed" code (19 entries; 31 and 32 are 1/140 and 1/160).
extern const QVector<int> kShutterCodes;
// The "TOF通道:" channel travels as "lvdsFreq" channel + 79.
constexpr int kTofChannelOffset = 79;
constexpr int kTofSlot = 52;
constexpr int kTofFirstChannel = 1;
constexpr int kTofLastChannel = 32;

// What the special rows need from their panel.
struct Hooks {
    // "模式:" index: the gain slider shows the stored manual gain (index 1) or gain limit.
    std::function<void(int index)> exposureModeChanged;
    // "增益:": false while the exposure mode moves the slider (nothing is sent then).
    std::function<bool()> gainSwitching;
    // The gain's key and slot, chosen by "模式:".
    ParamRow::KeyRule gainTarget;
    // "场景:" changed by the user: the camera's parameter set changed.
    std::function<void()> sceneChanged;
};

QList<ParamRow> exposureRows(const Hooks &hooks);
QList<ParamRow> colourRows();
QList<ParamRow> imageRows();
QList<ParamRow> focusRows();
QList<ParamRow> settingsRows(const Hooks &hooks);

// The channel a reported "lvdsFreq" shows: 80…111 is a sent channel (value − 79),
// 1…32 the channel itself; anything else is clamped into 1…32.
int tofChannel(qint32 reported, bool *clamped = nullptr);

// The rows apply sets, in order: before the gain (which the panel sets from the
// record's mode), before the record is copied, and after (the exposure mode first).
QStringList applyOrderBeforeGain();
QStringList applyOrderBeforeRecord();
QStringList applyOrderAfterRecord();

} // namespace T782Rows
