#include "widget.h"

#include "builtin_param_pages.h"
#include "camera_config_transfer.h"
#include "camera_profile_restorer.h"
#include "camera_profile_store.h"
#include "preset_shortcuts.h"
#include "camera_param_reader.h"
#include "param_page_set.h"
#include "panel_resets.h"
#include "control_panel_chrome.h"
#include "debounced_param_sender.h"
#include "face_model_flow.h"
#include "device_connection_watcher.h"
#include "device_maintenance.h"
#include "device_rename_editor.h"
#include "device_slot_strip.h"
#include "model_panel.h"
#include "packet_cmd.h"
#include "firmware_upgrade.h"
#include "camera_window.h"
#include "ptz_area.h"
#include "command_texts.h"
#include "video_input_chooser.h"
#include "video_inputs.h"
#include "window_dragger.h"

#include <QAction>
#include <QCloseEvent>
#include <QDebug>
#include <QJsonObject>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
QIcon icon(const char *name)
{
    return QIcon(ControlPanelChrome::iconPath(name));
}
} // namespace

Widget::Widget(QWidget *parent)
    : QWidget(parent), m_dragger(this)
{
    // Null until the connections exist, as with none open.
    const DeviceSender::ManagerLookup managerAt = [this](int index) {
        return m_refresh ? m_refresh->manager(index) : nullptr;
    };
    m_camera = new PanelCameraContext(
        managerAt, &m_currentIndex,
        {DeviceSender::RequestLog::QtDebug, PanelCameraContext::ParamLog::ControlPanel},
        &m_routerState.quietProbe, this);
    m_upgradeSender = std::make_unique<DeviceSender>(managerAt, DeviceSender::RequestLog::QtDebug);
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    // Qualified, so that the boxes, dialogs and menus the panel parents keep their own look.
    setStyleSheet("Widget { background-color: transparent; }");
    resize(400, 800);
    setMinimumSize(400, 600);

    m_routerState.currentIndex = &m_currentIndex;
    m_router = new ReplyRouter(&m_routerState, this);
    connect(m_router, &ReplyRouter::deviceIdentified, this, &Widget::addDevice);
    connect(m_router, &ReplyRouter::directionReceived, this, &Widget::onDirectionReceived);

    // Table sends go through the panel's send guard like every other send.
    m_colourTables = ColourTables::forCamera(m_camera, this);
    m_colourPage = new ColourPage(m_colourTables, this);
    ColourPage::Hooks colourHooks;
    colourHooks.openPreview = [this] {
        m_previewToggle->setChecked(true);
        onCameraButtonClicked();
    };
    m_colourPage->setHooks(colourHooks);
    m_colourPage->picker()->setPreviewLookup([this]() -> QWidget * { return m_preview->cameraWindow(); });

    FirmwareUpgrade::Link upgradeLink;
    // The run's commands go to the camera it started on, found by its serial at each
    // send, whichever camera is active by then; gone, the send fails.
    upgradeLink.sendCmd = [this](quint32 cmdId, const void *payload, int length, char *reply, int capacity) {
        const int index = upgradeTargetIndex();
        return index >= 0 && m_upgradeSender->sendCmdToDevice(index, int(cmdId), payload, length, reply, capacity);
    };
    upgradeLink.sendData = [this](quint32 cmdId, const char *data, int length, char *reply, int capacity) {
        const int index = upgradeTargetIndex();
        return index >= 0 && m_upgradeSender->sendDataToDevice(index, int(cmdId), data, length, reply, capacity);
    };
    upgradeLink.holdTraffic = [this](bool hold) { holdCameraTraffic(hold); };
    upgradeLink.stopDetection = [this] { stopDeviceDetection(); };
    upgradeLink.startDetection = [this] { startDeviceDetection(); };
    upgradeLink.refreshDevices = [this] { handleRefresh(); };
    upgradeLink.restarting = [this] { expectRestart(upgradeTargetIndex()); };
    upgradeLink.previewWindow = [this]() -> QWidget * { return m_preview->cameraWindow(); };
    upgradeLink.identity = [this] {
        const DeviceEntry &entry = m_devices->entry(m_currentIndex);
        return entry.present ? qMakePair(entry.serial, entry.buildDate) : QPair<QString, QString>();
    };
    m_firmwareUpgrade = new FirmwareUpgrade(upgradeLink, this);
    m_profiles = new CameraProfileRestorer(
        [this](int index, quint32 cmdId, const QByteArray &text) {
            QByteArray reply(DeviceSender::kReplyBufferSize, '\0');
            if (!m_camera->sender().sendText(index, int(cmdId), text, reply.data(), int(reply.size())))
                return QByteArray();
            return QByteArray(reply.constData());
        },
        this);

    buildFrame();
    m_devices->loadNames();

    DeviceRefresh::Host refreshHost;
    refreshHost.camera = m_camera;
    refreshHost.router = m_router;
    refreshHost.routerState = &m_routerState;
    refreshHost.currentIndex = &m_currentIndex;
    refreshHost.list = m_devices;
    refreshHost.clearPanel = [this] {
        m_profiles->beginRefresh();
        m_refreshButton->setEnabled(false);
        showPtzPanel(false);
        m_builtIn->page()->hide();
        m_modelPanels->hideAll();
        clearDeviceList();
        m_noCameraLabel->hide();
    };
    refreshHost.finished = [this] { finishRefresh(); };
    m_refresh = new DeviceRefresh(refreshHost, this);

    ModelPanelHost::Context panels;
    panels.window = this;
    panels.body = m_bodyLayout;
    panels.anchor = m_ptzPanel;
    panels.kind = &m_panelKind;
    panels.preview = {[this] {
                          if (!m_previewToggle->isChecked())
                              openCameraWindow();
                      },
                      [this] { return m_preview->cameraWindow(); }};
    m_modelPanels = new ModelPanelHost(panels, this);
    connect(m_modelPanels, &ModelPanelHost::startFaceDataCollection, this, &Widget::startFaceDataCollection);
    connect(m_modelPanels, &ModelPanelHost::screenOrientationChanged, this, [this](bool landscape) {
        m_isLandscape = landscape;
        m_preview->setLandscape(landscape);
    });

    CameraRestartWatch::Host restartHost;
    restartHost.list = m_devices;
    restartHost.select = [this](int slot) { onSlotClicked(slot); };
    restartHost.showPtz = [this] { showPtzPanel(true); };
    restartHost.gaveUp = [this] {
        m_noCameraLabel->setText(ControlPanelChrome::tr(ControlPanelChrome::kNoCameraText));
        m_noCameraLabel->setVisible(m_devices->connectedCount() == 0);
    };
    m_restartWatch = new CameraRestartWatch(restartHost, this);

    PreviewController::Host previewHost;
    previewHost.window = this;
    previewHost.toggle = m_previewToggle;
    previewHost.camera = m_camera;
    previewHost.testConnection = [this] { return testDeviceConnection(); };
    previewHost.isListed = [this](int index) {
        QPushButton *button = m_slots->button(index);
        return button && button->isVisible() && button->isEnabled() && m_devices->item(index);
    };
    previewHost.chooseVideoInput = [this] {
        detectCameras();
        return m_selectedCameraId;
    };
    previewHost.isLandscape = [this] { return m_isLandscape; };
    previewHost.canProbe = [this](int index) {
        return index >= 0 && index < kMaxEntries && supportsDirectionProbe(m_devices->entry(index).productModel);
    };
    previewHost.restarting = [this](int index) { expectRestart(index); };
    previewHost.probe = [this](int index) {
        if (m_refresh->manager(index) && index < kMaxEntries)
            probeDirection(index);
    };
    m_preview = new PreviewController(previewHost, this);
    connectFaceModels();

    DeviceMaintenance::Host maintenanceHost;
    maintenanceHost.window = this;
    maintenanceHost.resetButton = m_resetButton;
    maintenanceHost.camera = m_camera;
    maintenanceHost.slotStrip = m_slots;
    maintenanceHost.deviceItem = [this](int index) { return m_devices->item(index); };
    maintenanceHost.rememberName = [this](const QString &key, const QString &name) { rememberDeviceName(key, name); };
    maintenanceHost.refreshDevices = [this] { handleRefresh(); };
    maintenanceHost.restarting = [this](int index) { expectRestart(index); };
    maintenanceHost.panelKind = [this] { return m_panelKind; };
    maintenanceHost.refreshCameraParams = [this] { refreshCameraParams(m_currentIndex); };
    maintenanceHost.activeResets = [this] {
        ModelPanel *panel = m_modelPanels->active();
        return panel ? panel->resets() : m_builtIn->resets();
    };
    m_maintenance = new DeviceMaintenance(maintenanceHost, this);
    m_rename = new DeviceRenameEditor(this);
    m_rename->setNameCheck([this](const QString &name) { return m_maintenance->acceptName(name); });
    connect(m_resetButton, &QPushButton::clicked, this, &Widget::showDeviceResetMenu);
    connect(m_slots, &DeviceSlotStrip::slotLabelDoubleClicked, this, &Widget::beginDeviceRename);
    connect(m_rename, &DeviceRenameEditor::renamed, m_maintenance, &DeviceMaintenance::applyDeviceName);

    m_watcher = new DeviceConnectionWatcher([this] { return isRefreshing(); }, this);
    connect(m_watcher, &DeviceConnectionWatcher::refreshDue, this, &Widget::handleRefresh);
    m_watcher->setLastCount(DeviceConnectionWatcher::interfaceCount());
    qDebug() << "初始设备数量（HID接口数）:" << m_watcher->lastCount();
    m_watcher->start();
    handleRefresh();
}

