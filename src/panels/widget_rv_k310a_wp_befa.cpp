#include "widget_rv_k310a_wp_befa.h"

#include "k310a_rows.h"
#include "message_boxes.h"
#include "packet_cmd.h"
#include "param_control.h"
#include "param_page_set.h"

#include <QTimer>

namespace {
// Dragging a saturation point on the page moves no highlight, letting go of it does
// (on the page only, noted either way); the resets and the preview are the control
// panel's.
ColourPage::Options withOwnColourRules(ColourPage::Options options)
{
    options.satDrag = ColourPage::PointHighlight::None;
    options.dialogSatDrag = ColourPage::PointHighlight::Point;
    options.satRelease = ColourPage::PointHighlight::PagePointNoted;
    options.resets = ColourPage::ResetStyle::Notified;
    options.saturationResetReloads = false;
    options.testsLinkBeforePreview = false;
    return options;
}
} // namespace

widget_RV_K310A_WP_BEFA::widget_RV_K310A_WP_BEFA(QWidget *parent)
    : K310aPanel({DeviceSender::RequestLog::IndexNoteOnly, PanelCameraContext::ParamLog::None},
                 PanelResets::ToneReset::WithImageReset, withOwnColourRules(colourOptions()), parent)
{
}

QList<ParamRow> widget_RV_K310A_WP_BEFA::imageRows(const BuiltInParamRows::Callbacks &cb) const
{
    return K310aRows::imageRows(cb);
}

QList<ParamRow> widget_RV_K310A_WP_BEFA::focusRows(const BuiltInParamRows::Callbacks &cb) const
{
    QList<ParamRow> rows = BuiltInParamRows::focusRows(cb);
    if (ParamRow *mode = findRow(rows, "ucFocusMode")) {
        mode->items = QStringList{QT_TRANSLATE_NOOP("ParamRow", "AF（前景优先）"), QT_TRANSLATE_NOOP("ParamRow", "MF（手动模式）"), QT_TRANSLATE_NOOP("ParamRow", "人脸追焦")};
        mode->applySilently = true;
        // Shown from the record without asking for the face lists; unknown codes change nothing.
        mode->afterApply = [cb](ParamPageSet &pages, int code) {
            if (code == 3 || code == 0 || code == 6)
                BuiltInParamRows::focusModeShown(pages, code == 6, cb);
        };
    }
    if (ParamRow *sensitivity = findRow(rows, "ucAFSen"))
        sensitivity->keepsRecord = false;
    return rows;
}

QList<ParamRow> widget_RV_K310A_WP_BEFA::videoRows(const BuiltInParamRows::Callbacks &) const
{
    ParamRow landscape = ParamRow::toggle("ucScreenOrientation", QT_TRANSLATE_NOOP("ParamRow", "横屏"), 75);
    landscape.clickedOnly = true;
    // The camera takes a new orientation on its next start: restart it, once the
    // orientation has actually been sent.
    auto *self = const_cast<widget_RV_K310A_WP_BEFA *>(this);
    landscape.send = [self](const QString &key, int sent) {
        const bool ok = self->camera()->sendVideoParam(key, QString::number(sent));
        if (ok)
            QTimer::singleShot(kRebootDelayMs, self, &widget_RV_K310A_WP_BEFA::rebootAfterOrientation);
        return ok;
    };
    return {
        ParamRow::toggle("hgr", QT_TRANSLATE_NOOP("ParamRow", "手势"), CameraParams::Gesture).asSetting(),
        K310aRows::noise2d(),
        K310aRows::noise3d(),
        K310aRows::horizontalMirror(),
        K310aRows::verticalMirror(),
        K310aRows::sleepSwitch(),
        K310aRows::uvcSwitch(),
        landscape,
    };
}

QStringList widget_RV_K310A_WP_BEFA::applyOrder() const
{
    return {"ucWDRStrength", "ucManualGain",  "uiMShutterSpeed", "eExposureMode", "Luminance",     "Contrast",
            "Hue",           "bHorzInvert",   "bVertInvert",     "eWBMode",       "ucRGGain",      "ucGRGain",
            "ucBGGain",      "u32CTNum",      "u8RgainTuning",   "u8BgainTuning", "Saturation",    "uc2DNR",
            "uc3DNR",        "ucFocusMode",   "ucAFArea",        "ucAFSen",       "hgr"};
}

QStringList widget_RV_K310A_WP_BEFA::applyOrderAfterTables() const
{
    return {BuiltInParamRows::kSceneKey, "ucRuddy", "u8Yellow", "u8Orange",    "u8Gray",
            "u8Black",                   "u8White", "ucUvcEnable", "ucScreenOrientation"};
}

CameraParamReader::Profile widget_RV_K310A_WP_BEFA::readerProfile() const
{
    return K310aRows::readerProfile();
}

void widget_RV_K310A_WP_BEFA::setSleepSwitch(bool on)
{
    if (ParamControl *sleep = pages()->control("sleep"))
        sleep->setValue(on ? 1 : 0);
}

void widget_RV_K310A_WP_BEFA::rebootAfterOrientation()
{
    if (m_camera->sendChecked(CmdReboot, QByteArray()))
        MessageBoxes::information(this, tr("重启"), tr("设备正在重启..."));
    else
        MessageBoxes::critical(this, tr("重启"), tr("重启命令发送失败"));
}
