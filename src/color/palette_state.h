#pragma once

#include "control_point.h"
#include "palette_lut.h"

#include <QList>

// What the adjustment file keeps of a palette: the grid's counts, the two change
// tables, the control points and the last image-processor table.
struct PaletteState {
    int numAngles = 24;
    int numRadii = 12;
    PaletteTable deltaSaturation;
    PaletteTable deltaHue;
    QList<ControlPoint> controlPoints;
    HisiTable hisiOutput;
};
