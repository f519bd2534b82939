#pragma once

#include "video_inputs.h"

#include <QList>
#include <QString>

// Picks the video input of the active camera: the camera announces its input under
// its selection name (DeviceName-xyz).
class VideoInputChooser {
public:
    // Logs the inputs and returns the id of the last one whose description equals
    // `selectionName`, or `previous` when none does.
    static QString choose(const QList<VideoInput> &inputs, const QString &selectionName, const QString &previous,
                          int deviceCount);
};
