#include "k310a_panel.h"

#include "builtin_param_pages.h"
#include "camera_window.h"
#include "colour_page.h"
#include "colour_picker.h"
#include "colour_tables.h"
#include "command_texts.h"
#include "collapsible_group.h"
#include "log_manager.h"
#include "packet_cmd.h"
#include "palette_label.h"
#include "param_control.h"
#include "param_page_set.h"

#include <QComboBox>
#include <QDebug>
#include <QTimer>
#include <QVBoxLayout>

K310aPanel::K310aPanel(const PanelCameraContext::Style &style, PanelResets::ToneReset tones,
                       const ColourPage::Options &colour, QWidget *parent)
    : ModelPanel(style, parent)
{
    PanelCameraContext *camera = m_camera;
    m_pages = makePages();

    m_tables = ColourTables::forCamera(camera, this);
    m_colourPage = new ColourPage(m_tables, this, colour);
    // The control panel's preview, as the panel learns it before buildUi.
    ColourPage::Hooks hooks;
    hooks.openPreview = [this] {
        if (m_previewAccess.open)
            m_previewAccess.open();
    };
    hooks.testConnection = [camera] { return camera->testConnection(); };
    hooks.reloadParameters = [this] { refresshDeviceData(); };
    m_colourPage->setHooks(hooks);
    m_colourPage->picker()->setPreviewLookup([this]() -> QWidget * {
        return m_previewAccess.window ? m_previewAccess.window() : nullptr;
    });
    connect(m_tables, &ColourTables::yellowOrangeRuddyRead, this, [this](const QJsonObject &videoParam) {
        m_pages->showReported(videoParam, BuiltInParamRows::toneKeys(), m_camera->params());
    });
    m_resets = new PanelResets({camera, m_tables, m_colourPage, m_pages, [this] { refresshDeviceData(); }, tones}, this);
}

K310aPanel::~K310aPanel() = default;

ColourPage::Options K310aPanel::colourOptions()
{
    using Highlight = ColourPage::PointHighlight;
    ColourPage::Options options;
    options.hueDrag = Highlight::PointNoted;
    options.satDrag = Highlight::Point;
    options.dialogHueDrag = Highlight::Point;
    options.dialogSatDrag = Highlight::PointNoted;
    options.satRelease = Highlight::None;
    options.resets = ColourPage::ResetStyle::Quiet;
    options.saturationResetReloads = true;
    options.picking = ColourPage::PickingStyle::Detailed;
    options.testsLinkBeforePreview = true;
    return options;
}

BuiltInParamRows::Callbacks K310aPanel::rowCallbacks()
{
    BuiltInParamRows::Callbacks cb;
    cb.storeSlot = [this](int slot, int value) { m_camera->params()[slot] = value; };
    cb.reloadAfterSceneChange = [this] {
        refresshDeviceData();
        readHsvTables();
    };
    cb.requestFaceModels = [this] { requestFaceModels(); };
    cb.showFaceModelArea = [this](bool visible) { showFaceModelArea(visible); };
    cb.colourToneChanged = [this] {
        m_tables->tableRefreshTimer()->start();
        m_tables->scheduleYellowOrangeRuddyRefresh();
    };
    return cb;
}

void K310aPanel::buildUi()
{
    buildScrollContent();
    QVBoxLayout *layout = contentLayout();
    addHeader(layout);
    const BuiltInParamRows::Callbacks cb = rowCallbacks();
    layout->addWidget(makeGroup(tr("图像调节"), "image.png",
                                [this, cb](QWidget *parent) { return m_pages->buildPage(imageRows(cb), parent); }));
    layout->addWidget(makeGroup(tr("对焦"), "focus.png", [this, cb](QWidget *parent) {
        QWidget *page = m_pages->buildPage(focusRows(cb), parent);
        m_aiModelArea = BuiltInParamPages::addAiModelHost(page);
        return page;
    }));
    buildFaceModels();
    layout->addWidget(makeGroup(tr("调色盘"), "palette.png",
                                [this](QWidget *parent) { return m_colourPage->buildColorPage(parent); }));
    layout->addWidget(makeGroup(tr("视频调整"), "setting.png",
                                [this, cb](QWidget *parent) { return m_pages->buildPage(videoRows(cb), parent); }));
    layout->addStretch();
}

