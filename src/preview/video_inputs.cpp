#include "video_inputs.h"

#include <QCameraDevice>
#include <QMediaDevices>

VideoInputs::Provider &VideoInputs::provider()
{
    static Provider p;
    return p;
}

void VideoInputs::setProvider(Provider p)
{
    provider() = std::move(p);
}

QList<VideoInput> VideoInputs::list()
{
    if (provider())
        return provider()();
    QList<VideoInput> inputs;
    const QCameraDevice preferred = QMediaDevices::defaultVideoInput();
    for (const QCameraDevice &device : QMediaDevices::videoInputs())
        inputs << VideoInput{QString::fromUtf8(device.id()), device.description(), device == preferred};
    return inputs;
}
