#include "picture_scaler.h"

#include "row_helper_thread.h"
#include "simd_dispatch.h"

#include <opencv2/core/utility.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <utility>

QSize PictureScaler::fitted(const QSize &picture, const QSize &area) {
    QSize size = picture.scaled(area, Qt::KeepAspectRatio);
    return QSize(std::max(size.width(), 1), std::max(size.height(), 1));
}

namespace {
// Source pixels one load of the four-pixel two-tap pass brings (32 bytes).
constexpr int kGroupPixels = 8;
} // namespace

void PictureScaler::buildAxis(Axis &axis, int from, int to, int tapMultiple) {
    if (axis.from == from && axis.to == to && !axis.first.empty())
        return;
    std::vector<std::vector<double>> weights(static_cast<size_t>(to));
    axis.first.assign(size_t(to), 0);
    const double ratio = double(from) / double(to);
    int taps = 1;
    for (int o = 0; o < to; ++o) {
        std::vector<double> &w = weights[size_t(o)];
        if (to < from) {
            // Shrinking: the share of each source pixel in [o, o + 1) * ratio.
            const double a = o * ratio, b = (o + 1) * ratio;
            const int lo = int(std::floor(a));
            const int hi = std::min(from, int(std::ceil(b)));
            axis.first[size_t(o)] = lo;
            for (int i = lo; i < hi; ++i)
                w.push_back((std::min(b, double(i + 1)) - std::max(a, double(i))) / ratio);
        } else {
            // Growing: linear between the two nearest source pixel centres.
            const double pos = (o + 0.5) * ratio - 0.5;
            if (pos <= 0 || from == 1) {
                axis.first[size_t(o)] = 0;
                w = {1.0};
            } else if (pos >= from - 1) {
                axis.first[size_t(o)] = from - 1;
                w = {1.0};
            } else {
                const int lo = int(std::floor(pos));
                axis.first[size_t(o)] = lo;
                w = {1.0 - (pos - lo), pos - lo};
            }
        }
        taps = std::max(taps, int(w.size()));
    }
    taps = (taps + tapMultiple - 1) / tapMultiple * tapMultiple;
    axis.taps = taps;
    axis.weights.assign(size_t(to) * size_t(taps), 0);
    for (int o = 0; o < to; ++o) {
        const std::vector<double> &w = weights[size_t(o)];
        uint16_t *q = axis.weights.data() + size_t(o) * size_t(taps);
        int sum = 0, largest = 0;
        for (size_t k = 0; k < w.size(); ++k) {
            q[k] = uint16_t(std::lround(w[k] * 256.0));
            sum += q[k];
            if (q[k] > q[largest])
                largest = int(k);
        }
        q[largest] = uint16_t(q[largest] + 256 - sum);
    }
    axis.lanes.clear();
    axis.tapPairs.clear();
    axis.groupPicks.clear();
    if (tapMultiple == 2) {
        axis.lanes.resize(axis.weights.size() * 4);
        for (size_t i = 0; i < axis.weights.size(); ++i)
            std::fill_n(axis.lanes.begin() + ptrdiff_t(i * 4), 4, axis.weights[i]);
    }
    if (tapMultiple == 2 && taps == 2) {
        axis.tapPairs.resize(size_t(to) * 8);
        for (size_t o = 0; o < size_t(to); ++o)
            for (size_t c = 0; c < 4; ++c) {
                axis.tapPairs[o * 8 + c * 2] = axis.weights[o * 2];
                axis.tapPairs[o * 8 + c * 2 + 1] = axis.weights[o * 2 + 1];
            }
        std::vector<uint8_t> picks(size_t(to / 4) * 8);
        bool fit = true;
        for (size_t o = 0; o + 4 <= size_t(to); o += 4) {
            const size_t order[4] = {o, o + 2, o + 1, o + 3};
            for (size_t k = 0; k < 4; ++k) {
                const int pick = axis.first[order[k]] - axis.first[o];
                fit = fit && pick + 1 < kGroupPixels;
                picks[o * 2 + k * 2] = uint8_t(pick);
                picks[o * 2 + k * 2 + 1] = uint8_t(pick + 1);
            }
        }
        if (fit)
            axis.groupPicks = std::move(picks);
    }
    axis.from = from;
    axis.to = to;
}

