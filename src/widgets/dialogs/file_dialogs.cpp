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
        return responder()({Kind::Open, parent, caption, directory, filter, QString()});
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

QString FileDialogs::getSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                                     const QString &filter)
{
    if (responder())
        return responder()({Kind::Save, parent, caption, directory, filter, QString()});
    return QFileDialog::getSaveFileName(parent, caption, directory, filter);
}

QString FileDialogs::getStyledOpenFileName(QWidget *parent, const QString &caption, const QString &directory,
                                           const QString &filter, const QString &styleSheet)
{
    if (responder())
        return responder()({Kind::Open, parent, caption, directory, filter, styleSheet});
    QFileDialog dialog(parent, caption, directory);
    dialog.setNameFilter(filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.setStyleSheet(styleSheet);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
