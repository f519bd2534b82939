#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class NumberEdit;
class QLineEdit;
class QSlider;

// Keeps a slider and the line edit of its number box in step. The box shows the
// slider value signed ("+5", "0", "-3"); typed text is taken when the edit loses
// focus, and the "+" / "-" buttons step the slider by one within its range.
// The page learns of every change through the slider's valueChanged signal.
class SliderEditHelper : public QObject {
    Q_OBJECT
public:
    SliderEditHelper(QSlider *slider, QLineEdit *lineEdit, NumberEdit *numberEdit, QObject *parent = nullptr);

    // The text the box shows for a slider value.
    QString textForValue(int value) const;

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
};
