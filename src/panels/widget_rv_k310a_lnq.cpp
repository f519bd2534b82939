#include "widget_rv_k310a_lnq.h"

#include "colour_tables.h"
#include "command_texts.h"
#include "k310a_rows.h"
#include "log_manager.h"
#include "message_boxes.h"
#include "param_control.h"
#include "param_page_set.h"

#include <QComboBox>
#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// "图像版本" items ("标准", "白皙", "去红", "专业") -> "eSceneMode" per lens type 1, 2, 3.
const int kSceneCodes[3][4] = {{1, 3, 5, 4}, {6, 7, 8, 9}, {10, 11, 13, 12}};
const char *const kFaceTexts[] = {"人脸追焦", "人像追焦"};
// "模式" texts and their "ucFocusMode" codes.
const QList<QPair<QString, int>> &focusTexts()
{
    static const QList<QPair<QString, int>> texts = {
        {"AF (前景优先)", 3}, {"MF(手动模式)", 0}, {"人脸追焦", 6}, {"人像追焦", 8}, {"微距", 7}};
    return texts;
}

bool isFaceMode(const QString &text)
{
    return text == QString::fromUtf8(kFaceTexts[0]) || text == QString::fromUtf8(kFaceTexts[1]);
}
} // namespace

widget_RV_K310A_LNQ::widget_RV_K310A_LNQ(QWidget *parent)
    : K310aPanel({DeviceSender::RequestLog::CommandRecord, PanelCameraContext::ParamLog::CommandRecord},
                 PanelResets::ToneReset::WithFactoryReset, colourOptions(), parent)
{
    // The panel's questions and reports come in the wider box (its content is shown
    // in the control panel's container, out of the panel's own hierarchy).
    MessageBoxes::setBoxStyle(this, MessageBoxes::Style::Wide);
    colourTables()->setSendRecord([](HsvKind kind, const QByteArray &text) {
        logRecord(DEBUG, QStringLiteral("Data"),
                  (kind == HsvKind::Hue ? QStringLiteral("[HUE_ARRAY] sending hue array data, length:%1")
                                        : QStringLiteral("[SAT_ARRAY] sending saturation array data, length:%1"))
                      .arg(text.size()));
    });
}

void widget_RV_K310A_LNQ::buildUi()
{
    K310aPanel::buildUi();
    MessageBoxes::setBoxStyle(scrollArea(), MessageBoxes::Style::Wide);
}

int widget_RV_K310A_LNQ::sceneCode(int lens, int item)
{
    return lens >= 1 && lens <= 3 && item >= 0 && item < 4 ? kSceneCodes[lens - 1][item] : -1;
}

int widget_RV_K310A_LNQ::sceneItem(int code)
{
    for (const auto &row : kSceneCodes)
        for (int item = 0; item < 4; ++item)
            if (row[item] == code)
                return item;
    return -1;
}

QStringList widget_RV_K310A_LNQ::focusItems(int lens)
{
    switch (lens) {
    case Standard:
        return {QT_TRANSLATE_NOOP("ParamRow", "AF (前景优先)"), QT_TRANSLATE_NOOP("ParamRow", "MF(手动模式)"), QT_TRANSLATE_NOOP("ParamRow", "人脸追焦")};
    case Portrait:
        return {QT_TRANSLATE_NOOP("ParamRow", "人像追焦"), QT_TRANSLATE_NOOP("ParamRow", "MF(手动模式)")};
    case Macro:
        return {QT_TRANSLATE_NOOP("ParamRow", "微距"), QT_TRANSLATE_NOOP("ParamRow", "MF(手动模式)")};
    default:
        return {};
    }
}

int widget_RV_K310A_LNQ::focusCode(const QString &text)
{
    for (const auto &[t, code] : focusTexts())
        if (t == text)
            return code;
    return 3;
}

QString widget_RV_K310A_LNQ::focusText(int code)
{
    for (const auto &[text, c] : focusTexts())
        if (c == code)
            return text;
    return QString();
}

int widget_RV_K310A_LNQ::selectedLens() const
{
    return m_lensCombo && m_lensCombo->currentIndex() >= 0 ? m_lensCombo->currentIndex() + 1 : -1;
}

