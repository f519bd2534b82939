#pragma once

#include "k310a_panel.h"

// The parameter panel of the K310A cameras without a lens choice (display names
// "A1", "星瞳1", "D1"): the built-in pages with the 20-step shutter table, the ISO
// shown from the record, the tuning rows before the gains, its own focus-mode texts
// and a video page with "手势", noise, uncrossed mirrors, "系统休眠", "UVC" and "横屏"
// (which restarts the camera to take the new orientation).
class widget_RV_K310A_WP_BEFA : public K310aPanel {
    Q_OBJECT
public:
    static constexpr int kRebootDelayMs = 1000;

    explicit widget_RV_K310A_WP_BEFA(QWidget *parent = nullptr);

    void setSleepSwitch(bool on) override;

protected:
    QList<ParamRow> imageRows(const BuiltInParamRows::Callbacks &cb) const override;
    QList<ParamRow> focusRows(const BuiltInParamRows::Callbacks &cb) const override;
    QList<ParamRow> videoRows(const BuiltInParamRows::Callbacks &cb) const override;
    QStringList applyOrder() const override;
    QStringList applyOrderAfterTables() const override;
    CameraParamReader::Profile readerProfile() const override;

private:
    void rebootAfterOrientation();
};
