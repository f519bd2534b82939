#include "preview_dialogs.h"

#include "file_dialogs.h"
#include "message_boxes.h"

#include <QDialog>
#include <QMessageBox>
#include <QPointer>

PreviewDialogs::BoxResponder &PreviewDialogs::boxResponder() {
    static BoxResponder r;
    return r;
}

PreviewDialogs::FileResponder &PreviewDialogs::fileResponder() {
    static FileResponder r;
    return r;
}

PreviewDialogs::DialogResponder &PreviewDialogs::dialogResponder() {
    static DialogResponder r;
    return r;
}

void PreviewDialogs::setBoxResponder(BoxResponder responder) {
    boxResponder() = std::move(responder);
}

void PreviewDialogs::setFileResponder(FileResponder responder) {
    fileResponder() = std::move(responder);
}

void PreviewDialogs::setDialogResponder(DialogResponder responder) {
    dialogResponder() = std::move(responder);
}

int PreviewDialogs::notify(QWidget *parent, const QString &title, const QString &text) {
    // The box goes with its parent if that is destroyed while it runs.
    QPointer<QMessageBox> box = MessageBoxes::createStyledMessageBox(parent, title, text, QMessageBox::Ok);
    MessageBoxes::applyStyledCaptions(box);
    const int result = boxResponder() ? boxResponder()(box) : MessageBoxes::exec(box);
    delete box.data();
    return result;
}

QString PreviewDialogs::openFileName(QWidget *parent, const QString &caption, const QString &filter) {
    if (fileResponder())
        return fileResponder()(caption, filter);
    return FileDialogs::getOpenFileName(parent, caption, QString(), filter);
}

int PreviewDialogs::execDialog(QDialog *dialog) {
    if (dialogResponder())
        return dialogResponder()(dialog);
    return dialog->exec();
}
