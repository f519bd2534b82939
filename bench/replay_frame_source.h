#pragma once

// Delivers prepared frames at the camera's rate, so that the preview costs what it
// costs with a real camera without drawing the simulated scene.
#include "bench_frames.h"
#include "video_frame_source.h"

#include <QTimer>

#include <vector>

class ReplayFrameSource : public VideoFrameSource {
public:
    explicit ReplayFrameSource(QObject *parent) : VideoFrameSource(parent), m_frames(benchframes::naturalVideoFrames())
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(33);
        QObject::connect(&m_timer, &QTimer::timeout, this,
                         [this] { emit frameReady(m_frames[m_next++ % m_frames.size()]); });
    }
    void open(const QString &) override { m_timer.start(); }
    void close() override { m_timer.stop(); }
    bool isOpen() const override { return m_timer.isActive(); }
    void deactivate() override { m_timer.stop(); }
    bool selectFormat(QVideoFrameFormat::PixelFormat, const QSize &, float) override { return true; }

private:
    std::vector<QVideoFrame> m_frames;
    size_t m_next = 0;
    QTimer m_timer;
};
