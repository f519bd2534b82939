#include "simulated_video_scene.h"

#include "simulated_camera.h"

#include "device_models.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTableBits = 6;
constexpr int kTableSize = 1 << (3 * kTableBits);
// A table value of 64 (the hue table's end) turns the hue by this many degrees.
constexpr double kHueDegreesPerStep = 45.0 / 64.0;
// The saturation table's neutral value.
constexpr double kNeutralSat = 64.0;

double clamp01(double v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

void rgbToHsv(double r, double g, double b, double &h, double &s, double &v) {
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const double d = mx - mn;
    v = mx;
    s = mx > 0 ? d / mx : 0;
    if (d <= 0) {
        h = 0;
        return;
    }
    if (mx == r)
        h = 60.0 * std::fmod((g - b) / d + 6.0, 6.0);
    else if (mx == g)
        h = 60.0 * ((b - r) / d + 2.0);
    else
        h = 60.0 * ((r - g) / d + 4.0);
}

void hsvToRgb(double h, double s, double v, double &r, double &g, double &b) {
    h = std::fmod(std::fmod(h, 360.0) + 360.0, 360.0);
    const double c = v * s;
    const double x = c * (1 - std::fabs(std::fmod(h / 60.0, 2.0) - 1));
    const double m = v - c;
    double r1 = 0, g1 = 0, b1 = 0;
    switch (int(h / 60.0) % 6) {
    case 0:
        r1 = c, g1 = x;
        break;
    case 1:
        r1 = x, g1 = c;
        break;
    case 2:
        g1 = c, b1 = x;
        break;
    case 3:
        g1 = x, b1 = c;
        break;
    case 4:
        r1 = x, b1 = c;
        break;
    default:
        r1 = c, b1 = x;
        break;
    }
    r = r1 + m, g = g1 + m, b = b1 + m;
}

double tableAt(const QVector<int> &table, double hue, double neutral) {
    if (table.size() != 24)
        return neutral;
    const double pos = hue / 15.0;
    const int i = int(std::floor(pos)) % 24;
    const double t = pos - std::floor(pos);
    return table[i] * (1 - t) + table[(i + 1) % 24] * t;
}

unsigned char byteOf(double v) {
    return static_cast<unsigned char>(std::lround(std::clamp(v, 0.0, 255.0)));
}

} // namespace

SimulatedVideoScene::View SimulatedVideoScene::viewOf(SimulatedCamera &camera) {
    View view;
    const SimulatedPtz::Position p = camera.ptzPosition();
    view.name = camera.selectionName();
    // The view turns the way the tool's arrows say: the tilt commands run opposite to
    // the picture (the up arrow sends "Down"), and some models pan mirrored.
    view.pan = isPanReversedModel(camera.model()) ? -p.pan : p.pan;
    view.tilt = -p.tilt;
    view.zoom = p.zoom;
    view.direction = camera.direction();
    view.mirrored = camera.videoParam(QStringLiteral("bHorzInvert")) != 0;
    view.flipped = camera.videoParam(QStringLiteral("bVertInvert")) != 0;
    view.luminance = camera.videoParam(QStringLiteral("Luminance"));
    view.contrast = camera.videoParam(QStringLiteral("Contrast"));
    view.saturation = camera.videoParam(QStringLiteral("Saturation"));
    view.hueTable = camera.state().hueTable();
    view.satTable = camera.state().satTable();
    return view;
}

