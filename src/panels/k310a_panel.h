#pragma once

#include "builtin_param_rows.h"
#include "camera_param_reader.h"
#include "colour_page.h"
#include "face_model_flow.h"
#include "model_panel.h"
#include "panel_resets.h"

#include <QList>
#include <QStringList>

class ColourTables;
class ParamPageSet;
class QVBoxLayout;

// What the two K310A panels share: the built-in pages' rows with the panel's
// differences, the record that follows the controls, the panel's own colour tables
// and colour page, its resets, its own reading of the camera and the apply skeleton
// (close the guard, set the rows, show the tables, copy the record, reopen, send the
// scene and the tables after a file, ask for the face lists). A panel fills in its
// rows, its apply steps and its reading keys.
class K310aPanel : public ModelPanel {
    Q_OBJECT
public:
    K310aPanel(const PanelCameraContext::Style &style, PanelResets::ToneReset tones,
               const ColourPage::Options &colour, QWidget *parent = nullptr);
    ~K310aPanel() override;

    void buildUi() override;
    void applyParams(const CameraParams &params, bool fromFile) override;
    PanelResets *resets() const override { return m_resets; }
    int focusModeCode() const override;
    FaceModelFlow *faceModels() const override { return m_faceModels; }

    // The panel's own reading: the video parameters and settings into its record,
    // then apply (not from a file). The colour tables are read by the callers.
    void refresshDeviceData();
    void readHsvTables();

    ParamPageSet *pages() const override { return m_pages; }
    ColourTables *colourTables() const { return m_tables; }
    ColourPage *colourPage() const { return m_colourPage; }
    // The AI face-model area under the focus page's rows, filled by faceModels() and
    // shown while "模式" is a face-tracking mode.
    QWidget *aiModelArea() const { return m_aiModelArea; }

protected:
    // The colour page both panels start from: every drag moves the highlights (a drag
    // on a highlighted hue point or dialog saturation point is noted), letting go of a
    // saturation point does not; quiet resets, the saturation reset re-reading the
    // parameters; every picking step logged; the link tested before the preview opens.
    static ColourPage::Options colourOptions();
    // The rows of the three pages, the groups' order and the apply order.
    virtual QList<ParamRow> imageRows(const BuiltInParamRows::Callbacks &cb) const = 0;
    virtual QList<ParamRow> focusRows(const BuiltInParamRows::Callbacks &cb) const = 0;
    virtual QList<ParamRow> videoRows(const BuiltInParamRows::Callbacks &cb) const = 0;
    // Rows apply sets (in order) before the colour tables are shown, and after.
    virtual QStringList applyOrder() const = 0;
    virtual QStringList applyOrderAfterTables() const { return {}; }
    // What the panel's own reading asks for.
    virtual CameraParamReader::Profile readerProfile() const = 0;
    // Placed above the groups (the lens row); nothing by default.
    virtual void addHeader(QVBoxLayout *) {}
    // Runs between the rows and the tables during apply.
    virtual void applyExtras(const CameraParams &) {}
    // Runs once the record is the panel's and the guard is open again, before the
    // scene and tables of a file are sent.
    virtual void applyFinished(const CameraParams &) {}
    // How the panel's face-model area differs from the built-in one; the list requests
    // are the panel's own in any case.
    virtual FaceModelFlow::Options faceModelOptions() const { return {}; }
    // Whether the panel writes its own records into the log ("Data" and "Command"
    // categories) where the other writes Qt debug records: the language and scene an
    // apply shows, and the face lists it asks for after an apply or a deletion.
    virtual bool writesLogRecords() const { return false; }
    // The callbacks the panel's special rows use.
    BuiltInParamRows::Callbacks rowCallbacks();
    // Asks for the face lists: on a switch of "模式" to a face mode (Qt debug records),
    // or to read them again after an apply or a deletion (the panel's own records).
    enum class FaceListRequest { ModeSwitch, Reread };
    void requestFaceModels(FaceListRequest why = FaceListRequest::ModeSwitch);
    void showFaceModelArea(bool visible);

private:
    void buildFaceModels();

    ParamPageSet *m_pages = nullptr;
    ColourTables *m_tables = nullptr;
    ColourPage *m_colourPage = nullptr;
    PanelResets *m_resets = nullptr;
    QWidget *m_aiModelArea = nullptr;
    FaceModelFlow *m_faceModels = nullptr;
};
