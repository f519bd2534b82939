#include "video_frame_source.h"

#include "qt_camera_frame_source.h"

VideoFrameSource::Factory &VideoFrameSource::factory() {
    static Factory f;
    return f;
}

void VideoFrameSource::setFactory(Factory f) {
    factory() = std::move(f);
}

VideoFrameSource *VideoFrameSource::create(QObject *parent) {
    if (factory())
        return factory()(parent);
    return new QtCameraFrameSource(parent);
}