const QImage &SimulatedVideoScene::world(const QString &name) {
    if (!m_world.isNull() && name == m_worldName)
        return m_world;
    m_worldName = name;
    QImage img(kWorldWidth, kWorldHeight, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, kWorldHeight);
    sky.setColorAt(0, QColor(46, 70, 104));
    sky.setColorAt(1, QColor(24, 28, 34));
    p.fillRect(img.rect(), sky);

    // Grid: fine lines every 80 px, strong ones and coordinates every 320 px.
    p.setPen(QPen(QColor(88, 98, 112), 1));
    for (int x = 0; x < kWorldWidth; x += 80)
        p.drawLine(x, 0, x, kWorldHeight);
    for (int y = 0; y < kWorldHeight; y += 80)
        p.drawLine(0, y, kWorldWidth, y);
    p.setPen(QPen(QColor(150, 160, 176), 3));
    for (int x = 0; x < kWorldWidth; x += 320)
        p.drawLine(x, 0, x, kWorldHeight);
    for (int y = 0; y < kWorldHeight; y += 320)
        p.drawLine(0, y, kWorldWidth, y);
    QFont small(QStringLiteral("sans-serif"));
    small.setPixelSize(22);
    p.setFont(small);
    p.setPen(QColor(190, 200, 214));
    for (int x = 0; x < kWorldWidth; x += 320)
        for (int y = 0; y < kWorldHeight; y += 320)
            p.drawText(x + 8, y + 28, QStringLiteral("%1,%2").arg(x / 320 - 4).arg(2 - y / 320));

    // Colour wheel: hue around, saturation outwards.
    const QPointF centre(kWorldWidth / 2.0, kWorldHeight / 2.0);
    const double radius = 240;
    QConicalGradient hue(centre, 0);
    for (int i = 0; i <= 12; ++i)
        hue.setColorAt(i / 12.0, QColor::fromHsvF(std::fmod(i / 12.0, 1.0), 1.0, 1.0));
    p.setPen(Qt::NoPen);
    p.setBrush(hue);
    p.drawEllipse(centre, radius, radius);
    QRadialGradient white(centre, radius);
    white.setColorAt(0, QColor(255, 255, 255, 255));
    white.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(white);
    p.drawEllipse(centre, radius, radius);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(230, 230, 230), 6));
    p.drawEllipse(centre, radius + 4, radius + 4);

    // An arrow pointing up, to see the picture's orientation.
    QPainterPath arrow;
    const double top = centre.y() - radius - 100;
    arrow.moveTo(centre.x(), top);
    arrow.lineTo(centre.x() + 50, top + 70);
    arrow.lineTo(centre.x() - 50, top + 70);
    arrow.closeSubpath();
    p.fillPath(arrow, QColor(255, 210, 40));
    small.setPixelSize(40);
    small.setBold(true);
    p.setFont(small);
    p.setPen(QColor(255, 210, 40));
    p.drawText(QRectF(centre.x() + 60, top + 10, 120, 60), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("UP"));

    // Grey ramp on the left, colour bars on the right.
    for (int i = 0; i <= 10; ++i) {
        const int v = i * 255 / 10;
        p.fillRect(QRect(700, 390 + i * 60, 140, 60), QColor(v, v, v));
    }
    const QColor bars[] = {QColor(191, 191, 191), QColor(191, 191, 0), QColor(0, 191, 191), QColor(0, 191, 0),
                           QColor(191, 0, 191),   QColor(191, 0, 0),   QColor(0, 0, 191)};
    for (int i = 0; i < 7; ++i)
        p.fillRect(QRect(1680 + i * 30, 420, 30, 480), bars[i]);
    p.fillRect(QRect(1680, 900, 210, 60), QColor(224, 172, 138)); // a skin tone

    // The camera's name under the wheel.
    QFont big(QStringLiteral("sans-serif"));
    big.setPixelSize(72);
    big.setBold(true);
    p.setFont(big);
    p.setPen(QColor(245, 245, 245));
    p.drawText(QRectF(0, centre.y() + radius + 20, kWorldWidth, 100), Qt::AlignCenter, name);
    p.end();
    m_world = img;
    return m_world;
}

SimulatedVideoScene::Sampling SimulatedVideoScene::sampling(const View &view) const {
    Sampling s;
    s.portrait = view.direction == 2;
    const double scale = 1.0 + (kMaxZoomFactor - 1.0) * std::clamp(view.zoom, 0.0, 100.0) / 100.0;
    // The view upright, in frame pixels: a portrait camera sees a tall picture.
    const int viewW = s.portrait ? kFrameHeight : kFrameWidth;
    const int viewH = s.portrait ? kFrameWidth : kFrameHeight;
    const double worldW = viewW / scale, worldH = viewH / scale;
    // Home looks at the wheel; the view stops at the scene's edges.
    const double cx =
        std::clamp(kWorldWidth / 2.0 + view.pan * kPixelsPerDegree, worldW / 2.0, kWorldWidth - worldW / 2.0);
    const double cy = std::clamp(kWorldHeight / 2.0 - view.tilt * kPixelsPerDegree, worldH / 2.0,
                                 kWorldHeight - worldH / 2.0);
    const double x0 = cx - worldW / 2.0, y0 = cy - worldH / 2.0, step = 1.0 / scale;
    auto worldX = [&](int vx) { return std::clamp(int(x0 + (vx + 0.5) * step), 0, kWorldWidth - 1); };
    auto worldY = [&](int vy) { return std::clamp(int(y0 + (vy + 0.5) * step), 0, kWorldHeight - 1); };
    s.column.resize(kFrameWidth);
    s.row.resize(kFrameHeight);
    if (!s.portrait) {
        for (int x = 0; x < kFrameWidth; ++x)
            s.column[size_t(x)] = worldX(x);
        for (int y = 0; y < kFrameHeight; ++y)
            s.row[size_t(y)] = worldY(y);
    } else {
        // Frame (x, y) shows the upright view's pixel (y, viewH - 1 - x): the view
        // turned a quarter clockwise.
        for (int x = 0; x < kFrameWidth; ++x)
            s.column[size_t(x)] = worldY(viewH - 1 - x);
        for (int y = 0; y < kFrameHeight; ++y)
            s.row[size_t(y)] = worldX(y);
    }
    // The sensor's read-out order decides mirror and flip: they act on the frame as sent.
    if (view.mirrored)
        std::reverse(s.column.begin(), s.column.end());
    if (view.flipped)
        std::reverse(s.row.begin(), s.row.end());
    return s;
}

