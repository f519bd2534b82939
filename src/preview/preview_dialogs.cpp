#include "preview_dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

PreviewDialogs::BoxResponder &PreviewDialogs::boxResponder() {
    static BoxResponder r;
    return r;
}

PreviewDialogs::FileResponder &PreviewDialogs::fileResponder() {
    static FileResponder r;
    return r;
}

void PreviewDialogs::setBoxResponder(BoxResponder responder) {
    boxResponder() = std::move(responder);
}

void PreviewDialogs::setFileResponder(FileResponder responder) {
    fileResponder() = std::move(responder);
}

int PreviewDialogs::exec(QMessageBox *box) {
    if (boxResponder())
        return boxResponder()(box);
    return box->exec();
}

QString PreviewDialogs::openFileName(QWidget *parent, const QString &caption, const QString &filter) {
    if (fileResponder())
        return fileResponder()(caption, filter);
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

PreviewDialogs::DialogResponder &PreviewDialogs::dialogResponder() {
    static DialogResponder r;
    return r;
}

void PreviewDialogs::setDialogResponder(DialogResponder responder) {
    dialogResponder() = std::move(responder);
}

int PreviewDialogs::execDialog(QDialog *dialog) {
    if (dialogResponder())
        return dialogResponder()(dialog);
    return dialog->exec();
}