Widget::~Widget()
{
    m_refresh->releaseAll();
}

// ---------------------------------------------------------------------------------------
// Frame

void Widget::buildFrame()
{
    const ControlPanelChrome::Frame frame =
        ControlPanelChrome::buildFrame(this, [this](QWidget *body, QVBoxLayout *layout) {
            PtzCommands::Context ptz;
            ptz.send = [this](int index, const QByteArray &text) {
                return m_camera->sender().sendText(index, CmdJson, text);
            };
            ptz.currentIndex = &m_currentIndex;
            ptz.currentModel = &m_currentModel;
            ptz.sendEnabled = m_camera->sendEnabledFlag();
            m_ptzPanel = new PtzArea(ptz, this, body);
            m_ptzPanel->hide();
            layout->addWidget(m_ptzPanel);
            layout->addSpacing(15);
            layout->addWidget(buildBuiltInPage());
        });
    m_mainLayout = frame.main;
    m_bodyLayout = frame.body;
    m_minimizeButton = frame.title.minimize;
    m_closeButton = frame.title.close;
    m_footer = frame.footer;
    connect(m_minimizeButton, &QPushButton::clicked, this, &QWidget::showMinimized);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);
    connectDeviceListArea(frame.list);

    m_devices = new DeviceList(this, m_slots, this);
    connect(m_devices->tree(), &QTreeWidget::itemDoubleClicked, this, &Widget::onDeviceDoubleClicked);
}

