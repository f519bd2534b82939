#include "pixel_contrast.h"

#include <QHash>
#include <QVector>

#include <algorithm>
#include <cmath>

namespace {
double channel(int v)
{
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

QRgb over(QRgb c, QRgb ground)
{
    const int a = qAlpha(c);
    if (a == 255)
        return c;
    auto mix = [a](int top, int below) { return (top * a + below * (255 - a)) / 255; };
    return qRgb(mix(qRed(c), qRed(ground)), mix(qGreen(c), qGreen(ground)), mix(qBlue(c), qBlue(ground)));
}

// Below this a pixel is not told apart from the background at all.
constexpr double kVisibleDifference = 1.25;
// The ink taken is the third strongest pixel: the colour of the strokes' core, not of
// their antialiased edges, and not a single odd pixel.
constexpr int kInkRank = 2;
} // namespace

double PixelContrast::luminance(QRgb c)
{
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

double PixelContrast::ratio(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

double PixelContrast::ofText(const QImage &source, const QRect &wanted, QRgb *backgroundOut, QRgb *inkOut)
{
    const QImage shot = source.format() == QImage::Format_ARGB32 ? source
                                                                 : source.convertToFormat(QImage::Format_ARGB32);
    const QRect area = wanted & shot.rect();
    if (area.width() * area.height() < 4)
        return 0.0;
    bool translucent = false;
    double worst = 1e9;
    for (const QRgb ground : {qRgb(0, 0, 0), qRgb(255, 255, 255)}) {
        QVector<QRgb> pixels;
        pixels.reserve(area.width() * area.height());
        QHash<QRgb, int> counts;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(shot.constScanLine(y));
            for (int x = area.left(); x <= area.right(); ++x) {
                translucent |= qAlpha(line[x]) != 255;
                const QRgb c = over(line[x], ground);
                pixels << c;
                ++counts[c];
            }
        }
        QRgb background = pixels.first();
        int most = 0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            if (it.value() > most) {
                most = it.value();
                background = it.key();
            }
        if (most * 4 < pixels.size()) {
            // A gradient: the pixel of median brightness stands for it.
            QVector<QRgb> sorted = pixels;
            std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end(),
                             [](QRgb a, QRgb b) { return luminance(a) < luminance(b); });
            background = sorted[sorted.size() / 2];
        }
        QVector<QPair<double, QRgb>> ink;
        for (QRgb c : std::as_const(pixels)) {
            const double r = ratio(c, background);
            if (r >= kVisibleDifference)
                ink.append({r, c});
        }
        double result = 1.0;
        QRgb strongest = background;
        if (ink.size() >= 3) {
            std::sort(ink.begin(), ink.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
            const int at = qMin(int(ink.size()) - 1, kInkRank);
            result = ink[at].first;
            strongest = ink[at].second;
        }
        if (result < worst) {
            worst = result;
            if (backgroundOut)
                *backgroundOut = background;
            if (inkOut)
                *inkOut = strongest;
        }
        if (!translucent)
            break;
    }
    return worst;
}
