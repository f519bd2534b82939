#pragma once

#include "param_row.h"
#include "slider_row.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QWidget;

// The widgets built for one ParamRow, and the row's value as a plain int: combo index
// (-1 without a selection), slider value, switch 1/0.
struct ParamControl {
    ParamRow row;
    QLabel *label = nullptr;
    QComboBox *combo = nullptr;   // Kind::Combo
    QCheckBox *check = nullptr;   // Kind::Switch
    SliderRow slider;             // Kind::Slider and Kind::ColorTemperature

    static const char *const kComboStyle;
    // Gives a combo box the dark look, its drop-down list included: the list opens
    // below the box without light bands, and the current and hovered items stand out.
    // A disabled box is dimmed (#323d43 at half opacity).
    static void styleCombo(QComboBox *combo);
    static const char *const kSwitchStyle;

    // Fills the combo with `items` as the user reads them, each item keeping its text
    // as written in the row (itemSource) whatever the language shown.
    void setItems(const QStringList &items);
    // The item's text as written in the row; empty for no item.
    QString itemSource(int index) const;

    int value() const;
    // Sets the control; the control's own change signal reports it (combos take any
    // index, out-of-range ones clear the selection; sliders clamp to their range).
    void setValue(int value);
    // The control itself (combo, slider or switch).
    QWidget *widget() const;
    // Label and control (and a slider's number box) together.
    void setRowVisible(bool visible);
    bool isRowVisible() const;
};
