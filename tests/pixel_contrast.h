#pragma once

#include <QImage>
#include <QRect>

// WCAG contrast of what is drawn: relative luminance of sRGB colours and the contrast
// of a text against the pixels actually behind it.
class PixelContrast {
public:
    static constexpr double kMinimumRatio = 4.5; // WCAG AA for normal text

    static double luminance(QRgb colour);
    static double ratio(QRgb a, QRgb b);

    // The contrast of the text drawn in `area` of `shot`. The background is the
    // commonest colour there (over a gradient: the median brightness), the text the
    // strongest ink that is more than a stray pixel. Pixels that are not opaque are
    // taken over black and over white, and the worse result counts. Returns 0 when
    // the area is empty.
    static double ofText(const QImage &shot, const QRect &area, QRgb *background = nullptr, QRgb *ink = nullptr);
};
