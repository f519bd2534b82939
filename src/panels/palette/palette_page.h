#pragma once

#include "palette_lut.h"

#include <QWidget>

class CollapsibleGroup;
class PaletteControlPanel;
class PanelCameraContext;
class PolarPaletteWidget;

// The "调色盘" page of the RV-T782-KB panel: the polar palette with its button
// column. Every finished edit rebuilds the colour cube and the image processor's
// table and uploads the table to the panel's camera with "ReqSetPaletteData".
//
// The upload text is far longer than one request packet (over 11 kB even for an
// untouched palette), so it travels in the multi-packet form: 1000-byte packets, the
// last one flagged, one reply collected after it.
class PalettePage : public QWidget {
    Q_OBJECT
public:
    // 17 rows of 324 ten-digit words with their separators stay below this.
    static constexpr int kMaxUploadBytes = 64 * 1024;
    static constexpr const char *kGroupTitle = QT_TRANSLATE_NOOP("PalettePage", "调色盘");
    static constexpr const char *kGroupIcon = ":/icons/resources/icons/palette.png";

    // Sends through `context`, which must outlive the page.
    explicit PalettePage(PanelCameraContext *context, QWidget *parent = nullptr);

    // The panel's "调色盘" group with this page inside, built like the panel's other
    // groups; `page`, when given, receives the page.
    static CollapsibleGroup *createGroup(PanelCameraContext *context, PalettePage **page = nullptr);

    // Whether the model panel places the group in its column. Off unless the command
    // line asks for it.
    static void setPlacedInPanel(bool placed);
    static bool placedInPanel();

    PolarPaletteWidget *paletteWidget() const { return m_palette; }
    PaletteControlPanel *controlPanel() const { return m_controlPanel; }

    // Uploads at most 17 rows of at most 324 words. Nothing is built or sent while
    // the panel's send guard is closed or for an empty table; false then, and when
    // the exchange failed.
    bool sendPaletteData(const HisiTable &table);

private:
    void onAdjustmentChanged();

    PanelCameraContext *m_context;
    PolarPaletteWidget *m_palette;
    PaletteControlPanel *m_controlPanel;
};
