#include "shortcut_dialog.h"

#include "preset_store.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
ShortcutDialog::TestDriver g_testDriver;

const char *const kDialogStyle =
    "QDialog { background-color: #1e1e1e; }"
    "QLabel { color: #ffffff; font-size: 13px; font-family: 'Microsoft YaHei'; }"
    "QKeySequenceEdit QLineEdit { background-color: #272c33; color: #ffffff; border: 1px solid #43474c; "
    "border-radius: 4px; padding: 4px; font-size: 13px; }"
    "QKeySequenceEdit QLineEdit:focus { border: 1px solid #1e90ff; }"
    "QPushButton { background-color: #1b89ef; color: #ffffff; border: none; border-radius: 5px; "
    "padding: 6px 18px; font-size: 12px; min-width: 60px; }"
    "QPushButton:hover { background-color: #1e90ff; }"
    "QPushButton:pressed { background-color: #2f80f4; }"
    "QPushButton#shortcutCancelButton { background-color: #43474c; }"
    "QPushButton#shortcutCancelButton:hover { background-color: #1e90ff; }";
} // namespace

ShortcutDialog::ShortcutDialog(int presetId, QWidget *parent) : QDialog(parent), m_presetId(presetId)
{
    setWindowTitle(tr("设置快捷键 - 预置位 %1").arg(presetId));
    setFixedSize(300, 150);
    setStyleSheet(kDialogStyle);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 15, 20, 15);
    layout->setSpacing(10);
    layout->addWidget(new QLabel(tr("请按下快捷键组合:"), this));
    m_editor = new QKeySequenceEdit(this);
    layout->addWidget(m_editor);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_okButton = new QPushButton(tr("确定"), this);
    m_cancelButton = new QPushButton(tr("取消"), this);
    m_cancelButton->setObjectName("shortcutCancelButton");
    // The editor takes the keys; its filter turns a bare Enter or Escape into an answer.
    m_editor->installEventFilter(this);
    m_okButton->setAutoDefault(false);
    m_cancelButton->setAutoDefault(false);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    layout->addLayout(buttons);

    connect(m_okButton, &QPushButton::clicked, this, &ShortcutDialog::onOkClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

bool ShortcutDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (PresetStore::isAnswerKey(key->keyCombination())) {
            if (key->key() == Qt::Key_Escape)
                reject();
            else
                onOkClicked();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ShortcutDialog::onOkClicked()
{
    emit shortcutChosen(m_presetId, m_editor->keySequence());
    accept();
}

int ShortcutDialog::run()
{
    if (g_testDriver) {
        g_testDriver(*this);
        return result();
    }
    return exec();
}

void ShortcutDialog::setTestDriver(TestDriver driver)
{
    g_testDriver = std::move(driver);
}
