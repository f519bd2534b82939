#include "file_dialogs.h"

#include <QFileDialog>

FileDialogs::Responder &FileDialogs::responder()
{
    static Responder r;
    return r;
}

void FileDialogs::setTestResponder(Responder r)
{
    responder() = std::move(r);
}

QString FileDialogs::getOpenFileName(QWidget *parent, const QString &caption, const QString &directory,
                                     const QString &filter)
{
    if (responder())
        return responder()({Kind::Open, parent, caption, directory, filter});
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

QString FileDialogs::getSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                                     const QString &filter)
{
    if (responder())
        return responder()({Kind::Save, parent, caption, directory, filter});
    return QFileDialog::getSaveFileName(parent, caption, directory, filter);
}
