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

constexpr int kPlaneFloats = 256 * 256 * 3; // one blue grid value: [green][red][b, g, r]
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

float readNumber(QStringView text) {
    bool ok = false;
    float value = text.toFloat(&ok);
    if (!ok) {
        // Out of single-precision range still clamps to the nearer end.
        const double wide = text.toDouble(&ok);
        value = ok ? (wide > 0 ? 2.0f : -1.0f) : 0.0f;
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
    m_size = n;
    m_data = cv::Mat(int(points), 1, CV_32FC3);
    std::copy(values.begin(), values.end(), m_data.ptr<float>());
    qDebug() << "已加载 3D LUT，大小：" << n;
    buildLutTable();
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
// input, and along green only on the grid's b and the (green, red) input, so each
// worker builds the green-interpolated plane of a blue grid value once and blends two
// such planes per output row: the same operations on the same operands as the
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

    cv::parallel_for_(
        cv::Range(0, kTableRows),
        [&](const cv::Range &rows) {
            std::vector<float> redRows(size_t(n) * kRowFloats);
            std::vector<float> planes[2] = {std::vector<float>(kPlaneFloats),
                                            std::vector<float>(kPlaneFloats)};
            int planeOf[2] = {-1, -1};

            auto makePlane = [&](int b, float *plane) {
                for (int g = 0; g < n; ++g) {
                    const float *line = cube + size_t((b * n + g) * n) * 3;
                    float *out = redRows.data() + size_t(g) * kRowFloats;
                    for (int r = 0; r < 256; ++r) {
                        const AxisSample &s = axis[size_t(r)];
                        const float *lo = line + s.lo * 3;
                        const float *hi = line + s.hi * 3;
                        for (int c = 0; c < 3; ++c)
                            out[r * 3 + 2 - c] = lo[c] * s.oneMinusF + hi[c] * s.f;
                    }
                }
                for (int g = 0; g < 256; ++g) {
                    const AxisSample &s = axis[size_t(g)];
                    const float *lo = redRows.data() + size_t(s.lo) * kRowFloats;
                    const float *hi = redRows.data() + size_t(s.hi) * kRowFloats;
                    float *out = plane + size_t(g) * kRowFloats;
                    const float wl = s.oneMinusF, wh = s.f;
                    for (int i = 0; i < kRowFloats; ++i)
                        out[i] = lo[i] * wl + hi[i] * wh;
                }
            };
            auto planeFor = [&](int b) -> const float * {
                for (int k = 0; k < 2; ++k)
                    if (planeOf[k] == b)
                        return planes[k].data();
                return nullptr;
            };

            for (int row = rows.start; row < rows.end; ++row) {
                const AxisSample &s = axis[size_t(row)];
                const float *lo = planeFor(s.lo);
                const float *hi = planeFor(s.hi);
                // Fill the slot that holds neither needed plane.
                for (int want : {s.lo, s.hi}) {
                    if (planeFor(want))
                        continue;
                    const int slot = (planeOf[0] == s.lo || planeOf[0] == s.hi) ? 1 : 0;
                    makePlane(want, planes[slot].data());
                    planeOf[slot] = want;
                }
                lo = planeFor(s.lo);
                hi = planeFor(s.hi);
                const float wl = s.oneMinusF, wh = s.f;
                unsigned char *out = table + size_t(row) * kTableColumns * 3;
                for (int i = 0; i < kPlaneFloats; ++i) {
                    float v = (lo[i] * wl + hi[i] * wh) * 255.0f;
                    v = v > 0.0f ? v : 0.0f; // also turns NaN into 0
                    v = v < 255.0f ? v : 255.0f;
                    out[i] = static_cast<unsigned char>(static_cast<int>(v));
                }
            }
        },
        cv::getNumThreads() * 2.0);
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
// One row of look-ups; the channel order of the result is fixed at compile time so the
// inner loop carries no branch.
template <bool RgbOut>
void lookUpRow(const unsigned char *src, unsigned char *dst, int width, const unsigned char *table)
{
    // Look-ups of noisy pictures miss the cache on nearly every pixel; asking for the
    // entry a few pixels ahead keeps several misses in flight.
    constexpr int kAhead = 16;
    const auto entry = [table](const unsigned char *p) {
        return table + ((size_t(p[0]) << 16) + (size_t(p[1]) << 8) + p[2]) * 3;
    };
    int x = 0;
    for (; x + kAhead < width; ++x) {
        KESTRANE_PREFETCH(entry(src + (x + kAhead) * 3));
        const unsigned char *e = entry(src + x * 3);
        unsigned char *d = dst + x * 3;
        d[0] = e[RgbOut ? 2 : 0];
        d[1] = e[1];
        d[2] = e[RgbOut ? 0 : 2];
    }
    for (; x < width; ++x) {
        const unsigned char *e = entry(src + x * 3);
        unsigned char *d = dst + x * 3;
        d[0] = e[RgbOut ? 2 : 0];
        d[1] = e[1];
        d[2] = e[RgbOut ? 0 : 2];
    }
}
} // namespace

void Lut3d::apply(const cv::Mat &bgr, cv::Mat &out, bool rgbOut) const {
    CV_Assert(bgr.type() == CV_8UC3 && !m_table.empty());
    out.create(bgr.size(), CV_8UC3);
    const unsigned char *table = m_table.data;
    const int width = bgr.cols;
    cv::parallel_for_(cv::Range(0, bgr.rows), [&](const cv::Range &rows) {
        for (int y = rows.start; y < rows.end; ++y) {
            if (rgbOut)
                lookUpRow<true>(bgr.ptr<unsigned char>(y), out.ptr<unsigned char>(y), width, table);
            else
                lookUpRow<false>(bgr.ptr<unsigned char>(y), out.ptr<unsigned char>(y), width, table);
        }
    });
}