void Widget::connectDeviceListArea(const ControlPanelChrome::DeviceListArea &list)
{
    m_deviceListArea = list.area;
    m_ptzToggle = list.header.ptzToggle;
    m_previewToggle = list.header.previewToggle;
    m_slots = list.slotStrip;
    m_noCameraLabel = list.noCamera;
    connect(m_ptzToggle, &QPushButton::clicked, this, &Widget::onPtzToggleClicked);
    connect(m_previewToggle, &QPushButton::clicked, this, &Widget::onCameraButtonClicked);
    connect(m_slots, &DeviceSlotStrip::slotClicked, this, &Widget::onSlotClicked);

    const ControlPanelChrome::ActionRow &actions = list.actions;
    m_refreshButton = actions.refresh;
    m_configButton = actions.config;
    m_resetButton = actions.reset;
    m_upgradeButton = actions.upgrade;
    m_importConfigAction = actions.importConfig;
    m_exportConfigAction = actions.exportConfig;
    connect(m_refreshButton, &QPushButton::clicked, this, &Widget::handleRefresh);
    connect(m_upgradeButton, &QPushButton::clicked, this, &Widget::onFirmwareUpgradeClicked);
    connect(m_importConfigAction, &QAction::triggered, this, &Widget::importCameraConfig);
    connect(m_exportConfigAction, &QAction::triggered, this, &Widget::exportCameraConfig);
    m_saveProfileAction = actions.saveProfile;
    m_restoreProfileAction = actions.restoreProfile;
    connect(m_saveProfileAction, &QAction::triggered, this, [this] {
        CameraParams record = m_camera->params();
        collectCameraParams(record);
        if (CameraProfileRestorer::saveWithNotice(this, m_currentSerial, record))
            m_restoreProfileAction->setChecked(true);
    });
    connect(m_restoreProfileAction, &QAction::toggled, this, [this](bool on) {
        if (!m_currentSerial.isEmpty())
            CameraProfileStore::setRestoreEnabled(m_currentSerial, on);
    });
}

