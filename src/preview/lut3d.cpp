#include "lut3d.h"

#include "simd_dispatch.h"

#include <QDebug>
#include <QtGlobal>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <opencv2/core/utility.hpp>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <cstdlib>
#include <vector>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace {

constexpr int kRowFloats = 256 * 3;         // one green grid value: [red][b, g, r]
// A file may announce any size; room is reserved for at most this many points up
// front, the rest grows with the data actually read.
constexpr qint64 kMaxReservedPoints = 65 * 65 * 65;

struct AxisSample {
    int lo = 0;
    int hi = 0;
    float f = 0;         // weight of hi
    float oneMinusF = 1; // weight of lo
};

// Where input value v (0-255) falls between the grid points of an N-point axis.
std::array<AxisSample, 256> axisSamples(int n) {
    std::array<AxisSample, 256> samples;
    const float s = float(n - 1) / 255.0f;
    for (int v = 0; v < 256; ++v) {
        const float t = float(v) * s;
        AxisSample &a = samples[size_t(v)];
        a.lo = int(t);
        a.hi = std::min(a.lo + 1, n - 1);
        a.f = t - float(a.lo);
        a.oneMinusF = 1.0f - a.f;
    }
    return samples;
}

// Byte offsets of each channel's share of a table entry's place; see tableOffset().
struct OffsetParts {
    uint32_t blue[256];
    uint32_t green[256];
    uint32_t red[256];
};

// Within a block the colours lie in eight cubes of 4 x 4 x 4, the cube of the upper
// bits of red, green and blue (r & 4, g & 4, b & 4) in that order of significance;
// within a cube, blue slowest and red fastest. A cube of 64 entries fills three whole
// cache lines.
constexpr uint32_t withinBlock(uint32_t b, uint32_t g, uint32_t r) {
    return (r & 3) | (g & 3) << 2 | (b & 3) << 4 | (r & 4) << 4 | (g & 4) << 5 | (b & 4) << 6;
}

constexpr OffsetParts makeOffsetParts() {
    OffsetParts parts{};
    for (uint32_t v = 0; v < 256; ++v) {
        parts.blue[v] = (((v >> 3) << 19) | withinBlock(v, 0, 0)) * 3;
        parts.green[v] = (((v >> 3) << 14) | withinBlock(0, v, 0)) * 3;
        parts.red[v] = (((v >> 3) << 9) | withinBlock(0, 0, v)) * 3;
    }
    return parts;
}

constexpr OffsetParts kOffsets = makeOffsetParts();

constexpr size_t kBlockBytes = size_t(512) * 3;
constexpr int kRedBlocks = 32;
// A quarter of a small cube: four reds of one green and one blue input.
constexpr int kQuadValues = 4 * 3;
// A tile's values for one block of reds: eight greens by eight reds, as two green
// halves by two red halves of four greens by four reds.
constexpr int kBlockTileValues = 8 * 8 * 3;
// A small cube's bytes, and the run of one blue input in it (four greens by four reds).
constexpr int kCubeBytes = 64 * 3;
constexpr int kCubeRunValues = 16 * 3;

// The blends of the four blue inputs of one half of a block (b & 4 alike), each from
// its two tiles and weights.
struct BlueQuad {
    const float *lo[4];
    const float *hi[4];
    float weightLo[4];
    float weightHi[4];
};

// The two inner loops of the table build. lerpRow interpolates one green input's row
// of 256 reds (plain red order) into a tile in the table's order, [red block][green
// half][red half][green % 4][red % 4][b, g, r]: `out` points at the green's first quad
// and receives two quads per red block. The blend mixes the tiles of eight green
// inputs into the bytes of four blue inputs: each of the 32 blocks at `out` (their
// half of small cubes of those blue inputs) gets its four small cubes whole, each the
// four blue inputs' runs one after the other. Both are plain element-wise loops; where
// the processor has AVX2 a second copy runs eight elements per instruction (lerpRow's
// built by the compiler from the same loop, the blend's written out). Neither copy
// contracts multiply and add, so both give the same bytes.
KESTRANE_ALWAYS_INLINE void lerpRow(const float *lo, const float *hi, float wl, float wh, float *out) {
    for (int block = 0; block < kRedBlocks; ++block, lo += 24, hi += 24, out += kBlockTileValues)
        for (int half = 0; half < 2; ++half)
            for (int i = 0; i < kQuadValues; ++i)
                out[half * 4 * kQuadValues + i] = lo[half * kQuadValues + i] * wl + hi[half * kQuadValues + i] * wh;
}

