#pragma once

#include "window_dragger.h"

#include <QDialog>

class QPushButton;

// The warm tip shown before a face data collection: what the collection asks of the
// user and how the face data is kept. Frameless, 400 × 280, shown without blocking.
// "确认" reports confirmed(); "取消" and the title bar's close button report
// abandoned(); the minimise button only minimises. The dialog closes itself first.
class CollectionTipDialog : public QDialog {
    Q_OBJECT
public:
    explicit CollectionTipDialog(QWidget *parent = nullptr);

    QPushButton *confirmButton() const { return m_confirmButton; }
    QPushButton *cancelButton() const { return m_cancelButton; }
    QPushButton *closeButton() const { return m_closeButton; }
    QPushButton *minimizeButton() const { return m_minimizeButton; }
    QWidget *titleBar() const { return m_titleBar; }

    // Lets the user drag the dialog by its title bar, and swallows every key press and
    // release of the application while the dialog is shown (not minimised), so that no
    // stray key confirms it or reaches the panel behind it. Off by default.
    void setHoldsInput(bool on);

signals:
    void confirmed();
    void abandoned();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildTitleBar();
    bool dragByTitleBar(QEvent *event);

    bool m_holdsInput = false;
    WindowDragger m_dragger{this};
    QWidget *m_titleBar = nullptr;

    QPushButton *m_confirmButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QPushButton *m_closeButton = nullptr;
    QPushButton *m_minimizeButton = nullptr;
};
