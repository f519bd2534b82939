#pragma once

// One point of the palette grid: its cell, where it is drawn now and where the
// regular grid puts it, in widget pixels.
struct ControlPoint {
    int angleIdx = 0;
    int radiusIdx = 0;
    double x = 0.0;
    double y = 0.0;
    double originalX = 0.0;
    double originalY = 0.0;
};
