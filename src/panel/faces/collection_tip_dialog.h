#pragma once

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

signals:
    void confirmed();
    void abandoned();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *buildTitleBar();

    QPushButton *m_confirmButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QPushButton *m_closeButton = nullptr;
    QPushButton *m_minimizeButton = nullptr;
};
