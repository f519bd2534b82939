#pragma once

#include <QStringList>
#include <QWidget>

class QLineEdit;
class QPushButton;

// The compact number box of a slider row: a line edit with a stacked "+" / "-" pair,
// 55 px wide. It only reports the button clicks; the row's helper owns the value.
class NumberEdit : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 55;

    explicit NumberEdit(QWidget *parent = nullptr);

    QLineEdit *lineEdit() const { return m_lineEdit; }
    QPushButton *plusButton() const { return m_plusButton; }
    QPushButton *minusButton() const { return m_minusButton; }

    // Fixes the box's width (the colour-temperature row uses 60).
    void setBoxWidth(int width);
    // Widens the box, if needed, so that each of the texts fits in the font the box
    // shows them in.
    void fitText(const QStringList &texts);

signals:
    void plusClicked();
    void minusClicked();

public slots:
    void onPlusClicked();
    void onMinusClicked();

private:
    QLineEdit *m_lineEdit;
    QPushButton *m_plusButton;
    QPushButton *m_minusButton;
};
