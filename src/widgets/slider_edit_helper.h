#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class NumberEdit;
class QLineEdit;
class QSlider;

// Keeps a slider and the line edit of its number box in step. The box shows the
// slider value signed ("+5", "0", "-3"); typed text is taken when the edit loses
// focus (a box left as it was shown is not read again), and the "+" / "-" buttons
// step the slider by one within its range.
// The page learns of every change through the slider's valueChanged signal.
class SliderEditHelper : public QObject {
    Q_OBJECT
public:
    SliderEditHelper(QSlider *slider, QLineEdit *lineEdit, NumberEdit *numberEdit, QObject *parent = nullptr);

    // The text the box shows for a slider value.
    QString textForValue(int value) const;
    // A box with a display of its own (a value shown relative to another, a unit): the
    // text it shows for a slider value, written in place of the helper's whenever the
    // box is updated. Typed text is still read as a slider value.
    void setDisplay(std::function<QString(int value)> display);

public slots:
    void updateEditFromSlider();
    void updateSliderFromEdit();
    void onPlusClicked();
    void onMinusClicked();

protected:
    // How a slider value appears in the box: value × scale, with an optional "+" for
    // positive values and an optional suffix.
    struct Format {
        int scale = 1;
        bool plusSign = true;
        QString suffix;
        bool logParsedValue = false;
    };
    SliderEditHelper(QSlider *slider, QLineEdit *lineEdit, NumberEdit *numberEdit, const Format &format,
                     QObject *parent);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void stepBy(int delta);

    QPointer<QSlider> m_slider;
    QPointer<QLineEdit> m_lineEdit;
    QPointer<NumberEdit> m_numberEdit;
    Format m_format;
    std::function<QString(int)> m_display;
    QString m_shownText; // what the box was last given to show
};
