#include "simulated_frame_source.h"

#include "simulated_camera.h"
#include "simulated_camera_bus.h"
#include "simulated_video.h"

#include <QTimer>
#include <QVideoFrame>

SimulatedFrameSource::SimulatedFrameSource(SimulatedCameraBus *bus, QObject *parent)
    : VideoFrameSource(parent), m_bus(bus), m_timer(new QTimer(this)) {
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(kFrameIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &SimulatedFrameSource::deliverFrame);
}

void SimulatedFrameSource::open(const QString &deviceId) {
    m_deviceId = deviceId;
    m_timer->start();
}

void SimulatedFrameSource::close() {
    m_timer->stop();
    m_deviceId.clear();
}

void SimulatedFrameSource::deactivate() {
    m_timer->stop();
}

bool SimulatedFrameSource::selectFormat(QVideoFrameFormat::PixelFormat format, const QSize &size,
                                        float minFps) {
    return format == QVideoFrameFormat::Format_YUYV &&
           size == QSize(SimulatedVideoScene::kFrameWidth, SimulatedVideoScene::kFrameHeight) &&
           minFps <= 30.0f;
}

bool SimulatedFrameSource::deliverFrame() {
    SimulatedCamera *camera = SimulatedVideo::cameraForInput(m_bus, m_deviceId);
    if (!camera || !camera->isPresent())
        return false;
    QVideoFrame frame(
        QVideoFrameFormat(QSize(SimulatedVideoScene::kFrameWidth, SimulatedVideoScene::kFrameHeight),
                          QVideoFrameFormat::Format_YUYV));
    if (!frame.map(QVideoFrame::WriteOnly))
        return false;
    m_scene.renderYuyv(SimulatedVideoScene::viewOf(*camera), frame.bits(0), frame.bytesPerLine(0));
    frame.unmap();
    ++m_framesDelivered;
    emit frameReady(frame);
    return true;
}
