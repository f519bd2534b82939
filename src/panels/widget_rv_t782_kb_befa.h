#pragma once

#include "camera_param_reader.h"
#include "model_panel.h"
#include "palette_lut.h"

#include <memory>

class CollapsibleGroup;
class PalettePage;
class ParamPageSet;

// The parameter panel of the "RV-T782-KB" cameras: five groups of its own rows
// (exposure, colour, image, focus with the TOF channel and laser range, settings with
// the scene that re-reads the camera), and the "调色盘" group, which is built but
// placed in the column only when the command line asks for it.
//
// An export writes the panel's record: the one last shown, with each change the user
// makes written in as it is sent. Values no control can show (an iris of 254, a focus
// pair without an item) stay as the camera reported them.
class widget_RV_T782_KB_BEFA : public ModelPanel {
    Q_OBJECT
public:
    explicit widget_RV_T782_KB_BEFA(QWidget *parent = nullptr);
    ~widget_RV_T782_KB_BEFA() override;

    void buildUi() override;
    // The panel always addresses its camera as index 0.
    void setDevice(HIDManager *manager, int index) override;
    void applyParams(const CameraParams &params, bool fromFile) override;

    // The panel's own reading of the camera, after a scene change.
    void refreshCameraParams();
    // Uploads a palette table through the panel's camera (guarded).
    bool sendPaletteData(const HisiTable &table);

    ParamPageSet *pages() const override { return m_pages; }
    PalettePage *palettePage() const { return m_palettePage; }
    CollapsibleGroup *paletteGroup() const { return m_paletteGroup; }

    static CameraParamReader::Profile readerProfile();

private:
    void onExposureModeChanged(int index);

    ParamPageSet *m_pages;
    bool m_gainSwitching = false;
    CollapsibleGroup *m_paletteGroup = nullptr;
    // Owns the palette group while it is not placed in the column.
    std::unique_ptr<CollapsibleGroup> m_unplacedPaletteGroup;
    PalettePage *m_palettePage = nullptr;
};
