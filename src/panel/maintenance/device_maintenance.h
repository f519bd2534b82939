#pragma once

#include <QObject>
#include <QString>

#include <functional>

class DeviceSlotStrip;
class PanelCameraContext;
class PanelResets;
class QMenu;
class QPushButton;
class QTreeWidgetItem;
class QWidget;
enum class PanelKind;

// The maintenance actions of the "设备重置" button (restart, image reset, factory reset)
// and what follows a camera's rename: the label, the list item, the stored name, the
// name command and the refresh that lists the restarted camera again.
class DeviceMaintenance : public QObject {
    Q_OBJECT
public:
    static const char *const kMenuStyle;
    static constexpr int kFactoryNoticeDelayMs = 3000;
    static constexpr int kFactoryNoticeMs = 1000;
    static constexpr int kRenameNoticeMs = 1500;
    static constexpr int kRefreshAfterRenameMs = 2000;
    // The name command is formatted into a buffer of this size, its zero byte included.
    static constexpr int kNameBufferSize = 512;
    // Defaults reset selectors ("eDefaultParamCfg") of the table resets.
    static constexpr int kHueTableDefaults = 35;
    static constexpr int kSaturationTableDefaults = 36;

    // What the maintenance actions need from the control panel.
    struct Host {
        QWidget *window = nullptr;            // parents the menu and the boxes
        QPushButton *resetButton = nullptr;   // "设备重置"
        PanelCameraContext *camera = nullptr; // the control panel's: active index and senders
        DeviceSlotStrip *slotStrip = nullptr;
        std::function<QTreeWidgetItem *(int index)> deviceItem;
        std::function<void(const QString &key, const QString &name)> rememberName;
        std::function<void()> refreshDevices;      // lists the cameras again
        std::function<void(int index)> restarting; // the camera at the index restarts
        std::function<PanelKind()> panelKind;      // the panel showing the active camera
        std::function<void()> refreshCameraParams; // the control panel's refresh of the active camera
        // The resets of the panel showing the active camera; null for a panel that has
        // none (its camera is reset by commands alone).
        std::function<PanelResets *()> activeResets;
    };

    explicit DeviceMaintenance(const Host &host, QObject *parent = nullptr);

    void showDeviceResetMenu();
    QMenu *resetMenu() const { return m_menu; }
    void onRebootClicked();
    void onImageResetClicked();
    void onFactoryResetClicked();
    void resetImageDefaults();
    void resetFactoryDefaults();

    // Name key of the camera in slot `index`: its series, "-" and the serial's last
    // three characters — the key the device list looks names up under.
    QString nameKey(int index) const;
    // The name command for `name`, its zero byte included; empty when the name does not
    // fit the command buffer.
    static QByteArray nameCommand(const QString &name);
    // Refuses (with a box) a name longer than a camera takes; true when it can be used.
    bool acceptName(const QString &name);
    // Everything after the user committed a new name for the camera in slot `index`.
    void applyDeviceName(int index, const QString &key, const QString &name);

private:
    bool confirm(const QString &title, const QString &text);
    bool sendDefaults(int config);
    void showFactoryResetNotice();
    void showFactoryResetRefused();
    void announceRestart(int index);

    Host m_host;
    QMenu *m_menu = nullptr;
};
