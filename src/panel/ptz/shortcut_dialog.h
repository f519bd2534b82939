#pragma once

#include <QDialog>
#include <QKeySequence>

#include <functional>

class QKeySequenceEdit;
class QPushButton;

// The dialog that asks for a preset's keyboard shortcut: "请按下快捷键组合:", a key
// sequence editor, "确定" and "取消". "确定" reports the sequence through
// shortcutChosen and accepts; "取消" rejects. In the editor a bare Enter or Return
// answers like "确定" and a bare Escape like "取消": they are never recorded as a chord
// of the shortcut. With a modifier (Ctrl+Return) they are recorded like any key.
//
// Tests install a driver that receives the dialog in place of the user: run() hands
// the dialog to it instead of executing it modally.
class ShortcutDialog : public QDialog {
    Q_OBJECT
public:
    using TestDriver = std::function<void(ShortcutDialog &dialog)>;

    explicit ShortcutDialog(int presetId, QWidget *parent = nullptr);

    int presetId() const { return m_presetId; }
    QKeySequenceEdit *editor() const { return m_editor; }
    QPushButton *okButton() const { return m_okButton; }
    QPushButton *cancelButton() const { return m_cancelButton; }

    // exec(), or the test driver when one is installed; returns the dialog result.
    int run();

    // An empty function shows the dialog for real again.
    static void setTestDriver(TestDriver driver);

signals:
    void shortcutChosen(int presetId, const QKeySequence &keySequence);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onOkClicked();

    int m_presetId;
    QKeySequenceEdit *m_editor = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
};