namespace {

// One row of the vertical pass: `count` bytes of the weighted source rows, rounded. A
// plain element-wise loop the compiler vectorises; where the processor has AVX2 a
// second copy built for it handles twice the bytes per instruction. Two taps, the
// common case of a picture shown at more than half its size, go in one pass without
// the accumulator row; the sums are the same.
KESTRANE_ALWAYS_INLINE void blendRowsBody(const uint8_t *const *rows, const uint16_t *weights, int taps,
                                          uint16_t *acc, uint8_t *out, int count) {
    if (taps == 2) {
        const uint16_t w0 = weights[0], w1 = weights[1];
        const uint8_t *r0 = rows[0], *r1 = rows[1];
        for (int i = 0; i < count; ++i)
            out[i] = uint8_t(uint16_t(128 + w0 * r0[i] + w1 * r1[i]) >> 8);
        return;
    }
    std::fill(acc, acc + count, uint16_t(128));
    for (int k = 0; k < taps; ++k) {
        const uint16_t w = weights[k];
        if (w == 0)
            continue;
        const uint8_t *row = rows[k];
        for (int i = 0; i < count; ++i)
            acc[i] = uint16_t(acc[i] + w * row[i]);
    }
    for (int i = 0; i < count; ++i)
        out[i] = uint8_t(acc[i] >> 8);
}

using BlendRowsFn = void (*)(const uint8_t *const *, const uint16_t *, int, uint16_t *, uint8_t *, int);

void blendRowsPlain(const uint8_t *const *rows, const uint16_t *weights, int taps, uint16_t *acc, uint8_t *out,
                    int count) {
    blendRowsBody(rows, weights, taps, acc, out, count);
}

#ifdef KESTRANE_AVX2_COPIES
// The rounded weighed differences of sixteen byte pairs, each as the low byte of a word.
__attribute__((target("avx2"), always_inline)) inline __m256i blendStep(__m256i pairs, __m256i pairWeights,
                                                                        __m256i half, __m128i by, __m256i lowBytes) {
    const __m256i product = _mm256_maddubs_epi16(pairs, pairWeights);
    return _mm256_and_si256(_mm256_sra_epi16(_mm256_add_epi16(product, half), by), lowBytes);
}

// Two rows whose weights add up to 256, 32 bytes at a time; returns the bytes done. With
// w0 + w1 = 256, (128 + w0 r0 + w1 r1) >> 8 is r1 + ((128 + w0 (r0 - r1)) >> 8): the
// smaller weight (at most 128) times the difference from the other row fits one
// multiply-add of byte pairs, where the plain sum needs each byte widened and multiplied.
// An equal split (128, 128) is weighed as (64, 64) with half the rounding, the same sums.
__attribute__((target("avx2"))) int blendTwoRowsAvx2(const uint8_t *r0, const uint8_t *r1, const uint16_t *weights,
                                                     uint8_t *out, int count) {
    const bool firstSmaller = weights[0] <= weights[1];
    int w = std::min(weights[0], weights[1]);
    int shift = 8;
    if (w == 128)
        w = 64, shift = 7;
    // Byte pairs (r0, r1) weighed (w, -w) on top of r1, or (-w, w) on top of r0.
    const auto pair = [](int forR0, int forR1) { return int16_t(uint16_t((forR0 & 255) | (forR1 & 255) << 8)); };
    const __m256i pairWeights = _mm256_set1_epi16(firstSmaller ? pair(w, -w) : pair(-w, w));
    const __m256i half = _mm256_set1_epi16(int16_t(1 << (shift - 1)));
    const __m128i by = _mm_cvtsi32_si128(shift);
    const __m256i lowBytes = _mm256_set1_epi16(0xff);
    const uint8_t *base = firstSmaller ? r1 : r0;
    const int n = count / 32 * 32;
    for (int i = 0; i < n; i += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(r0 + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(r1 + i));
        // The steps' bytes, taken mod 256, added to the base row give the blended bytes.
        const __m256i steps =
            _mm256_packus_epi16(blendStep(_mm256_unpacklo_epi8(a, b), pairWeights, half, by, lowBytes),
                                blendStep(_mm256_unpackhi_epi8(a, b), pairWeights, half, by, lowBytes));
        const __m256i onto = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(base + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + i), _mm256_add_epi8(onto, steps));
    }
    return n;
}

