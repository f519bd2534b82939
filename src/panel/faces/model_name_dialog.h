#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;

// Asks for a new face model's name: "请输入模型名称", a line edit with focus, "确定" and
// "取消"; with another title and prompt, for another name (a preset's). Tests install a
// driver that receives the dialog in place of the user.
class ModelNameDialog : public QDialog {
    Q_OBJECT
public:
    using TestDriver = std::function<void(ModelNameDialog &dialog)>;

    // An empty title or prompt asks for a face model's name.
    explicit ModelNameDialog(QWidget *parent = nullptr, const QString &title = QString(),
                             const QString &prompt = QString());

    QLineEdit *edit() const { return m_edit; }
    QPushButton *okButton() const { return m_okButton; }
    QPushButton *cancelButton() const { return m_cancelButton; }
    // The entered text, trimmed.
    QString name() const;

    // exec(), or the test driver when one is installed; returns the dialog result.
    int run();
    // An empty function shows the dialog for real again.
    static void setTestDriver(TestDriver driver);

private:
    QLineEdit *m_edit = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
};
