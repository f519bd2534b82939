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
    const QImage &image() const { return m_image; }

    // process() in two halves, for a picture drawn where it is painted. prepare()
    // checks `frame` (and converts the formats that are not converted row by row); on
    // success shownSize() is the size of its picture and render() draws it, as often
    // as asked, until the next prepare(). The frame's bytes and `lut` must stay as they
    // are until then. A failed prepare() leaves the frame prepared before it.
    Status prepare(const MappedFrame &frame, const Lut3d *lut, bool landscape, const QSize &area = QSize());
    bool isPrepared() const { return m_prepared; }
    QSize shownSize() const { return m_shown; }
    // Draws the prepared frame's picture into `target` (CV_8UC4 of shownSize(), its
    // fourth bytes 255). Requires a prepared frame; may throw cv::Exception.
    void render(cv::Mat &target);

    static bool isSupported(QVideoFrameFormat::PixelFormat format);
    // The colour of the frame's pixel (x, y), in the frame's own orientation and before
    // any LUT: only the bytes of that pixel (and its chroma pair) are converted. Invalid
    // outside the frame or for a format or geometry process() would refuse.
    static QColor pixelAt(const MappedFrame &frame, int x, int y);

private:
    static Status toBgr(const MappedFrame &frame, cv::Mat &bgr);
    Status toBgrx(const MappedFrame &frame, const Lut3d *lut);
    cv::Mat imageMat(const QSize &size);

    // The prepared frame: packed YUYV is read from `m_frame` as it is scaled, the other
    // formats from `m_bgrx`.
    bool m_prepared = false;
    bool m_rowByRow = false;
    MappedFrame m_frame;
    const Lut3d *m_lutBefore = nullptr;
    const Lut3d *m_lutAfter = nullptr;
    bool m_landscape = true;
    QSize m_shown;
    cv::Mat m_bgr;
    cv::Mat m_bgrx;
    PictureScaler m_scaler;
    // The picture of process(), written in place unless someone still holds a copy.
    QImage m_image;
};
