#pragma once

#include "hsv_table.h"
#include "palette_label.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QPushButton>

#include <functional>

class ColourPicker;
class ColourTables;
class QDialog;
class QWidget;

// The colour page of a panel and its enlarged palette dialog: the four table editors,
// the highlights they share, the pick buttons and the flows behind them (editing a
// point, resetting a table, picking a colour from the preview).
class ColourPage : public QObject {
    Q_OBJECT
public:
    // The looks of the page's pick button.
    enum class PickLook { Neutral, Picking, Picked, NoColour };

    // `panel` parents the dialog and the message boxes.
    ColourPage(ColourTables *tables, QWidget *panel);

    // Opens the preview window, as the panel's preview toggle does.
    void setPreviewOpener(std::function<void()> opener) { m_openPreview = std::move(opener); }

    QWidget *buildColorPage(QWidget *parent);
    void showPaletteDialog();
    // Shows the current tables on the page's editors.
    void showTables();

    void resetTable(HsvKind kind);
    void resetHueTable() { resetTable(HsvKind::Hue); }
    void resetSaturationTable() { resetTable(HsvKind::Saturation); }

    void startColorPicking();
    void stopColorPicking();
    void onColorPicked(const QColor &colour);
    void highlightPointsForColor(const QColor &colour);
    void clearColorHighlights();

    ColourPicker *picker() const { return m_picker; }
    PaletteLabel *hueLabel() const { return m_hueLabel; }
    PaletteLabel *satLabel() const { return m_satLabel; }
    PaletteLabel *dialogHueLabel() const { return m_dialogHueLabel; }
    PaletteLabel *dialogSatLabel() const { return m_dialogSatLabel; }
    // The page's editor of a table; null until the page is built.
    PaletteLabel *pageLabel(HsvKind kind) const { return kind == HsvKind::Hue ? m_hueLabel : m_satLabel; }
    // The enlarged dialog's editor of a table; null until the dialog is first opened.
    PaletteLabel *dialogLabel(HsvKind kind) const
    {
        return kind == HsvKind::Hue ? m_dialogHueLabel : m_dialogSatLabel;
    }
    QPushButton *colorPickButton() const { return m_colorPickButton; }
    QPushButton *dialogColorPickButton() const { return m_dialogColorPickButton; }
    QPushButton *enlargeButton() const { return m_enlargeButton; }
    QDialog *paletteDialog() const { return m_paletteDialog; }
    QList<int> highlightIndices() const { return m_highlightIndices; }
    QColor pickedColor() const { return m_pickedColor; }
    bool isColorPicking() const;
    PickLook pickLook() const { return m_pickLook; }

private:
    QList<PaletteLabel *> existingLabels() const;
    PaletteLabel *createLabel(HsvKind kind, bool inDialog, QWidget *parent);
    QPushButton *createResetButton(HsvKind kind, int size, QWidget *parent);
    void onImmediateClicked(HsvKind kind, bool inDialog, int index, int value);
    void onLogicalClicked(HsvKind kind, bool inDialog, int index, int value);
    void highlightSinglePoint(int index);
    void setPickLook(PickLook look);
    void resetDialogPickButton();
    void onDialogPickToggled(bool on);
    void askToOpenPreview();

    ColourTables *m_tables;
    QWidget *m_panel;
    ColourPicker *m_picker;
    std::function<void()> m_openPreview;

    QPointer<PaletteLabel> m_hueLabel;
    QPointer<PaletteLabel> m_satLabel;
    QPointer<QPushButton> m_colorPickButton;
    QPointer<QPushButton> m_enlargeButton;
    QDialog *m_paletteDialog = nullptr;
    PaletteLabel *m_dialogHueLabel = nullptr;
    PaletteLabel *m_dialogSatLabel = nullptr;
    QPushButton *m_dialogColorPickButton = nullptr;

    QList<int> m_highlightIndices;
    QColor m_pickedColor;
    PickLook m_pickLook = PickLook::Neutral;
};