void blendPlain(const BlueQuad &q, unsigned char *out) {
    for (int block = 0; block < kRedBlocks; ++block, out += kBlockBytes)
        for (int run = 0; run < 4; ++run)
            for (int k = 0; k < 4; ++k) {
                const size_t from = size_t(block) * kBlockTileValues + size_t(run) * kCubeRunValues;
                unsigned char *to = out + run * kCubeBytes + k * kCubeRunValues;
                for (int i = 0; i < kCubeRunValues; ++i) {
                    float v = (q.lo[k][from + i] * q.weightLo[k] + q.hi[k][from + i] * q.weightHi[k]) * 255.0f;
                    v = v > 0.0f ? v : 0.0f; // also turns NaN into 0
                    v = v < 255.0f ? v : 255.0f;
                    to[i] = static_cast<unsigned char>(static_cast<int>(v));
                }
            }
}

using LerpRowFn = void (*)(const float *, const float *, float, float, float *);
using BlendFn = void (*)(const BlueQuad &, unsigned char *);

void lerpRowPlain(const float *lo, const float *hi, float wl, float wh, float *out) {
    lerpRow(lo, hi, wl, wh, out);
}

#ifdef KESTRANE_AVX2_COPIES
__attribute__((target("avx2"))) void lerpRowAvx2(const float *lo, const float *hi, float wl, float wh, float *out) {
    lerpRow(lo, hi, wl, wh, out);
}
__attribute__((target("avx2"), always_inline)) inline __m256i blendEight(const float *lo, const float *hi,
                                                                          __m256 weightLo, __m256 weightHi) {
    const __m256 scale = _mm256_set1_ps(255.0f);
    __m256 v = _mm256_add_ps(_mm256_mul_ps(_mm256_loadu_ps(lo), weightLo),
                             _mm256_mul_ps(_mm256_loadu_ps(hi), weightHi));
    v = _mm256_min_ps(_mm256_max_ps(_mm256_mul_ps(v, scale), _mm256_setzero_ps()), scale);
    return _mm256_cvttps_epi32(v);
}

// 32 bytes written past the cache: sixteen values from each of two places, with their
// weights.
__attribute__((target("avx2"), always_inline)) inline void blendThirtyTwo(const float *loA, const float *hiA,
                                                                           __m256 weightLoA, __m256 weightHiA,
                                                                           const float *loB, const float *hiB,
                                                                           __m256 weightLoB, __m256 weightHiB,
                                                                           unsigned char *out) {
    // packs work within 128-bit lanes; this puts the four groups of eight back in order.
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    const __m256i a = blendEight(loA, hiA, weightLoA, weightHiA);
    const __m256i b = blendEight(loA + 8, hiA + 8, weightLoA, weightHiA);
    const __m256i c = blendEight(loB, hiB, weightLoB, weightHiB);
    const __m256i d = blendEight(loB + 8, hiB + 8, weightLoB, weightHiB);
    const __m256i packed = _mm256_packus_epi16(_mm256_packus_epi32(a, b), _mm256_packus_epi32(c, d));
    _mm256_stream_si256(reinterpret_cast<__m256i *>(out), _mm256_permutevar8x32_epi32(packed, order));
}

