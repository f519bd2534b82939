#include "face_model_flow.h"

#include "ai_model_area.h"
#include "camera_window.h"
#include "collection_tip_dialog.h"
#include "command_texts.h"
#include "log_manager.h"
#include "message_boxes.h"
#include "model_name_dialog.h"
#include "packet_cmd.h"
#include "panel_camera_context.h"

#include <QComboBox>
#include <QDebug>
#include <QDialog>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const char *const kTip = QT_TRANSLATE_NOOP("FaceModelFlow", "提示");
const char *const kChooseFirst = QT_TRANSLATE_NOOP("FaceModelFlow", "请先选择一个模型");
const char *const kNoUsableId = QT_TRANSLATE_NOOP("FaceModelFlow", "无法确定该模型的ID，请刷新模型列表后重试");
const char *const kNotRecordedYet = QT_TRANSLATE_NOOP("FaceModelFlow", "该模型尚未录入完成，无法启用");
} // namespace

FaceModelFlow::Hooks FaceModelFlow::cameraHooks(PanelCameraContext *camera) {
    Hooks hooks;
    hooks.send = [camera](const QByteArray &text) { return camera->sendText(CmdJson, text); };
    hooks.deviceIndex = [camera] { return camera->deviceIndex(); };
    return hooks;
}

FaceModelFlow::FaceModelFlow(QWidget *areaContainer, const Hooks &hooks, const Options &options,
                             QObject *parent)
    : QObject(parent), m_hooks(hooks), m_options(options) {
    if (!m_options.enableCommand)
        m_options.enableCommand = [](int id) { return CommandTexts::setEnabledFaceModeId(id); };
    if (!m_options.modeIdRule)
        m_options.modeIdRule = [](int face, int, bool hasFace, bool) { return hasFace ? face : -1; };
    m_area = new AiModelArea(areaContainer);
    m_timers = new QObject(this);
    connect(m_area, &AiModelArea::addClicked, this, &FaceModelFlow::onAddModelClicked);
    connect(m_area, &AiModelArea::enableClicked, this, &FaceModelFlow::onModelEnableClicked);
    connect(m_area, &AiModelArea::deleteClicked, this, &FaceModelFlow::onDeleteModelClicked);
    connect(m_area, &AiModelArea::modelSelected, this, &FaceModelFlow::onAiModelSelected);
    connect(this, &FaceModelFlow::startFaceDataCollection, this, &FaceModelFlow::startInPreview);
}

FaceModelFlow::~FaceModelFlow() {
    delete m_collectionDialog;
}

int FaceModelFlow::collectionModelId() const {
    if (!m_collection.active)
        return -1;
    return m_collection.started ? m_collection.modelId : 0;
}

void FaceModelFlow::send(const QByteArray &text) {
    if (text.isEmpty() || !m_hooks.send)
        return;
    m_hooks.send(text);
}

// ---------------------------------------------------------------------------------------
// The camera's list

void FaceModelFlow::sendRecorded(const QString &label, const QByteArray &text) {
    if (m_options.commandRecords)
        qDebug().noquote() << label << "-" << text;
    send(text);
}

void FaceModelFlow::requestFaceModels() {
    if (m_options.requestFaceModels) {
        m_options.requestFaceModels();
        return;
    }
    send(CommandTexts::getFaceIds());
    send(CommandTexts::getFaceNames());
}

void FaceModelFlow::requestEnabledFaceId() {
    const QByteArray command = CommandTexts::getEnabledFaceIds();
    if (m_options.commandRecords)
        LogManager::instance()->log(INFO, "Command",
                                    QStringLiteral("send ReqGetEnabledFaceIds: %1").arg(QString::fromUtf8(command)));
    send(command);
}

void FaceModelFlow::setFaceNames(const QStringList &faceNames) {
    m_list.setFaceNames(faceNames);
    m_area->showNames(m_list);
}

