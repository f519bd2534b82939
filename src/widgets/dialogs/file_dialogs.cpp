#include "file_dialogs.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QPointer>
#include <QTreeView>

FileDialogs::Responder &FileDialogs::responder()
{
    static Responder r;
    return r;
}

void FileDialogs::setTestResponder(Responder r)
{
    responder() = std::move(r);
}

QFileDialog *FileDialogs::createDialog(Kind kind, QWidget *parent, const QString &caption, const QString &directory,
                                      const QString &filter, const QString &styleSheet)
{
    auto *dialog = new QFileDialog(parent, caption, directory, filter);
    if (kind == Kind::Save) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
    } else {
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    dialog->setViewMode(QFileDialog::Detail);
    dialog->setStyleSheet(styleSheet);
    // Size, type and date show whole in any language; the name takes the rest.
    if (auto *files = dialog->findChild<QTreeView *>(QStringLiteral("treeView"))) {
        QHeaderView *header = files->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    dialog->resize(kDefaultSize);
    return dialog;
}

QString FileDialogs::run(Kind kind, QWidget *parent, const QString &caption, const QString &directory,
                         const QString &filter, const QString &styleSheet)
{
    if (responder())
        return responder()({kind, parent, caption, directory, filter, styleSheet});
    // The dialog goes with its parent if that is destroyed while it runs.
    QPointer<QFileDialog> dialog = createDialog(kind, parent, caption, directory, filter, styleSheet);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return QString();
    const QStringList chosen = dialog->selectedFiles();
    delete dialog.data();
    return accepted && !chosen.isEmpty() ? chosen.constFirst() : QString();
}

QString FileDialogs::getOpenFileName(QWidget *parent, const QString &caption, const QString &directory,
                                     const QString &filter)
{
    return run(Kind::Open, parent, caption, directory, filter, QLatin1String(kDarkStyle));
}

QString FileDialogs::getSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                                     const QString &filter)
{
    return run(Kind::Save, parent, caption, directory, filter, QLatin1String(kDarkStyle));
}

QString FileDialogs::getStyledOpenFileName(QWidget *parent, const QString &caption, const QString &directory,
                                           const QString &filter, const QString &styleSheet)
{
    return run(Kind::Open, parent, caption, directory, filter, styleSheet);
}