void widget_RV_K310A_LNQ::addHeader(QVBoxLayout *layout)
{
    auto *row = new QWidget(content());
    row->setObjectName("lensRow");
    row->setFixedHeight(40);
    row->setMinimumWidth(320);
    row->setMaximumWidth(1000);
    row->setAttribute(Qt::WA_StyledBackground);
    row->setStyleSheet("QWidget#lensRow { background-color: #272c33; border-radius: 8px; }");
    auto *line = new QHBoxLayout(row);
    line->setContentsMargins(20, 0, 20, 0);
    line->setSpacing(8);
    line->setAlignment(Qt::AlignVCenter);
    auto *icon = new QLabel(row);
    icon->setPixmap(QPixmap(":/icons/resources/icons/lens-change.png").scaled(16, 16, Qt::KeepAspectRatio,
                                                                            Qt::SmoothTransformation));
    icon->setFixedSize(16, 16);
    auto *caption = new QLabel(tr("镜头选择"), row);
    caption->setStyleSheet("color: #eeeeee; font-size: 13px; font-weight: bold; background: transparent;");
    m_lensCombo = new QComboBox(row);
    m_lensCombo->setMinimumWidth(220);
    ParamControl::styleCombo(m_lensCombo);
    m_lensCombo->addItems({tr("标准"), tr("人像(58mm)")});
    line->addWidget(icon);
    line->addWidget(caption);
    line->addStretch();
    line->addWidget(m_lensCombo);
    layout->addWidget(row);
    connect(m_lensCombo, &QComboBox::currentIndexChanged, this, &widget_RV_K310A_LNQ::onLensChanged);
}

QList<ParamRow> widget_RV_K310A_LNQ::imageRows(const BuiltInParamRows::Callbacks &cb) const
{
    QList<ParamRow> rows = K310aRows::imageRows(cb);
    auto *self = const_cast<widget_RV_K310A_LNQ *>(this);
    if (ParamRow *scene = findRow(rows, BuiltInParamRows::kSceneKey)) {
        scene->items = QStringList{QT_TRANSLATE_NOOP("ParamRow", "标准"), QT_TRANSLATE_NOOP("ParamRow", "白皙"), QT_TRANSLATE_NOOP("ParamRow", "去红"), QT_TRANSLATE_NOOP("ParamRow", "专业")};
        scene->codes.clear();
        // The code depends on the lens; nothing is sent without a lens selected.
        scene->sentRule = [self](int item, int *sent) {
            *sent = sceneCode(self->selectedLens(), item);
            return *sent >= 0;
        };
        scene->shownRule = [](qint32 code, int) { return sceneItem(code); };
        scene->onChanged = [self, cb](ParamPageSet &pages, int item) {
            const int code = sceneCode(self->selectedLens(), item);
            if (code < 0)
                return;
            self->camera()->params()[CameraParams::SceneMode] = code;
            if (!pages.isApplying() && cb.reloadAfterSceneChange)
                cb.reloadAfterSceneChange();
        };
    }
    if (ParamRow *exposure = findRow(rows, "eExposureMode"))
        exposure->items = QStringList{QT_TRANSLATE_NOOP("ParamRow", "自动"), QT_TRANSLATE_NOOP("ParamRow", "手动")};
    if (ParamRow *contrast = findRow(rows, "Contrast"))
        contrast->initial = 10;
    if (ParamRow *sharpness = findRow(rows, "Hue"))
        sharpness->initial = 30;
    // The tones make the tables follow, whoever moves them (the user, a refresh or an
    // imported file); the panel re-reads the tables only.
    for (const char *key : {"u8Yellow", "u8Orange", "ucRuddy"})
        if (ParamRow *tone = findRow(rows, QString::fromLatin1(key)))
            tone->onChanged = [self](ParamPageSet &, int) { self->colourTables()->tableRefreshTimer()->start(); };
    ParamRow hdr = ParamRow::toggle("u8HDR", "HDR", 32);
    hdr.shownRule = [](qint32 value, int) { return value == 1 ? 1 : 0; };
    rows << hdr;
    return rows;
}

