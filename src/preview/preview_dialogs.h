#pragma once

#include <QString>

#include <functional>

class QMessageBox;
class QWidget;

// The preview's modal boxes and file choosers go through here, so that tests can
// answer them without anything being shown.
class PreviewDialogs {
public:
    using BoxResponder = std::function<int(QMessageBox *box)>;
    using FileResponder = std::function<QString(const QString &caption, const QString &filter)>;

    // Runs the box modally (or hands it to the test responder) and returns its result.
    static int exec(QMessageBox *box);
    // An open-file dialog; an empty text when nothing was chosen.
    static QString openFileName(QWidget *parent, const QString &caption, const QString &filter);

    // Empty functions show the real dialogs again.
    static void setBoxResponder(BoxResponder responder);
    static void setFileResponder(FileResponder responder);

private:
    static BoxResponder &boxResponder();
    static FileResponder &fileResponder();
};
