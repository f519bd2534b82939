#pragma once

#include "builtin_param_rows.h"
#include "camera_param_reader.h"

#include <QList>
#include <QStringList>
#include <QVector>

// What the two K310A panels change alike on the built-in rows.
namespace K310aRows {
// The 20-step shutter table: labels "1/%d" and "uiMShutterSpeed" codes (code 30,
// 1/50, sits between 8 and 9).
extern const QStringList kShutterLabels;
extern const QVector<int> kShutterCodes;

// The built-in image rows with the panels' shutter table (captioned "快门"), the ISO
// shown from the record, "图像版本" cleared before apply shows a record, and the two
// tuning rows moved before the three gain rows.
QList<ParamRow> imageRows(const BuiltInParamRows::Callbacks &cb);
// The video page's noise and (uncrossed) mirror rows.
ParamRow noise2d();
ParamRow noise3d();
ParamRow horizontalMirror();
ParamRow verticalMirror();
ParamRow sleepSwitch();
ParamRow uvcSwitch();
// The panels' own reading: the built-in keys without "ucGGGain" and
// "nMaxValDistance", "ucCamCorrection" into slot 70 only, and no "sleep".
CameraParamReader::Profile readerProfile();
} // namespace K310aRows
