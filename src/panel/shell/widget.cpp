#include "widget.h"

#include "builtin_param_pages.h"
#include "camera_config_transfer.h"
#include "camera_profile_restorer.h"
#include "camera_profile_store.h"
#include "preset_shortcuts.h"
#include "camera_param_reader.h"
#include "palette_label.h"
#include "param_page_set.h"
#include "panel_resets.h"
#include "collapsible_group.h"
#include "control_panel_chrome.h"
#include "debounced_param_sender.h"
#include "face_model_flow.h"
#include "device_connection_watcher.h"
#include "device_maintenance.h"
#include "device_rename_editor.h"
#include "device_name_store.h"
#include "device_slot_strip.h"
#include "hid_manager.h"
#include "log_manager.h"
#include "message_boxes.h"
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
#include <QHBoxLayout>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <tuple>
#include <utility>

namespace {
QIcon icon(const char *name)
{
    return QIcon(ControlPanelChrome::iconPath(name));
}
} // namespace

Widget::Widget(QWidget *parent)
    : QWidget(parent), m_dragger(this)
{
    const DeviceSender::ManagerLookup managerAt = [this](int index) {
        return index >= 0 && index < m_hidManagers.size() ? m_hidManagers[index] : nullptr;
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
    upgradeLink.sendCmd = [this](quint32 cmdId, const void *payload, int length, char *reply, int capacity) {
        return m_upgradeSender->sendCmdToDevice(m_currentIndex, int(cmdId), payload, length, reply, capacity);
    };
    upgradeLink.sendData = [this](quint32 cmdId, const char *data, int length, char *reply, int capacity) {
        return m_upgradeSender->sendDataToDevice(m_currentIndex, int(cmdId), data, length, reply, capacity);
    };
    upgradeLink.holdTraffic = [this](bool hold) { holdCameraTraffic(hold); };
    upgradeLink.stopDetection = [this] { stopDeviceDetection(); };
    upgradeLink.startDetection = [this] { startDeviceDetection(); };
    upgradeLink.refreshDevices = [this] { handleRefresh(); };
    upgradeLink.restarting = [this] { expectRestart(m_currentIndex); };
    upgradeLink.previewWindow = [this]() -> QWidget * { return m_preview->cameraWindow(); };
    upgradeLink.identity = [this] {
        const DeviceEntry *entry =
            m_currentIndex >= 0 && m_currentIndex < kMaxEntries ? &m_deviceEntries[size_t(m_currentIndex)] : nullptr;
        return entry && entry->present ? qMakePair(entry->serial, entry->buildDate) : QPair<QString, QString>();
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
    loadDeviceNames();

    PreviewController::Host previewHost;
    previewHost.window = this;
    previewHost.toggle = m_previewToggle;
    previewHost.camera = m_camera;
    previewHost.testConnection = [this] { return testDeviceConnection(); };
    previewHost.isListed = [this](int index) {
        QPushButton *button = m_slots->button(index);
        return button && button->isVisible() && button->isEnabled() && m_deviceItems.value(index);
    };
    previewHost.chooseVideoInput = [this] {
        detectCameras();
        return m_selectedCameraId;
    };
    previewHost.isLandscape = [this] { return m_isLandscape; };
    previewHost.canProbe = [this](int index) {
        return index >= 0 && index < kMaxEntries && supportsDirectionProbe(m_deviceEntries[size_t(index)].productModel);
    };
    previewHost.probe = [this](int index) {
        if (index >= 0 && index < m_hidManagers.size() && index < kMaxEntries)
            probeDirection(index);
    };
    m_preview = new PreviewController(previewHost, this);
    connectFaceModels();

    DeviceMaintenance::Host maintenanceHost;
    maintenanceHost.window = this;
    maintenanceHost.resetButton = m_resetButton;
    maintenanceHost.camera = m_camera;
    maintenanceHost.slotStrip = m_slots;
    maintenanceHost.deviceItem = [this](int index) { return m_deviceItems.value(index); };
    maintenanceHost.rememberName = [this](const QString &key, const QString &name) { rememberDeviceName(key, name); };
    maintenanceHost.refreshDevices = [this] { handleRefresh(); };
    maintenanceHost.restarting = [this](int index) { expectRestart(index); };
    maintenanceHost.panelKind = [this] { return m_panelKind; };
    maintenanceHost.refreshCameraParams = [this] { refreshCameraParams(m_currentIndex); };
    maintenanceHost.activeResets = [this] {
        ModelPanel *panel = activeModelPanel();
        return panel ? panel->resets() : m_resets;
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
    releaseManagers();
}

// ---------------------------------------------------------------------------------------
// Frame

void Widget::buildFrame()
{
    m_mainLayout = new QVBoxLayout(this);
    m_mainLayout->setSpacing(0);
    m_mainLayout->setContentsMargins(0, 0, 0, 0);
    m_mainLayout->addWidget(buildTitleBar());

    auto *body = new QWidget(this);
    body->setObjectName("panelBody");
    body->setStyleSheet("QWidget#panelBody { background-color: #10121a; }");
    m_bodyLayout = new QVBoxLayout(body);
    m_bodyLayout->setSpacing(2);
    m_bodyLayout->setContentsMargins(15, 8, 15, 15);
    m_bodyLayout->setAlignment(Qt::AlignTop);
    m_bodyLayout->addWidget(buildDeviceListArea());

    PtzCommands::Context ptz;
    ptz.send = [this](int index, const QByteArray &text) { return m_camera->sender().sendText(index, CmdJson, text); };
    ptz.currentIndex = &m_currentIndex;
    ptz.currentModel = &m_currentModel;
    ptz.sendEnabled = m_camera->sendEnabledFlag();
    m_ptzPanel = new PtzArea(ptz, this, body);
    m_ptzPanel->hide();
    m_bodyLayout->addWidget(m_ptzPanel);
    m_bodyLayout->addSpacing(15);
    m_bodyLayout->addWidget(buildBuiltInPage());
    m_mainLayout->addWidget(body, 1);
    m_mainLayout->addWidget(buildFooter());

    // The tree holds every listed camera; only the first four get a button.
    m_deviceTree = new QTreeWidget(this);
    m_deviceTree->hide();
    m_deviceTree->setColumnCount(1);
    m_rootItem = new QTreeWidgetItem(m_deviceTree, QStringList{tr("所有设备")});
    connect(m_deviceTree, &QTreeWidget::itemDoubleClicked, this, &Widget::onDeviceDoubleClicked);
}

QWidget *Widget::buildTitleBar()
{
    const ControlPanelChrome::TitleBar bar = ControlPanelChrome::buildTitleBar(this);
    m_titleBar = bar.bar;
    m_minimizeButton = bar.minimize;
    m_closeButton = bar.close;
    connect(m_minimizeButton, &QPushButton::clicked, this, &QWidget::showMinimized);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);
    return m_titleBar;
}

QWidget *Widget::buildDeviceListArea()
{
    m_deviceListArea = new QWidget(this);
    auto *area = new QVBoxLayout(m_deviceListArea);
    area->setSpacing(1);
    area->setContentsMargins(0, 0, 0, 0);

    const ControlPanelChrome::ListHeader header = ControlPanelChrome::buildListHeader(m_deviceListArea);
    m_ptzToggle = header.ptzToggle;
    m_previewToggle = header.previewToggle;
    connect(m_ptzToggle, &QPushButton::clicked, this, &Widget::onPtzToggleClicked);
    connect(m_previewToggle, &QPushButton::clicked, this, &Widget::onCameraButtonClicked);
    area->addWidget(header.header);
    area->addSpacing(5);

    auto *slotRow = new QHBoxLayout;
    slotRow->setSpacing(15);
    slotRow->setAlignment(Qt::AlignCenter);
    m_slots = new DeviceSlotStrip(slotRow, m_deviceListArea);
    connect(m_slots, &DeviceSlotStrip::slotClicked, this, &Widget::onSlotClicked);
    area->addLayout(slotRow);

    const ControlPanelChrome::ActionRow actions = ControlPanelChrome::buildActionRow(m_deviceListArea);
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
    area->addLayout(actions.layout);

    m_noCameraLabel = ControlPanelChrome::buildNoCameraLabel(m_deviceListArea);
    area->addWidget(m_noCameraLabel);
    m_deviceListArea->hide();
    return m_deviceListArea;
}

QWidget *Widget::buildBuiltInPage()
{
    m_builtInContent = new QWidget;
    m_builtInPage = ControlPanelChrome::buildScrollPage(this, m_builtInContent);
    auto *layout = static_cast<QVBoxLayout *>(m_builtInContent->layout());
    auto *colourGroup = new CollapsibleGroup(
        tr("调色盘"), [this](QWidget *parent) { return buildColorPage(parent); }, m_builtInContent);
    colourGroup->setObjectName("colourGroup");
    colourGroup->setIcon(ControlPanelChrome::iconPath("palette.png"));
    layout->addWidget(colourGroup);
    layout->addStretch();
    addParameterGroups(layout);
    m_builtInPage->setWidget(m_builtInContent);
    m_builtInPage->hide();
    return m_builtInPage;
}

QWidget *Widget::buildFooter()
{
    m_footer = ControlPanelChrome::buildFooter(this);
    new HeightGrip(this, m_footer);
    return m_footer;
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
    if (m_builtInContent)
        m_builtInContent->setMaximumWidth(width() - 30);
    if (m_footer)
        m_footer->setFixedWidth(width());
}

void Widget::closeEvent(QCloseEvent *event)
{
    saveDeviceNames();
    QWidget::closeEvent(event);
}

// ---------------------------------------------------------------------------------------
// Device names

void Widget::loadDeviceNames()
{
    m_deviceNames = DeviceNameStore::load();
}

void Widget::saveDeviceNames()
{
    DeviceNameStore::save(m_deviceNames);
}

void Widget::rememberDeviceName(const QString &key, const QString &name)
{
    m_deviceNames[key] = name;
    saveDeviceNames();
}

// Only the selected camera's name can be edited.
void Widget::beginDeviceRename(int index)
{
    QLabel *label = m_slots->label(index);
    if (index < 0 || !label || index >= m_hidManagers.size() || index != m_currentIndex)
        return;
    const QString key = m_maintenance->nameKey(index);
    m_rename->begin(index, label, key, m_deviceNames.value(key, label->text()));
}

void Widget::finishDeviceRename() { m_rename->finish(); }
void Widget::showDeviceResetMenu() { m_maintenance->showDeviceResetMenu(); }
void Widget::onRebootClicked() { m_maintenance->onRebootClicked(); }
void Widget::onImageResetClicked() { m_maintenance->onImageResetClicked(); }
void Widget::onFactoryResetClicked() { m_maintenance->onFactoryResetClicked(); }
void Widget::resetImageDefaults() { m_maintenance->resetImageDefaults(); }
void Widget::resetFactoryDefaults() { m_maintenance->resetFactoryDefaults(); }

// ---------------------------------------------------------------------------------------
// Senders and routing

void Widget::onDataReceived(const QByteArray &data, void *deviceIndex)
{
    m_router->route(data, deviceIndex ? *static_cast<int *>(deviceIndex) : -1);
}

void Widget::onDirectionReceived(int value)
{
    if (value != 1 && value != 2)
        return;
    m_direction = value;
    m_isLandscape = value == 1;
    m_preview->setLandscape(m_isLandscape);
}

const DeviceEntry &Widget::deviceEntry(int index) const
{
    static const DeviceEntry none;
    return index >= 0 && index < kMaxEntries ? m_deviceEntries[size_t(index)] : none;
}

void Widget::probeDirection(int index)
{
    if (index < 0 || index >= kMaxEntries || !supportsDirectionProbe(m_deviceEntries[size_t(index)].productModel))
        return;
    m_routerState.quietProbe = true;
    m_camera->sender().sendText(index, CmdJson, CommandTexts::getDeviceDirection());
}

bool Widget::testDeviceConnection()
{
    return m_camera->testConnection();
}

void Widget::detectCameras()
{
    countConnectedDevices();
    if (m_connectedCount == 0) {
        qDebug() << "没有设备接入，跳过摄像头检测";
        return;
    }
    m_selectedCameraId =
        VideoInputChooser::choose(VideoInputs::list(), m_selectionName, m_selectedCameraId, m_connectedCount);
}

void Widget::onCameraButtonClicked()
{
    m_preview->onToggleClicked();
}

void Widget::openCameraWindow()
{
    m_preview->openForFaceModels();
}

void Widget::forwardPreviewCommand(const QString &command)
{
    m_preview->forward(command, PreviewController::Forwarding::Plain);
}

// ---------------------------------------------------------------------------------------
// Camera parameters

void Widget::addParameterGroups(QVBoxLayout *layout)
{
    BuiltInParamPages::Callbacks callbacks;
    callbacks.sendVideoParam = [this](const QString &key, const QString &value) { return sendVideoParam(key, value); };
    callbacks.sendSetting = [this](const QString &key, const QString &value) { return sendSystemSetting(key, value); };
    callbacks.rows.storeSlot = [this](int slot, int value) { m_camera->params()[slot] = value; };
    callbacks.rows.reloadAfterSceneChange = [this] {
        refreshCameraParams(m_currentIndex);
        m_colourTables->readHsvTables();
    };
    callbacks.rows.requestFaceModels = [this] { requestFaceModels(); };

    // The tone sliders make the camera recompute its colour tables.
    callbacks.rows.colourToneChanged = [this] {
        m_colourTables->tableRefreshTimer()->start();
        m_colourTables->scheduleYellowOrangeRuddyRefresh();
    };
    callbacks.showColourTables = [this](const CameraParams &params) {
        if (PaletteLabel *hue = m_colourPage->hueLabel())
            hue->setValues(ColourTables::recordTable(params, HsvKind::Hue).toList());
        if (PaletteLabel *sat = m_colourPage->satLabel())
            sat->setValues(ColourTables::recordTable(params, HsvKind::Saturation).toList());
    };
    callbacks.sendColourTables = [this](const CameraParams &params) {
        m_colourTables->sendHueTable(ColourTables::recordTable(params, HsvKind::Hue));
        m_colourTables->sendSaturationTable(ColourTables::recordTable(params, HsvKind::Saturation));
    };
    m_paramPages = new BuiltInParamPages(m_camera->guard(), callbacks, this);
    connect(m_colourTables, &ColourTables::yellowOrangeRuddyRead, this, [this](const QJsonObject &videoParam) {
        m_paramPages->showTones(videoParam, m_camera->params());
    });
    m_resets = new PanelResets({m_camera, m_colourTables, m_colourPage, m_paramPages->pages(),
                                [this] { refreshCameraParams(m_currentIndex); }, PanelResets::ToneReset::WithImageReset},
                               this);

    // "图像调节" and "对焦" go above everything else, "设置" last (before the stretch);
    // "调色盘" sits between them.
    const auto group = [this](const char *title, const char *iconFile, CollapsibleGroup::ContentFactory factory) {
        auto *g = new CollapsibleGroup(tr(title), factory, m_builtInContent);
        g->setIcon(ControlPanelChrome::iconPath(iconFile));
        return g;
    };
    m_imageGroup = group(QT_TR_NOOP("图像调节"), "image.png", [this](QWidget *parent) { return buildImagePage(parent); });
    m_focusGroup = group(QT_TR_NOOP("对焦"), "focus.png", [this](QWidget *parent) { return m_paramPages->buildFocusPage(parent); });
    m_settingsGroup = group(QT_TR_NOOP("设置"), "setting.png", [this](QWidget *parent) { return buildSettingsPage(parent); });
    layout->insertWidget(0, m_imageGroup);
    layout->insertWidget(1, m_focusGroup);
    layout->insertWidget(layout->count() - 1, m_settingsGroup);

    // Built for the panels that split the pages by theme; not placed on this page.
    m_paramPages->buildThemeGroups(m_builtInContent);
}

QWidget *Widget::buildImagePage(QWidget *parent)
{
    return m_paramPages->buildImagePage(parent);
}

QWidget *Widget::buildSettingsPage(QWidget *parent)
{
    return m_paramPages->buildSettingsPage(parent);
}

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
        applyBuiltInPages(m_camera->params(), false);
    };
    if (!CameraParamReader::read(exchange, CameraParamReader::selectionProfile(), m_camera->params(), &m_sleepSetting,
                                 showVideo))
        return false;
    applyBuiltInPages(m_camera->params(), false);
    return true;
}

