#pragma once

#include <QSize>

#include <opencv2/core.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

// Scales a 32-bit BGRx picture to the size it is shown at, the way smooth scaling of
// the picture label does it: each axis that shrinks averages the source pixels under
// each output pixel by the area they cover, each axis that grows interpolates linearly
// between pixel centres. Optionally turns the result a quarter counter-clockwise in
// the same pass. Output rows are spread over OpenCV's worker threads.
class PictureScaler {
public:
    // The size a picture of `picture` pixels is shown at in an area of `area` pixels,
    // keeping its aspect ratio.
    static QSize fitted(const QSize &picture, const QSize &area);

    // Writes `src` (CV_8UC4) scaled into `dst` (CV_8UC4, allocated by the caller): to
    // dst's size, or with `turnCcw` to dst's size turned, and then turned into dst.
    // The fourth byte of every written pixel is 255.
    void scale(const cv::Mat &src, cv::Mat &dst, bool turnCcw);

private:
    // Source pixels and weights (in 256ths, summing to 256) of each output pixel along
    // one axis; `taps` per output, padded with zero weights.
    struct Axis {
        int from = 0;
        int to = 0;
        int taps = 0;
        std::vector<int> first;
        std::vector<uint16_t> weights;
        // The same weights as vectors of eight lanes, for two neighbouring 4-byte
        // pixels: four times weight k, four times weight k + 1.
        std::vector<uint16_t> lanes;
    };
    static void buildAxis(Axis &axis, int from, int to, int tapMultiple);
    // Output pixels [from, outWidth) of one row from one blended source row; `out` is
    // where pixel `from` goes.
    static void horizontalPass(const uint8_t *line, const Axis &columns, uint8_t *out, ptrdiff_t pixelStep,
                               int outWidth, int from = 0);

    Axis m_rows;
    Axis m_columns;
};
