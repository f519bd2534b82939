#pragma once

#include "built_in_page.h"
#include "builtin_param_pages.h"
#include "camera_restart_watch.h"
#include "device_connection_watcher.h"
#include "device_entry.h"
#include "device_list.h"
#include "device_refresh.h"
#include "camera_params.h"
#include "device_models.h"
#include "device_sender.h"
#include "face_model_routing.h"
#include "model_panel_host.h"
#include "panel_camera_context.h"
#include "preview_controller.h"
#include "ptz_area.h"
#include "reply_router.h"
#include "window_dragger.h"
#include "colour_page.h"
#include "colour_picker.h"
#include "colour_tables.h"
#include "control_panel_chrome.h"

#include <QList>
#include <QMap>
#include <QPoint>
#include <QString>
#include <QVariant>
#include <QScrollArea>
#include <QWidget>

#include <memory>

class CameraWindow;
class DeviceMaintenance;
class FaceModelFlow;
class DeviceRenameEditor;
class QAction;
class DeviceSlotStrip;
class BuiltInParamPages;
class DebouncedParamSender;
class CameraProfileRestorer;
class FirmwareUpgrade;
class ModelPanel;
class ParamPageSet;
class PanelResets;
class QLabel;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

// The control panel: activation of a camera, and the wiring of the feature objects it
// owns (the device list and its refresh cycle, the reply routing, the built-in page and
// the model panels, preview, maintenance, firmware upgrade, colour) in the frame the
// chrome lays out. Its slots are thin entry points into those objects.
class Widget : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxEntries = DeviceList::kMaxEntries;
    // How long the panel waits for a camera restarting at the user's request.
    static constexpr int kRestartWaitMs = CameraRestartWatch::kWaitMs;
    static constexpr const char *kRestartingText = QT_TRANSLATE_NOOP("Widget", "相机正在重启，请稍候…");
    static constexpr int kRefreshFinishMs = DeviceRefresh::kFinishMs;

    explicit Widget(QWidget *parent = nullptr);
    ~Widget() override;

    // Used by the startup window.
    void handleRefresh() { m_refresh->refresh(); }
    QStringList connectedDeviceSeries() const { return m_devices->connectedSeries(); }
    void setSelectedSeries(const QString &series);
    void activateSeriesDevice(const QString &series);

    // Used by the reply routing.
    void addDevice(int index, const QString &deviceName, const QString &serial, const QString &buildDate,
                   const QString &productModel);

    // The senders, working over the connections of m_refresh.
    bool sendCmdToDevice(int index, int cmdId, const void *payload, int length, char *reply)
    {
        return m_camera->sender().sendCmdToDevice(index, cmdId, payload, length, reply);
    }
    bool sendDataToDevice(int index, int cmdId, const char *data, int length, char *reply)
    {
        return m_camera->sender().sendDataToDevice(index, cmdId, data, length, reply);
    }
    bool sendToDevice(int index, const QByteArray &packet) { return m_camera->sender().sendToDevice(index, packet); }
    QByteArray readFromDevice(int index, void *arg) { return m_camera->sender().readFromDevice(index, arg); }
    // The built-in pages' camera context: the active camera, the record, the send
    // guard, the debounced sender and the senders.
    PanelCameraContext *cameraContext() const { return m_camera; }

    void probeDirection(int index);
    bool testDeviceConnection() { return m_camera->testConnection(); }
    void detectCameras();
    // Opens the preview for the face-model flows (no connection test).
    void openCameraWindow() { m_preview->openForFaceModels(); }
    void forwardPreviewCommand(const QString &command)
    {
        m_preview->forward(command, PreviewController::Forwarding::Plain);
    }
    PreviewController *preview() const { return m_preview; }
    CameraWindow *cameraWindow() const { return m_preview->cameraWindow(); }

    // Colour tables and colour picking; the work is done by m_colourTables and m_colourPage.
    bool readHsvTables() { return m_colourTables->readHsvTables(); }
    void sendHueTable(const HsvTable &table) { m_colourTables->sendHueTable(table); }
    void sendSaturationTable(const HsvTable &table) { m_colourTables->sendSaturationTable(table); }
    void resetHueTable() { m_colourPage->resetHueTable(); }
    void resetSaturationTable() { m_colourPage->resetSaturationTable(); }
    void refreshYellowOrangeRuddy() { m_colourTables->refreshYellowOrangeRuddy(); }
    void startColorPicking() { m_colourPage->startColorPicking(); }
    void stopColorPicking() { m_colourPage->stopColorPicking(); }
    void onColorPicked(const QColor &colour) { m_colourPage->onColorPicked(colour); }
    void highlightPointsForColor(const QColor &colour) { m_colourPage->highlightPointsForColor(colour); }
    void clearColorHighlights() { m_colourPage->clearColorHighlights(); }
    static int nearestHueIndex(const QColor &colour) { return ColourPicker::nearestHueIndex(colour); }
    QWidget *buildColorPage(QWidget *parent) { return m_colourPage->buildColorPage(parent); }
    void showPaletteDialog() { m_colourPage->showPaletteDialog(); }
    ColourTables *colourTables() const { return m_colourTables; }
    ColourPage *colourPage() const { return m_colourPage; }
    QTimer *tableRefreshTimer() const { return m_colourTables->tableRefreshTimer(); }

    // Camera parameters: the record of the active camera and the built-in pages that
    // show it (the pages' work is done by m_paramPages).
    void refreshCameraParams(int deviceIndex);
    void applyCameraParams(const CameraParams &params, bool fromFile);
    void collectCameraParams(CameraParams &params);
    bool sendVideoParam(const QString &key, const QString &value) { return m_camera->sendVideoParam(key, value); }
    bool sendSystemSetting(const QString &key, const QString &value) { return m_camera->sendSystemSetting(key, value); }
    QWidget *buildImagePage(QWidget *parent) { return paramPages()->buildImagePage(parent); }
    QWidget *buildSettingsPage(QWidget *parent) { return paramPages()->buildSettingsPage(parent); }
    const CameraParams &cameraParams() const { return m_camera->params(); }
    qint32 sleepSetting() const { return m_sleepSetting; }
    bool sendEnabled() const { return m_camera->sendEnabled(); }
    BuiltInParamPages *paramPages() const { return m_builtIn->paramPages(); }
    DebouncedParamSender *paramSender() const { return m_camera->paramSender(); }
    PanelResets *builtInResets() const { return m_builtIn->resets(); }
    // The model panel of a kind, once created; the one showing the active camera (null
    // while the built-in pages do).
    ModelPanel *modelPanel(PanelKind kind) const { return m_modelPanels->panel(kind); }
    ModelPanel *activeModelPanel() const { return m_modelPanels->active(); }
    // The AI face-model area of the built-in pages and its collection flow.
    FaceModelFlow *faceModels() const { return m_faceRouting->builtIn(); }
    // The face-model flow replies and collection outcomes go to: the active model
    // panel's when it has one, else the built-in pages'.
    FaceModelFlow *activeFaceModels() const { return m_faceRouting->active(); }

    // State, for the feature pages and for tests.
    int currentIndex() const { return m_currentIndex; }
    int connectedCount() const { return m_devices->connectedCount(); }
    int deviceCount() const { return m_refresh->count(); }
    QString selectionName() const { return m_selectionName; }
    QString currentModel() const { return m_currentModel; }
    QString currentSerial() const { return m_currentSerial; }
    QString selectedSeries() const { return m_selectedSeries; }
    QString selectedCameraId() const { return m_selectedCameraId; }
    PanelKind panelKind() const { return m_panelKind; }
    bool isLandscape() const { return m_isLandscape; }
    bool quietProbe() const { return m_routerState.quietProbe; }
    bool isRefreshing() const;
    // True while the panel is in the middle of work of its own that outside requests
    // must not cut into: a refresh, an activation or a firmware upgrade.
    bool isBusy() const;
    // A firmware upgrade runs or its restarted camera is still being checked.
    bool isUpgrading() const;
    const DeviceEntry &deviceEntry(int index) const { return m_devices->entry(index); }
    QTreeWidgetItem *deviceItem(int slot) const { return m_devices->item(slot); }
    QTreeWidget *deviceTree() const { return m_devices->tree(); }
    DeviceSlotStrip *slotStrip() const { return m_slots; }
    QLabel *noCameraLabel() const { return m_noCameraLabel; }
    QPushButton *refreshButton() const { return m_refreshButton; }
    QPushButton *configButton() const { return m_configButton; }
    QPushButton *resetButton() const { return m_resetButton; }
    QPushButton *upgradeButton() const { return m_upgradeButton; }
    FirmwareUpgrade *firmwareUpgrade() const { return m_firmwareUpgrade; }
    CameraProfileRestorer *profileRestorer() const { return m_profiles; }
    QAction *saveProfileAction() const { return m_saveProfileAction; }
    QAction *restoreProfileAction() const { return m_restoreProfileAction; }
    QAction *importConfigAction() const { return m_importConfigAction; }
    QAction *exportConfigAction() const { return m_exportConfigAction; }
    QPushButton *previewToggle() const { return m_previewToggle; }
    QPushButton *ptzToggle() const { return m_ptzToggle; }
    QWidget *deviceListArea() const { return m_deviceListArea; }
    QWidget *builtInPage() const { return m_builtIn->page(); }
    PtzArea *ptzPanel() const { return m_ptzPanel; }
    void setDeviceNames(const QMap<QString, QString> &names) { m_devices->setNames(names); }
    QMap<QString, QString> deviceNames() const { return m_devices->names(); }

    // For the control API: the listed cameras (device index and identity, in list
    // order); activating one by serial (false when none is listed with it); the
    // parameter rows of the panel that serves a model (null when it has none); showing
    // a value sent to a camera, and reading a camera again after its whole record was
    // written, when it is the active one.
    QList<QPair<int, DeviceEntry>> listedCameras() const { return m_devices->listed(); }
    bool activateCamera(const QString &serial);
    ParamPageSet *pagesForModel(const QString &productModel);
    void showSentValue(int index, const QString &key, int value);
    void recordWritten(int index);

    // Maintenance and names; the work is done by m_maintenance and m_rename.
    void showDeviceResetMenu();
    void onRebootClicked();
    void onImageResetClicked();
    void onFactoryResetClicked();
    void resetImageDefaults();
    void resetFactoryDefaults();
    void beginDeviceRename(int index);
    void finishDeviceRename();
    // Stores a user-given name under its name key and saves the names.
    void rememberDeviceName(const QString &key, const QString &name) { m_devices->rememberName(key, name); }
    void setCameraParam(int slot, qint32 value) { m_camera->params()[slot] = value; }
    DeviceMaintenance *maintenance() const { return m_maintenance; }
    DeviceRenameEditor *renameEditor() const { return m_rename; }
    QString lastConfigDir() const { return m_lastConfigDir; }

