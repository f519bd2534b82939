#include "dialog_inspector.h"

#include "file_dialogs.h"
#include "message_boxes.h"
#include "model_name_dialog.h"
#include "preview_dialogs.h"
#include "shortcut_dialog.h"
#include "window_check.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

namespace {
// The box a request describes: the newest hidden box of its parent (or a top-level
// one) with its title and text.
QMessageBox *findBox(const MessageBoxRequest &request)
{
    QList<QMessageBox *> boxes;
    if (request.parent)
        boxes = request.parent->findChildren<QMessageBox *>(Qt::FindDirectChildrenOnly);
    else
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *box = qobject_cast<QMessageBox *>(w))
                boxes << box;
    for (qsizetype i = boxes.size() - 1; i >= 0; --i)
        if (!boxes[i]->isVisible() && boxes[i]->windowTitle() == request.title && boxes[i]->text() == request.text)
            return boxes[i];
    return nullptr;
}
} // namespace

DialogInspector::DialogInspector(WindowCheck *check) : boxAnswer(MessageBoxes::kCloseWithoutButton), m_check(check)
{
    MessageBoxes::setTestResponder([this](const MessageBoxRequest &request) {
        if (QMessageBox *box = findBox(request)) {
            MessageBoxes::fitToText(box);
            checkShown(QStringLiteral("box \"%1\"").arg(request.title), box);
        } else {
            qWarning() << "box not found:" << request.title << request.text;
        }
        return boxAnswer;
    });
    FileDialogs::setTestResponder([this](const FileDialogs::Request &request) {
        const QString folder = request.directory.contains(QLatin1Char('/')) ? request.directory : m_folder;
        QFileDialog *dialog = FileDialogs::createDialog(request.kind, request.parent, request.caption, folder,
                                                        request.filter, request.styleSheet);
        dialog->show();
        if (QTest::qWaitForWindowExposed(dialog)) {
            // The folder is listed by a thread of its own.
            if (auto *files = dialog->findChild<QAbstractItemView *>(QStringLiteral("treeView"))) {
                QElapsedTimer waited;
                waited.start();
                while (files->model()->rowCount(files->rootIndex()) == 0 && waited.elapsed() < 3000)
                    QTest::qWait(20);
                QTest::qWait(50);
            }
            checked << request.caption;
            m_check->inspect(QStringLiteral("%1 / file dialog \"%2\"").arg(m_state, request.caption), dialog);
        }
        delete dialog;
        return fileAnswer;
    });
    PreviewDialogs::setDialogResponder([this](QDialog *dialog) {
        checkShown(QStringLiteral("dialog \"%1\"").arg(dialog->windowTitle()), dialog);
        if (dialogDriver)
            dialogDriver(*dialog);
        return dialog->result();
    });
    ShortcutDialog::setTestDriver([this](ShortcutDialog &dialog) {
        checkShown(QStringLiteral("dialog \"%1\"").arg(dialog.windowTitle()), &dialog);
        if (shortcutDriver)
            shortcutDriver(dialog);
        else
            dialog.reject();
    });
    ModelNameDialog::setTestDriver([this](ModelNameDialog &dialog) {
        dialog.edit()->setText(nameAnswer);
        checkShown(QStringLiteral("dialog \"%1\"").arg(dialog.windowTitle()), &dialog);
        if (nameAnswer.isEmpty())
            dialog.reject();
        else
            dialog.accept();
    });
}

DialogInspector::~DialogInspector()
{
    MessageBoxes::setTestResponder({});
    FileDialogs::setTestResponder(nullptr);
    PreviewDialogs::setDialogResponder(nullptr);
    ShortcutDialog::setTestDriver(nullptr);
    ModelNameDialog::setTestDriver(nullptr);
}

void DialogInspector::checkShown(const QString &name, QWidget *window)
{
    checked << window->windowTitle();
    window->show();
    if (QTest::qWaitForWindowExposed(window))
        m_check->inspect(QStringLiteral("%1 / %2").arg(m_state, name), window);
    window->hide();
}
