#include "preset_shortcuts.h"

#include "message_boxes.h"
#include "model_name_dialog.h"
#include "preset_button.h"
#include "preset_store.h"
#include "ptz_commands.h"
#include "shortcut_dialog.h"

#include <QDebug>
#include <QLineEdit>
#include <QShortcut>

PresetShortcuts::PresetShortcuts(QWidget *window, PtzCommands *commands, QObject *parent)
    : QObject(parent), m_window(window), m_commands(commands)
{
}

QString PresetShortcuts::presetLabel(int presetId) const
{
    const QString name = m_presetNames.value(presetId);
    return name.isEmpty() ? tr("预置位%1").arg(presetId) : name;
}

QString PresetShortcuts::shortcutSuffix(int presetId) const
{
    const QKeySequence sequence = m_presetShortcuts.value(presetId);
    return sequence.isEmpty() ? QString() : " (" + sequence.toString(QKeySequence::PortableText) + ")";
}

void PresetShortcuts::registerPresetButton(int presetId, PresetButton *button)
{
    m_presetButtons.insert(presetId, button);
    // A rebuilt PTZ area shows the names and bindings made before.
    updateButton(presetId);
}

void PresetShortcuts::clearPresetButtons()
{
    m_presetButtons.clear();
}

void PresetShortcuts::updateButton(int presetId)
{
    PresetButton *button = m_presetButtons.value(presetId);
    if (!button)
        return;
    const QKeySequence sequence = m_presetShortcuts.value(presetId);
    const QString toolTip =
        sequence.isEmpty() ? QString() : tr("快捷键: ") + sequence.toString(QKeySequence::PortableText);
    button->setLabel(presetLabel(presetId), shortcutSuffix(presetId), toolTip);
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
    bind(presetId, keySequence);
    updateButton(presetId);
    emit presetLabelsChanged();
    persist();
    qDebug() << "Set shortcut for preset" << presetId << ":" << keySequence;
}

void PresetShortcuts::bind(int presetId, const QKeySequence &keySequence)
{
    m_presetShortcuts.insert(presetId, keySequence);
    // The preset's previous combination must stop recalling it.
    delete m_shortcutObjects.take(presetId).data();
    auto *shortcut = new QShortcut(keySequence, m_window);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, presetId] { handlePresetShortcut(presetId); });
    m_shortcutObjects.insert(presetId, shortcut);
}

void PresetShortcuts::clearAll()
{
    for (const QPointer<QShortcut> &shortcut : std::as_const(m_shortcutObjects))
        delete shortcut.data();
    m_shortcutObjects.clear();
    m_presetShortcuts.clear();
    m_presetNames.clear();
}

void PresetShortcuts::onNamePreset(int presetId)
{
    ModelNameDialog dialog(m_window, tr("预置位命名"), tr("预置位 %1 的名称").arg(presetId));
    dialog.edit()->setMaxLength(PresetStore::kMaxNameLength);
    dialog.edit()->setText(presetName(presetId));
    if (dialog.run() == QDialog::Accepted)
        setPresetName(presetId, dialog.name());
}

void PresetShortcuts::setPresetName(int presetId, const QString &name)
{
    const QString trimmed = name.trimmed().left(PresetStore::kMaxNameLength);
    if (trimmed.isEmpty())
        m_presetNames.remove(presetId);
    else
        m_presetNames.insert(presetId, trimmed);
    updateButton(presetId);
    emit presetLabelsChanged();
    persist();
}

void PresetShortcuts::setCamera(const QString &serial)
{
    m_serial = serial;
    if (PresetStore::remembered(serial)) {
        // The session's own names and bindings wait for the next camera that is not
        // remembered.
        if (m_rememberedSerial.isEmpty())
            m_sessionBook = PresetStore::Book{m_presetNames, m_presetShortcuts};
        useBook(PresetStore::load(serial).value_or(PresetStore::Book{}));
        m_rememberedSerial = serial;
    } else if (!m_rememberedSerial.isEmpty()) {
        m_rememberedSerial.clear();
        useBook(m_sessionBook);
    }
}

void PresetShortcuts::useBook(const PresetStore::Book &book)
{
    clearAll();
    m_presetNames = book.names;
    for (auto it = book.shortcuts.cbegin(); it != book.shortcuts.cend(); ++it)
        bind(it.key(), it.value());
    for (auto it = m_presetButtons.cbegin(); it != m_presetButtons.cend(); ++it)
        updateButton(it.key());
    emit presetLabelsChanged();
}

bool PresetShortcuts::setRemembered(bool remember)
{
    if (!remember) {
        // What the camera had stays for this session.
        if (!m_rememberedSerial.isEmpty())
            PresetStore::forget(m_rememberedSerial);
        m_rememberedSerial.clear();
        return true;
    }
    if (!PresetStore::save(m_serial, PresetStore::Book{m_presetNames, m_presetShortcuts}))
        return false;
    // The session keeps what it had, for the cameras that are not remembered.
    m_sessionBook = PresetStore::Book{m_presetNames, m_presetShortcuts};
    m_rememberedSerial = m_serial;
    return true;
}

void PresetShortcuts::persist()
{
    if (!m_rememberedSerial.isEmpty())
        PresetStore::save(m_rememberedSerial, PresetStore::Book{m_presetNames, m_presetShortcuts});
}

void PresetShortcuts::handlePresetShortcut(int presetId)
{
    qDebug() << "Shortcut activated for preset" << presetId;
    m_commands->onPresetActionTriggered(presetId, QStringLiteral("call"));
}
