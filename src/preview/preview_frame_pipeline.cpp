#include "preview_frame_pipeline.h"

#include "lut3d.h"

#include <QVideoFrame>

#include <opencv2/imgproc.hpp>

namespace {
// A quarter turn counter-clockwise, split into horizontal stripes of the source: each
// stripe becomes a band of columns of the result, so the stripes turn in parallel.
void rotateCcw(const cv::Mat &src, cv::Mat &dst)
{
    dst.create(src.cols, src.rows, src.type());
    cv::parallel_for_(cv::Range(0, src.rows), [&](const cv::Range &rows) {
        cv::Mat band = dst.colRange(rows.start, rows.end);
        cv::rotate(src.rowRange(rows.start, rows.end), band, cv::ROTATE_90_COUNTERCLOCKWISE);
    }, 8);
}


// Whether `rows` rows of `rowBytes` bytes at `stride` fit into `mapped` bytes.
bool fits(const uchar *bits, int stride, qsizetype mapped, int rows, int rowBytes) {
    if (!bits || rows <= 0 || rowBytes <= 0 || stride < rowBytes)
        return false;
    return qint64(stride) * (rows - 1) + rowBytes <= qint64(mapped);
}

// Byte positions of blue, green and red in the 32-bit layouts.
bool rgb32Order(QVideoFrameFormat::PixelFormat format, int order[3]) {
    using F = QVideoFrameFormat;
    auto set = [order](int b, int g, int r) {
        order[0] = b;
        order[1] = g;
        order[2] = r;
        return true;
    };
    switch (format) {
    case F::Format_BGRA8888:
    case F::Format_BGRA8888_Premultiplied:
    case F::Format_BGRX8888:
        return set(0, 1, 2);
    case F::Format_RGBA8888:
    case F::Format_RGBX8888:
        return set(2, 1, 0);
    case F::Format_ARGB8888:
    case F::Format_ARGB8888_Premultiplied:
    case F::Format_XRGB8888:
        return set(3, 2, 1);
    case F::Format_ABGR8888:
    case F::Format_XBGR8888:
        return set(1, 2, 3);
    default:
        return false;
    }
}

} // namespace

MappedFrame MappedFrame::fromMapped(const QVideoFrame &frame) {
    MappedFrame m;
    m.format = frame.pixelFormat();
    m.width = frame.width();
    m.height = frame.height();
    m.planeCount = qMin(frame.planeCount(), kMaxPlanes);
    for (int p = 0; p < m.planeCount; ++p) {
        m.bits[p] = frame.bits(p);
        m.bytesPerLine[p] = frame.bytesPerLine(p);
        m.mappedBytes[p] = frame.mappedBytes(p);
    }
    return m;
}

MappedFrame MappedFrame::yuyv(const uchar *data, qsizetype bytes, int width, int height, int bytesPerLine) {
    MappedFrame m;
    m.format = QVideoFrameFormat::Format_YUYV;
    m.width = width;
    m.height = height;
    m.planeCount = 1;
    m.bits[0] = data;
    m.bytesPerLine[0] = bytesPerLine;
    m.mappedBytes[0] = bytes;
    return m;
}

bool PreviewFramePipeline::isSupported(QVideoFrameFormat::PixelFormat format) {
    int order[3];
    return format == QVideoFrameFormat::Format_YUYV || format == QVideoFrameFormat::Format_UYVY ||
           format == QVideoFrameFormat::Format_NV12 || rgb32Order(format, order);
}

cv::Mat PreviewFramePipeline::imageMat(int width, int height) {
    // The picture is written straight into the image's memory. An image that someone
    // still holds a copy of is left to them and replaced.
    if (m_image.width() != width || m_image.height() != height || !m_image.isDetached())
        m_image = QImage(width, height, QImage::Format_RGB888);
    return cv::Mat(height, width, CV_8UC3, m_image.bits(), size_t(m_image.bytesPerLine()));
}

