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

    // How a change of one point moves the highlights.
    enum class PointHighlight {
        None,          // it does not
        Point,         // a point not yet highlighted becomes the only one, on every editor
        PointNoted,    // the same; a change of a highlighted point is noted in the debug log
        PagePointNoted // the same on the page's two editors only, noting either case
    };
    // Resets of a table: with a debug record and a closing notice, or with a user
    // record in the log and no notice.
    enum class ResetStyle { Notified, Quiet };
    // Picking: "吸取颜色:" in the debug log, and the page button ends showing whether a
    // colour was taken; or every step in the debug log, and an end of picking puts both
    // pick buttons back to their plain look (also when picking was not on).
    enum class PickingStyle { Brief, Detailed };

    // Where the colour pages of the panels differ; the defaults are the control panel's.
    struct Options {
        // Dragging a point (every step). A drag in the dialog also moves the page's
        // point, unless it moves no highlight either.
        PointHighlight hueDrag = PointHighlight::Point;
        PointHighlight satDrag = PointHighlight::None;
        PointHighlight dialogHueDrag = PointHighlight::Point;
        PointHighlight dialogSatDrag = PointHighlight::None;
        // Letting go of a saturation point on the page (the dialog's always highlights).
        PointHighlight satRelease = PointHighlight::Point;
        ResetStyle resets = ResetStyle::Notified;
        // A saturation reset also re-reads the panel's parameters 800 ms later.
        bool saturationResetReloads = false;
        PickingStyle picking = PickingStyle::Brief;
        // "打开视频预览" tests the link first and warns instead when it is down.
        bool testsLinkBeforePreview = false;
    };

    // What the page asks of its panel; any may be left empty.
    struct Hooks {
        std::function<void()> openPreview;      // as the panel's preview toggle does
        std::function<bool()> testConnection;   // the link test
        std::function<void()> reloadParameters; // re-reads the panel's parameters
    };

    // `panel` parents the dialog and the message boxes; the control panel's options.
    ColourPage(ColourTables *tables, QWidget *panel);
    ColourPage(ColourTables *tables, QWidget *panel, const Options &options);

    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }

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
    // The editors built so far, the page's two first.
    QList<PaletteLabel *> existingLabels(bool pageOnly = false) const;
    PaletteLabel *createLabel(HsvKind kind, bool inDialog, QWidget *parent);
    QPushButton *createResetButton(HsvKind kind, int size, QWidget *parent);
    void onImmediateClicked(HsvKind kind, bool inDialog, int index, int value);
    void onLogicalClicked(HsvKind kind, bool inDialog, int index, int value);
    void highlightPoint(PointHighlight rule, int index);
    void setHighlights(const QList<int> &points, const QList<PaletteLabel *> &labels);
    bool detailedPicking() const { return m_options.picking == PickingStyle::Detailed; }
    void setPickLook(PickLook look);
    void resetDialogPickButton();
    void onDialogPickToggled(bool on);
    void askToOpenPreview();

    ColourTables *m_tables;
    QWidget *m_panel;
    Options m_options;
    ColourPicker *m_picker;
    Hooks m_hooks;
    bool m_stopping = false;

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