// Two blue inputs' runs of one small cube, one after the other: 96 bytes.
__attribute__((target("avx2"), always_inline)) inline void blendTwoRuns(const float *loA, const float *hiA,
                                                                         __m256 weightLoA, __m256 weightHiA,
                                                                         const float *loB, const float *hiB,
                                                                         __m256 weightLoB, __m256 weightHiB,
                                                                         unsigned char *out) {
    blendThirtyTwo(loA, hiA, weightLoA, weightHiA, loA + 16, hiA + 16, weightLoA, weightHiA, out);
    blendThirtyTwo(loA + 32, hiA + 32, weightLoA, weightHiA, loB, hiB, weightLoB, weightHiB, out + 32);
    blendThirtyTwo(loB + 16, hiB + 16, weightLoB, weightHiB, loB + 32, hiB + 32, weightLoB, weightHiB, out + 64);
}

// The same steps as blendPlain, written out: max(v, 0) also gives 0 for NaN. The bytes
// go past the cache, as the table is far larger than it and read only later; small
// cubes start on 64-byte boundaries of the table.
__attribute__((target("avx2"))) void blendAvx2(const BlueQuad &q, unsigned char *out) {
    const __m256 lo0 = _mm256_set1_ps(q.weightLo[0]), hi0 = _mm256_set1_ps(q.weightHi[0]);
    const __m256 lo1 = _mm256_set1_ps(q.weightLo[1]), hi1 = _mm256_set1_ps(q.weightHi[1]);
    const __m256 lo2 = _mm256_set1_ps(q.weightLo[2]), hi2 = _mm256_set1_ps(q.weightHi[2]);
    const __m256 lo3 = _mm256_set1_ps(q.weightLo[3]), hi3 = _mm256_set1_ps(q.weightHi[3]);
    for (size_t from = 0; from < size_t(kRedBlocks) * kBlockTileValues; from += kCubeRunValues, out += kCubeBytes) {
        // Past a block's four small cubes of this half, the other half's four.
        if (from > 0 && from % kBlockTileValues == 0)
            out += kBlockBytes / 2;
        blendTwoRuns(q.lo[0] + from, q.hi[0] + from, lo0, hi0, q.lo[1] + from, q.hi[1] + from, lo1, hi1, out);
        blendTwoRuns(q.lo[2] + from, q.hi[2] + from, lo2, hi2, q.lo[3] + from, q.hi[3] + from, lo3, hi3,
                     out + 2 * kCubeRunValues);
    }
}
#endif

float readNumber(QStringView text) {
    bool ok = false;
    float value = text.toFloat(&ok);
    if (!ok) {
        // Single precision also refuses numbers beyond its range, large or tiny: those
        // are clamped by their value (a tiny positive number is all but 0).
        const double wide = text.toDouble(&ok);
        if (!ok || !(wide > 0.0))
            return 0.0f;
        return wide >= 1.0 ? 1.0f : float(wide);
    }
    if (!(value < 1.0f))
        return value != value ? 0.0f : 1.0f;
    if (!(value > 0.0f))
        return 0.0f;
    return value;
}

} // namespace

// The expanded table: 48 MiB read by every preview frame. It starts on a 64-byte
// boundary (the build writes whole aligned runs); on Linux it is aligned to and
// advised for huge pages, which spares most TLB misses of the look-ups. A few zero
// bytes follow the last entry, so that it too can be read as a whole word.
struct Lut3d::TableMemory {
    static constexpr size_t kPadding = 8;
    unsigned char *data = nullptr;
    void *allocated = nullptr;

    explicit TableMemory(size_t size) {
#ifdef __linux__
        constexpr size_t kHugePage = size_t(2) << 20;
        if (posix_memalign(&allocated, kHugePage, size + kPadding) == 0) {
            madvise(allocated, size + kPadding, MADV_HUGEPAGE);
            data = static_cast<unsigned char *>(allocated);
        } else {
            allocated = nullptr;
        }
#else
        constexpr size_t kAlign = 64;
        allocated = std::malloc(size + kPadding + kAlign);
        if (allocated)
            data = static_cast<unsigned char *>(allocated) +
                   (kAlign - reinterpret_cast<uintptr_t>(allocated) % kAlign) % kAlign;
#endif
        if (data)
            std::memset(data + size, 0, kPadding);
    }
    ~TableMemory() {
        std::free(allocated);
    }
};

