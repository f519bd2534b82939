#include "hsv_colour.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>

namespace HsvColour {

bool toRgb(double h, double s, double v, QRgb *rgb) {
    const double c = v * s;
    const double x = c * (1.0 - std::fabs(std::fmod(6.0 * h, 2.0) - 1.0));
    double r = 0, g = 0, b = 0;
    if (h < 1.0 / 6.0) {
        r = c, g = x;
    } else if (h < 2.0 / 6.0) {
        r = x, g = c;
    } else if (h < 3.0 / 6.0) {
        g = c, b = x;
    } else if (h < 4.0 / 6.0) {
        g = x, b = c;
    } else if (h < 5.0 / 6.0) {
        r = x, b = c;
    } else {
        r = c, b = x;
    }
    const double m = v - c;
    const double channels[3] = {(m + r) * 255.0, (m + g) * 255.0, (m + b) * 255.0};
    // Truncation, forgiving the rounding error of single-precision hues: a level
    // colour converted to HSV and back comes out as itself, not one below.
    constexpr double kTolerance = 1.0e-3;
    int out[3];
    for (int i = 0; i < 3; ++i) {
        // Also refuses NaN, which fails both comparisons.
        if (!(channels[i] > -kTolerance && channels[i] < 256.0))
            return false;
        out[i] = qMin(255, int(channels[i] + kTolerance));
    }
    *rgb = qRgb(out[0], out[1], out[2]);
    return true;
}

void fromRgb(float r, float g, float b, float *h, float *s, float *v) {
    const float max = std::max({r, g, b});
    const float min = std::min({r, g, b});
    *v = max;
    *s = max > 0.0f ? (max - min) / max : 0.0f;
    if (!(max > min)) {
        *h = 0.0f;
        return;
    }
    const float d = max - min;
    float sector;
    if (r == max)
        sector = (g - b) / d;
    else if (g == max)
        sector = 2.0f + (b - r) / d;
    else
        sector = 4.0f + (r - g) / d;
    float degrees = sector * 60.0f;
    if (degrees < 0.0f)
        degrees += 360.0f;
    *h = degrees / 360.0f;
}

} // namespace HsvColour
