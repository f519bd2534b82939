#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QLabel;
class QLineEdit;
class QWidget;

// Renaming a camera in place: a line edit laid over the name label of its device
// button. Return or Enter, or a left click anywhere else in the panel's window,
// commits; Escape cancels. One rename at a time.
class DeviceRenameEditor : public QObject {
    Q_OBJECT
public:
    static const char *const kEditorStyle;

    explicit DeviceRenameEditor(QWidget *panel);
    ~DeviceRenameEditor() override;

    // Whether a new name can be used; a refused name keeps the editor open with the
    // text as typed (the check tells the user why).
    using NameCheck = std::function<bool(const QString &name)>;
    void setNameCheck(NameCheck check) { m_nameCheck = std::move(check); }

    // Starts editing `label` (slot `index`, name key `key`), holding `fullName` — the
    // label may show the name cut short. A rename in progress is committed first.
    void begin(int index, QLabel *label, const QString &key, const QString &fullName);
    // Ends the rename; emits renamed() when the trimmed text is new, not empty and
    // passes the name check. A name the check refuses leaves the editor open.
    void finish();
    // Ends the rename without a change.
    void cancel();

    bool isActive() const { return m_renameEditor != nullptr; }
    QLineEdit *editor() const { return m_renameEditor; }
    int renameIndex() const { return m_renameIndex; }
    QString renameKey() const { return m_renameKey; }
    QString renameOriginal() const { return m_renameOriginal; }

signals:
    void renamed(int index, const QString &key, const QString &name);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void end();

    QWidget *m_panel;
    NameCheck m_nameCheck;
    QPointer<QLabel> m_label;
    QLineEdit *m_renameEditor = nullptr;
    int m_renameIndex = -1;
    QString m_renameOriginal;
    QString m_renameKey;
};