void Widget::applyCameraParams(const CameraParams &params, bool fromFile)
{
    if (ModelPanel *panel = activeModelPanel())
        panel->applyParams(params, fromFile);
    else
        applyBuiltInPages(params, fromFile);
}

void Widget::applyBuiltInPages(const CameraParams &params, bool fromFile)
{
    m_paramPages->apply(params, fromFile);
    // The model panels of kinds 1 and 4 ask for their face lists themselves.
    const bool faceModels = m_panelKind != PanelKind::WpBefa && m_panelKind != PanelKind::Lnq;
    if (faceModels && params[CameraParams::FocusMode] == 6 && !m_paramPages->aiModelArea()->isHidden())
        requestFaceModels();
}

void Widget::collectCameraParams(CameraParams &params)
{
    if (ModelPanel *panel = activeModelPanel())
        panel->copyParams(params);
    else
        m_paramPages->collect(params);
}

ModelPanel *Widget::modelPanel(PanelKind kind) const
{
    return m_modelPanels.value(kind);
}

ModelPanel *Widget::activeModelPanel() const
{
    return m_panelKind == PanelKind::BuiltIn ? nullptr : modelPanel(m_panelKind);
}

ModelPanel *Widget::ensureModelPanel(PanelKind kind)
{
    if (ModelPanel *panel = m_modelPanels.value(kind))
        return panel;
    ModelPanel *panel = ModelPanelFactory::create(kind, this);
    if (!panel)
        return nullptr;
    const char *name = "rv_k310a_wp_befa_container";
    if (kind == PanelKind::Lnq) {
        qDebug() << "create rv k310a lnq ui";
        name = "rv_k310a_lnq_container";
    } else if (kind == PanelKind::T782) {
        qDebug() << "create rv t782 kb befa ui";
        name = "rv_t782_kb_befa_container";
    } else {
        qDebug() << "create rv k310a wp befa ui";
    }
    panel->setPreviewAccess({[this] {
                                 if (!m_previewToggle->isChecked())
                                     openCameraWindow();
                             },
                             [this] { return m_preview->cameraWindow(); }});
    panel->buildUi();
    auto *container = new QWidget(this);
    container->setObjectName(QString::fromLatin1(name));
    auto *layout = new QVBoxLayout(container);
    layout->setContentsMargins(8, 8, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel);
    m_bodyLayout->insertWidget(m_bodyLayout->indexOf(m_ptzPanel) + 1, container, 1);
    container->hide();
    if (kind != PanelKind::T782) {
        connect(panel, &ModelPanel::startFaceDataCollection, this, &Widget::startFaceDataCollection);
    }
    if (kind == PanelKind::Lnq)
        connect(panel, &ModelPanel::screenOrientationChanged, this, [this](bool landscape) {
            m_isLandscape = landscape;
            m_preview->setLandscape(landscape);
        });
    m_modelPanels.insert(kind, panel);
    m_modelContainers.insert(kind, container);
    return panel;
}

