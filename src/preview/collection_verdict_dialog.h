#pragma once

#include <QDialog>
#include <QList>

class QPushButton;

// The verdict of a face data collection: a dark, rounded, frameless 400 × 250 box
// with one centred, wrapped message and a centred row of 120 × 40 buttons.
class CollectionVerdictDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 250;
    static constexpr int kCornerRadius = 15;

    CollectionVerdictDialog(const QString &title, const QString &text, QWidget *parent = nullptr);

    // Appends a button to the row; `colour` and `hover` are its backgrounds.
    QPushButton *addButton(const QString &text, const char *colour, const char *hover);
    QList<QPushButton *> buttons() const { return m_buttons; }
    QString text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    class QHBoxLayout *m_row = nullptr;
    QList<QPushButton *> m_buttons;
};