__attribute__((target("avx2"))) void blendRowsAvx2(const uint8_t *const *rows, const uint16_t *weights, int taps,
                                                   uint16_t *acc, uint8_t *out, int count) {
    if (taps == 2 && weights[0] + weights[1] == 256) {
        const int done = blendTwoRowsAvx2(rows[0], rows[1], weights, out, count);
        const uint8_t *rest[2] = {rows[0] + done, rows[1] + done};
        blendRowsBody(rest, weights, taps, acc, out + done, count - done);
        return;
    }
    blendRowsBody(rows, weights, taps, acc, out, count);
}

// The weighted taps of output pixels x and x + 1: pixel x in the low 128 bits, x + 1 in
// the high ones, each as two halves of four channels (an even and an odd tap) still to
// be added.
__attribute__((target("avx2"), always_inline)) inline __m256i twoPixelSums(const uint8_t *line, const int *first,
                                                                           const __m128i *lanes, int pairs, int x) {
    const uint8_t *p0 = line + size_t(first[x]) * 4;
    const uint8_t *p1 = line + size_t(first[x + 1]) * 4;
    const __m128i *w0 = lanes + size_t(x) * size_t(pairs);
    const __m128i *w1 = w0 + pairs;
    __m256i sum = _mm256_setzero_si256();
    for (int k = 0; k < pairs; ++k) {
        const __m128i taps = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(p0 + 8 * k)),
                                                _mm_loadl_epi64(reinterpret_cast<const __m128i *>(p1 + 8 * k)));
        const __m256i weights = _mm256_set_m128i(_mm_loadu_si128(w1 + k), _mm_loadu_si128(w0 + k));
        sum = _mm256_add_epi16(sum, _mm256_mullo_epi16(_mm256_cvtepu8_epi16(taps), weights));
    }
    return sum;
}

// Writes pixels x .. x + 3 from their rounded channel sums as 16-bit words: pixels x and
// x + 2 in the low 128 bits, x + 1 and x + 3 in the high ones.
__attribute__((target("avx2"), always_inline)) inline void storeFour(__m256i sums, uint8_t *out, ptrdiff_t pixelStep) {
    // Packing leaves pixels x, x + 2 in the low lane and x + 1, x + 3 in the high one.
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 0, 4, 1, 5);
    const __m256i packed = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(sums, sums), order);
    const __m128i four = _mm_or_si128(_mm256_castsi256_si128(packed), _mm_set1_epi32(int(0xff000000u)));
    if (pixelStep == 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out), four);
    } else {
        const uint32_t pixels[4] = {uint32_t(_mm_cvtsi128_si32(four)), uint32_t(_mm_extract_epi32(four, 1)),
                                    uint32_t(_mm_extract_epi32(four, 2)), uint32_t(_mm_extract_epi32(four, 3))};
        for (int i = 0; i < 4; ++i)
            std::memcpy(out + i * pixelStep, &pixels[i], 4);
    }
}

// Output pixels [0, n) of one row, four at a time, n a multiple of four, with the same
// arithmetic as the two-at-a-time pass; returns n.
__attribute__((target("avx2"))) int horizontalPassAvx2(const uint8_t *line, const int *first, const uint16_t *lanes,
                                                       int taps, uint8_t *out, ptrdiff_t pixelStep, int outWidth) {
    const auto *pairLanes = reinterpret_cast<const __m128i *>(lanes);
    const int pairs = taps / 2;
    const __m256i half = _mm256_set1_epi16(128);
    const int n = outWidth / 4 * 4;
    for (int x = 0; x < n; x += 4, out += 4 * pixelStep) {
        const __m256i a = twoPixelSums(line, first, pairLanes, pairs, x);
        const __m256i b = twoPixelSums(line, first, pairLanes, pairs, x + 2);
        const __m256i sums = _mm256_add_epi16(_mm256_unpacklo_epi64(a, b), _mm256_unpackhi_epi64(a, b));
        storeFour(_mm256_srli_epi16(_mm256_add_epi16(sums, half), 8), out, pixelStep);
    }
    return n;
}