QWidget *Widget::buildBuiltInPage()
{
    BuiltInPage::Context page;
    page.window = this;
    page.camera = m_camera;
    page.colourTables = m_colourTables;
    page.colourPage = m_colourPage;
    page.kind = &m_panelKind;
    page.reread = [this] { refreshCameraParams(m_currentIndex); };
    page.requestFaceModels = [this] { requestFaceModels(); };
    m_builtIn = new BuiltInPage(page, this);
    return m_builtIn->page();
}

void Widget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    ControlPanelChrome::paintFrame(painter, rect(), m_cornerRadius);
}

void Widget::mousePressEvent(QMouseEvent *event)
{
    // The top 40 px move the window, except on the two title buttons.
    QWidget *child = childAt(event->position().toPoint());
    if (m_dragger.press(event, event->position().y() < 40 && child != m_minimizeButton && child != m_closeButton))
        event->accept();
    else
        QWidget::mousePressEvent(event);
}

void Widget::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragger.move(event))
        event->accept();
    else
        QWidget::mouseMoveEvent(event);
}

void Widget::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragger.release(event);
    QWidget::mouseReleaseEvent(event);
}

void Widget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_builtIn)
        m_builtIn->content()->setMaximumWidth(width() - 30);
    if (m_footer)
        m_footer->setFixedWidth(width());
}

void Widget::closeEvent(QCloseEvent *event)
{
    m_devices->saveNames();
    QWidget::closeEvent(event);
}

// ---------------------------------------------------------------------------------------
// Names and maintenance

// Only the selected camera's name can be edited.
void Widget::beginDeviceRename(int index)
{
    QLabel *label = m_slots->label(index);
    if (index < 0 || !label || index >= m_refresh->count() || index != m_currentIndex)
        return;
    const QString key = m_maintenance->nameKey(index);
    m_rename->begin(index, label, key, m_devices->names().value(key, label->text()));
}

void Widget::finishDeviceRename() { m_rename->finish(); }
void Widget::showDeviceResetMenu() { m_maintenance->showDeviceResetMenu(); }
void Widget::onRebootClicked() { m_maintenance->onRebootClicked(); }
void Widget::onImageResetClicked() { m_maintenance->onImageResetClicked(); }
void Widget::onFactoryResetClicked() { m_maintenance->onFactoryResetClicked(); }
void Widget::resetImageDefaults() { m_maintenance->resetImageDefaults(); }
void Widget::resetFactoryDefaults() { m_maintenance->resetFactoryDefaults(); }

// ---------------------------------------------------------------------------------------
// Orientation and preview

void Widget::onDirectionReceived(int value)
{
    if (value != 1 && value != 2)
        return;
    m_direction = value;
    m_isLandscape = value == 1;
    m_preview->setLandscape(m_isLandscape);
}

