#pragma once

#include <QString>

#include <functional>

class QDialog;
class QMessageBox;
class QWidget;

// The preview's modal boxes and file choosers go through here, so that tests can
// answer them without anything being shown.
class PreviewDialogs {
public:
    using BoxResponder = std::function<int(QMessageBox *box)>;
    using FileResponder = std::function<QString(const QString &caption, const QString &filter)>;
    // Receives a modal dialog in place of the user; returns what exec() would.
    using DialogResponder = std::function<int(QDialog *dialog)>;

    // Runs the box modally (or hands it to the test responder) and returns its result.
    static int exec(QMessageBox *box);
    // Runs a dialog of the preview's own modally (or hands it to the test responder).
    static int execDialog(QDialog *dialog);
    // An open-file dialog; an empty text when nothing was chosen.
    static QString openFileName(QWidget *parent, const QString &caption, const QString &filter);

    // Empty functions show the real dialogs again.
    static void setBoxResponder(BoxResponder responder);
    static void setFileResponder(FileResponder responder);
    static void setDialogResponder(DialogResponder responder);

private:
    static BoxResponder &boxResponder();
    static FileResponder &fileResponder();
    static DialogResponder &dialogResponder();
};
