#pragma once

#include "k310a_panel.h"

class QComboBox;

// The parameter panel of the "RV-K310A-LNQ" camera, which takes its standard lens or
// a 58 mm portrait lens: the built-in pages plus the lens row, lens-dependent image
// versions and focus modes, the 20-step shutter table, "HDR", and a video page with
// noise, uncrossed mirrors, "系统休眠" and "UVC".
class widget_RV_K310A_LNQ : public K310aPanel {
    Q_OBJECT
public:
    enum Lens { Standard = 1, Portrait = 2, Macro = 3 };

    explicit widget_RV_K310A_LNQ(QWidget *parent = nullptr);

    void buildUi() override;

    void copyParams(CameraParams &out) override;
    QComboBox *lensCombo() const { return m_lensCombo; }

    // "图像版本" code of an item for a lens type; -1 when there is none.
    static int sceneCode(int lens, int item);
    // The item of a scene code of any lens; -1 for other codes.
    static int sceneItem(int code);
    // "模式" items of a lens type (1, 2 or 3); empty for other values.
    static QStringList focusItems(int lens);
    // Focus-mode code of a "模式" text (3 for unknown texts), and the text of a code
    // (empty for unknown codes).
    static int focusCode(const QString &text);
    static QString focusText(int code);

    void onLensChanged(int index);

    // The reported mode ID the lens follows: the face-mode ID for the standard lens,
    // the portrait-mode ID for the portrait lens, 0 for the macro lens when both came;
    // -1 when the reply holds nothing for the lens.
    static int modeIdForLens(int lens, int faceModeId, int portraitModeId, bool hasFace, bool hasPortrait);

protected:
    QList<ParamRow> imageRows(const BuiltInParamRows::Callbacks &cb) const override;
    QList<ParamRow> focusRows(const BuiltInParamRows::Callbacks &cb) const override;
    QList<ParamRow> videoRows(const BuiltInParamRows::Callbacks &cb) const override;
    QStringList applyOrder() const override;
    QStringList applyOrderAfterTables() const override;
    CameraParamReader::Profile readerProfile() const override;
    void addHeader(QVBoxLayout *layout) override;
    void applyExtras(const CameraParams &params) override;
    void applyFinished(const CameraParams &params) override;
    FaceModelFlow::Options faceModelOptions() const override;
    bool writesLogRecords() const override { return true; }

private:
    int selectedLens() const;
    void fillFocusModes(int lens, int code);

    QComboBox *m_lensCombo = nullptr;
};
