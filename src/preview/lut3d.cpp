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

constexpr OffsetParts makeOffsetParts() {
    OffsetParts parts{};
    for (uint32_t v = 0; v < 256; ++v) {
        parts.blue[v] = (((v >> 3) << 19) | ((v & 7) << 6)) * 3;
        parts.green[v] = (((v >> 3) << 14) | ((v & 7) << 3)) * 3;
        parts.red[v] = (((v >> 3) << 9) | (v & 7)) * 3;
    }
    return parts;
}

constexpr OffsetParts kOffsets = makeOffsetParts();

// A block holds 8 x 8 x 8 colours; the slice of one blue input in it, 8 greens by 8
// reds, is one run of this many channel values.
constexpr int kRunValues = 8 * 8 * 3;
constexpr size_t kBlockBytes = size_t(512) * 3;
constexpr int kRedBlocks = 32;

// The two inner loops of the table build, from a row of red-interpolated values in
// plain red order into the block order of the table: `out` receives 32 runs, one per
// block of reds, `kRunValues` apart. Both are plain element-wise loops that the
// compiler vectorises; where the processor has AVX2 a second copy built for it runs
// twice as many elements per instruction. Neither copy contracts multiply and add, so
// both give the same bytes.

// Interpolates one green input's row of 256 reds (8 reds of each block).
KESTRANE_ALWAYS_INLINE void lerpRow(const float *lo, const float *hi, float wl, float wh, float *out) {
    for (int block = 0; block < kRedBlocks; ++block, lo += 24, hi += 24, out += kRunValues)
        for (int i = 0; i < 24; ++i)
            out[i] = lo[i] * wl + hi[i] * wh;
}

// Blends two tiles of eight green inputs (32 runs each) into the 32 blocks of one blue
// input at `out`.
KESTRANE_ALWAYS_INLINE void blendToBytes(const float *lo, const float *hi, float wl, float wh,
                                         unsigned char *out) {
    for (int block = 0; block < kRedBlocks; ++block, lo += kRunValues, hi += kRunValues, out += kBlockBytes)
        for (int i = 0; i < kRunValues; ++i) {
            float v = (lo[i] * wl + hi[i] * wh) * 255.0f;
            v = v > 0.0f ? v : 0.0f; // also turns NaN into 0
            v = v < 255.0f ? v : 255.0f;
            out[i] = static_cast<unsigned char>(static_cast<int>(v));
        }
}

using LerpRowFn = void (*)(const float *, const float *, float, float, float *);
using BlendFn = void (*)(const float *, const float *, float, float, unsigned char *);

