#include "lut3d.h"

#include <QDebug>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <opencv2/core/utility.hpp>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#ifdef __linux__
#include <sys/mman.h>
#endif

#if defined(__GNUC__) || defined(__clang__)
#define KESTRANE_PREFETCH(address) __builtin_prefetch(address)
#else
#define KESTRANE_PREFETCH(address) ((void)(address))
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

// The two inner loops of the table build. Both are plain element-wise loops that the
// compiler vectorises; where the processor has AVX2 a second copy built for it runs
// twice as many elements per instruction. Neither copy contracts multiply and add, so
// both give the same bytes.
#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#define KESTRANE_INLINE inline __attribute__((always_inline))
#define KESTRANE_AVX2_DISPATCH 1
#else
#define KESTRANE_INLINE inline
#endif

KESTRANE_INLINE void lerpRow(const float *lo, const float *hi, float wl, float wh, float *out, int count) {
    for (int i = 0; i < count; ++i)
        out[i] = lo[i] * wl + hi[i] * wh;
}

KESTRANE_INLINE void blendToBytes(const float *lo, const float *hi, float wl, float wh, unsigned char *out,
                                  int count) {
    for (int i = 0; i < count; ++i) {
        float v = (lo[i] * wl + hi[i] * wh) * 255.0f;
        v = v > 0.0f ? v : 0.0f; // also turns NaN into 0
        v = v < 255.0f ? v : 255.0f;
        out[i] = static_cast<unsigned char>(static_cast<int>(v));
    }
}

using LerpRowFn = void (*)(const float *, const float *, float, float, float *, int);
using BlendFn = void (*)(const float *, const float *, float, float, unsigned char *, int);

void lerpRowPlain(const float *lo, const float *hi, float wl, float wh, float *out, int count) {
    lerpRow(lo, hi, wl, wh, out, count);
}
void blendPlain(const float *lo, const float *hi, float wl, float wh, unsigned char *out, int count) {
    blendToBytes(lo, hi, wl, wh, out, count);
}

