#pragma once

#include "preset_button.h"
#include "preset_store.h"

#include <QKeySequence>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QShortcut>


class PtzCommands;
class QWidget;

// Keyboard shortcuts that recall presets while the control panel's window is active,
// and the presets' names. At most one sequence per preset and no sequence on two
// presets. By default the bindings and names live as long as the panel and are never
// written anywhere; for a camera the user chose to remember (by serial), they are
// stored on every change and restored when that camera is activated again.
//
// The preset buttons of the current full PTZ panel are registered here so that a
// name shows as their label and a binding in it and in their tool tip, also on the
// buttons of a rebuilt PTZ area.
class PresetShortcuts : public QObject {
    Q_OBJECT
public:
    // Shortcuts are children of `window` with window context; recalls go to `commands`.
    PresetShortcuts(QWidget *window, PtzCommands *commands, QObject *parent = nullptr);

    QKeySequence shortcut(int presetId) const { return m_presetShortcuts.value(presetId); }
    const QMap<int, QKeySequence> &shortcuts() const { return m_presetShortcuts; }
    // The live shortcut object of a preset, null when it has none.
    QShortcut *shortcutObject(int presetId) const { return m_shortcutObjects.value(presetId); }
    QString presetName(int presetId) const { return m_presetNames.value(presetId); }
    // The preset's name, or "预置位<n>" while it has none.
    QString presetLabel(int presetId) const;
    // " (<shortcut>)" after a preset's label, empty while it has no shortcut.
    QString shortcutSuffix(int presetId) const;

    void registerPresetButton(int presetId, PresetButton *button);
    void clearPresetButtons();
    PresetButton *presetButton(int presetId) const { return m_presetButtons.value(presetId); }

    // The camera with `serial` was activated. When it is remembered, its stored names
    // and shortcuts replace the current ones; when the previous camera was remembered
    // and this one is not, the session's own names and bindings come back; otherwise
    // the session's bindings carry over.
    void setCamera(const QString &serial);
    // Whether the active camera's names and shortcuts are kept across starts.
    bool remembered() const { return !m_rememberedSerial.isEmpty(); }
    // Turning it on stores the current names and shortcuts for the active camera;
    // turning it off removes what was stored. False when the store failed (or there is
    // no camera with a serial).
    bool setRemembered(bool remember);


signals:
    // A preset's name or shortcut changed (the compact bar's menus follow).
    void presetLabelsChanged();

public slots:
    // Opens the shortcut dialog for the preset, modally.
    void onSetShortcut(int presetId);
    // Validates and binds: an empty or conflicting sequence is refused with a box and
    // the previous binding stays; otherwise it replaces the preset's previous one.
    void onShortcutSet(int presetId, const QKeySequence &keySequence);
    // Asks for the preset's name (ModelNameDialog); an empty answer removes the name.
    void onNamePreset(int presetId);
    void setPresetName(int presetId, const QString &name);
    void handlePresetShortcut(int presetId);

private:
    void bind(int presetId, const QKeySequence &keySequence);
    void clearAll();
    // Replaces the names and bindings by `book`.
    void useBook(const PresetStore::Book &book);
    void updateButton(int presetId);
    void persist();

    QWidget *m_window;
    PtzCommands *m_commands;
    QString m_serial;
    QString m_rememberedSerial;
    QMap<int, QKeySequence> m_presetShortcuts;
    QMap<int, QString> m_presetNames;
    QMap<int, QPointer<QShortcut>> m_shortcutObjects;
    QMap<int, QPointer<PresetButton>> m_presetButtons;
    // The session-only names and bindings while a remembered camera is active.
    PresetStore::Book m_sessionBook;
};