signals:
    void deviceListRefreshed();
    void deviceConnectionChanged(int connectedCount);
    // Another camera became the active one (a click, a restart's return, the API).
    void activeCameraChanged(const QString &serial);
    void startFaceDataCollection(int modelId);
    void sendToCamera(const QString &command, const QVariant &value);
    void requestDeviceConfig(const QString &deviceName);

public slots:
    void onDeviceDoubleClicked(QTreeWidgetItem *item, int column);
    // "固件升级": the work is done by m_firmwareUpgrade.
    void onFirmwareUpgradeClicked();
    void startDeviceDetection() { m_watcher->start(); }
    void stopDeviceDetection() { m_watcher->stop(); }
    void cleanupAllDevices();
    void onCameraButtonClicked() { m_preview->onToggleClicked(); }
    void onPtzToggleClicked() { showPtzPanel(m_ptzPanel->isHidden()); }
    // "导出配置" / "导入配置": the active camera's record to and from a configuration file.
    void exportCameraConfig();
    void importCameraConfig();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildFrame();
    void connectDeviceListArea(const ControlPanelChrome::DeviceListArea &list);
    QWidget *buildBuiltInPage();
    bool loadSelectedCamera();
    void requestFaceModels();
    void connectFaceModels();

    void finishRefresh();
    void showPtzPanel(bool show);
    void expectRestart(int index);
    // The device index of the camera the firmware upgrade is addressed to; -1 when it
    // is not connected.
    int upgradeTargetIndex() const;
    void clearDeviceList();
    void onSlotClicked(int slot);
    void onDirectionReceived(int value);
    // A firmware upgrade runs: only its own sender reaches the cameras; the orientation
    // probe and the debounced senders wait, a refresh waits for the end.
    void holdCameraTraffic(bool hold);

    WindowDragger m_dragger; // moves the window by its title area

    // Devices
    DeviceRefresh *m_refresh = nullptr; // the connections and the refresh cycle
    DeviceList *m_devices = nullptr;    // the identified cameras as listed
    int m_currentIndex = -1;
    PanelCameraContext *m_camera = nullptr; // the built-in pages' context; its device index is m_currentIndex
    ReplyRouter::State m_routerState;
    ReplyRouter *m_router = nullptr;

    // Colour tables, the colour page and picking
    ColourTables *m_colourTables = nullptr;
    ColourPage *m_colourPage = nullptr;

    // Device list
    DeviceSlotStrip *m_slots = nullptr;
    QLabel *m_noCameraLabel = nullptr;
    QPushButton *m_refreshButton = nullptr;
    QPushButton *m_configButton = nullptr;  // "参数配置", its menu imports and exports
    QPushButton *m_resetButton = nullptr;   // "设备重置"
    QPushButton *m_upgradeButton = nullptr; // "固件升级"
    FirmwareUpgrade *m_firmwareUpgrade = nullptr;
    std::unique_ptr<DeviceSender> m_upgradeSender; // the upgrade's own, holding the bus while it runs
    CameraProfileRestorer *m_profiles = nullptr;
    QAction *m_saveProfileAction = nullptr;
    QAction *m_restoreProfileAction = nullptr;
    QAction *m_importConfigAction = nullptr;
    QAction *m_exportConfigAction = nullptr;
    DeviceConnectionWatcher *m_watcher = nullptr; // the interface-count poll and the debounced refresh
    PanelKind m_panelKind = PanelKind::BuiltIn;
    bool m_activating = false; // inside onDeviceDoubleClicked
    qint32 m_sleepSetting = 0;     // the camera's "sleep" setting, kept outside the record
    BuiltInPage *m_builtIn = nullptr; // the built-in pages, their resets and their scrolling page
    ModelPanelHost *m_modelPanels = nullptr; // one per kind, created on first use, kept
    FaceModelRouting *m_faceRouting = nullptr; // the built-in page's flow, and where face-model news goes
    QString m_selectedSeries;
    QString m_selectionName;
    QString m_currentModel;
    QString m_currentSerial;
    CameraRestartWatch *m_restartWatch = nullptr; // the active camera restarting at the user's request
    DeviceMaintenance *m_maintenance = nullptr;
    DeviceRenameEditor *m_rename = nullptr; // the in-place editor of a slot label
    QString m_lastConfigDir; // directory of the last configuration file chosen

    // Orientation and preview
    int m_direction = 1;
    bool m_isLandscape = false;
    QString m_selectedCameraId;
    PreviewController *m_preview = nullptr;

    // Frame
    QVBoxLayout *m_mainLayout = nullptr;
    QVBoxLayout *m_bodyLayout = nullptr;
    QPushButton *m_minimizeButton = nullptr;
    QPushButton *m_closeButton = nullptr;
    QWidget *m_deviceListArea = nullptr;
    QPushButton *m_ptzToggle = nullptr;
    QPushButton *m_previewToggle = nullptr;
    PtzArea *m_ptzPanel = nullptr;
    QWidget *m_footer = nullptr;
    int m_cornerRadius = 15;
};