void SimulatedVideoScene::ensureColourTable(const View &view) {
    QVector<int> key = {view.luminance, view.contrast, view.saturation};
    key += view.hueTable;
    key += view.satTable;
    if (key == m_colourKey && !m_yuv.empty())
        return;
    m_colourKey = key;
    m_yuv.resize(size_t(kTableSize) * 3);
    m_rgb.resize(size_t(kTableSize));
    const double contrast = view.contrast / 50.0;
    const double brightness = (view.luminance - 50) / 100.0;
    const double saturation = view.saturation / 50.0;
    for (int i = 0; i < kTableSize; ++i) {
        auto expand = [](int v6) { return ((v6 << 2) | (v6 >> 4)) / 255.0; };
        double r = expand((i >> 12) & 0x3f), g = expand((i >> 6) & 0x3f), b = expand(i & 0x3f);
        double h, s, v;
        rgbToHsv(r, g, b, h, s, v);
        if (s > 0) {
            const double shift = tableAt(view.hueTable, h, 0) * kHueDegreesPerStep;
            const double gain = tableAt(view.satTable, h, kNeutralSat) / kNeutralSat;
            hsvToRgb(h + shift, clamp01(s * gain * saturation), v, r, g, b);
        }
        double rgb[3] = {r, g, b};
        for (double &c : rgb)
            c = clamp01((c - 0.5) * contrast + 0.5 + brightness);
        const double R = rgb[0] * 255, G = rgb[1] * 255, B = rgb[2] * 255;
        m_rgb[size_t(i)] = qRgb(byteOf(R), byteOf(G), byteOf(B));
        unsigned char *yuv = m_yuv.data() + size_t(i) * 3;
        yuv[0] = byteOf(16 + 0.257 * R + 0.504 * G + 0.098 * B);
        yuv[1] = byteOf(128 - 0.148 * R - 0.291 * G + 0.439 * B);
        yuv[2] = byteOf(128 + 0.439 * R - 0.368 * G - 0.071 * B);
    }
}

void SimulatedVideoScene::renderYuyv(const View &view, unsigned char *dst, int bytesPerLine) {
    const QImage &img = world(view.name);
    ensureColourTable(view);
    const Sampling s = sampling(view);
    const unsigned char *base = img.constBits();
    const qsizetype stride = img.bytesPerLine();
    const unsigned char *yuv = m_yuv.data();
    for (int y = 0; y < kFrameHeight; ++y) {
        unsigned char *d = dst + qsizetype(y) * bytesPerLine;
        if (!s.portrait) {
            const QRgb *line = reinterpret_cast<const QRgb *>(base + s.row[size_t(y)] * stride);
            for (int x = 0; x < kFrameWidth; x += 2, d += 4) {
                const unsigned char *a = yuv + colourIndex(line[s.column[size_t(x)]]) * 3;
                const unsigned char *b = yuv + colourIndex(line[s.column[size_t(x + 1)]]) * 3;
                d[0] = a[0];
                d[1] = static_cast<unsigned char>((a[1] + b[1] + 1) >> 1);
                d[2] = b[0];
                d[3] = static_cast<unsigned char>((a[2] + b[2] + 1) >> 1);
            }
        } else {
            const unsigned char *column = base + s.row[size_t(y)] * 4;
            for (int x = 0; x < kFrameWidth; x += 2, d += 4) {
                const QRgb pa = *reinterpret_cast<const QRgb *>(column + s.column[size_t(x)] * stride);
                const QRgb pb = *reinterpret_cast<const QRgb *>(column + s.column[size_t(x + 1)] * stride);
                const unsigned char *a = yuv + colourIndex(pa) * 3;
                const unsigned char *b = yuv + colourIndex(pb) * 3;
                d[0] = a[0];
                d[1] = static_cast<unsigned char>((a[1] + b[1] + 1) >> 1);
                d[2] = b[0];
                d[3] = static_cast<unsigned char>((a[2] + b[2] + 1) >> 1);
            }
        }
    }
}

QImage SimulatedVideoScene::renderRgb(const View &view) {
    const QImage &img = world(view.name);
    ensureColourTable(view);
    const Sampling s = sampling(view);
    QImage out(kFrameWidth, kFrameHeight, QImage::Format_RGB32);
    for (int y = 0; y < kFrameHeight; ++y) {
        QRgb *d = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < kFrameWidth; ++x) {
            const QRgb p = s.portrait ? img.pixel(s.row[size_t(y)], s.column[size_t(x)])
                                      : img.pixel(s.column[size_t(x)], s.row[size_t(y)]);
            d[x] = m_rgb[size_t(colourIndex(p))];
        }
    }
    return out;
}