void Widget::probeDirection(int index)
{
    if (index < 0 || index >= kMaxEntries || !supportsDirectionProbe(m_devices->entry(index).productModel))
        return;
    m_routerState.quietProbe = true;
    m_camera->sender().sendText(index, CmdJson, CommandTexts::getDeviceDirection());
}

void Widget::detectCameras()
{
    const int connected = m_devices->countConnected();
    if (connected == 0) {
        qDebug() << "没有设备接入，跳过摄像头检测";
        return;
    }
    m_selectedCameraId = VideoInputChooser::choose(VideoInputs::list(), m_selectionName, m_selectedCameraId, connected);
}

// ---------------------------------------------------------------------------------------
// Camera parameters

void Widget::refreshCameraParams(int deviceIndex)
{
    qDebug("index:%d", deviceIndex);
    m_currentIndex = deviceIndex;
    const auto exchange = [this](const QByteArray &request) { return m_camera->query(request); };
    if (!CameraParamReader::read(exchange, CameraParamReader::refreshProfile(), m_camera->params(), &m_sleepSetting))
        return;
    // The model panels take the record here once they exist; until then every camera
    // shows it on the built-in pages.
    applyCameraParams(m_camera->params(), false);
    if (!activeModelPanel())
        m_colourTables->readHsvTables();
}

// Activation step: the video parameters and settings of the camera just selected.
// Returns false when a reply ends the activation.
bool Widget::loadSelectedCamera()
{
    const int index = m_currentIndex;
    const auto exchange = [this](const QByteArray &request) { return m_camera->query(request); };
    // The built-in pages show the record here whatever the model; a model panel gets it
    // once it is chosen.
    const auto showVideo = [this, index] {
        m_currentIndex = index;
        m_builtIn->apply(m_camera->params(), false);
    };
    if (!CameraParamReader::read(exchange, CameraParamReader::selectionProfile(), m_camera->params(), &m_sleepSetting,
                                 showVideo))
        return false;
    m_builtIn->apply(m_camera->params(), false);
    return true;
}

void Widget::applyCameraParams(const CameraParams &params, bool fromFile)
{
    if (ModelPanel *panel = activeModelPanel())
        panel->applyParams(params, fromFile);
    else
        m_builtIn->apply(params, fromFile);
}

void Widget::collectCameraParams(CameraParams &params)
{
    if (ModelPanel *panel = activeModelPanel())
        panel->copyParams(params);
    else
        m_builtIn->paramPages()->collect(params);
}

void Widget::exportCameraConfig()
{
    CameraConfigTransfer::exportConfig(
        this, m_camera->params(), [this](CameraParams &record) { collectCameraParams(record); }, m_lastConfigDir);
}

void Widget::importCameraConfig()
{
    CameraConfigTransfer::importConfig(
        this, m_camera->params(), [this](const CameraParams &record) { applyCameraParams(record, true); },
        m_lastConfigDir);
}

void Widget::requestFaceModels()
{
    // The flow comes after the built-in page that asks for it.
    if (m_faceRouting)
        m_faceRouting->builtIn()->requestFaceModels();
}

void Widget::connectFaceModels()
{
    FaceModelFlow::Hooks hooks = FaceModelFlow::cameraHooks(m_camera);
    hooks.testConnection = [this] { return testDeviceConnection(); };
    hooks.openPreview = [this] {
        if (m_previewToggle->isChecked())
            return;
        m_previewToggle->setChecked(true);
        m_preview->onToggleClicked();
    };
    hooks.preview = [this] { return m_preview->cameraWindow(); };
    m_faceRouting = new FaceModelRouting(
        {m_builtIn->paramPages()->aiModelArea(), hooks, m_router, m_preview, m_modelPanels}, this);
    connect(m_faceRouting->builtIn(), &FaceModelFlow::startFaceDataCollection, this, &Widget::startFaceDataCollection);
}

// ---------------------------------------------------------------------------------------
// Refresh and activation

bool Widget::isRefreshing() const
{
    return !m_refreshButton->isEnabled();
}

bool Widget::isBusy() const
{
    return isRefreshing() || m_activating || m_firmwareUpgrade->upgradeDialog();
}

