#include "param_control.h"

#include "number_edit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QStyledItemDelegate>

const char *const ParamControl::kComboStyle =
    "QComboBox { background-color: #181a1b; color: white; padding: 4px; border-radius: 4px; font-size: 12px;"
    " border: none; combobox-popup: 0; }"
    // A disabled combo is dimmed: #323d43 at half opacity, its text too.
    "QComboBox:disabled { background-color: rgba(50, 61, 67, 128); color: rgba(255, 255, 255, 128); }"
    "QComboBox QFrame { background-color: #181a1b; border: 1px solid #2c3034; }"
    "QComboBox QAbstractItemView { background-color: #181a1b; color: white; font-size: 12px;"
    " selection-background-color: #1b89ef; outline: none; }"
    "QComboBox QAbstractItemView::item { min-height: 22px; padding: 0px 4px; }"
    "QComboBox QAbstractItemView::item:hover { background-color: #1b89ef; }"
    "QComboBox QAbstractItemView::item:selected { background-color: #1b89ef; }";

void ParamControl::styleCombo(QComboBox *combo)
{
    combo->setStyleSheet(QLatin1String(kComboStyle));
    // The combo's own item painter ignores the item rules of a style sheet.
    combo->setItemDelegate(new QStyledItemDelegate(combo));
}

const char *const ParamControl::kSwitchStyle =
    "QCheckBox { background: transparent; spacing: 0px; }"
    "QCheckBox::indicator { width: 40px; height: 20px; }"
    "QCheckBox::indicator:checked { image: url(:/icons/resources/icons/switch_on.png); }"
    "QCheckBox::indicator:unchecked { image: url(:/icons/resources/icons/switch_off.png); }";

void ParamControl::setItems(const QStringList &items)
{
    combo->clear();
    for (const QString &item : items)
        combo->addItem(ParamRow::shown(item), item);
}

QString ParamControl::itemSource(int index) const
{
    return combo ? combo->itemData(index).toString() : QString();
}

int ParamControl::value() const
{
    if (combo)
        return combo->currentIndex();
    if (check)
        return check->isChecked() ? 1 : 0;
    return slider.slider ? slider.slider->value() : 0;
}

void ParamControl::setValue(int value)
{
    if (combo)
        combo->setCurrentIndex(value);
    else if (check)
        check->setChecked(value != 0);
    else if (slider.slider)
        slider.slider->setValue(value);
}

QWidget *ParamControl::widget() const
{
    if (combo)
        return combo;
    if (check)
        return check;
    return slider.slider;
}

void ParamControl::setRowVisible(bool visible)
{
    if (slider.slider) {
        slider.setVisible(visible);
        return;
    }
    if (label)
        label->setVisible(visible);
    if (QWidget *w = widget())
        w->setVisible(visible);
}

bool ParamControl::isRowVisible() const
{
    const QWidget *w = widget();
    return w && !w->isHidden();
}
