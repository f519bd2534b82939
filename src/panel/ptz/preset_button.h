#pragma once

#include <QPushButton>

// A preset button of the full PTZ panel. Its label is the preset's name followed by a
// suffix (the bound shortcut); when the two do not fit, the name is cut with "…" so
// that the suffix stays readable, and the tool tip then carries the whole label. The
// button asks for no more room than the plain "预置位<n>" label, so a long name never
// squeezes its neighbours.
class PresetButton : public QPushButton {
    Q_OBJECT
public:
    explicit PresetButton(const QString &plainLabel, QWidget *parent = nullptr);

    // `toolTip` is shown as it is while the label fits, below the whole label when not.
    void setLabel(const QString &name, const QString &suffix, const QString &toolTip);
    QString fullLabel() const { return m_name + m_suffix; }
    bool elided() const { return text() != fullLabel(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The button's size around a label of `text`.
    QSize sizeFor(const QString &text) const;
    // Room for the label inside the button's border, padding and menu indicator.
    int textRoom() const;
    void fitLabel();

    QString m_plainLabel;
    QString m_name;
    QString m_suffix;
    QString m_toolTip;
};