bool Widget::isUpgrading() const
{
    return m_firmwareUpgrade->isUpgrading();
}

int Widget::upgradeTargetIndex() const
{
    const QString serial = m_firmwareUpgrade->targetSerial();
    if (serial.isEmpty())
        return -1;
    for (int index = 0; index < DeviceList::kMaxEntries; ++index)
        if (m_devices->entry(index).present && m_devices->entry(index).serial == serial)
            return index;
    return -1;
}

void Widget::onFirmwareUpgradeClicked()
{
    m_firmwareUpgrade->onFirmwareUpgradeClicked();
}

void Widget::holdCameraTraffic(bool hold)
{
    DeviceSender::holdBus(hold ? m_upgradeSender.get() : nullptr);
    m_upgradeSender->forgetUnanswered();
    m_preview->setProbePaused(hold);
    m_camera->paramSender()->setHeld(hold);
    m_modelPanels->setHeld(hold);
    m_refresh->setHeld(hold);
}

void Widget::finishRefresh()
{
    const int connected = m_devices->countConnected();
    qDebug() << "刷新完成，连接设备数量:" << connected;
    m_watcher->setLastCount(m_refresh->seenCount());
    m_deviceListArea->show();
    m_restartWatch->reselect();
    m_noCameraLabel->setText(m_restartWatch->isWaiting() ? tr(kRestartingText)
                                                         : ControlPanelChrome::tr(ControlPanelChrome::kNoCameraText));
    m_noCameraLabel->setVisible(m_devices->connectedCount() == 0 || m_restartWatch->isWaiting());
    m_refreshButton->setEnabled(true);
    emit deviceListRefreshed();
}

void Widget::clearDeviceList()
{
    // The slots are about to hold other cameras: an open rename would go to whichever
    // camera takes its slot.
    if (m_rename)
        m_rename->cancel();
    m_devices->clear();
    m_currentIndex = -1;
    m_currentSerial.clear();
    m_noCameraLabel->show();
}

void Widget::cleanupAllDevices()
{
    stopDeviceDetection();
    m_refresh->releaseAll();
    clearDeviceList();
    qDebug() << "所有设备已清理完成";
}

void Widget::addDevice(int index, const QString &deviceName, const QString &serial, const QString &buildDate,
                       const QString &productModel)
{
    m_devices->add(index, deviceName, serial, buildDate, productModel);
    m_firmwareUpgrade->deviceIdentified(serial, buildDate);
    m_profiles->deviceIdentified(index, serial);
    m_devices->countConnected();
    if (m_noCameraLabel->isVisible())
        m_noCameraLabel->hide();
}

void Widget::setSelectedSeries(const QString &series)
{
    m_selectedSeries = QString(series).remove('"').trimmed();
    qDebug() << "设置当前选择的设备系列:" << m_selectedSeries;
}

void Widget::activateSeriesDevice(const QString &series)
{
    if (series.isEmpty()) {
        qDebug() << "传入的设备系列为空";
        return;
    }
    qDebug() << "尝试激活设备按钮，设备系列:" << series;
    const int found = m_devices->slotOfSeries(series);
    if (found < 0) {
        qDebug() << "未找到匹配的设备系列:" << series;
        return;
    }
    m_devices->highlight(found);
    m_devices->light(found);
    onDeviceDoubleClicked(m_devices->item(found), 0);
    qDebug() << "已成功激活设备按钮:" << found;
}

void Widget::onSlotClicked(int slot)
{
    QTreeWidgetItem *item = m_devices->item(slot);
    if (!item)
        return;
    m_devices->light(slot);
    onDeviceDoubleClicked(item, 0);
}