void FaceModelFlow::handleFaceIdsResponse(const QList<int> &faceIds) {
    m_list.setFaceIds(faceIds);
    // The model being recorded is not the camera's yet; it stays in the list.
    if (m_collection.active && !m_collection.pendingName.isEmpty() &&
        m_list.indexOfId(m_collection.modelId) < 0)
        m_list.appendUnlisted(m_collection.modelId, m_collection.pendingName);
    m_area->showList(m_list, m_list.count() > 0 ? 0 : -1);
    if (const int recorded = m_list.indexOfId(m_showAfterList); recorded >= 0)
        m_area->selectQuietly(recorded);
    if (m_options.listRecords) {
        const int mode = m_options.focusModeIndex ? m_options.focusModeIndex() : -1;
        if (mode >= 0)
            m_focusModeIndex = mode;
        qDebug() << "Updated AI model names from FaceIDs (mode:" << m_focusModeIndex << "), FaceIDs:" << faceIds
                 << ", FaceNames:" << m_list.faceNames();
    }
    if (m_deleteCheckId > 0)
        m_deleteListArrived = true;
    QTimer::singleShot(kEnabledRequestDelayMs, m_timers, [this] { requestEnabledFaceId(); });
}

void FaceModelFlow::handleEnabledFaceIdResponse(int enabledFaceId) {
    const bool logged = m_options.listRecords;
    const QComboBox *combo = m_area->combo();
    if (logged) {
        qDebug() << "handleEnabledFaceIdResponse: enabledFaceId =" << enabledFaceId << "combo count ="
                 << combo->count();
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << QStringLiteral("%1:%2").arg(QString::number(combo->itemData(i, AiModelArea::kIdRole).toInt()),
                                                 combo->itemText(i));
        qDebug().noquote() << "Combo box items:" << items.join(QStringLiteral(", "));
    }
    const int index = m_list.indexOfId(enabledFaceId);
    if (logged) {
        if (index >= 0)
            qDebug() << "Found enabled face ID" << enabledFaceId << "at index" << index;
        else
            qDebug() << "Enabled face ID" << enabledFaceId << "not found in combo box, total items:" << combo->count();
    }
    if (index >= 0)
        m_area->selectQuietly(index);
    const bool enabled = index >= 0 || enabledFaceId != 0;
    setModelEnableButtonState(enabled);
    if (logged && enabled)
        qDebug() << "handleEnabledFaceIdResponse: button updated to '模型启用中'";
}

void FaceModelFlow::handleFaceModeIds(int faceModeId, int portraitModeId, bool hasFace, bool hasPortrait) {
    if (hasFace)
        m_faceModeId = faceModeId;
    if (hasPortrait)
        m_portraitModeId = portraitModeId;
    const int id = m_options.modeIdRule(faceModeId, portraitModeId, hasFace, hasPortrait);
    if (id >= 0)
        handleEnabledFaceIdResponse(id);
}

