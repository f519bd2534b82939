#pragma once

#include "simulated_video_scene.h"
#include "video_frame_source.h"

#include <QPointer>

class QTimer;
class SimulatedCameraBus;

// The video input of a simulated camera: 1280x720 packed YUYV frames at 30 per
// second, rendered from the camera's current state, delivered on the GUI thread
// like a real camera's. A camera that is off the bus (rebooting, unplugged) delivers
// nothing until it is back.
class SimulatedFrameSource : public VideoFrameSource {
    Q_OBJECT
public:
    static constexpr int kFrameIntervalMs = 33;

    SimulatedFrameSource(SimulatedCameraBus *bus, QObject *parent = nullptr);

    void open(const QString &deviceId) override;
    void close() override;
    bool isOpen() const override { return !m_deviceId.isEmpty(); }
    void deactivate() override;
    bool selectFormat(QVideoFrameFormat::PixelFormat format, const QSize &size, float minFps) override;

    // Renders and delivers one frame now; false when the camera is not there.
    bool deliverFrame();
    int framesDelivered() const { return m_framesDelivered; }

private:
    SimulatedCameraBus *m_bus;
    QTimer *m_timer;
    QString m_deviceId;
    SimulatedVideoScene m_scene;
    int m_framesDelivered = 0;
};
