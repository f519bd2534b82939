#pragma once

#include <QSize>

#include <opencv2/core.hpp>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Scales a 32-bit BGRx picture to the size it is shown at, the way smooth scaling of
// the picture label does it: each axis that shrinks averages the source pixels under
// each output pixel by the area they cover, each axis that grows interpolates linearly
// between pixel centres. Optionally turns the result a quarter counter-clockwise in
// the same pass. Output rows are spread over OpenCV's worker threads, a few stripes
// of rows each, so that a frame wakes the workers once.
class PictureScaler {
public:
    // Writes source rows [first, first + rows.rows) as 32-bit BGRx into `rows` (the
    // source's width, allocated by the scaler). Called from several threads at once,
    // for different rows.
    using RowMaker = std::function<void(int first, cv::Mat &rows)>;
    // Runs on the part of dst that a band of finished output rows covers (rows of dst,
    // or columns when turned), while it is still in the cache.
    using BandStep = std::function<void(cv::Mat &band)>;

    // The size a picture of `picture` pixels is shown at in an area of `area` pixels,
    // keeping its aspect ratio.
    static QSize fitted(const QSize &picture, const QSize &area);

    // Writes `src` (CV_8UC4) scaled into `dst` (CV_8UC4, allocated by the caller): to
    // dst's size, or with `turnCcw` to dst's size turned, and then turned into dst.
    // The fourth byte of every written pixel is 255. `afterBand`, if given, then runs
    // on each band of dst.
    void scale(const cv::Mat &src, cv::Mat &dst, bool turnCcw, const BandStep &afterBand = {});
    // The same from a source of `srcSize` whose rows `makeRows` makes as they are
    // needed, a few at a time, into a small buffer of each stripe: the full-size
    // picture is never stored.
    void scale(const cv::Size &srcSize, const RowMaker &makeRows, cv::Mat &dst, bool turnCcw,
               const BandStep &afterBand = {});

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
        // With two taps: each output pixel's two weights four times over, interleaved.
        std::vector<uint16_t> tapPairs;
        // With two taps, for each four output pixels from x: where each one's two source
        // pixels lie, counted in pixels from first[x], in the order x, x + 2, x + 1,
        // x + 3. Empty where a group's pixels lie further apart than eight source pixels.
        std::vector<uint8_t> groupPicks;
    };
    static void buildAxis(Axis &axis, int from, int to, int tapMultiple);
    void run(const cv::Size &srcSize, const cv::Mat *src, const RowMaker *makeRows, cv::Mat &dst, bool turnCcw,
             const BandStep *afterBand);
    // Output pixels [from, outWidth) of one row from one blended source row; `out` is
    // where pixel `from` goes.
    static void horizontalPass(const uint8_t *line, const Axis &columns, uint8_t *out, ptrdiff_t pixelStep,
                               int outWidth, int from = 0);

    Axis m_rows;
    Axis m_columns;
};
