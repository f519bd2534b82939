#pragma once

#include <QColor>
#include <QImage>
#include <QVideoFrameFormat>

#include <opencv2/core.hpp>

#include "picture_scaler.h"

class Lut3d;
class QVideoFrame;

// The bytes of one mapped video frame, as far as the preview may read them.
struct MappedFrame {
    static constexpr int kMaxPlanes = 3;

    QVideoFrameFormat::PixelFormat format = QVideoFrameFormat::Format_Invalid;
    int width = 0;
    int height = 0;
    int planeCount = 0;
    const uchar *bits[kMaxPlanes] = {};
    int bytesPerLine[kMaxPlanes] = {};
    qsizetype mappedBytes[kMaxPlanes] = {};

    // Describes a frame that is mapped for reading.
    static MappedFrame fromMapped(const QVideoFrame &frame);
    // Packed YUYV bytes in memory.
    static MappedFrame yuyv(const uchar *data, qsizetype bytes, int width, int height, int bytesPerLine);
};

// Turns camera frames into the picture the preview shows: the camera's packed YUYV
// (or NV12, UYVY, or the 32-bit RGB layouts that decoded MJPEG arrives in) to BGR,
// the optional 3D LUT, then smooth scaling to the size it is shown at and a quarter
// turn counter-clockwise for a camera mounted in portrait, in one pass. The picture
// is 32-bit RGB, the screen's own layout, drawn as it is. Packed YUYV is converted a
// few rows at a time as the scaler needs them, so that the full-size frame is never
// stored; the other formats are converted whole first. Buffers are kept from frame
// to frame.
class PreviewFramePipeline {
public:
    enum class Status {
        Shown,
        UnsupportedFormat, // a pixel format the preview does not convert
        Truncated,         // geometry or plane sizes that do not fit the mapped bytes
    };

    // Converts `frame`; on success image() is the new picture, fitted into `area`
    // keeping its aspect ratio, or at full size when `area` is empty. Never reads
    // outside the mapped bytes the frame declares. May throw cv::Exception.
    Status process(const MappedFrame &frame, const Lut3d *lut, bool landscape, const QSize &area = QSize());
    const QImage &image() const { return m_images[m_current]; }

    static bool isSupported(QVideoFrameFormat::PixelFormat format);
    // The colour of the frame's pixel (x, y), in the frame's own orientation and before
    // any LUT: only the bytes of that pixel (and its chroma pair) are converted. Invalid
    // outside the frame or for a format or geometry process() would refuse.
    static QColor pixelAt(const MappedFrame &frame, int x, int y);

private:
    static Status toBgr(const MappedFrame &frame, cv::Mat &bgr);
    Status toBgrx(const MappedFrame &frame, const Lut3d *lut);
    cv::Mat imageMat(const QSize &size);

    cv::Mat m_bgr;
    cv::Mat m_bgrx;
    PictureScaler m_scaler;
    // The picture alternates between two images, so that the one a pixmap still shows
    // is never written to and the other is rarely reallocated.
    QImage m_images[2];
    int m_current = 0;
};