Lut3d::Lut3d() = default;
Lut3d::~Lut3d() = default;

bool Lut3d::loadLUT(const QString &path) {
    int n = 0;
    cv::Mat data;
    if (!readCubeFile(path, n, data))
        return false;
    m_size = n;
    m_data = data;
    qDebug() << "已加载 3D LUT，大小：" << n;
    buildLutTable();
    return true;
}

bool Lut3d::readCubeFile(const QString &path, int &size, cv::Mat &data) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;

    static const QRegularExpression sizeLine(QStringLiteral("^LUT_3D_SIZE\\s+(\\d+)$"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression commentLine(QStringLiteral("^#.*$"));
    static const QRegularExpression dataLine(
        QStringLiteral("^\\s*([0-9.eE+-]+)\\s+([0-9.eE+-]+)\\s+([0-9.eE+-]+)\\s*$"));
    constexpr qint64 kMaxPoints = qint64(kMaxSize) * kMaxSize * kMaxSize;

    int n = 0;
    qint64 points = 0;
    std::vector<float> values;
    QTextStream in(&file);
    QString raw;
    while (in.readLineInto(&raw)) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || commentLine.match(line).hasMatch())
            continue;
        const QRegularExpressionMatch size = sizeLine.match(line);
        if (size.hasMatch()) {
            bool ok = false;
            n = size.captured(1).toInt(&ok);
            if (!ok)
                n = 0;
            if (n > 0 && n <= kMaxSize)
                values.reserve(size_t(std::min(qint64(n) * n * n, kMaxReservedPoints)) * 3);
            continue;
        }
        if (line.startsWith(QLatin1String("DOMAIN_"), Qt::CaseInsensitive))
            continue;
        const QRegularExpressionMatch data = dataLine.match(line);
        if (!data.hasMatch())
            continue;
        ++points;
        // Beyond the largest cube the count can no longer match any size; stop keeping
        // the values but go on counting for the report.
        if (points > kMaxPoints)
            continue;
        for (int c = 1; c <= 3; ++c)
            values.push_back(readNumber(data.capturedView(c)));
    }
    file.close();

    if (n <= 0 || n > kMaxSize || qint64(n) * n * n != points) {
        qWarning() << "无效的 3D LUT：size =" << n << "数据点数 =" << points;
        return false;
    }
    size = n;
    data = cv::Mat(int(points), 1, CV_32FC3);
    std::copy(values.begin(), values.end(), data.ptr<float>());
    return true;
}

bool Lut3d::setCube(int size, const cv::Mat &data) {
    if (size <= 0 || size > kMaxSize || data.type() != CV_32FC3 ||
        qint64(data.total()) != qint64(size) * size * size || !data.isContinuous())
        return false;
    m_size = size;
    m_data = data.clone();
    buildLutTable();
    return true;
}

