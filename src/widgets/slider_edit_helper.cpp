#include "slider_edit_helper.h"

#include "log_manager.h"
#include "number_edit.h"

#include <QAbstractSlider>
#include <QEvent>
#include <QIntValidator>
#include <QLineEdit>
#include <QSlider>

SliderEditHelper::SliderEditHelper(QSlider *slider, QLineEdit *lineEdit, NumberEdit *numberEdit, QObject *parent)
    : SliderEditHelper(slider, lineEdit, numberEdit, Format(), parent)
{
}

SliderEditHelper::SliderEditHelper(QSlider *slider, QLineEdit *lineEdit, NumberEdit *numberEdit,
                                   const Format &format, QObject *parent)
    : QObject(parent), m_slider(slider), m_lineEdit(lineEdit), m_numberEdit(numberEdit), m_format(format)
{
    if (!m_slider || !m_lineEdit)
        return;
    updateEditFromSlider();
    connect(m_slider, &QSlider::valueChanged, this, &SliderEditHelper::updateEditFromSlider);
    m_lineEdit->installEventFilter(this);
    m_lineEdit->setValidator(new QIntValidator(m_slider->minimum() * m_format.scale,
                                               m_slider->maximum() * m_format.scale, m_lineEdit));
    if (m_numberEdit) {
        m_numberEdit->fitText({textForValue(m_slider->minimum()), textForValue(m_slider->maximum())});
        connect(m_numberEdit, &NumberEdit::plusClicked, this, &SliderEditHelper::onPlusClicked);
        connect(m_numberEdit, &NumberEdit::minusClicked, this, &SliderEditHelper::onMinusClicked);
    }
}

QString SliderEditHelper::textForValue(int value) const
{
    const QString number = QString::number(value * m_format.scale);
    return (m_format.plusSign && value >= 1 ? QStringLiteral("+") : QString()) + number + m_format.suffix;
}

void SliderEditHelper::setDisplay(std::function<QString(int)> display)
{
    m_display = std::move(display);
    updateEditFromSlider();
}

void SliderEditHelper::updateEditFromSlider()
{
    if (!m_slider || !m_lineEdit)
        return;
    m_shownText = m_display ? m_display(m_slider->value()) : textForValue(m_slider->value());
    m_lineEdit->setText(m_shownText);
}

void SliderEditHelper::updateSliderFromEdit()
{
    if (!m_slider || !m_lineEdit)
        return;
    QString text = m_lineEdit->text();
    if (m_format.plusSign && text.startsWith(QLatin1Char('+')))
        text.remove(0, 1);
    if (!m_format.suffix.isEmpty() && text.endsWith(m_format.suffix))
        text.chop(m_format.suffix.size());

    bool ok = false;
    const int typed = text.toInt(&ok, 10);
    if (m_format.logParsedValue)
        LogManager::instance()->log(DEBUG, QStringLiteral("value:%1").arg(ok ? typed : 0));

    const int low = m_slider->minimum() * m_format.scale;
    const int high = m_slider->maximum() * m_format.scale;
    if (ok && typed >= low && typed <= high) {
        const int value = typed / m_format.scale;
        if (value != m_slider->value()) {
            m_slider->setValue(value); // valueChanged rewrites the text
            return;
        }
    }
    // Rejected text, or a value the slider already has: show the slider's own value
    // in the box's format (so "7" becomes "+7" and "5650" becomes "5600K").
    updateEditFromSlider();
}

void SliderEditHelper::onPlusClicked()
{
    if (m_slider && m_slider->value() < m_slider->maximum())
        stepBy(1);
}

void SliderEditHelper::onMinusClicked()
{
    if (m_slider && m_slider->value() > m_slider->minimum())
        stepBy(-1);
}

void SliderEditHelper::stepBy(int delta)
{
    m_slider->setValue(m_slider->value() + delta);
    m_slider->triggerAction(QAbstractSlider::SliderMove);
}

bool SliderEditHelper::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        // A line edit losing focus while it is being destroyed is no longer a QLineEdit
        // here, and its text must not be read.
        auto *edit = qobject_cast<QLineEdit *>(watched);
        // Only a changed text is read: the shown text of a box with its own display
        // ("10" for a compensation of +10) is no slider value.
        if (edit && edit == m_lineEdit && edit->text() != m_shownText)
            updateSliderFromEdit();
    }
    return QObject::eventFilter(watched, event);
}