// Activation step: shows the panel of a model kind with the active camera's record.
void Widget::showModelPanel(PanelKind kind)
{
    ModelPanel *panel = ensureModelPanel(kind);
    if (!panel)
        return;
    m_modelContainers.value(kind)->show();
    panel->setDevice(m_hidManagers.value(m_currentIndex), m_currentIndex);
    panel->applyParams(m_camera->params(), false);
    if (kind == PanelKind::WpBefa)
        panel->setSleepSwitch(m_sleepSetting != 0);
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

bool Widget::sendVideoParam(const QString &key, const QString &value)
{
    return m_camera->sendVideoParam(key, value);
}

bool Widget::sendSystemSetting(const QString &key, const QString &value)
{
    return m_camera->sendSystemSetting(key, value);
}

void Widget::requestFaceModels()
{
    if (m_faceModels)
        m_faceModels->requestFaceModels();
}

FaceModelFlow *Widget::activeFaceModels() const
{
    ModelPanel *panel = activeModelPanel();
    FaceModelFlow *own = panel ? panel->faceModels() : nullptr;
    return own ? own : m_faceModels;
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
    m_faceModels = new FaceModelFlow(m_paramPages->aiModelArea(), hooks, FaceModelFlow::Options(), this);
    connect(m_faceModels, &FaceModelFlow::startFaceDataCollection, this, &Widget::startFaceDataCollection);

    // Replies and outcomes go to the flow of the panel that shows the camera.
    connect(m_router, &ReplyRouter::faceIdsReceived, this,
            [this](const QList<int> &ids) { activeFaceModels()->handleFaceIdsResponse(ids); });
    connect(m_router, &ReplyRouter::faceNamesReceived, this,
            [this](const QStringList &names) { activeFaceModels()->setFaceNames(names); });
    connect(m_router, &ReplyRouter::enabledFaceIdReceived, this,
            [this](int id) { activeFaceModels()->handleEnabledFaceIdResponse(id); });
    connect(m_router, &ReplyRouter::faceModeIdsReceived, this,
            [this](int face, int portrait, bool hasFace, bool hasPortrait) {
                activeFaceModels()->handleFaceModeIds(face, portrait, hasFace, hasPortrait);
            });
    connect(m_router, &ReplyRouter::collectionStatusReceived, this,
            [this](const QString &status, int index) { activeFaceModels()->handleCollectionStatus(status, index); });
    connect(m_preview, &PreviewController::faceDataCollectionSuccess, this,
            [this] { activeFaceModels()->onFaceCollectionSucceeded(); });
    connect(m_preview, &PreviewController::faceDataCollectionFailed, this,
            [this] { activeFaceModels()->onFaceDataCollectionFailed(); });
}

// ---------------------------------------------------------------------------------------
// Detection and refresh

bool Widget::isRefreshing() const
{
    return !m_refreshButton->isEnabled();
}

bool Widget::isBusy() const
{
    return isRefreshing() || m_activating || m_firmwareUpgrade->upgradeDialog();
}

void Widget::onFirmwareUpgradeClicked()
{
    m_firmwareUpgrade->onFirmwareUpgradeClicked();
}

void Widget::releaseManagers()
{
    for (HIDManager *manager : std::as_const(m_hidManagers)) {
        disconnect(manager, nullptr, this, nullptr);
        manager->closeDevice();
        manager->waitForDeviceClose(500);
    }
    qDeleteAll(m_hidManagers);
    m_hidManagers.clear();
    m_currentIndex = -1;
    m_routerState.deviceInfoQuery = false;
    m_routerState.quietProbe = false;
    for (DeviceEntry &entry : m_deviceEntries)
        entry = DeviceEntry();
}

void Widget::holdCameraTraffic(bool hold)
{
    DeviceSender::holdBus(hold ? m_upgradeSender.get() : nullptr);
    m_upgradeSender->forgetUnanswered();
    m_preview->setProbePaused(hold);
    m_camera->paramSender()->setHeld(hold);
    for (ModelPanel *panel : std::as_const(m_modelPanels))
        panel->camera()->paramSender()->setHeld(hold);
    // The refresh asked for meanwhile comes once the held values have gone out.
    if (!hold && std::exchange(m_refreshAfterUpgrade, false))
        QTimer::singleShot(DebouncedParamSender::kDefaultIntervalMs, this, &Widget::handleRefresh);
}

void Widget::handleRefresh()
{
    // A refresh closes every connection, the upgrading camera's too: it waits.
    if (DeviceSender::isBusHeld()) {
        qDebug() << "固件升级进行中，设备列表在升级结束后刷新";
        m_refreshAfterUpgrade = true;
        return;
    }
    qDebug() << "on handleRefresh";
    m_profiles->beginRefresh();
    m_refreshButton->setEnabled(false);
    showPtzPanel(false);
    m_builtInPage->hide();
    for (QWidget *container : std::as_const(m_modelContainers))
        container->hide();
    clearDeviceList();
    m_noCameraLabel->hide();
    releaseManagers();

    HIDManager scanner;
    const quint16 vendorId = cameraVendorId();
    const QList<HidDeviceInfo> found = scanner.enumerateDevices(vendorId);
    // The watcher compares with what this refresh saw, so that a camera coming or going
    // while the refresh runs (one restarting after a rename, say) brings another refresh.
    m_refreshSeenCount = int(found.size());
    for (const HidDeviceInfo &info : found) {
        if (info.vendorId != vendorId)
            continue;
        auto *manager = new HIDManager;
        if (manager->openDevice(info.path)) {
            qDebug() << "Opened device at path:" << info.path;
            m_hidManagers << manager;
            connect(manager, &HIDManager::dataReceived, this, &Widget::onDataReceived);
        } else {
            qWarning() << "Failed to open device at path:" << info.path;
            delete manager;
        }
    }

    m_camera->sender().forgetUnanswered();
    m_routerState.deviceInfoQuery = true;
    for (int i = 0; i < m_hidManagers.size(); ++i)
        m_camera->sender().sendCmdToDevice(i, CmdGetDeviceInfo, nullptr, 0, nullptr);
    m_routerState.deviceInfoQuery = false;

    QTimer::singleShot(kRefreshFinishMs, this, &Widget::finishRefresh);
}

void Widget::finishRefresh()
{
    countConnectedDevices();
    qDebug() << "刷新完成，连接设备数量:" << m_connectedCount;
    m_watcher->setLastCount(m_refreshSeenCount);
    m_deviceListArea->show();
    reselectRestartedCamera();
    m_noCameraLabel->setText(m_restart.serial.isEmpty() ? ControlPanelChrome::tr(ControlPanelChrome::kNoCameraText)
                                                        : tr(kRestartingText));
    m_noCameraLabel->setVisible(m_connectedCount == 0 || !m_restart.serial.isEmpty());
    m_refreshButton->setEnabled(true);
    emit deviceListRefreshed();
}

void Widget::clearDeviceList()
{
    // The slots are about to hold other cameras: an open rename would go to whichever
    // camera takes its slot.
    if (m_rename)
        m_rename->cancel();
    qDeleteAll(m_rootItem->takeChildren());
    m_slots->clear();
    m_deviceItems.clear();
    m_currentIndex = -1;
    m_currentSerial.clear();
    m_connectedCount = 0;
    m_noCameraLabel->show();
}

void Widget::cleanupAllDevices()
{
    stopDeviceDetection();
    releaseManagers();
    clearDeviceList();
    qDebug() << "所有设备已清理完成";
}

void Widget::addDevice(int index, const QString &deviceName, const QString &serial, const QString &buildDate,
                       const QString &productModel)
{
    const QString tail = DeviceEntry::serialTail(serial);
    auto *item = new QTreeWidgetItem(m_rootItem, QStringList{deviceName + "-" + tail + "-" + buildDate});
    item->setData(0, Qt::UserRole, deviceName);
    item->setData(1, Qt::UserRole, serial);
    item->setData(2, Qt::UserRole, buildDate);
    item->setData(3, Qt::UserRole, productModel);
    item->setData(4, Qt::UserRole, index);
    if (index >= 0 && index < DeviceSlotStrip::kSlotCount) {
        while (m_deviceItems.size() <= index)
            m_deviceItems << nullptr;
        m_deviceItems[index] = item;
        const QString key = displayNameForModel(productModel) + "-" + tail;
        const QString label = m_deviceNames.value(key, key);
        m_slots->showDevice(index, label,
                            tr("型号: %1\n序列号: %2\n生产日期: %3").arg(productModel, serial, buildDate),
                            iconBaseForModel(productModel));
        if (index < kMaxEntries)
            m_deviceEntries[size_t(index)] = DeviceEntry{deviceName, serial, buildDate, productModel, true};
        qDebug() << "更新设备信息: index=" << index << ", SN=" << serial << ", Name=" << deviceName;
        qDebug() << "设备" << index + 1 << "已连接，显示对应按钮";
    } else if (index >= 0 && index < kMaxEntries) {
        m_deviceEntries[size_t(index)] = DeviceEntry{deviceName, serial, buildDate, productModel, true};
    }
    m_firmwareUpgrade->deviceIdentified(serial, buildDate);
    m_profiles->deviceIdentified(index, serial);
    countConnectedDevices();
    if (m_noCameraLabel->isVisible())
        m_noCameraLabel->hide();
}

void Widget::countConnectedDevices()
{
    int count = 0;
    for (int i = 0; i < DeviceSlotStrip::kSlotCount; ++i)
        if (m_slots->button(i)->isEnabled() && m_deviceItems.value(i))
            ++count;
    m_connectedCount = count;
    qDebug() << "当前连接的设备数量:" << count;
}

QStringList Widget::connectedDeviceSeries() const
{
    QStringList series;
    for (int i = 0; i < DeviceSlotStrip::kSlotCount; ++i) {
        QTreeWidgetItem *item = m_deviceItems.value(i);
        if (!item)
            continue;
        const QString name = seriesOfModel(item->data(3, Qt::UserRole).toString());
        if (!name.isEmpty())
            series << name;
    }
    return series;
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
    int found = -1;
    for (int i = 0; i < DeviceSlotStrip::kSlotCount && found < 0; ++i) {
        QTreeWidgetItem *item = m_deviceItems.value(i);
        if (!item)
            continue;
        const QString model = item->data(3, Qt::UserRole).toString();
        const QString name = displayNameForModel(model);
        qDebug() << "检查设备" << i << ": 产品型号=" << model << ", 显示名称=" << name;
        if (name == series || (series == "A1" && (name == "A3" || name == "QV-AI k4")))
            found = i;
    }
    if (found < 0) {
        qDebug() << "所有检测到的设备:";
        for (QTreeWidgetItem *item : std::as_const(m_deviceItems))
            if (item)
                qDebug() << item->text(0);
        qDebug() << "未找到匹配的设备系列:" << series;
        return;
    }
    highlightDeviceButton(found);
    DeviceSlotStrip::setDeviceButtonStyle(m_slots->button(found),
                                          iconBaseForModel(m_deviceItems[found]->data(3, Qt::UserRole).toString()), true);
    onDeviceDoubleClicked(m_deviceItems[found], 0);
    qDebug() << "已成功激活设备按钮:" << found;
}

void Widget::highlightDeviceButton(int active)
{
    for (int i = 0; i < DeviceSlotStrip::kSlotCount; ++i) {
        QPushButton *button = m_slots->button(i);
        if (QTreeWidgetItem *item = m_deviceItems.value(i))
            DeviceSlotStrip::setDeviceButtonStyle(button, iconBaseForModel(item->data(3, Qt::UserRole).toString()),
                                                  i == active);
        else if (button->isEnabled())
            DeviceSlotStrip::setPlainStyle(button);
    }
}

void Widget::onSlotClicked(int slot)
{
    QTreeWidgetItem *item = m_deviceItems.value(slot);
    if (!item)
        return;
    DeviceSlotStrip::setDeviceButtonStyle(m_slots->button(slot), iconBaseForModel(item->data(3, Qt::UserRole).toString()),
                                          true);
    onDeviceDoubleClicked(item, 0);
}

void Widget::onDeviceDoubleClicked(QTreeWidgetItem *item, int)
{
    if (!item || item == m_rootItem)
        return;
    const QString deviceName = item->data(0, Qt::UserRole).toString();
    const QString serial = item->data(1, Qt::UserRole).toString();
    m_selectionName = DeviceEntry::selectionName(deviceName, serial);
    qDebug() << "双击选中的设备名:" << m_selectionName;
    if (!deviceName.isEmpty()) {
        m_preview->followActiveCamera();
        const int slot = int(m_deviceItems.indexOf(item));
        if (slot >= 0) {
            highlightDeviceButton(slot);
            DeviceSlotStrip::setDeviceButtonStyle(m_slots->button(slot),
                                                  iconBaseForModel(item->data(3, Qt::UserRole).toString()), true);
            qDebug() << "设备双击，激活按钮:" << slot;
        }
    }
    const QScopedValueRollback<bool> activating(m_activating, true);
    m_currentIndex = item->data(4, Qt::UserRole).toInt();
    m_currentSerial = serial;
    {
        const QSignalBlocker quiet(m_restoreProfileAction);
        m_restoreProfileAction->setChecked(CameraProfileStore::restoreEnabled(serial));
    }
    qDebug("index:%d", m_currentIndex);
    m_camera->sender().forgetUnanswered(m_currentIndex); // the user asks it again
    if (!loadSelectedCamera())
        return;

    m_currentModel = item->data(3, Qt::UserRole).toString();
    m_ptzPanel->shortcuts()->setCamera(serial);
    m_ptzPanel->rebuildPtzArea(m_currentModel);
    if (readsColourTablesOnActivation(m_currentModel) &&
        !m_colourTables->readHsvTables(ColourTables::ReadMode::Activation))
        return;

    m_ptzPanel->show();
    m_ptzToggle->setChecked(true);
    m_ptzToggle->setIcon(icon("ptz_on.png"));
    m_deviceListArea->show();

    m_builtInPage->hide();
    for (QWidget *container : std::as_const(m_modelContainers))
        container->hide();
    const PanelKind kind = panelKindForModel(m_currentModel);
    if (kind != PanelKind::None)
        m_panelKind = kind;
    if (kind == PanelKind::BuiltIn)
        m_builtInPage->show();
    else if (kind != PanelKind::None)
        showModelPanel(kind);
    m_mainLayout->removeWidget(m_footer);
    m_mainLayout->addWidget(m_footer);
}

void Widget::onPtzToggleClicked()
{
    showPtzPanel(m_ptzPanel->isHidden());
}

void Widget::showPtzPanel(bool show)
{
    m_ptzPanel->setVisible(show);
    m_ptzToggle->setIcon(icon(show ? "ptz_on.png" : "ptz.png"));
    m_ptzToggle->setChecked(show);
}

// ---------------------------------------------------------------------------------------
// A camera restarting at the user's request (restart, factory reset, rename, firmware)
// leaves the bus and comes back: the refresh that lists it again selects it again.

void Widget::expectRestart(int index)
{
    if (index != m_currentIndex || m_currentSerial.isEmpty())
        return;
    m_restart = Restart{m_currentSerial, !m_ptzPanel->isHidden(), false};
    QTimer::singleShot(kRestartWaitMs, this, [this, serial = m_currentSerial] {
        if (m_restart.serial != serial)
            return;
        qWarning() << "设备重启后未重新连接:" << serial;
        m_restart = Restart();
        m_noCameraLabel->setText(ControlPanelChrome::tr(ControlPanelChrome::kNoCameraText));
        m_noCameraLabel->setVisible(m_connectedCount == 0);
    });
}

void Widget::reselectRestartedCamera()
{
    if (m_restart.serial.isEmpty())
        return;
    int slot = -1;
    for (int i = 0; i < m_deviceItems.size() && slot < 0; ++i)
        if (m_deviceItems[i] && m_deviceItems[i]->data(1, Qt::UserRole).toString() == m_restart.serial)
            slot = i;
    if (slot < 0) {
        m_restart.seenGone = true;
        return;
    }
    const Restart restart = m_restart;
    // Listed before it left: selected again, still waiting for it to come back.
    if (restart.seenGone)
        m_restart = Restart();
    qDebug() << "重启的设备已重新连接，重新选中:" << restart.serial;
    onSlotClicked(slot);
    if (restart.ptzShown)
        showPtzPanel(true);
}

// ---------------------------------------------------------------------------------------
// The control API's view of the panel

QList<QPair<int, DeviceEntry>> Widget::listedCameras() const
{
    QList<QPair<int, DeviceEntry>> cameras;
    for (int i = 0; i < m_rootItem->childCount(); ++i) {
        const QTreeWidgetItem *item = m_rootItem->child(i);
        cameras << qMakePair(item->data(4, Qt::UserRole).toInt(),
                             DeviceEntry{item->data(0, Qt::UserRole).toString(), item->data(1, Qt::UserRole).toString(),
                                         item->data(2, Qt::UserRole).toString(), item->data(3, Qt::UserRole).toString(),
                                         true});
    }
    return cameras;
}

bool Widget::activateCamera(const QString &serial)
{
    for (int i = 0; i < m_rootItem->childCount() && !serial.isEmpty(); ++i) {
        QTreeWidgetItem *item = m_rootItem->child(i);
        if (item->data(1, Qt::UserRole).toString() != serial)
            continue;
        const int slot = int(m_deviceItems.indexOf(item));
        if (slot >= 0)
            onSlotClicked(slot);
        else
            onDeviceDoubleClicked(item, 0);
        return m_currentSerial == serial;
    }
    return false;
}

ParamPageSet *Widget::pagesForModel(const QString &productModel)
{
    const PanelKind kind = panelKindForModel(productModel);
    if (kind == PanelKind::BuiltIn)
        return m_paramPages->pages();
    if (kind == PanelKind::None)
        return nullptr;
    ModelPanel *panel = ensureModelPanel(kind);
    return panel ? panel->pages() : nullptr;
}

void Widget::showSentValue(int index, const QString &key, int value)
{
    if (index < 0 || index != m_currentIndex)
        return;
    ModelPanel *panel = activeModelPanel();
    ParamPageSet *pages = panel ? panel->pages() : m_paramPages->pages();
    if (pages)
        pages->showReported(QJsonObject{{key, value}}, {key}, panel ? panel->camera()->params() : m_camera->params());
}

void Widget::recordWritten(int index)
{
    if (index >= 0 && index == m_currentIndex)
        refreshCameraParams(index);
}
