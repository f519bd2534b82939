#include "widget_rv_t782_kb_befa.h"

#include "collapsible_group.h"
#include "palette_page.h"
#include "param_control.h"
#include "param_page_set.h"
#include "t782_rows.h"

#include <QDebug>
#include <QSlider>
#include <QVBoxLayout>

namespace {
const char *const kGainKey = "ucAutoGainLimit";
constexpr int kManualExposure = 1;
} // namespace

widget_RV_T782_KB_BEFA::widget_RV_T782_KB_BEFA(QWidget *parent)
    : ModelPanel({DeviceSender::RequestLog::None, PanelCameraContext::ParamLog::None}, parent), m_pages(makePages())
{
}

widget_RV_T782_KB_BEFA::~widget_RV_T782_KB_BEFA() = default;

void widget_RV_T782_KB_BEFA::buildUi()
{
    T782Rows::Hooks hooks;
    hooks.exposureModeChanged = [this](int index) { onExposureModeChanged(index); };
    hooks.gainSwitching = [this] { return m_gainSwitching; };
    hooks.gainTarget = [this] {
        const ParamControl *mode = m_pages->control("eExposureMode");
        if (mode && mode->value() == kManualExposure)
            return ParamRow::KeySlot{QStringLiteral("ucManualGain"), 27};
        return ParamRow::KeySlot{QString::fromLatin1(kGainKey), 26};
    };
    hooks.sceneChanged = [this] { refreshCameraParams(); };

    buildScrollContent();
    QVBoxLayout *layout = contentLayout();
    const auto page = [this](const QList<ParamRow> &rows) {
        return [this, rows](QWidget *parent) { return m_pages->buildPage(rows, parent); };
    };
    layout->addWidget(makeGroup(tr("曝光调整"), "exposure.png", page(T782Rows::exposureRows(hooks))));
    layout->addWidget(makeGroup(tr("色彩调节"), "color.png", page(T782Rows::colourRows())));
    layout->addWidget(makeGroup(tr("图像调节"), "image.png", page(T782Rows::imageRows())));
    layout->addWidget(makeGroup(tr("聚焦设置"), "focus.png", page(T782Rows::focusRows())));
    layout->addWidget(makeGroup(tr("设置"), "setting.png", page(T782Rows::settingsRows(hooks))));

    m_paletteGroup = PalettePage::createGroup(m_camera, &m_palettePage);
    shapeGroup(m_paletteGroup);
    if (PalettePage::placedInPanel())
        layout->addWidget(m_paletteGroup);
    else
        m_unplacedPaletteGroup.reset(m_paletteGroup);
    layout->addStretch();
}

void widget_RV_T782_KB_BEFA::setDevice(HIDManager *manager, int)
{
    ModelPanel::setDevice(manager, 0);
}

void widget_RV_T782_KB_BEFA::onExposureModeChanged(int index)
{
    const bool automatic = index == 0;
    const bool manual = index == kManualExposure;
    m_pages->setRowsVisible({"BExpCPS"}, automatic);
    m_pages->setRowsVisible({"uiMShutterSpeed"}, manual || index == 2);
    m_pages->setRowsVisible({"ucManualIris"}, manual || index == 3);
    m_pages->setRowsVisible({"bBacklightCompensation"}, !manual);
    // The slider shows the other mode's stored value without sending it.
    if (ParamControl *gain = m_pages->control(kGainKey)) {
        m_gainSwitching = true;
        gain->setValue(m_camera->params()[manual ? 27 : 26]);
        m_gainSwitching = false;
    }
}

void widget_RV_T782_KB_BEFA::applyParams(const CameraParams &params, bool fromFile)
{
    // `params` may be the panel's own record; the rows read a copy.
    const CameraParams record = params;
    m_pages->beginApply(fromFile);
    m_pages->applyRows(record, T782Rows::applyOrderBeforeGain());
    if (ParamControl *gain = m_pages->control(kGainKey))
        gain->setValue(record[record[21] == kManualExposure ? 27 : 26]);
    m_pages->applyRows(record, T782Rows::applyOrderBeforeRecord());
    m_camera->params() = record;
    m_pages->applyRows(record, T782Rows::applyOrderAfterRecord());
    qDebug() << "language：" << record[CameraParams::Language];
    qDebug() << "scene" << record[CameraParams::SceneMode];
    m_pages->applyRows(record, {QStringLiteral("eSceneMode")});
    m_pages->endApply();
}

CameraParamReader::Profile widget_RV_T782_KB_BEFA::readerProfile()
{
    CameraParamReader::Profile profile;
    profile.videoKeys = CameraParamReader::without(CameraParamReader::videoKeys(),
                                                   {{"u8HDR", -1},
                                                    {"ucGRGain", -1},
                                                    {"ucCamCorrection", 70},
                                                    {"ucRotation", -1},
                                                    {"ucScreenOrientation", -1},
                                                    {"ucRuddy", -1},
                                                    {"u8Yellow", -1},
                                                    {"u8Orange", -1},
                                                    {"u8Gray", -1},
                                                    {"u8Black", -1},
                                                    {"u8White", -1},
                                                    {"ucFairSkinned", -1},
                                                    {"ucSmotohEn", -1},
                                                    {"Smotohness", -1},
                                                    {"ucUvcEnable", -1}});
    profile.settingKeys << CameraParamReader::KeySlot{"lvdsFreq", T782Rows::kTofSlot};
    profile.logSettings = false;
    return profile;
}

void widget_RV_T782_KB_BEFA::refreshCameraParams()
{
    qDebug("index:%d", 0);
    PanelCameraContext *camera = m_camera;
    const auto exchange = [camera](const QByteArray &request) { return camera->query(request); };
    if (CameraParamReader::read(exchange, readerProfile(), camera->params(), nullptr))
        applyParams(camera->params(), false);
}

bool widget_RV_T782_KB_BEFA::sendPaletteData(const HisiTable &table)
{
    return m_palettePage && m_palettePage->sendPaletteData(table);
}
