#include "slider_edit_helper_ex.h"

SliderEditHelperEx::SliderEditHelperEx(QSlider *slider, QLineEdit *lineEdit, NumberEdit *numberEdit,
                                       QObject *parent)
    : SliderEditHelper(slider, lineEdit, numberEdit, Format{100, false, QStringLiteral("K"), true}, parent)
{
}
