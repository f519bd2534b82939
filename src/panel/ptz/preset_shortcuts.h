#pragma once

#include <QKeySequence>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>

class PtzCommands;
class QWidget;

// Keyboard shortcuts that recall presets while the control panel's window is active.
// At most one sequence per preset and no sequence on two presets. The bindings live
// as long as the panel and are never written anywhere.
//
// The preset buttons of the current full PTZ panel are registered here so that a
// binding shows in their label and tool tip; a rebuild of the PTZ area clears them.
class PresetShortcuts : public QObject {
    Q_OBJECT
public:
    // Shortcuts are children of `window` with window context; recalls go to `commands`.
    PresetShortcuts(QWidget *window, PtzCommands *commands, QObject *parent = nullptr);

    QKeySequence shortcut(int presetId) const { return m_presetShortcuts.value(presetId); }
    const QMap<int, QKeySequence> &shortcuts() const { return m_presetShortcuts; }
    // The live shortcut object of a preset, null when it has none.
    QShortcut *shortcutObject(int presetId) const { return m_shortcutObjects.value(presetId); }

    void registerPresetButton(int presetId, QPushButton *button);
    void clearPresetButtons();
    QPushButton *presetButton(int presetId) const { return m_presetButtons.value(presetId); }

    // The button's label without any "(...)" part, followed by " (sequence)" unless
    // the sequence is empty.
    static void updatePresetButtonText(QPushButton *button, const QKeySequence &keySequence);

public slots:
    // Opens the shortcut dialog for the preset, modally.
    void onSetShortcut(int presetId);
    // Validates and binds: an empty or conflicting sequence is refused with a box and
    // the previous binding stays; otherwise it replaces the preset's previous one.
    void onShortcutSet(int presetId, const QKeySequence &keySequence);
    void handlePresetShortcut(int presetId);

private:
    static void showBinding(QPushButton *button, const QKeySequence &keySequence);

    QWidget *m_window;
    PtzCommands *m_commands;
    QMap<int, QKeySequence> m_presetShortcuts;
    QMap<int, QPointer<QShortcut>> m_shortcutObjects;
    QMap<int, QPointer<QPushButton>> m_presetButtons;
};
