#include "slider_row.h"

#include "number_edit.h"
#include "slider_edit_helper_ex.h"
#include "wheel_event_filter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

const char *const SliderRow::kCaptionStyle =
    "color: #dddddd;font-size: 12px;min-width: 70px;padding: 0px;margin: 0px;border: none;";
const char *const SliderRow::kSliderStyle =
    "QSlider::groove:horizontal { height: 4px; background: #444444; border-radius: 2px; }"
    "QSlider::handle:horizontal { width: 12px; height: 12px; margin: -4px 0; background: #ffffff;"
    " border-radius: 6px; }"
    "QSlider::sub-page:horizontal { background: #1e90ff; border-radius: 2px; }";

SliderRow SliderRow::build(QWidget *page, const QString &caption, int minimum, int maximum, int initial,
                           Kind kind)
{
    SliderRow row;
    row.layout = new QHBoxLayout;

    row.label = new QLabel(caption, page);
    row.label->setStyleSheet(kCaptionStyle);

    row.slider = new QSlider(Qt::Horizontal, page);
    row.slider->setRange(minimum, maximum);
    row.slider->setValue(initial);
    row.slider->setStyleSheet(kSliderStyle);
    WheelEventFilter::install(row.slider);

    row.numberEdit = new NumberEdit(page);
    row.lineEdit = row.numberEdit->lineEdit();
    if (kind == Kind::ColorTemperature) {
        row.numberEdit->setBoxWidth(SliderEditHelperEx::kBoxWidth);
        row.helper = new SliderEditHelperEx(row.slider, row.lineEdit, row.numberEdit, page);
    } else {
        row.helper = new SliderEditHelper(row.slider, row.lineEdit, row.numberEdit, page);
    }

    row.layout->addWidget(row.label);
    row.layout->addWidget(row.slider, 1);
    row.layout->addWidget(row.numberEdit);
    return row;
}

void SliderRow::setVisible(bool visible) const
{
    label->setVisible(visible);
    slider->setVisible(visible);
    numberEdit->setVisible(visible);
}
