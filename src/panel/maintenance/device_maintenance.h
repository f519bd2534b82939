#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QMenu;
class Widget;

// The maintenance actions of the "设备重置" button (restart, image reset, factory reset)
// and what follows a camera's rename: the label, the list item, the stored name, the
// name command and the refresh that lists the restarted camera again.
class DeviceMaintenance : public QObject {
    Q_OBJECT
public:
    static const char *const kMenuStyle;
    static constexpr int kRefreshAfterResetMs = 500;
    static constexpr int kTablesAfterResetMs = 800;
    static constexpr int kFactoryNoticeDelayMs = 3000;
    static constexpr int kFactoryNoticeMs = 1000;
    static constexpr int kRenameNoticeMs = 1500;
    static constexpr int kRefreshAfterRenameMs = 2000;
    // The name command is formatted into a buffer of this size, its zero byte included.
    static constexpr int kNameBufferSize = 512;
    // Defaults reset selectors ("eDefaultParamCfg").
    static constexpr int kImageDefaults = 1;
    static constexpr int kFactoryDefaults = 255;
    static constexpr int kHueTableDefaults = 35;
    static constexpr int kSaturationTableDefaults = 36;

    explicit DeviceMaintenance(Widget *panel);

    // The model-specific panels hand in their own image and factory resets.
    void setModelPanelResets(std::function<void()> imageReset, std::function<void()> factoryReset);

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
    // Refuses (with a box) a name the command cannot carry; true when it can be used.
    bool acceptName(const QString &name);
    // Everything after the user committed a new name for the camera in slot `index`.
    void applyDeviceName(int index, const QString &key, const QString &name);

private:
    bool confirm(const QString &title, const QString &text);
    bool sendDefaults(int config);
    void resetToDefaults(bool resetTones);
    void showFactoryResetNotice();

    Widget *m_panel;
    QMenu *m_menu = nullptr;
    std::function<void()> m_modelImageReset;
    std::function<void()> m_modelFactoryReset;
};
