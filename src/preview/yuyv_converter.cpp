#include "yuyv_converter.h"

#include "simd_dispatch.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdint>

namespace {

#ifdef KESTRANE_AVX2_COPIES
// The library's BT.601 coefficients, in 2^-20.
constexpr int kShift = 20;
constexpr int kY = 1220542;
constexpr int kUToBlue = 2116026;
constexpr int kUToGreen = -409993;
constexpr int kVToGreen = -852492;
constexpr int kVToRed = 1673527;
constexpr int kHalf = 1 << (kShift - 1);

inline uint8_t clampByte(int v) {
    return uint8_t(std::clamp(v, 0, 255));
}

// Pixels [0, width) of one row, two at a time: what the AVX2 copy leaves.
void convertRowPlain(const uint8_t *src, uint8_t *dst, int width) {
    for (int x = 0; x + 1 < width; x += 2, src += 4, dst += 8) {
        const int u = src[1] - 128, v = src[3] - 128;
        const int red = kHalf + kVToRed * v;
        const int green = kHalf + kVToGreen * v + kUToGreen * u;
        const int blue = kHalf + kUToBlue * u;
        for (int i = 0; i < 2; ++i) {
            const int y = std::max(0, src[2 * i] - 16) * kY;
            dst[4 * i] = clampByte((y + blue) >> kShift);
            dst[4 * i + 1] = clampByte((y + green) >> kShift);
            dst[4 * i + 2] = clampByte((y + red) >> kShift);
            dst[4 * i + 3] = 255;
        }
    }
}

// A sum in 2^-20 as a byte.
__attribute__((target("avx2"))) inline __m256i toByte(__m256i sum) {
    return _mm256_min_epi32(_mm256_max_epi32(_mm256_srai_epi32(sum, kShift), _mm256_setzero_si256()),
                            _mm256_set1_epi32(255));
}

// Returns how many pixels it converted (a multiple of eight); the rest is left.
__attribute__((target("avx2"))) int convertRowAvx2(const uint8_t *src, uint8_t *dst, int width) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i lowWord = _mm256_set1_epi32(0xffff);
    const __m256i sixteen = _mm256_set1_epi32(16);
    const __m256i centre = _mm256_set1_epi32(128);
    const __m256i half = _mm256_set1_epi32(kHalf);
    const __m256i opaque = _mm256_set1_epi32(int(0xff000000u));
    const __m256i yScale = _mm256_set1_epi32(kY);
    // Each pair's u in the even lanes, its v in the odd ones: one product each for
    // blue and red, two added for green, then spread to both pixels of the pair.
    const __m256i blueRed = _mm256_setr_epi32(kUToBlue, kVToRed, kUToBlue, kVToRed, kUToBlue, kVToRed, kUToBlue,
                                              kVToRed);
    const __m256i greens = _mm256_setr_epi32(kUToGreen, kVToGreen, kUToGreen, kVToGreen, kUToGreen, kVToGreen,
                                             kUToGreen, kVToGreen);
    const int n = width / 8 * 8;
    for (int x = 0; x < n; x += 8) {
        // Eight pixels as (luma | chroma << 16); the chroma alternates u, v.
        const __m256i words = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(src + 2 * x)));
        const __m256i luma = _mm256_and_si256(words, lowWord);
        const __m256i chroma = _mm256_sub_epi32(_mm256_srli_epi32(words, 16), centre);
        const __m256i chromaBlueRed = _mm256_mullo_epi32(chroma, blueRed);
        const __m256i chromaGreens = _mm256_mullo_epi32(chroma, greens);
        const __m256i y = _mm256_add_epi32(
            _mm256_mullo_epi32(_mm256_max_epi32(_mm256_sub_epi32(luma, sixteen), zero), yScale), half);
        const __m256i red = toByte(_mm256_add_epi32(y, _mm256_shuffle_epi32(chromaBlueRed, _MM_SHUFFLE(3, 3, 1, 1))));
        const __m256i green = toByte(_mm256_add_epi32(
            y, _mm256_add_epi32(_mm256_shuffle_epi32(chromaGreens, _MM_SHUFFLE(3, 3, 1, 1)),
                                _mm256_shuffle_epi32(chromaGreens, _MM_SHUFFLE(2, 2, 0, 0)))));
        const __m256i blue = toByte(_mm256_add_epi32(y, _mm256_shuffle_epi32(chromaBlueRed, _MM_SHUFFLE(2, 2, 0, 0))));
        const __m256i pixels = _mm256_or_si256(_mm256_or_si256(blue, _mm256_slli_epi32(green, 8)),
                                               _mm256_or_si256(_mm256_slli_epi32(red, 16), opaque));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(dst + 4 * x), pixels);
    }
    return n;
}
#endif

} // namespace

void YuyvConverter::convert(const cv::Mat &packed, cv::Mat &bgrx) {
    CV_Assert(packed.type() == CV_8UC2 && bgrx.type() == CV_8UC4 && packed.size() == bgrx.size() &&
              packed.cols % 2 == 0);
#ifdef KESTRANE_AVX2_COPIES
    if (SimdDispatch::avx2()) {
        for (int r = 0; r < packed.rows; ++r) {
            const uint8_t *src = packed.ptr<uint8_t>(r);
            uint8_t *dst = bgrx.ptr<uint8_t>(r);
            const int done = convertRowAvx2(src, dst, packed.cols);
            convertRowPlain(src + 2 * done, dst + 4 * done, packed.cols - done);
        }
        return;
    }
#endif
    cv::cvtColor(packed, bgrx, cv::COLOR_YUV2BGRA_YUY2);
}