// Trilinear expansion, interpolating along red, then green, then blue, all in single
// precision. Interpolating along red depends only on the grid's (b, g) and the red
// input, and along green only on the grid's b and the (green, red) input. A worker takes
// whole blocks of eight blue inputs: it interpolates the planes of the blue grid values
// they fall between eight green inputs (one block high) at a time and blends each such
// tile into the eight blue inputs while it is still in the cache, four of them at a
// time so that the small cubes are written whole. The same operations on the same
// operands as the point-by-point formula, hence the same bytes.
void Lut3d::buildLutTable() {
    if (m_data.empty() || m_size == 0)
        return;
    const int n = m_size;
    const size_t bytes = kTableEntries * 3;
    if (!m_tableMemory || m_tableMemory.use_count() > 1) {
        auto memory = std::make_shared<TableMemory>(bytes);
        if (!memory->data) {
            qWarning() << "LUT查找表内存不足";
            return;
        }
        m_tableMemory = memory;
    }
    const std::array<AxisSample, 256> axis = axisSamples(n);
    const float *cube = m_data.ptr<float>();
    unsigned char *table = m_tableMemory->data;

    LerpRowFn lerp = lerpRowPlain;
    BlendFn blend = blendPlain;
#ifdef KESTRANE_AVX2_COPIES
    if (SimdDispatch::avx2()) {
        lerp = lerpRowAvx2;
        blend = blendAvx2;
    }
#endif
    constexpr int kTileGreens = 8;
    constexpr int kTileFloats = kTileGreens * kRowFloats;
    constexpr int kBlueBlocks = 32;

    cv::parallel_for_(
        cv::Range(0, kBlueBlocks),
        [&](const cv::Range &blueBlocks) {
            // Red-interpolated rows of the blue grid values [planesFrom, planesFrom +
            // planes.size()): [green grid][red input][b, g, r]. Blue grid values ascend
            // with the blocks, so a plane is made once for the blocks that share it.
            std::vector<std::vector<float>> planes;
            int planesFrom = 0;
            std::vector<std::vector<float>> tiles;

            auto makePlane = [&](int b, float *rowsOut) {
                for (int g = 0; g < n; ++g) {
                    const float *line = cube + size_t((b * n + g) * n) * 3;
                    float *out = rowsOut + size_t(g) * kRowFloats;
                    for (int r = 0; r < 256; ++r) {
                        const AxisSample &s = axis[size_t(r)];
                        const float *lo = line + s.lo * 3;
                        const float *hi = line + s.hi * 3;
                        for (int c = 0; c < 3; ++c)
                            out[r * 3 + 2 - c] = lo[c] * s.oneMinusF + hi[c] * s.f;
                    }
                }
            };
            // Green inputs [g0, g0 + kTileGreens) of one plane, in the table's order.
            auto makeTile = [&](const float *plane, int g0, float *tile) {
                for (int g = g0; g < g0 + kTileGreens; ++g) {
                    const AxisSample &s = axis[size_t(g)];
                    lerp(plane + size_t(s.lo) * kRowFloats, plane + size_t(s.hi) * kRowFloats, s.oneMinusF, s.f,
                         tile + (g & 4) / 4 * 2 * kCubeRunValues + (g & 3) * kQuadValues);
                }
            };

            for (int blueBlock = blueBlocks.start; blueBlock < blueBlocks.end; ++blueBlock) {
                const int first = blueBlock * 8;
                const int gridFrom = axis[size_t(first)].lo, gridTo = axis[size_t(first) + 7].hi;
                // Keep the planes still needed, in order, and make the missing ones.
                std::vector<std::vector<float>> kept(size_t(gridTo - gridFrom + 1));
                for (int v = gridFrom; v <= gridTo; ++v) {
                    const int had = v - planesFrom;
                    if (had >= 0 && had < int(planes.size()) && !planes[size_t(had)].empty()) {
                        kept[size_t(v - gridFrom)].swap(planes[size_t(had)]);
                    } else {
                        kept[size_t(v - gridFrom)].resize(size_t(n) * kRowFloats);
                        makePlane(v, kept[size_t(v - gridFrom)].data());
                    }
                }
                planes.swap(kept);
                planesFrom = gridFrom;
                tiles.resize(planes.size());
                for (std::vector<float> &tile : tiles)
                    tile.resize(kTileFloats);

                for (int g0 = 0; g0 < 256; g0 += kTileGreens) {
                    for (size_t k = 0; k < planes.size(); ++k)
                        makeTile(planes[k].data(), g0, tiles[k].data());
                    for (int half = first; half < first + 8; half += 4) {
                        BlueQuad quad;
                        for (int k = 0; k < 4; ++k) {
                            const AxisSample &s = axis[size_t(half + k)];
                            quad.lo[k] = tiles[size_t(s.lo - gridFrom)].data();
                            quad.hi[k] = tiles[size_t(s.hi - gridFrom)].data();
                            quad.weightLo[k] = s.oneMinusF;
                            quad.weightHi[k] = s.f;
                        }
                        // The 32 blocks of these blue and green inputs lie together.
                        blend(quad, table + kOffsets.blue[half] + kOffsets.green[g0]);
                    }
                }
            }
#ifdef KESTRANE_AVX2_COPIES
            _mm_sfence(); // the bytes written past the cache are seen by every thread
#endif
        },
        double(kBlueBlocks));
    m_table = table;
    qDebug() << "LUT查找表预计算完成";
}

