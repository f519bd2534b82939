#include "qt_camera_frame_source.h"

#include <QCamera>
#include <QCameraDevice>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QVideoSink>

QtCameraFrameSource::QtCameraFrameSource(QObject *parent) : VideoFrameSource(parent) {}

void QtCameraFrameSource::open(const QString &deviceId) {
    QCameraDevice device;
    for (const QCameraDevice &candidate : QMediaDevices::videoInputs()) {
        if (QString::fromUtf8(candidate.id()) == deviceId) {
            device = candidate;
            break;
        }
    }
    close();
    m_camera = new QCamera(device, this);
    if (!m_session) {
        m_session = new QMediaCaptureSession(this);
        m_sink = new QVideoSink(this);
    }
    m_session->setCamera(m_camera);
    m_session->setVideoSink(m_sink);
    connect(m_sink, &QVideoSink::videoFrameChanged, this, &VideoFrameSource::frameReady,
            Qt::UniqueConnection);
    connect(m_camera, &QCamera::errorOccurred, this,
            [this](QCamera::Error, const QString &text) { emit errorOccurred(text); });
    m_camera->start();
}

void QtCameraFrameSource::close() {
    if (!m_camera)
        return;
    m_camera->stop();
    if (m_session)
        m_session->setCamera(nullptr);
    delete m_camera;
    m_camera = nullptr;
}

void QtCameraFrameSource::deactivate() {
    if (m_camera)
        m_camera->setActive(false);
}

bool QtCameraFrameSource::selectFormat(QVideoFrameFormat::PixelFormat format, const QSize &size,
                                       float minFps) {
    if (!m_camera)
        return false;
    for (const QCameraFormat &candidate : m_camera->cameraDevice().videoFormats()) {
        if (candidate.pixelFormat() == format && candidate.resolution() == size &&
            candidate.maxFrameRate() >= minFps) {
            m_camera->setCameraFormat(candidate);
            return true;
        }
    }
    return false;
}
