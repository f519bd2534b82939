#pragma once

#include <QString>

class NumberEdit;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QSlider;
class QWidget;
class SliderEditHelper;

// One slider row of a parameter page: caption, slider (wheel-filtered), number box
// and the helper that binds slider and box. The widgets and the helper are children
// of the page; the caller adds the row's layout to the page's layout.
struct SliderRow {
    enum class Kind {
        Signed,           // box shows "+5", "0", "-3"
        ColorTemperature, // one step is 100 K, box shows "5600K"
    };

    static const char *const kCaptionStyle;
    static const char *const kSliderStyle;

    QHBoxLayout *layout = nullptr;
    QLabel *label = nullptr;
    QSlider *slider = nullptr;
    NumberEdit *numberEdit = nullptr;
    QLineEdit *lineEdit = nullptr;
    SliderEditHelper *helper = nullptr;

    static SliderRow build(QWidget *page, const QString &caption, int minimum, int maximum, int initial,
                           Kind kind = Kind::Signed);

    // Shows or hides the caption, the slider and the box together.
    void setVisible(bool visible) const;
};
