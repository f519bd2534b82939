#pragma once

#include "video_frame_source.h"

class QCamera;
class QMediaCaptureSession;
class QVideoSink;

// Frames of a system camera through Qt Multimedia: a QCamera in a capture session
// that renders into a video sink. The session and the sink are made once; a new
// input only replaces the camera.
class QtCameraFrameSource : public VideoFrameSource {
    Q_OBJECT
public:
    explicit QtCameraFrameSource(QObject *parent = nullptr);

    void open(const QString &deviceId) override;
    void close() override;
    bool isOpen() const override { return m_camera != nullptr; }
    void deactivate() override;
    bool selectFormat(QVideoFrameFormat::PixelFormat format, const QSize &size, float minFps) override;

private:
    QCamera *m_camera = nullptr;
    QMediaCaptureSession *m_session = nullptr;
    QVideoSink *m_sink = nullptr;
};
