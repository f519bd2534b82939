#include "simulated_video.h"

#include "simulated_camera.h"
#include "simulated_camera_bus.h"
#include "simulated_frame_source.h"

QString SimulatedVideo::inputId(const SimulatedCamera *camera) {
    return QStringLiteral("simulated-video:") + camera->serial();
}

QList<VideoInput> SimulatedVideo::inputs(SimulatedCameraBus *bus) {
    QList<VideoInput> list;
    for (SimulatedCamera *camera : bus->cameras())
        if (camera->isPresent())
            list << VideoInput{inputId(camera), camera->selectionName(), list.isEmpty()};
    return list;
}

SimulatedCamera *SimulatedVideo::cameraForInput(SimulatedCameraBus *bus, const QString &id) {
    if (id.isEmpty())
        return nullptr;
    for (SimulatedCamera *camera : bus->cameras())
        if (inputId(camera) == id)
            return camera;
    return nullptr;
}

void SimulatedVideo::install(SimulatedCameraBus *bus) {
    VideoInputs::setProvider([bus] { return inputs(bus); });
    VideoFrameSource::setFactory([bus](QObject *parent) { return new SimulatedFrameSource(bus, parent); });
}

void SimulatedVideo::uninstall() {
    VideoInputs::setProvider({});
    VideoFrameSource::setFactory({});
}