QList<ParamRow> widget_RV_K310A_LNQ::focusRows(const BuiltInParamRows::Callbacks &cb) const
{
    QList<ParamRow> rows = BuiltInParamRows::focusRows(cb);
    auto *self = const_cast<widget_RV_K310A_LNQ *>(this);
    if (ParamRow *mode = findRow(rows, "ucFocusMode")) {
        mode->items = QStringList{QT_TRANSLATE_NOOP("ParamRow", "AF (前景优先)"), QT_TRANSLATE_NOOP("ParamRow", "MF(手动模式)"), QT_TRANSLATE_NOOP("ParamRow", "人脸追焦"), QT_TRANSLATE_NOOP("ParamRow", "人像追焦")};
        mode->codes.clear();
        // Codes follow the item texts, which follow the lens.
        mode->sentRule = [self](int index, int *sent) {
            ParamControl *c = self->pages()->control("ucFocusMode");
            if (index < 0 || !c)
                return false;
            *sent = focusCode(c->itemSource(index));
            qDebug() << "send currentText:" << c->itemSource(index);
            qDebug() << "send focusModeValue:" << *sent;
            qDebug() << "send index:" << index;
            return true;
        };
        mode->onChanged = [self, cb](ParamPageSet &pages, int index) {
            ParamControl *c = pages.control("ucFocusMode");
            const bool face = c && index >= 0 && isFaceMode(c->itemSource(index));
            BuiltInParamRows::focusModeShown(pages, face, cb);
            if (face)
                self->requestFaceModels();
        };
        mode->afterApply = {};
    }
    if (ParamRow *area = findRow(rows, "ucAFArea")) {
        area->items = QStringList{QT_TRANSLATE_NOOP("ParamRow", "默认"), QT_TRANSLATE_NOOP("ParamRow", "上"), QT_TRANSLATE_NOOP("ParamRow", "中"), QT_TRANSLATE_NOOP("ParamRow", "下")};
        area->codes = {0, 2, 3, 4};
        area->shownRule = [](qint32 value, int) { return value >= 2 && value <= 4 ? int(value) - 1 : int(value); };
    }
    if (ParamRow *sensitivity = findRow(rows, "ucAFSen"))
        sensitivity->keepsRecord = false;
    return rows;
}

QList<ParamRow> widget_RV_K310A_LNQ::videoRows(const BuiltInParamRows::Callbacks &) const
{
    return {K310aRows::noise2d(),          K310aRows::noise3d(),     K310aRows::horizontalMirror(),
            K310aRows::verticalMirror(),   K310aRows::sleepSwitch(), K310aRows::uvcSwitch()};
}

QStringList widget_RV_K310A_LNQ::applyOrder() const
{
    return {"ucWDRStrength", "ucManualGain", "uiMShutterSpeed", "eExposureMode", "Luminance", "Contrast",
            "Hue",           "bHorzInvert",  "bVertInvert",     "eWBMode",       "u8HDR",     "ucRGGain",
            "ucGRGain",      "ucBGGain",     "u8Yellow",        "u8Orange",      "u8Gray",    "u8Black",
            "u8White",       "u32CTNum",     "u8RgainTuning",   "u8BgainTuning", "Saturation", "uc2DNR",
            "uc3DNR",        "ucAFArea",     "ucAFSen"};
}

QStringList widget_RV_K310A_LNQ::applyOrderAfterTables() const
{
    return {BuiltInParamRows::kSceneKey, "ucRuddy", "ucUvcEnable"};
}

CameraParamReader::Profile widget_RV_K310A_LNQ::readerProfile() const
{
    CameraParamReader::Profile profile = K310aRows::readerProfile();
    profile.videoKeys << CameraParamReader::KeySlot{"u8LensType", CameraParams::LensType};
    profile.videoParamTag = "[refresshDeviceData]";
    return profile;
}

void widget_RV_K310A_LNQ::fillFocusModes(int lens, int code)
{
    ParamControl *mode = pages()->control("ucFocusMode");
    const QStringList items = focusItems(lens);
    if (!mode || items.isEmpty())
        return;
    const bool blocked = mode->combo->blockSignals(true);
    mode->setItems(items);
    // The item of the code, item 0 when the lens offers none.
    const int index = int(items.indexOf(focusText(code)));
    mode->combo->setCurrentIndex(index < 0 ? 0 : index);
    mode->combo->blockSignals(blocked);
}