// Each channel's two taps, side by side as words, weighed with output pixel x's weights
// in the low lane and x + 1's in the high one, added and rounded.
__attribute__((target("avx2"), always_inline)) inline __m256i weighedTaps(__m256i taps, const uint16_t *tapPairs,
                                                                          int x) {
    const __m256i weights = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(tapPairs + size_t(x) * 8));
    return _mm256_srli_epi32(_mm256_add_epi32(_mm256_madd_epi16(taps, weights), _mm256_set1_epi32(128)), 8);
}

// The same as horizontalPassAvx2 for two taps (any reduction to more than half, the
// common case, and any enlargement), with the same sums, where each four output pixels'
// taps lie within kGroupPixels source pixels (`picks`, see Axis::groupPicks): one load
// brings all their taps, one permute puts each pixel's two taps next to each other, and
// one shuffle a pair of pixels sets each channel's two taps side by side for one
// multiply-add.
__attribute__((target("avx2"))) int horizontalPassTwoTapsAvx2(const uint8_t *line, const int *first,
                                                              const uint16_t *tapPairs, const uint8_t *picks,
                                                              uint8_t *out, ptrdiff_t pixelStep, int outWidth) {
    // Bytes c0 c1 c2 c3 of a pixel's first tap, then of its second, to words first c0,
    // second c0, first c1, ...: the pair in the low half of each lane, then the one in
    // the high half.
    const __m256i lowPair = _mm256_setr_epi8(0, -1, 4, -1, 1, -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1, //
                                             0, -1, 4, -1, 1, -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1);
    const __m256i highPair = _mm256_setr_epi8(8, -1, 12, -1, 9, -1, 13, -1, 10, -1, 14, -1, 11, -1, 15, -1, //
                                              8, -1, 12, -1, 9, -1, 13, -1, 10, -1, 14, -1, 11, -1, 15, -1);
    const int n = outWidth / 4 * 4;
    for (int x = 0; x < n; x += 4, out += 4 * pixelStep) {
        const __m256i source = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(line + size_t(first[x]) * 4));
        const __m256i pick =
            _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(picks + size_t(x) * 2)));
        // The taps of pixels x and x + 2 in the low lane, of x + 1 and x + 3 in the high one.
        const __m256i pairs = _mm256_permutevar8x32_epi32(source, pick);
        storeFour(_mm256_packus_epi32(weighedTaps(_mm256_shuffle_epi8(pairs, lowPair), tapPairs, x),
                                      weighedTaps(_mm256_shuffle_epi8(pairs, highPair), tapPairs, x + 2)),
                  out, pixelStep);
    }
    return n;
}
#endif

BlendRowsFn blendRowsFunction() {
#ifdef KESTRANE_AVX2_COPIES
    if (SimdDispatch::avx2())
        return blendRowsAvx2;
#endif
    return blendRowsPlain;
}

} // namespace

// One output row from one blended source row. `out` steps by `pixelStep` bytes.
void PictureScaler::horizontalPass(const uint8_t *line, const Axis &columns, uint8_t *out, ptrdiff_t pixelStep,
                                   int outWidth, int from) {
    const int taps = columns.taps;
#ifdef KESTRANE_SSE2
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(128);
    const __m128i opaque = _mm_set1_epi32(int(0xff000000u));
    const auto *lanes = reinterpret_cast<const __m128i *>(columns.lanes.data());
    // Both halves of a sum hold one tap's four channels; add them up.
    const auto pixelSum = [&](int x) {
        const uint8_t *p = line + size_t(columns.first[size_t(x)]) * 4;
        const __m128i *w = lanes + size_t(x) * size_t(taps / 2);
        __m128i sum = _mm_mullo_epi16(_mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(p)), zero),
                                      _mm_loadu_si128(w));
        for (int k = 2; k < taps; k += 2)
            sum = _mm_add_epi16(sum, _mm_mullo_epi16(_mm_unpacklo_epi8(_mm_loadl_epi64(
                                                         reinterpret_cast<const __m128i *>(p + k * 4)), zero),
                                                     _mm_loadu_si128(w + k / 2)));
        return sum;
    };
    int x = from;
    for (; x + 1 < outWidth; x += 2) {
        const __m128i a = pixelSum(x), b = pixelSum(x + 1);
        __m128i both = _mm_add_epi16(_mm_unpacklo_epi64(a, b), _mm_unpackhi_epi64(a, b));
        both = _mm_srli_epi16(_mm_add_epi16(both, half), 8);
        const __m128i bytes = _mm_or_si128(_mm_packus_epi16(both, both), opaque);
        if (pixelStep == 4) {
            _mm_storel_epi64(reinterpret_cast<__m128i *>(out), bytes);
        } else {
            const uint32_t first = uint32_t(_mm_cvtsi128_si32(bytes));
            const uint32_t second = uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(bytes, 4)));
            std::memcpy(out, &first, 4);
            std::memcpy(out + pixelStep, &second, 4);
        }
        out += 2 * pixelStep;
    }
    if (x < outWidth) {
        __m128i sum = pixelSum(x);
        sum = _mm_add_epi16(sum, _mm_srli_si128(sum, 8));
        sum = _mm_srli_epi16(_mm_add_epi16(sum, half), 8);
        const uint32_t pixel = uint32_t(_mm_cvtsi128_si32(_mm_or_si128(_mm_packus_epi16(sum, sum), opaque)));
        std::memcpy(out, &pixel, 4);
    }