cv::Mat Lut3d::applyLUTFast(const cv::Mat &frame) const {
    cv::Mat copy = frame.clone();
    if (!m_table || frame.type() != CV_8UC3)
        return copy;
    apply(copy, copy, false);
    return copy;
}

namespace {
constexpr bool kWholeWords = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;

// Where the entry of a BGR or BGRx pixel lies in the table; a four-byte pixel is read at
// once.
template <int SrcChannels>
KESTRANE_ALWAYS_INLINE size_t entryOffset(const unsigned char *src) {
    if constexpr (SrcChannels == 4 && kWholeWords) {
        uint32_t pixel;
        std::memcpy(&pixel, src, 4);
        return size_t(kOffsets.blue[pixel & 255]) + kOffsets.green[(pixel >> 8) & 255] +
               kOffsets.red[(pixel >> 16) & 255];
    }
    return size_t(kOffsets.blue[src[0]]) + kOffsets.green[src[1]] + kOffsets.red[src[2]];
}

// One look-up: the entry at `e` written to `dst` as a BGR or BGRx pixel (RGB order with
// `RgbOut`); four-byte results get 255 as their fourth byte. In the table's own order a
// four-byte result is the entry copied at once, with the byte after it replaced by 255.
template <int DstChannels, bool RgbOut>
KESTRANE_ALWAYS_INLINE void writeEntry(const unsigned char *e, unsigned char *dst) {
    if constexpr (DstChannels == 4 && !RgbOut && kWholeWords) {
        uint32_t entry;
        std::memcpy(&entry, e, 4);
        entry |= 0xff000000u;
        std::memcpy(dst, &entry, 4);
    } else {
        const unsigned char b = e[0], g = e[1], r = e[2];
        dst[0] = RgbOut ? r : b;
        dst[1] = g;
        dst[2] = RgbOut ? b : r;
        if constexpr (DstChannels == 4)
            dst[3] = 255;
    }
}

// Asks for the cache line at `p` without waiting for it.
KESTRANE_ALWAYS_INLINE void askFor(const unsigned char *p) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(p);
#else
    Q_UNUSED(p);
#endif
}

// Four neighbouring offsets, read two at a time.
KESTRANE_ALWAYS_INLINE void fourOffsets(const uint32_t *o, uint32_t four[4]) {
    for (int k = 0; k < 4; k += 2) {
        uint64_t both;
        std::memcpy(&both, o + k, 8);
        four[k] = uint32_t(both);
        four[k + 1] = uint32_t(both >> 32);
    }
}

// Asks for the entries of four neighbouring offsets.
KESTRANE_ALWAYS_INLINE void askForFour(const uint32_t *o, const unsigned char *table) {
    uint32_t offs[4];
    fourOffsets(o, offs);
    for (const uint32_t offset : offs)
        askFor(table + offset);
}

// Four look-ups in the table's own order to four-byte results, like writeEntry but with
// the offsets read two at a time and the results stored at once: where the entries are
// in the cache, the loads and stores a pixel are what holds the loop.
KESTRANE_ALWAYS_INLINE void writeFourOpaque(const uint32_t *o, const unsigned char *table, unsigned char *dst) {
    uint32_t offs[4];
    fourOffsets(o, offs);
#ifdef KESTRANE_SSE2
    uint32_t e[4];
    for (int k = 0; k < 4; ++k)
        std::memcpy(&e[k], table + offs[k], 4);
    const __m128i four = _mm_set_epi32(int(e[3]), int(e[2]), int(e[1]), int(e[0]));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(dst), _mm_or_si128(four, _mm_set1_epi32(int(0xff000000u))));
#else
    for (int k = 0; k < 4; ++k)
        writeEntry<4, false>(table + offs[k], dst + 4 * k);
#endif
}

