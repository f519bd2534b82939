#include "device_rename_editor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

const char *const DeviceRenameEditor::kEditorStyle =
    "QLineEdit {   color: #cccccc;   font-size: 10px;   background: #2a2a2a;   border: 1px solid #1b89ef;   "
    "border-radius: 3px;   padding: 0px;}";

DeviceRenameEditor::DeviceRenameEditor(QWidget *panel) : QObject(panel), m_panel(panel) {}

DeviceRenameEditor::~DeviceRenameEditor() {
    if (m_renameEditor)
        qApp->removeEventFilter(this);
}

void DeviceRenameEditor::begin(int index, QLabel *label, const QString &key, const QString &fullName) {
    if (!label)
        return;
    if (isActive())
        finish();
    if (isActive())
        return; // the first name was refused: it stays in its editor
    m_renameIndex = index;
    m_renameOriginal = fullName;
    m_renameKey = key;
    m_label = label;

    m_renameEditor = new QLineEdit(fullName, label->parentWidget());
    m_renameEditor->setObjectName("deviceRenameEditor");
    m_renameEditor->setGeometry(label->geometry());
    m_renameEditor->setAlignment(Qt::AlignCenter);
    m_renameEditor->setStyleSheet(kEditorStyle);
    label->hide();
    m_renameEditor->show();
    m_renameEditor->setFocus();
    m_renameEditor->selectAll();
    m_renameEditor->installEventFilter(this);
    // Clicks elsewhere in the panel commit; they reach widgets that know nothing of us.
    qApp->installEventFilter(this);
}

void DeviceRenameEditor::finish() {
    if (!isActive())
        return;
    const QString name = m_renameEditor->text().trimmed();
    const bool changed = !name.isEmpty() && name != m_renameOriginal;
    if (changed && m_nameCheck && !m_nameCheck(name)) {
        if (m_renameEditor) // a refresh may have ended the rename while the box was up
            m_renameEditor->setFocus();
        return;
    }
    const int index = m_renameIndex;
    const QString key = m_renameKey;
    end();
    if (changed)
        emit renamed(index, key, name);
}

void DeviceRenameEditor::cancel() {
    if (isActive())
        end();
}

void DeviceRenameEditor::end() {
    qApp->removeEventFilter(this);
    if (m_label)
        m_label->show();
    // May run inside the editor's own event handling: let the event loop delete it.
    m_renameEditor->removeEventFilter(this);
    m_renameEditor->hide();
    m_renameEditor->deleteLater();
    m_renameEditor = nullptr;
    m_label = nullptr;
    m_renameIndex = -1;
    m_renameOriginal.clear();
    m_renameKey.clear();
}

bool DeviceRenameEditor::eventFilter(QObject *watched, QEvent *event) {
    if (!m_renameEditor)
        return false;
    if (watched == m_renameEditor && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            finish();
            return true;
        }
        if (key == Qt::Key_Escape) {
            cancel();
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType()) {
        auto *target = static_cast<QWidget *>(watched);
        const bool left = static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
        const bool inPanel = target->window() == m_panel->window();
        const bool onEditor = target == m_renameEditor || m_renameEditor->isAncestorOf(target);
        if (left && inPanel && !onEditor)
            finish(); // the press itself goes on to its widget
    }
    return false;
}