void FaceModelFlow::handleCollectionStatus(const QString &status, int deviceIndex) {
    const int own = m_hooks.deviceIndex ? m_hooks.deviceIndex() : -1;
    if (deviceIndex != own) {
        qDebug() << "Skip face collection status from device" << deviceIndex << "(current device:" << own
                 << ")";
        return;
    }
    QPointer<CameraWindow> window = m_hooks.preview ? m_hooks.preview() : nullptr;
    if (!window)
        return;
    QMetaObject::invokeMethod(
        window,
        [window, status] {
            if (window)
                window->handleFaceCollectionStatus(status);
        },
        Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------------------
// Enable, select, delete

void FaceModelFlow::setModelEnableButtonState(bool enabled) {
    m_modelEnabled = enabled;
    m_area->setEnableButtonState(enabled);
}

void FaceModelFlow::sendEnable(int id) {
    const QString off = id == 0 ? QStringLiteral(" id0") : QString();
    sendRecorded(QStringLiteral("sendFaceFocusTrain select") + off, CommandTexts::setFaceFocusTrainSelect(id));
    const QByteArray enable = m_options.enableCommand(id);
    // The record names the command by its "Cmd".
    const int start = enable.indexOf("Req");
    const QByteArray name = start < 0 ? QByteArray() : enable.mid(start, enable.indexOf('"', start) - start);
    sendRecorded(QStringLiteral("send ") + QString::fromLatin1(name) + off, enable);
}

int FaceModelFlow::currentIdOrExplain() {
    const int index = m_area->combo()->currentIndex();
    if (!m_list.isValidIndex(index)) {
        MessageBoxes::showStyledMessageBox(m_area->container(), tr(kTip),
                                           tr(kChooseFirst));
        return 0;
    }
    const int id = m_list.idAt(index);
    if (id <= 0) {
        qWarning() << "Face model at position" << index + 1 << "has no usable ID; nothing sent";
        MessageBoxes::showStyledMessageBox(m_area->container(), tr(kTip),
                                           tr(kNoUsableId));
    }
    return id;
}

void FaceModelFlow::onAiModelSelected(int index) {
    m_showAfterList = 0; // the user's own choice from now on
    if (m_options.commandRecords)
        qDebug() << "currentIndex:" << index;
    if (!m_modelEnabled)
        return;
    const int id = m_list.idAt(index);
    if (id <= 0 || !m_list.isListedId(id)) {
        // Only models the camera has listed can be enabled.
        qDebug() << "Face model at position" << index + 1 << "is not one the camera listed; not enabled";
        return;
    }
    sendEnable(id);
}

void FaceModelFlow::onModelEnableClicked() {
    if (!m_list.isValidIndex(m_area->combo()->currentIndex())) {
        MessageBoxes::showStyledMessageBox(m_area->container(), tr(kTip),
                                           tr(kChooseFirst));
        return;
    }
    if (m_modelEnabled) {
        sendEnable(0);
        setModelEnableButtonState(false);
        return;
    }
    const int id = currentIdOrExplain();
    if (id <= 0)
        return;
    if (!m_list.isListedId(id)) {
        MessageBoxes::showStyledMessageBox(m_area->container(), tr(kTip),
                                           tr(kNotRecordedYet));
        return;
    }
    sendEnable(id);
    setModelEnableButtonState(true);
}

void FaceModelFlow::onDeleteModelClicked() {
    const int id = currentIdOrExplain();
    if (id <= 0)
        return;
    sendRecorded(QStringLiteral("send ReqDeleteFocusID"), CommandTexts::deleteFocusId(id));

    auto *progress = new QDialog(m_area->container());
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->setWindowTitle(tr(kTip));
    progress->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    progress->setAttribute(Qt::WA_TranslucentBackground);
    progress->setFixedSize(400, 250);
    auto *layout = new QVBoxLayout(progress);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *text = new QLabel(tr("正在移除模型..."), progress);
    text->setAlignment(Qt::AlignCenter);
    text->setStyleSheet("QLabel { background-color: #1e1e1e; color: white; font-size: 14px;"
                        " border-radius: 15px; }");
    layout->addWidget(text);
    progress->show();

    QPointer<QDialog> guard(progress);
    QTimer::singleShot(kDeleteCheckDelayMs, m_timers, [this, guard, id] {
        if (guard)
            guard->close();
        finishDelete(id);
    });
}

void FaceModelFlow::finishDelete(int id) {
    // What the camera lists after the deletion is the outcome.
    m_deleteCheckId = id;
    m_deleteListArrived = false;
    requestFaceModels();
    const bool gone = m_deleteListArrived && m_list.indexOfId(id) < 0;
    m_deleteCheckId = 0;
    if (!gone)
        qWarning() << "Face model" << id
                   << (m_deleteListArrived ? "is still listed by the camera after its deletion"
                                           : ": the camera did not list its models after the deletion");
    // Off before the box: the camera's enabled-ID report on the new list may come in
    // while the box is open, and that report has the last word.
    setModelEnableButtonState(false);
    MessageBoxes::showStyledMessageBox(m_area->container(), tr(kTip),
                                       gone ? tr("删除模型成功")
                                            : tr("删除模型失败"));
}

// ---------------------------------------------------------------------------------------
// Recording a model

QString FaceModelFlow::askForName() {
    for (;;) {
        ModelNameDialog dialog(m_area->container());
        if (dialog.run() != QDialog::Accepted)
            return QString();
        const QString name = dialog.name();
        switch (m_list.checkName(name)) {
        case FaceModelList::NameCheck::Ok:
            return name;
        case FaceModelList::NameCheck::Empty:
            break;
        case FaceModelList::NameCheck::Duplicate:
            MessageBoxes::showStyledMessageBox(m_area->container(), tr(kTip),
                                               tr("模型已存在，请勿重复添加"));
            break;
        case FaceModelList::NameCheck::TooLong:
            MessageBoxes::showStyledMessageBox(m_area->container(), tr(kTip),
                                               tr("模型名称过长，请输入较短的名称"));
            break;
        }
    }
}

void FaceModelFlow::onAddModelClicked() {
    if (m_hooks.testConnection && !m_hooks.testConnection()) {
        MessageBoxes::warning(nullptr, tr("连接失败"),
                              tr("设备连接失败，请刷新设备后重新连接"));
        return;
    }
    const QString name = askForName();
    if (name.isEmpty())
        return;
    const int previousId = m_list.idAt(m_area->combo()->currentIndex());
    const int id = m_list.newModelId();
    const int index = m_list.appendUnlisted(id, name);
    m_area->combo()->addItem(name, id);
    m_area->combo()->setCurrentIndex(index);
    beginCollection(index, QString(), name, previousId);
    if (m_options.commandRecords)
        qDebug() << "Pending ReqSetFaceIdName - ID:" << id << "Name:" << name;
}

void FaceModelFlow::showFaceDataCollectionDialog(int modelIndex, const QString &originalName) {
    beginCollection(modelIndex, originalName, QString(), m_list.idAt(m_area->combo()->currentIndex()));
}

void FaceModelFlow::beginCollection(int modelIndex, const QString &originalName, const QString &pendingName,
                                    int previousId) {
    // One collection at a time: a new one ends the one before.
    const Collection next{true, false, m_list.idAt(modelIndex), originalName, pendingName, previousId};
    m_showAfterList = 0;
    if (m_collection.active && m_collection.modelId != next.modelId) {
        const int shownId = m_list.idAt(m_area->combo()->currentIndex());
        endCollection(true);
        m_area->selectQuietly(m_list.indexOfId(shownId)); // the new collection's item stays shown
    }
    m_collection = next;
    if (m_collectionDialog)
        m_collectionDialog->deleteLater();
    m_collectionDialog = new CollectionTipDialog(m_area->container());
    m_collectionDialog->setHoldsInput(m_options.tipHoldsInput);
    connect(m_collectionDialog, &CollectionTipDialog::confirmed, this, [this] {
        const int id = m_collection.modelId > 0 ? m_collection.modelId : m_list.smallestFreeId();
        m_collection.modelId = id;
        m_collection.started = true;
        emit startFaceDataCollection(id);
    });
    connect(m_collectionDialog, &CollectionTipDialog::abandoned, this, [this] { endCollection(true); });
    m_collectionDialog->show();
}

void FaceModelFlow::endCollection(bool rollBack) {
    const Collection ending = m_collection;
    m_collection = Collection();
    if (!rollBack || !ending.active)
        return;
    const int index = m_list.indexOfId(ending.modelId);
    if (index < 0)
        return;
    if (!ending.originalName.isEmpty()) {
        m_list.renameAt(index, ending.originalName);
        m_area->combo()->setItemText(index, ending.originalName);
    } else if (!m_list.at(index).listed) {
        // Only the item this collection added goes; a model the camera lists never does.
        m_list.removeAt(index);
        m_area->combo()->removeItem(index);
    }
    // Whatever the camera made of the unfinished recording, the model shown before is
    // shown again (none when there was none).
    m_area->selectQuietly(m_list.indexOfId(ending.previousId));
}

void FaceModelFlow::startInPreview(int modelId) {
    if (m_hooks.openPreview)
        m_hooks.openPreview();
    QTimer::singleShot(kStartDelayMs, m_timers, [this, modelId] {
        CameraWindow *window = m_hooks.preview ? m_hooks.preview() : nullptr;
        if (!window)
            return;
        window->setFaceModelId(modelId);
        window->showFaceCollectionPanel();
    });
}

void FaceModelFlow::onFaceCollectionSucceeded() {
    qDebug() << "Face data collection success, updating AI model names...";
    if (m_collection.active && !m_collection.pendingName.isEmpty()) {
        const QByteArray command =
            CommandTexts::setFaceIdName(m_collection.modelId, m_collection.pendingName);
        // Readable: the name may be in any script.
        qDebug().noquote() << "send ReqSetFaceIdName on face collection success -" << QString::fromUtf8(command);
        send(command);
    }
    if (m_collection.active)
        m_showAfterList = m_collection.modelId;
    endCollection(false);
    QTimer::singleShot(kRereadDelayMs, m_timers, [this] { requestFaceModels(); });
}

void FaceModelFlow::onFaceDataCollectionFailed() {
    if (!m_collection.active || !m_collection.started) {
        qDebug() << "Face data collection failure reported with no collection running; nothing to undo";
        return;
    }
    endCollection(true);
}