void widget_RV_K310A_LNQ::applyExtras(const CameraParams &params)
{
    const int lens = params[CameraParams::LensType];
    ParamControl *mode = pages()->control("ucFocusMode");
    ParamControl *area = pages()->control("ucAFArea");
    if (lens >= Standard && lens <= Macro && m_lensCombo && mode) {
        m_lensCombo->setCurrentIndex(lens - 1); // 3 leaves the two-item combo without a selection
        qDebug() << "cameral_param->focus_mode:" << params[CameraParams::FocusMode];
        fillFocusModes(lens, params[CameraParams::FocusMode]);
        const bool face = isFaceMode(mode->itemSource(mode->combo->currentIndex()));
        showFaceModelArea(face);
    } else if (area) {
        area->combo->setEnabled(true);
    }
}

void widget_RV_K310A_LNQ::applyFinished(const CameraParams &params)
{
    // The camera's focus mode has the last word over the area and "区域", whatever the
    // lens offers: a mode without an item still shows or hides the area.
    const int code = params[CameraParams::FocusMode];
    if (code == 0 || code == 3)
        showFaceModelArea(false);
    else if (code == 6 || code == 8)
        showFaceModelArea(true);
    ParamControl *mode = pages()->control("ucFocusMode");
    const QString text = focusText(code);
    if (!mode || text.isEmpty())
        return;
    for (int i = 0; i < mode->combo->count(); ++i) {
        if (mode->itemSource(i) != text)
            continue;
        // Shown, not sent: the camera reported it.
        const bool blocked = mode->combo->blockSignals(true);
        mode->combo->setCurrentIndex(i);
        mode->combo->blockSignals(blocked);
        return;
    }
}

void widget_RV_K310A_LNQ::onLensChanged(int index)
{
    if (index != 0 && index != 1)
        return;
    const int lens = index + 1;
    m_camera->params()[CameraParams::LensType] = lens;
    m_camera->sendVideoParam("u8LensType", QString::number(lens));
    fillFocusModes(lens, -1);
    if (lens == Standard) {
        m_camera->sendVideoParam(BuiltInParamRows::kSceneKey, "1");
    } else {
        m_camera->sendVideoParam(BuiltInParamRows::kSceneKey, "6");
        m_camera->sendVideoParam("ucFocusMode", "8");
    }
    if (!m_camera->isApplying())
        refresshDeviceData();
    QTimer::singleShot(ColourTables::kTableRefreshMs, this, [this] { readHsvTables(); });
}

void widget_RV_K310A_LNQ::copyParams(CameraParams &out)
{
    if (m_lensCombo && m_lensCombo->currentIndex() >= 0 && m_lensCombo->currentIndex() <= 2)
        m_camera->params()[CameraParams::LensType] = m_lensCombo->currentIndex() + 1;
    out = m_camera->params();
}

int widget_RV_K310A_LNQ::modeIdForLens(int lens, int faceModeId, int portraitModeId, bool hasFace, bool hasPortrait)
{
    if (lens == Portrait) {
        if (!hasPortrait)
            return -1;
        if (hasFace)
            qDebug() << "Portrait lens - using PortraitModeId:" << portraitModeId;
        return portraitModeId;
    }
    if (lens == Macro) {
        if (!(hasFace && hasPortrait))
            return -1;
        qDebug() << "Macro lens - no model ID used";
        return 0;
    }
    if (!hasFace)
        return -1;
    if (hasPortrait)
        qDebug() << "Standard lens - using FaceModeId:" << faceModeId;
    return faceModeId;
}

FaceModelFlow::Options widget_RV_K310A_LNQ::faceModelOptions() const
{
    FaceModelFlow::Options options;
    PanelCameraContext *camera = m_camera;
    // The portrait lens keeps its own enabled model.
    options.enableCommand = [camera](int id) {
        return camera->params()[CameraParams::LensType] == Portrait ? CommandTexts::setEnabledPortraitModeId(id)
                                                                    : CommandTexts::setEnabledFaceModeId(id);
    };
    options.modeIdRule = [camera](int face, int portrait, bool hasFace, bool hasPortrait) {
        return modeIdForLens(camera->params()[CameraParams::LensType], face, portrait, hasFace, hasPortrait);
    };
    options.commandRecords = true;
    options.tipHoldsInput = true;
    return options;
}