#else
    const uint16_t *w = columns.weights.data() + size_t(from) * size_t(taps);
    for (int x = from; x < outWidth; ++x, out += pixelStep, w += taps) {
        const uint8_t *p = line + size_t(columns.first[size_t(x)]) * 4;
        unsigned sum[3] = {128, 128, 128};
        for (int k = 0; k < taps; ++k)
            for (int c = 0; c < 3; ++c)
                sum[c] += unsigned(w[k]) * p[k * 4 + c];
        out[0] = uint8_t(sum[0] >> 8);
        out[1] = uint8_t(sum[1] >> 8);
        out[2] = uint8_t(sum[2] >> 8);
        out[3] = 255;
    }
#endif
}

void PictureScaler::scale(const cv::Mat &src, cv::Mat &dst, bool turnCcw, const BandStep &afterBand) {
    CV_Assert(src.type() == CV_8UC4);
    run(src.size(), &src, nullptr, dst, turnCcw, afterBand ? &afterBand : nullptr);
}

void PictureScaler::scale(const cv::Size &srcSize, const RowMaker &makeRows, cv::Mat &dst, bool turnCcw,
                          const BandStep &afterBand) {
    run(srcSize, nullptr, &makeRows, dst, turnCcw, afterBand ? &afterBand : nullptr);
}

namespace {

// Source rows a stripe makes at once, output rows in a band, and the bands of a
// picture's rows handed out as chunks to the two threads (about eight chunks).
constexpr int kMadeRows = 16;
constexpr int kBandRows = 8;
constexpr int kChunks = 8;

// The made source rows of one stripe: a ring of rows, each source row in slot
// row % capacity. A stripe's output rows need ever later source rows, at most `taps`
// at a time, so a ring of taps + kMadeRows rows always holds them.
class MadeRows {
public:
    MadeRows(const cv::Size &srcSize, int taps, const PictureScaler::RowMaker &make)
        : m_ring(taps + kMadeRows, srcSize.width, CV_8UC4), m_srcRows(srcSize.height), m_make(make) {}

    // Makes sure source rows [first, end) are made, making none at or past `limit` (the
    // end of what the stripe's chunk needs: the rows past it may belong to the other
    // stripe); earlier rows may be dropped. A stripe may go on further down the picture:
    // rows it skips are not made.
    void cover(int first, int end, int limit) {
        if (m_end < first)
            m_end = first;
        limit = std::min(limit, m_srcRows);
        while (m_end < end) {
            const int slot = m_end % m_ring.rows;
            const int count = std::min({kMadeRows, limit - m_end, m_ring.rows - slot});
            cv::Mat rows = m_ring.rowRange(slot, slot + count);
            m_make(m_end, rows);
            m_end += count;
        }
    }
    const uint8_t *row(int y) const { return m_ring.ptr<uint8_t>(y % m_ring.rows); }

private:
    cv::Mat m_ring;
    int m_srcRows;
    int m_end = -1;
    const PictureScaler::RowMaker &m_make;
};

} // namespace

