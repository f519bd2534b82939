#pragma once

#include "ptz_commands.h"

#include <QWidget>

class PresetShortcuts;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;
class QVBoxLayout;

// The control panel's PTZ area. Cameras of series "B1" get the full panel (zoom and
// focus columns around a direction pad, the speed row, three preset buttons); every
// other camera gets the compact bar (zoom, one preset menu button, focus). The area
// is rebuilt for each activated camera; the full panel is there from construction.
class PtzArea : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPresetCount = 3;
    static constexpr int kSpeedMin = 1;
    static constexpr int kSpeedMax = 9;
    static constexpr int kSpeedDefault = 5;

    // Preset shortcuts are bound on `shortcutWindow` (the panel's window).
    PtzArea(const PtzCommands::Context &context, QWidget *shortcutWindow, QWidget *parent = nullptr);

    PtzCommands *commands() const { return m_commands; }
    PresetShortcuts *shortcuts() const { return m_shortcuts; }
    // True while the full panel is shown, false for the compact bar.
    bool showsFullPanel() const { return m_fullPanel; }

    // Replaces the content by the layout the model's series calls for.
    void rebuildPtzArea(const QString &productModel);
    void buildPtzPanel(QVBoxLayout *layout);
    void buildCompactPtzBar(QVBoxLayout *layout);

protected:
    void hideEvent(QHideEvent *event) override;

private:
    using Slot = void (PtzCommands::*)();
    // The zoom and focus buttons, shared by both layouts.
    enum class Drive { ZoomPlus, ZoomMinus, FocusPlus, FocusMinus };

    QWidget *buildDriveColumn(QWidget *parent, Drive plus, Drive minus);
    QWidget *buildDirectionPad(QWidget *parent);
    QWidget *buildSpeedRow(QWidget *parent);
    QPushButton *driveButton(Drive drive, QWidget *parent);
    QPushButton *arrowButton(QWidget *parent, const char *objectName, const char *iconFile, int iconSize, Slot pressed,
                             Slot released);
    void buildPresetMenu(QPushButton *button, int presetId);
    void buildPresetSubmenus(QPushButton *button);
    void addPresetActions(QMenu *menu, int presetId);
    void onSpeedEdited();

    PtzCommands *m_commands;
    PresetShortcuts *m_shortcuts;
    bool m_fullPanel = false;
    QSlider *m_speedSlider = nullptr;
    QLineEdit *m_speedEdit = nullptr;
};
