#pragma once

#include "video_inputs.h"

#include <QList>
#include <QString>

class SimulatedCamera;
class SimulatedCameraBus;

// The video side of the simulated cameras: every camera on the bus appears as a video
// input described by its selection name, as a real camera announces itself, and the
// preview's frames come from SimulatedFrameSource.
class SimulatedVideo {
public:
    // Makes the bus's cameras the system's video inputs and frame sources.
    static void install(SimulatedCameraBus *bus);
    // Back to Qt Multimedia.
    static void uninstall();

    static QList<VideoInput> inputs(SimulatedCameraBus *bus);
    static QString inputId(const SimulatedCamera *camera);
    static SimulatedCamera *cameraForInput(SimulatedCameraBus *bus, const QString &id);
};
