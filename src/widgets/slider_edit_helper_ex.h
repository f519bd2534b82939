#pragma once

#include "slider_edit_helper.h"

// The colour-temperature variant: one slider step is 100 K and the box shows the
// temperature ("5600K"). Typed kelvin values are truncated to whole slider steps.
class SliderEditHelperEx : public SliderEditHelper {
    Q_OBJECT
public:
    static constexpr int kBoxWidth = 60;

    SliderEditHelperEx(QSlider *slider, QLineEdit *lineEdit, NumberEdit *numberEdit, QObject *parent = nullptr);
};
