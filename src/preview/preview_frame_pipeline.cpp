#include "preview_frame_pipeline.h"

#include "lut3d.h"
#include "yuyv_converter.h"

#include <QVideoFrame>

#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace {

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

cv::Mat PreviewFramePipeline::imageMat(const QSize &size) {
    // The picture is written straight into the image's memory. An image that someone
    // still holds a copy of is left to them and replaced.
    if (m_image.size() != size || !m_image.isDetached())
        m_image = QImage(size, QImage::Format_RGB32);
    return cv::Mat(size.height(), size.width(), CV_8UC4, m_image.bits(), size_t(m_image.bytesPerLine()));
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

QColor PreviewFramePipeline::pixelAt(const MappedFrame &f, int x, int y) {
    using F = QVideoFrameFormat;
    if (x < 0 || y < 0 || x >= f.width || y >= f.height || !isSupported(f.format))
        return QColor();
    // The frame as a whole must be what process() accepts before a part of it is read.
    int order[3];
    const bool packed = f.format == F::Format_YUYV || f.format == F::Format_UYVY;
    const bool nv12 = f.format == F::Format_NV12;
    const int rowBytes = packed ? f.width * 2 : (nv12 ? f.width : f.width * 4);
    if (f.planeCount < (nv12 ? 2 : 1) || ((packed || nv12) && f.width % 2 != 0) || (nv12 && f.height % 2 != 0) ||
        !fits(f.bits[0], f.bytesPerLine[0], f.mappedBytes[0], f.height, rowBytes) ||
        (nv12 && !fits(f.bits[1], f.bytesPerLine[1], f.mappedBytes[1], f.height / 2, f.width)) ||
        (!packed && !nv12 && !rgb32Order(f.format, order)))
        return QColor();
    // The smallest block that carries the pixel: its two-pixel chroma pair, and for
    // NV12 the two rows that share one chroma row.
    const int x0 = packed || nv12 ? x & ~1 : x;
    const int y0 = nv12 ? y & ~1 : y;
    MappedFrame block = f;
    block.width = packed || nv12 ? 2 : 1;
    block.height = nv12 ? 2 : 1;
    const int bytesPerPixel = packed ? 2 : (nv12 ? 1 : 4);
    block.bits[0] = f.bits[0] + qsizetype(y0) * f.bytesPerLine[0] + qsizetype(x0) * bytesPerPixel;
    block.mappedBytes[0] = qsizetype(block.height - 1) * f.bytesPerLine[0] + qsizetype(block.width) * bytesPerPixel;
    if (nv12) {
        block.bits[1] = f.bits[1] + qsizetype(y0 / 2) * f.bytesPerLine[1] + x0;
        block.mappedBytes[1] = 2;
    }
    cv::Mat bgr;
    if (toBgr(block, bgr) != Status::Shown)
        return QColor();
    const cv::Vec3b p = bgr.at<cv::Vec3b>(y - y0, x - x0);
    return QColor(p[2], p[1], p[0]);
}

// The frame as full-size BGRx, through the LUT if there is one; for the formats that
// are not converted row by row as they are scaled.
PreviewFramePipeline::Status PreviewFramePipeline::toBgrx(const MappedFrame &f, const Lut3d *lut) {
    const Status converted = toBgr(f, m_bgr);
    if (converted != Status::Shown)
        return converted;
    m_bgrx.create(f.height, f.width, CV_8UC4);
    if (!lut) {
        cv::cvtColor(m_bgr, m_bgrx, cv::COLOR_BGR2BGRA);
        return Status::Shown;
    }
    cv::parallel_for_(cv::Range(0, f.height), [&](const cv::Range &rows) {
        cv::Mat out = m_bgrx.rowRange(rows.start, rows.end);
        lut->applyRows(m_bgr.rowRange(rows.start, rows.end), out, false);
    });
    return Status::Shown;
}

PreviewFramePipeline::Status PreviewFramePipeline::process(const MappedFrame &f, const Lut3d *lut, bool landscape,
                                                           const QSize &area) {
    const Status status = prepare(f, lut, landscape, area);
    if (status == Status::Shown) {
        cv::Mat out = imageMat(m_shown);
        render(out);
    }
    return status;
}

PreviewFramePipeline::Status PreviewFramePipeline::prepare(const MappedFrame &f, const Lut3d *lut, bool landscape,
                                                           const QSize &area) {
    if (!isSupported(f.format))
        return Status::UnsupportedFormat;
    if (lut && !lut->hasTable())
        lut = nullptr;
    const QSize full = landscape ? QSize(f.width, f.height) : QSize(f.height, f.width);
    const QSize shown = area.width() >= 1 && area.height() >= 1 ? PictureScaler::fitted(full, area) : full;
    // The look-up runs where the picture has fewer pixels: on the frame when it is
    // shown enlarged, on the shown picture when it is shown reduced. A grade changes
    // gently from colour to colour, so looking up the average of a few neighbouring
    // pixels instead of averaging their looked-up colours is not to be seen.
    const bool lutAfter = lut && qint64(shown.width()) * shown.height() < qint64(full.width()) * full.height();
    const Lut3d *lutBefore = lutAfter ? nullptr : lut;
    const bool rowByRow = f.format == QVideoFrameFormat::Format_YUYV;
    if (rowByRow) {
        // The camera's own format is converted a few rows at a time as the scaler needs
        // them, and looked up while they are in the cache.
        const int w = f.width, h = f.height;
        if (w <= 0 || h <= 0 || w % 2 != 0 || !fits(f.bits[0], f.bytesPerLine[0], f.mappedBytes[0], h, w * 2))
            return Status::Truncated;
    } else {
        // The whole frame is converted now, after its checks; a conversion that throws
        // half-way leaves nothing prepared.
        Status converted = Status::Truncated;
        try {
            converted = toBgrx(f, lutBefore);
        } catch (...) {
            m_prepared = m_prepared && m_rowByRow;
            throw;
        }
        if (converted != Status::Shown)
            return converted;
    }
    m_prepared = true;
    m_rowByRow = rowByRow;
    m_frame = f;
    m_lutBefore = lutBefore;
    m_lutAfter = lutAfter ? lut : nullptr;
    m_landscape = landscape;
    m_shown = shown;
    return Status::Shown;
}

void PreviewFramePipeline::render(cv::Mat &target) {
    CV_Assert(m_prepared && target.type() == CV_8UC4 && target.cols == m_shown.width() &&
              target.rows == m_shown.height());
    PictureScaler::BandStep lookUpShown;
    if (const Lut3d *lut = m_lutAfter)
        lookUpShown = [lut](cv::Mat &band) { lut->applyRows(band, band, false); };
    if (!m_rowByRow) {
        m_scaler.scale(m_bgrx, target, !m_landscape, lookUpShown);
        return;
    }
    const cv::Mat packed(m_frame.height, m_frame.width, CV_8UC2, const_cast<uchar *>(m_frame.bits[0]),
                         size_t(m_frame.bytesPerLine[0]));
    const Lut3d *lutBefore = m_lutBefore;
    m_scaler.scale(
        cv::Size(m_frame.width, m_frame.height),
        [&packed, lutBefore](int first, cv::Mat &rows) {
            YuyvConverter::convert(packed.rowRange(first, first + rows.rows), rows);
            if (lutBefore)
                lutBefore->applyRows(rows, rows, false);
        },
        target, !m_landscape, lookUpShown);
}