// The table offsets of a run of three- or four-byte pixels. The look-ups of a picture
// wait on the cache for their entries, and the processor overlaps as many of those waits
// as its window of pending instructions holds: worked out first, in a pass of their own,
// the offsets leave the look-up loop a load, an OR and a store a pixel, so far more
// pixels' waits overlap than when every look-up also reads its three offset parts.
template <int SrcChannels>
KESTRANE_ALWAYS_INLINE void pixelOffsetsPlain(const unsigned char *src, uint32_t *offsets, int count) {
    for (int x = 0; x < count; ++x)
        offsets[x] = uint32_t(entryOffset<SrcChannels>(src + size_t(x) * SrcChannels));
}

#ifdef KESTRANE_AVX2_COPIES
// The bits of `mask` in each of eight pixels.
__attribute__((target("avx2"), always_inline)) inline __m256i bits(__m256i p, int mask) {
    return _mm256_and_si256(p, _mm256_set1_epi32(mask));
}

// The same offsets from the bits of eight pixels at once (p = b | g << 8 | r << 16):
// every bit of the index (the block from the upper five bits of each channel, the place
// within it from the lower three, see withinBlock()) is moved into place from p or
// from q, p with red and blue swapped, taking the bits that move the same way together,
// then the index times three.
__attribute__((target("avx2"))) void pixelOffsetsAvx2(const unsigned char *src, uint32_t *offsets, int count) {
    const __m256i swapRedBlue = _mm256_setr_epi8(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15, //
                                                 2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(src + size_t(x) * 4));
        const __m256i q = _mm256_shuffle_epi8(p, swapRedBlue);
        // Red's two lower bits and blue's upper five are in place in q.
        const __m256i inPlace = bits(q, 0xf80003);
        // Blue's two lower bits and red's third move up by four, blue's third and red's
        // upper five by six.
        const __m256i upFour = _mm256_slli_epi32(_mm256_or_si256(bits(p, 0x3), bits(q, 0x4)), 4);
        const __m256i upSix = _mm256_slli_epi32(_mm256_or_si256(bits(p, 0x4), bits(q, 0xf8)), 6);
        const __m256i green = _mm256_or_si256(
            _mm256_or_si256(_mm256_srli_epi32(bits(p, 0x300), 6), _mm256_srli_epi32(bits(p, 0x400), 3)),
            _mm256_slli_epi32(bits(p, 0xf800), 3));
        const __m256i index = _mm256_or_si256(_mm256_or_si256(inPlace, upFour), _mm256_or_si256(upSix, green));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(offsets + x),
                            _mm256_add_epi32(index, _mm256_slli_epi32(index, 1)));
    }
    pixelOffsetsPlain<4>(src + size_t(x) * 4, offsets + x, count - x);
}
#endif

template <int SrcChannels>
void pixelOffsets(const unsigned char *src, uint32_t *offsets, int count) {
#ifdef KESTRANE_AVX2_COPIES
    if (SrcChannels == 4 && SimdDispatch::avx2()) {
        pixelOffsetsAvx2(src, offsets, count);
        return;
    }
#endif
    pixelOffsetsPlain<SrcChannels>(src, offsets, count);
}

// How many pixels ahead of its look-up a pixel's entry is asked for. Asked for all at
// once, a batch's entries wait on each other for the few misses the processor tracks,
// and the first have left the cache again by the time the last arrive; asked for this
// far ahead, an entry has mostly arrived when its look-up comes.
constexpr int kAskAhead = 192;