#ifdef KESTRANE_AVX2_DISPATCH
__attribute__((target("avx2"))) void lerpRowAvx2(const float *lo, const float *hi, float wl, float wh, float *out,
                                                 int count) {
    lerpRow(lo, hi, wl, wh, out, count);
}
__attribute__((target("avx2"))) void blendAvx2(const float *lo, const float *hi, float wl, float wh,
                                               unsigned char *out, int count) {
    blendToBytes(lo, hi, wl, wh, out, count);
}
bool hasAvx2() {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
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

// The expanded table: 48 MiB read at random by every preview frame. On Linux it is
// aligned to and advised for huge pages, which spares most TLB misses of the lookups.
struct Lut3d::TableMemory {
    unsigned char *data = nullptr;
    size_t bytes = 0;

    explicit TableMemory(size_t size) : bytes(size) {
#ifdef __linux__
        constexpr size_t kHugePage = size_t(2) << 20;
        void *p = nullptr;
        if (posix_memalign(&p, kHugePage, size) == 0) {
            madvise(p, size, MADV_HUGEPAGE);
            data = static_cast<unsigned char *>(p);
        }
#else
        data = static_cast<unsigned char *>(std::malloc(size));
#endif
    }
    ~TableMemory() {
        std::free(data);
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
// input, and along green only on the grid's b and the (green, red) input. The table
// rows (blue inputs) that fall between the same two blue grid values form a group:
// a worker takes whole groups, interpolates the two grid values' planes a few green
// inputs at a time and blends each such piece into every row of the group while it
// is still in the cache. The same operations on the same operands as the
// point-by-point formula, hence the same bytes.
void Lut3d::buildLutTable() {
    if (m_data.empty() || m_size == 0)
        return;
    const int n = m_size;
    const size_t bytes = size_t(kTableRows) * kTableColumns * 3;
    if (!m_tableMemory || m_tableMemory.use_count() > 1) {
        auto memory = std::make_shared<TableMemory>(bytes);
        if (!memory->data) {
            qWarning() << "LUT查找表内存不足";
            return;
        }
        m_tableMemory = memory;
    }
    m_table = cv::Mat(kTableRows, kTableColumns, CV_8UC3, m_tableMemory->data);
    const std::array<AxisSample, 256> axis = axisSamples(n);
    const float *cube = m_data.ptr<float>();
    unsigned char *table = m_tableMemory->data;

    // Groups of table rows with the same lower blue grid value; rows ascend with it.
    std::vector<int> groupStart;
    for (int row = 0; row < kTableRows; ++row)
        if (row == 0 || axis[size_t(row)].lo != axis[size_t(row - 1)].lo)
            groupStart.push_back(row);
    groupStart.push_back(kTableRows);
    LerpRowFn lerp = lerpRowPlain;
    BlendFn blend = blendPlain;
#ifdef KESTRANE_AVX2_DISPATCH
    if (hasAvx2()) {
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
            // Green inputs [g0, g0 + kTileGreens) of the plane of one blue grid value.
            auto makeTile = [&](const float *rowsIn, int g0, float *tile) {
                for (int g = g0; g < g0 + kTileGreens; ++g) {
                    const AxisSample &s = axis[size_t(g)];
                    lerp(rowsIn + size_t(s.lo) * kRowFloats, rowsIn + size_t(s.hi) * kRowFloats, s.oneMinusF, s.f,
                         tile + size_t(g - g0) * kRowFloats, kRowFloats);
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
                        blend(lo, hi, s.oneMinusF, s.f,
                              table + (size_t(row) * kTableColumns + size_t(g0) * 256) * 3, kTileFloats);
                    }
                }
            }
        },
        double(groupStart.size() - 1));
    qDebug() << "LUT查找表预计算完成";
}

cv::Mat Lut3d::applyLUTFast(const cv::Mat &frame) const {
    cv::Mat copy = frame.clone();
    if (m_table.empty() || frame.type() != CV_8UC3)
        return copy;
    apply(copy, copy, false);
    return copy;
}

namespace {
// One row of look-ups; the channel order and the pixel size of the result are fixed at
// compile time so the inner loop carries no branch. Four-byte pixels get 255 as their
// fourth byte.
template <bool RgbOut, int SrcChannels, int DstChannels>
void lookUpRow(const unsigned char *src, unsigned char *dst, int width, const unsigned char *table)
{
    // Look-ups of noisy pictures miss the cache on nearly every pixel; asking for the
    // entry a few pixels ahead keeps several misses in flight.
    constexpr int kAhead = 16;
    const auto entry = [table](const unsigned char *p) {
        return table + ((size_t(p[0]) << 16) + (size_t(p[1]) << 8) + p[2]) * 3;
    };
    const auto store = [](const unsigned char *e, unsigned char *d) {
        d[0] = e[RgbOut ? 2 : 0];
        d[1] = e[1];
        d[2] = e[RgbOut ? 0 : 2];
        if (DstChannels == 4)
            d[3] = 255;
    };
    int x = 0;
    for (; x + kAhead < width; ++x) {
        KESTRANE_PREFETCH(entry(src + (x + kAhead) * SrcChannels));
        store(entry(src + x * SrcChannels), dst + x * DstChannels);
    }
    for (; x < width; ++x)
        store(entry(src + x * SrcChannels), dst + x * DstChannels);
}
} // namespace

void Lut3d::applyRows(const cv::Mat &bgr, cv::Mat &out, bool rgbOut) const {
    CV_Assert(!m_table.empty() && out.rows == bgr.rows && out.cols == bgr.cols &&
              ((bgr.type() == CV_8UC3 && (out.type() == CV_8UC3 || out.type() == CV_8UC4)) ||
               (bgr.type() == CV_8UC4 && out.type() == CV_8UC4 && !rgbOut)));
    const unsigned char *table = m_table.data;
    const int width = bgr.cols;
    const int kind = bgr.channels() * 10 + out.channels();
    for (int y = 0; y < bgr.rows; ++y) {
        const unsigned char *s = bgr.ptr<unsigned char>(y);
        unsigned char *d = out.ptr<unsigned char>(y);
        if (kind == 44)
            lookUpRow<false, 4, 4>(s, d, width, table);
        else if (kind == 34)
            rgbOut ? lookUpRow<true, 3, 4>(s, d, width, table) : lookUpRow<false, 3, 4>(s, d, width, table);
        else
            rgbOut ? lookUpRow<true, 3, 3>(s, d, width, table) : lookUpRow<false, 3, 3>(s, d, width, table);
    }
}

void Lut3d::apply(const cv::Mat &bgr, cv::Mat &out, bool rgbOut) const {
    CV_Assert(bgr.type() == CV_8UC3 && !m_table.empty());
    out.create(bgr.size(), CV_8UC3);
    cv::parallel_for_(cv::Range(0, bgr.rows), [&](const cv::Range &rows) {
        cv::Mat dst = out.rowRange(rows.start, rows.end);
        applyRows(bgr.rowRange(rows.start, rows.end), dst, rgbOut);
    });
}
