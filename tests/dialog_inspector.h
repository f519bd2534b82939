#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class ModelNameDialog;
class QDialog;
class QWidget;
class ShortcutDialog;
class WindowCheck;

// Answers the tool's modal boxes and dialogs through the seams the tests use, and has
// each one checked first as the user would see it: message boxes (fitted to their
// text as when they run), file dialogs (over a folder with a few files), the preview's
// verdict dialogs, the name and shortcut dialogs. Every seam is put back on
// destruction.
class DialogInspector {
public:
    explicit DialogInspector(WindowCheck *check);
    ~DialogInspector();

    // The state the next dialogs are part of (their names begin with it).
    void setState(const QString &state) { m_state = state; }
    // Where file dialogs that name no folder open.
    void setFolder(const QString &folder) { m_folder = folder; }

    // The answer of the next boxes: a QMessageBox::StandardButton or a button position
    // (MessageBoxes' responder convention); closed without a button by default.
    int boxAnswer;
    // The path file dialogs return; empty: cancelled.
    QString fileAnswer;
    // What the name dialog is given: the text and whether it is accepted.
    QString nameAnswer;
    // What the shortcut dialog is then driven with, after it was checked.
    std::function<void(ShortcutDialog &)> shortcutDriver;
    // What the preview's own dialogs are driven with; rejected when empty.
    std::function<void(QDialog &)> dialogDriver;

    // The titles of the boxes and dialogs checked, in order.
    QStringList checked;

    // Checks a window shown for the purpose, then hides it.
    void checkShown(const QString &name, QWidget *window);

private:
    WindowCheck *m_check;
    QString m_state;
    QString m_folder;
};