// Rows of BGR or BGRx pixels to BGR or BGRx results (RGB order with `RgbOut`), in
// batches of a few whole rows (or parts of a very wide row): the batch's offsets
// first, then the look-ups, each asking for the entry kAskAhead pixels on. Every pixel
// of a batch is read before any is written, so `out` may be `bgr`.
template <int SrcChannels, int DstChannels, bool RgbOut>
void lookUpRows(const cv::Mat &bgr, cv::Mat &out, const unsigned char *table) {
    constexpr int kBatch = 8192;
    // Past a batch's last offset, offsets of 0: the asks at its end fetch one entry.
    uint32_t offsets[kBatch + kAskAhead];
    const int width = bgr.cols;
    if (width <= 0)
        return;
    const int columns = std::min(width, kBatch);
    const int rowsPerBatch = std::max(1, kBatch / width);
    for (int y0 = 0; y0 < bgr.rows; y0 += rowsPerBatch) {
        const int y1 = std::min(bgr.rows, y0 + rowsPerBatch);
        for (int x0 = 0; x0 < width; x0 += columns) {
            const int n = std::min(columns, width - x0);
            const int count = (y1 - y0) * n;
            for (int y = y0; y < y1; ++y)
                pixelOffsets<SrcChannels>(bgr.ptr<unsigned char>(y) + size_t(x0) * SrcChannels,
                                          offsets + (y - y0) * n, n);
            std::fill_n(offsets + count, kAskAhead, 0u);
            for (int i = 0; i < std::min(count, kAskAhead); ++i)
                askFor(table + offsets[i]);
            for (int y = y0; y < y1; ++y) {
                const uint32_t *o = offsets + (y - y0) * n;
                unsigned char *d = out.ptr<unsigned char>(y) + size_t(x0) * DstChannels;
                int x = 0;
                if constexpr (DstChannels == 4 && !RgbOut && kWholeWords)
                    for (; x + 4 <= n; x += 4, d += 16) {
                        askForFour(o + x + kAskAhead, table);
                        writeFourOpaque(o + x, table, d);
                    }
                for (; x < n; ++x, d += DstChannels) {
                    askFor(table + o[x + kAskAhead]);
                    writeEntry<DstChannels, RgbOut>(table + o[x], d);
                }
            }
        }
    }
}
} // namespace

void Lut3d::applyRows(const cv::Mat &bgr, cv::Mat &out, bool rgbOut) const {
    CV_Assert(m_table && out.rows == bgr.rows && out.cols == bgr.cols &&
              ((bgr.type() == CV_8UC3 && (out.type() == CV_8UC3 || out.type() == CV_8UC4)) ||
               (bgr.type() == CV_8UC4 && out.type() == CV_8UC4 && !rgbOut)));
    const unsigned char *table = m_table;
    if (bgr.channels() == 4)
        lookUpRows<4, 4, false>(bgr, out, table);
    else if (out.channels() == 4)
        rgbOut ? lookUpRows<3, 4, true>(bgr, out, table) : lookUpRows<3, 4, false>(bgr, out, table);
    else
        rgbOut ? lookUpRows<3, 3, true>(bgr, out, table) : lookUpRows<3, 3, false>(bgr, out, table);
}

void Lut3d::apply(const cv::Mat &bgr, cv::Mat &out, bool rgbOut) const {
    CV_Assert(bgr.type() == CV_8UC3 && m_table);
    out.create(bgr.size(), CV_8UC3);
    cv::parallel_for_(cv::Range(0, bgr.rows), [&](const cv::Range &rows) {
        cv::Mat dst = out.rowRange(rows.start, rows.end);
        applyRows(bgr.rowRange(rows.start, rows.end), dst, rgbOut);
    });
}

size_t Lut3d::tableOffset(int b, int g, int r) {
    return size_t(kOffsets.blue[b & 255]) + kOffsets.green[g & 255] + kOffsets.red[r & 255];
}

cv::Vec3b Lut3d::tableEntry(int b, int g, int r) const {
    CV_Assert(m_table);
    const unsigned char *e = m_table + tableOffset(b, g, r);
    return cv::Vec3b(e[0], e[1], e[2]);
}

cv::Mat Lut3d::plainTable() const {
    if (!m_table)
        return cv::Mat();
    cv::Mat plain(256, 65536, CV_8UC3);
    for (int b = 0; b < 256; ++b)
        for (int g = 0; g < 256; ++g)
            for (int r = 0; r < 256; r += 4) // four reds lie together in a small cube
                std::memcpy(plain.ptr<unsigned char>(b) + (size_t(g) * 256 + size_t(r)) * 3,
                            m_table + tableOffset(b, g, r), 12);
    return plain;
}
