#pragma once

#include <QRgb>

// The HSV conversions of the palette tools, all components in [0, 1].
namespace HsvColour {

// Hue sector by sector; each channel is (m + channel) × 255 truncated, allowing for
// single-precision rounding. Returns false (and leaves *rgb alone) when a channel
// falls outside 0–255, which inputs outside [0, 1] can cause.
bool toRgb(double h, double s, double v, QRgb *rgb);

// Single precision; h in [0, 1), 0 for greys.
void fromRgb(float r, float g, float b, float *h, float *s, float *v);

} // namespace HsvColour
