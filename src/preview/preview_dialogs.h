#pragma once

#include <QString>

#include <functional>

class QDialog;
class QMessageBox;
class QWidget;

// The preview's modal boxes and file choosers. They are made by the tool's dialog
// factory (MessageBoxes, FileDialogs) in its dark style, so the factory's test seams
// answer them too; the responders here answer them before the factory sees them.
class PreviewDialogs {
public:
    using BoxResponder = std::function<int(QMessageBox *box)>;
    using FileResponder = std::function<QString(const QString &caption, const QString &filter)>;
    // Receives a modal dialog in place of the user; returns what exec() would.
    using DialogResponder = std::function<int(QDialog *dialog)>;

    // The tool's dark box with the title, the text and a "确定" button, run modally (or
    // handed to the test responder); returns its result.
    static int notify(QWidget *parent, const QString &title, const QString &text);
    // Runs a dialog of the preview's own modally (or hands it to the test responder).
    static int execDialog(QDialog *dialog);
    // An open-file dialog of the factory; an empty text when nothing was chosen.
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