void K310aPanel::buildFaceModels()
{
    FaceModelFlow::Hooks hooks = FaceModelFlow::cameraHooks(m_camera);
    PanelCameraContext *camera = m_camera;
    hooks.testConnection = [camera] { return camera->testConnection(); };
    hooks.openPreview = m_previewAccess.open;
    hooks.preview = m_previewAccess.window;
    FaceModelFlow::Options options = faceModelOptions();
    options.requestFaceModels = [this] { requestFaceModels(FaceListRequest::Reread); };
    options.listRecords = true;
    options.focusModeIndex = [this] {
        const ParamControl *mode = m_pages->control("ucFocusMode");
        return mode ? mode->value() : -1;
    };
    m_faceModels = new FaceModelFlow(m_aiModelArea, hooks, options, this);
    connect(m_faceModels, &FaceModelFlow::startFaceDataCollection, this, &ModelPanel::startFaceDataCollection);
}

void K310aPanel::requestFaceModels(FaceListRequest why)
{
    const bool logged = why == FaceListRequest::Reread && writesLogRecords();
    for (const auto &[name, command] : {std::pair{"ReqGetFaceIDs", CommandTexts::getFaceIds()},
                                        std::pair{"ReqGetFaceNames", CommandTexts::getFaceNames()}}) {
        if (logged)
            logRecord(INFO, QStringLiteral("Command"),
                      QStringLiteral("send %1: %2").arg(QLatin1String(name), QString::fromUtf8(command)));
        else
            qDebug() << qPrintable(QStringLiteral("send %1:").arg(QLatin1String(name))) << command;
        m_camera->sendText(CmdJson, command);
    }
}

void K310aPanel::showFaceModelArea(bool visible)
{
    qDebug() << (visible ? "人脸模式可见" : "人脸模式不可见");
    if (m_aiModelArea)
        m_aiModelArea->setVisible(visible);
    if (ParamControl *area = m_pages->control("ucAFArea"))
        area->combo->setEnabled(!visible);
}

int K310aPanel::focusModeCode() const
{
    const ParamControl *mode = m_pages->control("ucFocusMode");
    if (!mode)
        return -1;
    int code = 3;
    return mode->row.sentValue(mode->value(), &code) ? code : 3;
}

void K310aPanel::readHsvTables()
{
    m_tables->readHsvTables();
}

void K310aPanel::refresshDeviceData()
{
    PanelCameraContext *camera = m_camera;
    const auto exchange = [camera](const QByteArray &request) { return camera->query(request); };
    if (CameraParamReader::read(exchange, readerProfile(), camera->params(), nullptr))
        applyParams(camera->params(), false);
}

void K310aPanel::applyParams(const CameraParams &params, bool fromFile)
{
    // `params` may be the panel's own record; the rows read a copy.
    const CameraParams record = params;
    m_pages->beginApply(fromFile);
    m_pages->applyRows(record, applyOrder());
    applyExtras(record);
    if (writesLogRecords()) {
        logRecord(INFO, QStringLiteral("Data"), QStringLiteral("language: %1").arg(record[CameraParams::Language]));
        logRecord(INFO, QStringLiteral("Data"), QStringLiteral("scene: %1").arg(record[CameraParams::SceneMode]));
    } else {
        qDebug() << "language：" << record[CameraParams::Language];
        qDebug() << "scene" << record[CameraParams::SceneMode];
    }
    m_pages->applyRows(record, applyOrderAfterTables());
    if (PaletteLabel *hue = m_colourPage->hueLabel())
        hue->setValues(ColourTables::recordTable(record, HsvKind::Hue).toList());
    if (PaletteLabel *sat = m_colourPage->satLabel())
        sat->setValues(ColourTables::recordTable(record, HsvKind::Saturation).toList());
    m_camera->params() = record;
    m_pages->endApply();
    applyFinished(record);

    if (fromFile) {
        m_camera->sendVideoParam(BuiltInParamRows::kSceneKey, QString::number(record[CameraParams::SceneMode]));
        m_tables->sendHueTable(ColourTables::recordTable(record, HsvKind::Hue));
        m_tables->sendSaturationTable(ColourTables::recordTable(record, HsvKind::Saturation));
    }
    requestFaceModels(FaceListRequest::Reread);
}