void Widget::onDeviceDoubleClicked(QTreeWidgetItem *item, int)
{
    if (!item || item == m_devices->rootItem())
        return;
    const QString deviceName = item->data(0, Qt::UserRole).toString();
    const QString serial = item->data(1, Qt::UserRole).toString();
    m_selectionName = DeviceEntry::selectionName(deviceName, serial);
    qDebug() << "双击选中的设备名:" << m_selectionName;
    if (!deviceName.isEmpty()) {
        m_preview->followActiveCamera();
        const int slot = m_devices->slotOf(item);
        if (slot >= 0) {
            m_devices->highlight(slot);
            m_devices->light(slot);
            qDebug() << "设备双击，激活按钮:" << slot;
        }
    }
    const QScopedValueRollback<bool> activating(m_activating, true);
    m_currentIndex = item->data(4, Qt::UserRole).toInt();
    const bool changed = m_currentSerial != serial;
    m_currentSerial = serial;
    if (changed)
        emit activeCameraChanged(serial);
    {
        const QSignalBlocker quiet(m_restoreProfileAction);
        m_restoreProfileAction->setChecked(CameraProfileStore::restoreEnabled(serial));
    }
    qDebug("index:%d", m_currentIndex);
    m_camera->sender().forgetUnanswered(m_currentIndex); // the user asks it again
    if (!loadSelectedCamera())
        return;

    m_currentModel = DeviceList::modelOf(item);
    m_ptzPanel->shortcuts()->setCamera(serial);
    m_ptzPanel->rebuildPtzArea(m_currentModel);
    if (readsColourTablesOnActivation(m_currentModel) &&
        !m_colourTables->readHsvTables(ColourTables::ReadMode::Activation))
        return;

    m_ptzPanel->show();
    m_ptzToggle->setChecked(true);
    m_ptzToggle->setIcon(icon("ptz_on.png"));
    m_deviceListArea->show();

    m_builtIn->page()->hide();
    m_modelPanels->hideAll();
    const PanelKind kind = panelKindForModel(m_currentModel);
    if (kind != PanelKind::None)
        m_panelKind = kind;
    if (kind == PanelKind::BuiltIn)
        m_builtIn->page()->show();
    else if (kind != PanelKind::None)
        m_modelPanels->show(kind, m_refresh->manager(m_currentIndex), m_currentIndex, m_camera->params(),
                            m_sleepSetting);
    m_mainLayout->removeWidget(m_footer);
    m_mainLayout->addWidget(m_footer);
}

void Widget::showPtzPanel(bool show)
{
    m_ptzPanel->setVisible(show);
    m_ptzToggle->setIcon(icon(show ? "ptz_on.png" : "ptz.png"));
    m_ptzToggle->setChecked(show);
}

// A camera restarting at the user's request is selected again once it is back.
void Widget::expectRestart(int index)
{
    if (index != m_currentIndex || m_currentSerial.isEmpty())
        return;
    m_restartWatch->expect(m_currentSerial, !m_ptzPanel->isHidden());
}

// ---------------------------------------------------------------------------------------
// The control API's view of the panel

bool Widget::activateCamera(const QString &serial)
{
    QTreeWidgetItem *item = m_devices->listedWithSerial(serial);
    if (!item)
        return false;
    const int slot = m_devices->slotOf(item);
    if (slot >= 0)
        onSlotClicked(slot);
    else
        onDeviceDoubleClicked(item, 0);
    return m_currentSerial == serial;
}

ParamPageSet *Widget::pagesForModel(const QString &productModel)
{
    const PanelKind kind = panelKindForModel(productModel);
    if (kind == PanelKind::BuiltIn)
        return m_builtIn->paramPages()->pages();
    if (kind == PanelKind::None)
        return nullptr;
    ModelPanel *panel = m_modelPanels->ensure(kind);
    return panel ? panel->pages() : nullptr;
}

void Widget::showSentValue(int index, const QString &key, int value)
{
    if (index < 0 || index != m_currentIndex)
        return;
    ModelPanel *panel = activeModelPanel();
    ParamPageSet *pages = panel ? panel->pages() : m_builtIn->paramPages()->pages();
    if (pages)
        pages->showReported(QJsonObject{{key, value}}, {key}, panel ? panel->camera()->params() : m_camera->params());
}

void Widget::recordWritten(int index)
{
    if (index >= 0 && index == m_currentIndex)
        refreshCameraParams(index);
}