void lerpRowPlain(const float *lo, const float *hi, float wl, float wh, float *out) {
    lerpRow(lo, hi, wl, wh, out);
}
void blendPlain(const float *lo, const float *hi, float wl, float wh, unsigned char *out) {
    blendToBytes(lo, hi, wl, wh, out);
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

// The same steps as blendToBytes, written out: max(v, 0) also gives 0 for NaN, and the
// bytes are written past the cache, as the table is far larger than it and read only
// later. Runs start on 64-byte boundaries of the table.
__attribute__((target("avx2"))) void blendAvx2(const float *lo, const float *hi, float wl, float wh,
                                               unsigned char *out) {
    const __m256 weightLo = _mm256_set1_ps(wl), weightHi = _mm256_set1_ps(wh);
    // packs work within 128-bit lanes; this puts the four groups of eight back in order.
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    for (int block = 0; block < kRedBlocks; ++block, lo += kRunValues, hi += kRunValues, out += kBlockBytes)
        for (int i = 0; i < kRunValues; i += 32) {
            const __m256i a = blendEight(lo + i, hi + i, weightLo, weightHi);
            const __m256i b = blendEight(lo + i + 8, hi + i + 8, weightLo, weightHi);
            const __m256i c = blendEight(lo + i + 16, hi + i + 16, weightLo, weightHi);
            const __m256i d = blendEight(lo + i + 24, hi + i + 24, weightLo, weightHi);
            const __m256i packed = _mm256_packus_epi16(_mm256_packus_epi32(a, b), _mm256_packus_epi32(c, d));
            _mm256_stream_si256(reinterpret_cast<__m256i *>(out + i), _mm256_permutevar8x32_epi32(packed, order));
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
// input, and along green only on the grid's b and the (green, red) input. The blue
// inputs that fall between the same two blue grid values form a group: a worker takes
// whole groups, interpolates the two grid values' planes eight green inputs (one block
// high) at a time and blends each such tile into every blue input of the group while
// it is still in the cache. The same operations on the same operands as the
// point-by-point formula, hence the same bytes.
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

    // Groups of blue inputs with the same lower blue grid value; inputs ascend with it.
    std::vector<int> groupStart;
    for (int row = 0; row < 256; ++row)
        if (row == 0 || axis[size_t(row)].lo != axis[size_t(row - 1)].lo)
            groupStart.push_back(row);
    groupStart.push_back(256);
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

    cv::parallel_for_(
        cv::Range(0, int(groupStart.size()) - 1),
        [&](const cv::Range &groups) {
            // Red-interpolated rows of one blue grid value: [green grid][red input][b, g, r].
            std::vector<float> redRows[2] = {std::vector<float>(size_t(n) * kRowFloats),
                                             std::vector<float>(size_t(n) * kRowFloats)};
            std::vector<float> tiles[2] = {std::vector<float>(kTileFloats), std::vector<float>(kTileFloats)};

            auto makeRedRows = [&](int b, float *rowsOut) {
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
            // Green inputs [g0, g0 + kTileGreens) of the plane of one blue grid value, in
            // the table's block order: [red block][green % 8][red % 8][b, g, r].
            auto makeTile = [&](const float *rowsIn, int g0, float *tile) {
                for (int g = g0; g < g0 + kTileGreens; ++g) {
                    const AxisSample &s = axis[size_t(g)];
                    lerp(rowsIn + size_t(s.lo) * kRowFloats, rowsIn + size_t(s.hi) * kRowFloats, s.oneMinusF, s.f,
                         tile + size_t(g - g0) * 24);
                }
            };

            int redRowsOf[2] = {-1, -1};
            for (int group = groups.start; group < groups.end; ++group) {
                const int first = groupStart[size_t(group)], last = groupStart[size_t(group) + 1];
                const int bGrid[2] = {axis[size_t(first)].lo, axis[size_t(first)].hi};
                // The upper grid value of one group is the lower one of the next.
                if (redRowsOf[1] == bGrid[0]) {
                    std::swap(redRows[0], redRows[1]);
                    std::swap(redRowsOf[0], redRowsOf[1]);
                }
                for (int k = 0; k < 2; ++k)
                    if (redRowsOf[k] != bGrid[k]) {
                        makeRedRows(bGrid[k], redRows[k].data());
                        redRowsOf[k] = bGrid[k];
                    }
                for (int g0 = 0; g0 < 256; g0 += kTileGreens) {
                    makeTile(redRows[0].data(), g0, tiles[0].data());
                    makeTile(redRows[1].data(), g0, tiles[1].data());
                    const float *lo = tiles[0].data();
                    const float *hi = tiles[1].data();
                    for (int row = first; row < last; ++row) {
                        const AxisSample &s = axis[size_t(row)];
                        blend(lo, hi, s.oneMinusF, s.f, table + kOffsets.blue[row] + kOffsets.green[g0]);
                    }
                }
            }
#ifdef KESTRANE_AVX2_COPIES
            _mm_sfence(); // the bytes written past the cache are seen by every thread
#endif
        },
        double(groupStart.size() - 1));
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

// One row of look-ups of three-byte pixels; the channel order and the pixel size of the
// result are fixed at compile time so the inner loop carries no branch. Four-byte
// results get 255 as their fourth byte.
template <bool RgbOut, int DstChannels>
void lookUpRow(const unsigned char *src, unsigned char *dst, int width, const unsigned char *table)
{
    // Neighbouring pixels mostly read the same few blocks of the table, which stay in
    // the cache: the loop is kept to as few instructions per pixel as it can be, an
    // entry copied at once (with the byte after it, then replaced by 255) where the
    // result has four bytes in the table's own order.
    for (int x = 0; x < width; ++x, src += 3, dst += DstChannels) {
        const unsigned char *e = table + entryOffset<3>(src);
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
}

// Asks for the entries of a row of three-byte pixels without reading them. A picture's
// colours touch more of the table than a core's cache holds; a look-up waits for its
// entry, and the processor can only hold a few look-ups' worth of work, so misses in a
// plain loop are served a few at a time. Asked for ahead, a band's misses are served
// together.
void prefetchRow(const unsigned char *src, int width, const unsigned char *table) {
#if defined(__GNUC__) || defined(__clang__)
    for (int x = 0; x < width; ++x, src += 3)
        __builtin_prefetch(table + entryOffset<3>(src));
#else
    Q_UNUSED(src);
    Q_UNUSED(width);
    Q_UNUSED(table);
#endif
}

// Rows whose entries are asked for before the first of them is looked up.
constexpr int kPrefetchRows = 8;

// The table offsets of a run of four-byte pixels. The look-ups of a picture wait on
// the cache for their entries, and the processor overlaps as many of those waits as its
// window of pending instructions holds: worked out first, in a pass of their own, the
// offsets leave the look-up loop a load, an OR and a store a pixel, so far more pixels'
// waits overlap than when every look-up also reads its three offset parts.
KESTRANE_ALWAYS_INLINE void pixelOffsetsPlain(const unsigned char *src, uint32_t *offsets, int count) {
    for (int x = 0; x < count; ++x)
        offsets[x] = uint32_t(entryOffset<4>(src + size_t(x) * 4));
}

#ifdef KESTRANE_AVX2_COPIES
// The same offsets from the bits of eight pixels at once: entry index
// ((b >> 3) << 19 | (g >> 3) << 14 | (r >> 3) << 9 | (b & 7) << 6 | (g & 7) << 3 | r & 7),
// times three.
__attribute__((target("avx2"))) void pixelOffsetsAvx2(const unsigned char *src, uint32_t *offsets, int count) {
    const __m256i byte = _mm256_set1_epi32(255);
    const __m256i low3 = _mm256_set1_epi32(7);
    const __m256i high5 = _mm256_set1_epi32(0xf8);
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(src + size_t(x) * 4));
        const __m256i b = _mm256_and_si256(p, byte);
        const __m256i g = _mm256_and_si256(_mm256_srli_epi32(p, 8), byte);
        const __m256i r = _mm256_and_si256(_mm256_srli_epi32(p, 16), byte);
        const __m256i blocks = _mm256_or_si256(
            _mm256_or_si256(_mm256_slli_epi32(_mm256_and_si256(b, high5), 16),
                            _mm256_slli_epi32(_mm256_and_si256(g, high5), 11)),
            _mm256_slli_epi32(_mm256_srli_epi32(r, 3), 9));
        const __m256i within = _mm256_or_si256(_mm256_or_si256(_mm256_slli_epi32(_mm256_and_si256(b, low3), 6),
                                                               _mm256_slli_epi32(_mm256_and_si256(g, low3), 3)),
                                               _mm256_and_si256(r, low3));
        const __m256i index = _mm256_or_si256(blocks, within);
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(offsets + x),
                            _mm256_add_epi32(index, _mm256_slli_epi32(index, 1)));
    }
    pixelOffsetsPlain(src + size_t(x) * 4, offsets + x, count - x);
}
#endif

void pixelOffsets(const unsigned char *src, uint32_t *offsets, int count) {
#ifdef KESTRANE_AVX2_COPIES
    if (SimdDispatch::avx2()) {
        pixelOffsetsAvx2(src, offsets, count);
        return;
    }
#endif
    pixelOffsetsPlain(src, offsets, count);
}

// BGRx to BGRx (the preview's own case), in batches of a few whole rows (or parts of a
// very wide row): the batch's offsets, then its entries asked for, then looked up.
// Every pixel of a batch is read before any is written, so `out` may be `bgr`.
void lookUpBgrxRows(const cv::Mat &bgr, cv::Mat &out, const unsigned char *table) {
    constexpr int kBatch = 8192;
    uint32_t offsets[kBatch];
    const int width = bgr.cols;
    if (width <= 0)
        return;
    const int columns = std::min(width, kBatch);
    const int rowsPerBatch = std::max(1, kBatch / width);
    for (int y0 = 0; y0 < bgr.rows; y0 += rowsPerBatch) {
        const int y1 = std::min(bgr.rows, y0 + rowsPerBatch);
        for (int x0 = 0; x0 < width; x0 += columns) {
            const int n = std::min(columns, width - x0);
            for (int y = y0; y < y1; ++y)
                pixelOffsets(bgr.ptr<unsigned char>(y) + size_t(x0) * 4, offsets + (y - y0) * n, n);
#if defined(__GNUC__) || defined(__clang__)
            for (int i = 0; i < (y1 - y0) * n; ++i)
                __builtin_prefetch(table + offsets[i]);
#endif
            for (int y = y0; y < y1; ++y) {
                const uint32_t *o = offsets + (y - y0) * n;
                unsigned char *d = out.ptr<unsigned char>(y) + size_t(x0) * 4;
                for (int x = 0; x < n; ++x, d += 4) {
                    const unsigned char *e = table + o[x];
                    if constexpr (kWholeWords) {
                        uint32_t entry;
                        std::memcpy(&entry, e, 4);
                        entry |= 0xff000000u;
                        std::memcpy(d, &entry, 4);
                    } else {
                        d[0] = e[0];
                        d[1] = e[1];
                        d[2] = e[2];
                        d[3] = 255;
                    }
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
    const int width = bgr.cols;
    const int kind = bgr.channels() * 10 + out.channels();
    if (kind == 44) {
        lookUpBgrxRows(bgr, out, table);
        return;
    }
    for (int y0 = 0; y0 < bgr.rows; y0 += kPrefetchRows) {
        const int y1 = std::min(bgr.rows, y0 + kPrefetchRows);
        for (int y = y0; y < y1; ++y)
            prefetchRow(bgr.ptr<unsigned char>(y), width, table);
        for (int y = y0; y < y1; ++y) {
            const unsigned char *s = bgr.ptr<unsigned char>(y);
            unsigned char *d = out.ptr<unsigned char>(y);
            if (kind == 34)
                rgbOut ? lookUpRow<true, 4>(s, d, width, table) : lookUpRow<false, 4>(s, d, width, table);
            else
                rgbOut ? lookUpRow<true, 3>(s, d, width, table) : lookUpRow<false, 3>(s, d, width, table);
        }
    }
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
            for (int r = 0; r < 256; r += 8) // eight reds lie together in a block
                std::memcpy(plain.ptr<unsigned char>(b) + (size_t(g) * 256 + size_t(r)) * 3,
                            m_table + tableOffset(b, g, r), 24);
    return plain;
}