void PictureScaler::run(const cv::Size &srcSize, const cv::Mat *src, const RowMaker *makeRows, cv::Mat &dst,
                        bool turnCcw, const BandStep *afterBand) {
    CV_Assert(dst.type() == CV_8UC4 && srcSize.width > 0 && srcSize.height > 0);
    // The unturned output is outWidth x outHeight.
    const int outWidth = turnCcw ? dst.rows : dst.cols;
    const int outHeight = turnCcw ? dst.cols : dst.rows;
    const int srcRows = srcSize.height;
    buildAxis(m_rows, srcRows, outHeight, 1);
    buildAxis(m_columns, srcSize.width, outWidth, 2);
    const Axis &rows = m_rows;
    const Axis &columns = m_columns;
    const int rowBytes = srcSize.width * 4;
    // Where output pixel (x, y) of the unturned picture lands, in bytes from dst's start.
    const ptrdiff_t dstRowStep = turnCcw ? 4 : ptrdiff_t(dst.step[0]);
    const ptrdiff_t dstPixelStep = turnCcw ? -ptrdiff_t(dst.step[0]) : 4;
    uint8_t *const dstOrigin = dst.data + (turnCcw ? ptrdiff_t(dst.step[0]) * (dst.rows - 1) : 0);

    const BlendRowsFn blendRows = blendRowsFunction();
#ifdef KESTRANE_AVX2_COPIES
    const bool avx2 = SimdDispatch::avx2();
#endif
    // What each of the two threads keeps from one chunk of rows to the next.
    struct Stripe {
        std::vector<uint16_t> acc;
        // The blended row, with room for the zero-weight taps that pad the last pixels
        // and for a whole group's load from the last pixel.
        std::vector<uint8_t> line;
        std::vector<const uint8_t *> sourceRows;
        std::unique_ptr<MadeRows> made;
    };
    Stripe stripes[2];
    const int chunk = std::max(kBandRows, (outHeight + kChunks * kBandRows - 1) / (kChunks * kBandRows) * kBandRows);
    RowHelperThread::run(
        outHeight, chunk,
        [&](int worker, int rangeStart, int rangeEnd) {
            const cv::Range range(rangeStart, rangeEnd);
            Stripe &stripe = stripes[worker];
            if (stripe.line.empty()) {
                stripe.acc.resize(size_t(rowBytes));
                stripe.line.assign(size_t(rowBytes) + size_t(columns.taps) * 4 + kGroupPixels * 4, 0);
                stripe.sourceRows.resize(size_t(rows.taps));
                if (makeRows)
                    stripe.made = std::make_unique<MadeRows>(srcSize, rows.taps, *makeRows);
            }
            std::vector<uint16_t> &acc = stripe.acc;
            std::vector<uint8_t> &line = stripe.line;
            std::vector<const uint8_t *> &sourceRows = stripe.sourceRows;
            MadeRows *made = stripe.made.get();
            int bandStart = range.start;
            const int madeLimit = rows.first[size_t(range.end - 1)] + rows.taps;
            for (int y = range.start; y < range.end; ++y) {
                const int first = rows.first[size_t(y)];
                if (made)
                    made->cover(first, std::min(first + rows.taps, srcRows), madeLimit);
                for (int k = 0; k < rows.taps; ++k) {
                    const int row = std::min(first + k, srcRows - 1);
                    sourceRows[size_t(k)] = made ? made->row(row) : src->ptr<uint8_t>(row);
                }
                blendRows(sourceRows.data(), rows.weights.data() + size_t(y) * size_t(rows.taps), rows.taps,
                          acc.data(), line.data(), rowBytes);
                uint8_t *out = dstOrigin + dstRowStep * y;
                int done = 0;
#ifdef KESTRANE_AVX2_COPIES
                if (avx2)
                    done = columns.groupPicks.empty()
                               ? horizontalPassAvx2(line.data(), columns.first.data(), columns.lanes.data(),
                                                    columns.taps, out, dstPixelStep, outWidth)
                               : horizontalPassTwoTapsAvx2(line.data(), columns.first.data(), columns.tapPairs.data(),
                                                           columns.groupPicks.data(), out, dstPixelStep, outWidth);
#endif
                horizontalPass(line.data(), columns, out + dstPixelStep * done, dstPixelStep, outWidth, done);
                if (afterBand && (y + 1 - bandStart == kBandRows || y + 1 == range.end)) {
                    cv::Mat band = turnCcw ? dst.colRange(bandStart, y + 1) : dst.rowRange(bandStart, y + 1);
                    (*afterBand)(band);
                    bandStart = y + 1;
                }
            }
        });
}