PreviewFramePipeline::Status PreviewFramePipeline::toBgr(const MappedFrame &f, cv::Mat &bgr) {
    using F = QVideoFrameFormat;
    const int w = f.width, h = f.height;
    if (w <= 0 || h <= 0 || f.planeCount < 1)
        return Status::Truncated;
    int order[3];
    if (f.format == F::Format_YUYV || f.format == F::Format_UYVY) {
        if (w % 2 != 0 || !fits(f.bits[0], f.bytesPerLine[0], f.mappedBytes[0], h, w * 2))
            return Status::Truncated;
        const cv::Mat packed(h, w, CV_8UC2, const_cast<uchar *>(f.bits[0]), size_t(f.bytesPerLine[0]));
        cv::cvtColor(packed, bgr,
                     f.format == F::Format_YUYV ? cv::COLOR_YUV2BGR_YUY2 : cv::COLOR_YUV2BGR_UYVY);
        return Status::Shown;
    }
    if (f.format == F::Format_NV12) {
        if (w % 2 != 0 || h % 2 != 0 || f.planeCount < 2 ||
            !fits(f.bits[0], f.bytesPerLine[0], f.mappedBytes[0], h, w) ||
            !fits(f.bits[1], f.bytesPerLine[1], f.mappedBytes[1], h / 2, w))
            return Status::Truncated;
        const cv::Mat y(h, w, CV_8UC1, const_cast<uchar *>(f.bits[0]), size_t(f.bytesPerLine[0]));
        const cv::Mat uv(h / 2, w / 2, CV_8UC2, const_cast<uchar *>(f.bits[1]), size_t(f.bytesPerLine[1]));
        cv::cvtColorTwoPlane(y, uv, bgr, cv::COLOR_YUV2BGR_NV12);
        return Status::Shown;
    }
    if (rgb32Order(f.format, order)) {
        if (!fits(f.bits[0], f.bytesPerLine[0], f.mappedBytes[0], h, w * 4))
            return Status::Truncated;
        const cv::Mat packed(h, w, CV_8UC4, const_cast<uchar *>(f.bits[0]), size_t(f.bytesPerLine[0]));
        bgr.create(h, w, CV_8UC3);
        const int pairs[] = {order[0], 0, order[1], 1, order[2], 2};
        cv::mixChannels(&packed, 1, &bgr, 1, pairs, 3);
        return Status::Shown;
    }
    return Status::UnsupportedFormat;
}

PreviewFramePipeline::Status PreviewFramePipeline::process(const MappedFrame &f, const Lut3d *lut,
                                                           bool landscape) {
    const bool withLut = lut && lut->hasTable();
    const int w = f.width, h = f.height;
    if (!isSupported(f.format))
        return Status::UnsupportedFormat;

    // Packed YUYV without a LUT goes to RGB in one conversion (the same bytes as via
    // BGR); everything else takes the BGR route.
    if (!withLut && f.format == QVideoFrameFormat::Format_YUYV) {
        if (w <= 0 || h <= 0 || w % 2 != 0 || !fits(f.bits[0], f.bytesPerLine[0], f.mappedBytes[0], h, w * 2))
            return Status::Truncated;
        const cv::Mat packed(h, w, CV_8UC2, const_cast<uchar *>(f.bits[0]), size_t(f.bytesPerLine[0]));
        if (landscape) {
            cv::Mat out = imageMat(w, h);
            cv::cvtColor(packed, out, cv::COLOR_YUV2RGB_YUY2);
        } else {
            cv::cvtColor(packed, m_rgb, cv::COLOR_YUV2RGB_YUY2);
            cv::Mat out = imageMat(h, w);
            rotateCcw(m_rgb, out);
        }
        return Status::Shown;
    }

    const Status converted = toBgr(f, m_bgr);
    if (converted != Status::Shown)
        return converted;
    if (landscape) {
        cv::Mat out = imageMat(w, h);
        if (withLut)
            lut->apply(m_bgr, out, true);
        else
            cv::cvtColor(m_bgr, out, cv::COLOR_BGR2RGB);
        return Status::Shown;
    }
    // Portrait: turn the frame while it is still in the cache, then let the last pass
    // (the look-up or the channel swap) write straight into the shown picture. Each
    // pixel's look-up does not depend on where it sits, so the bytes are the same.
    rotateCcw(m_bgr, m_rgb);
    cv::Mat out = imageMat(h, w);
    if (withLut)
        lut->apply(m_rgb, out, true);
    else
        cv::cvtColor(m_rgb, out, cv::COLOR_BGR2RGB);
    return Status::Shown;
}
