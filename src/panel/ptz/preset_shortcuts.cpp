#include "preset_shortcuts.h"

#include "message_boxes.h"
#include "ptz_commands.h"
#include "shortcut_dialog.h"

#include <QDebug>
#include <QPushButton>
#include <QShortcut>

PresetShortcuts::PresetShortcuts(QWidget *window, PtzCommands *commands, QObject *parent)
    : QObject(parent), m_window(window), m_commands(commands)
{
}

void PresetShortcuts::registerPresetButton(int presetId, QPushButton *button)
{
    m_presetButtons.insert(presetId, button);
    // A rebuilt PTZ area shows the bindings made before.
    const QKeySequence bound = m_presetShortcuts.value(presetId);
    if (!bound.isEmpty())
        showBinding(button, bound);
}

void PresetShortcuts::showBinding(QPushButton *button, const QKeySequence &keySequence)
{
    button->setToolTip(tr("快捷键: ") + keySequence.toString(QKeySequence::PortableText));
    updatePresetButtonText(button, keySequence);
}

void PresetShortcuts::clearPresetButtons()
{
    m_presetButtons.clear();
}

void PresetShortcuts::updatePresetButtonText(QPushButton *button, const QKeySequence &keySequence)
{
    if (!button)
        return;
    QString base = button->text();
    const int bracket = int(base.indexOf('('));
    if (bracket >= 0)
        base = base.left(bracket).trimmed();
    if (keySequence.isEmpty())
        button->setText(base);
    else
        button->setText(base + " (" + keySequence.toString(QKeySequence::PortableText) + ")");
}

void PresetShortcuts::onSetShortcut(int presetId)
{
    ShortcutDialog dialog(presetId, m_window);
    connect(&dialog, &ShortcutDialog::shortcutChosen, this, &PresetShortcuts::onShortcutSet);
    dialog.run();
}

void PresetShortcuts::onShortcutSet(int presetId, const QKeySequence &keySequence)
{
    if (keySequence.isEmpty()) {
        MessageBoxes::showStyledMessageBox(m_window, tr("无效快捷键"), tr("请设置有效的快捷键组合"),
                                           QMessageBox::Ok);
        return;
    }
    for (auto it = m_presetShortcuts.cbegin(); it != m_presetShortcuts.cend(); ++it) {
        if (it.key() != presetId && it.value() == keySequence) {
            MessageBoxes::showStyledMessageBox(m_window, tr("快捷键冲突"),
                                               tr("该快捷键已被预置位 %1 使用").arg(it.key()),
                                               QMessageBox::Ok);
            return;
        }
    }

    m_presetShortcuts.insert(presetId, keySequence);
    // The preset's previous combination must stop recalling it.
    delete m_shortcutObjects.take(presetId).data();

    if (QPushButton *button = m_presetButtons.value(presetId))
        showBinding(button, keySequence);

    auto *shortcut = new QShortcut(keySequence, m_window);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, presetId] { handlePresetShortcut(presetId); });
    m_shortcutObjects.insert(presetId, shortcut);

    qDebug() << "Set shortcut for preset" << presetId << ":" << keySequence;
}

void PresetShortcuts::handlePresetShortcut(int presetId)
{
    qDebug() << "Shortcut activated for preset" << presetId;
    m_commands->onPresetActionTriggered(presetId, QStringLiteral("call"));
}
