#include "device_maintenance.h"

#include "command_texts.h"
#include "device_entry.h"
#include "device_models.h"
#include "device_sender.h"
#include "device_slot_strip.h"
#include "dropdown_menu.h"
#include "message_boxes.h"
#include "packet_cmd.h"
#include "panel_camera_context.h"
#include "panel_resets.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidgetItem>


const char *const DeviceMaintenance::kMenuStyle = DropDownMenu::kStyle;

DeviceMaintenance::DeviceMaintenance(const Host &host, QObject *parent) : QObject(parent), m_host(host) {
    m_menu = new QMenu(host.window);
    m_menu->setObjectName("deviceResetMenu");
    DropDownMenu::applyStyle(m_menu);
    connect(m_menu->addAction(tr("重启设备")), &QAction::triggered, this,
            &DeviceMaintenance::onRebootClicked);
    connect(m_menu->addAction(tr("重置图像")), &QAction::triggered, this,
            &DeviceMaintenance::onImageResetClicked);
    connect(m_menu->addAction(tr("恢复出厂设置")), &QAction::triggered, this,
            &DeviceMaintenance::onFactoryResetClicked);
}

// ---------------------------------------------------------------------------------------
// Restart and resets

void DeviceMaintenance::showDeviceResetMenu() {
    QPushButton *button = m_host.resetButton;
    m_menu->popup(button->mapToGlobal(QPoint(0, button->height())));
}

bool DeviceMaintenance::confirm(const QString &title, const QString &text) {
    return MessageBoxes::showStyledMessageBox(m_host.window, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                                              QMessageBox::Cancel) == QMessageBox::Ok;
}

bool DeviceMaintenance::sendDefaults(int config) {
    return m_host.camera->sendChecked(CmdSetDefaultParam, CommandTexts::setDefaultParam(config));
}

void DeviceMaintenance::onRebootClicked() {
    if (!confirm(tr("重启设备"), tr("确定要重启设备吗?")))
        return;
    qDebug() << "发送设备重启命令...";
    if (!m_host.camera->sendChecked(CmdReboot, QByteArray()))
        MessageBoxes::showStyledMessageBox(m_host.window, tr("重启设备"),
                                           tr("设备重启失败"));
    else
        announceRestart(m_host.camera->deviceIndex());
}

void DeviceMaintenance::onImageResetClicked() {
    if (!confirm(tr("重置图像"),
                 tr("确定要恢复图像默认设置吗?\n此操作将同时重置调色盘设置。")))
        return;
    qDebug() << "重置图像参数...";
    const PanelKind kind = m_host.panelKind();
    if (kind == PanelKind::T782) {
        // Results are ignored: the refresh shows whatever the camera reports.
        sendDefaults(PanelResets::kImageDefaults);
        sendDefaults(kHueTableDefaults);
        sendDefaults(kSaturationTableDefaults);
        m_host.refreshCameraParams();
        return;
    }
    PanelResets *resets = m_host.activeResets();
    if (!resets)
        return;
    resets->resetImageDefaults();
    // A model panel's reset is followed at once by the control panel's own refresh.
    if (kind == PanelKind::WpBefa || kind == PanelKind::Lnq)
        m_host.refreshCameraParams();
}

void DeviceMaintenance::onFactoryResetClicked() {
    if (!confirm(
            tr("恢复出厂设置"),
            tr("确定要恢复出厂设置吗?\n此操作将清除所有自定义设置!\n同时会重置调色盘设置。")))
        return;
    qDebug() << "执行恢复出厂设置...";
    const PanelKind kind = m_host.panelKind();
    if (kind == PanelKind::T782) {
        if (!sendDefaults(PanelResets::kFactoryDefaults)) {
            showFactoryResetRefused();
            return;
        }
        if (!sendDefaults(kHueTableDefaults))
            qWarning() << "重置色度指令发送失败，但恢复出厂设置已完成";
        if (!sendDefaults(kSaturationTableDefaults))
            qWarning() << "重置饱和度指令发送失败，但恢复出厂设置已完成";
    } else {
        PanelResets *resets = m_host.activeResets();
        // A camera that refused never restarts: say so instead of announcing the restart.
        if (resets && !resets->resetFactoryDefaults()) {
            showFactoryResetRefused();
            return;
        }
        if (kind == PanelKind::Lnq) {
            announceRestart(m_host.camera->deviceIndex());
            return; // this camera's panel announces nothing
        }
    }
    announceRestart(m_host.camera->deviceIndex());
    QTimer::singleShot(kFactoryNoticeDelayMs, this, &DeviceMaintenance::showFactoryResetNotice);
}

void DeviceMaintenance::announceRestart(int index) {
    if (m_host.restarting)
        m_host.restarting(index);
}

void DeviceMaintenance::showFactoryResetRefused() {
    MessageBoxes::showStyledMessageBox(m_host.window, tr("恢复出厂设置"), tr("恢复出厂设置失败"));
}

void DeviceMaintenance::showFactoryResetNotice() {
    MessageBoxes::showTimedNotice(m_host.window, tr("恢复出厂设置"),
                                  tr("设备已恢复出厂设置并正在重启，请稍后重新连接设备"),
                                  kFactoryNoticeMs);
}

void DeviceMaintenance::resetImageDefaults() {
    if (PanelResets *resets = m_host.activeResets())
        resets->resetImageDefaults();
}

void DeviceMaintenance::resetFactoryDefaults() {
    if (PanelResets *resets = m_host.activeResets())
        resets->resetFactoryDefaults();
}

// ---------------------------------------------------------------------------------------
// Names

QString DeviceMaintenance::nameKey(int index) const {
    if (QTreeWidgetItem *item = m_host.deviceItem(index))
        return displayNameForModel(item->data(3, Qt::UserRole).toString()) + "-" +
               DeviceEntry::serialTail(item->data(1, Qt::UserRole).toString());
    QLabel *label = m_host.slotStrip->label(index);
    return label ? label->text() : QString();
}

QByteArray DeviceMaintenance::nameCommand(const QString &name) {
    const QByteArray text = CommandTexts::deviceName(name);
    return text.size() > kNameBufferSize ? QByteArray() : text;
}

bool DeviceMaintenance::acceptName(const QString &name) {
    if (name.toUtf8().size() <= CommandTexts::kMaxDeviceNameBytes && !nameCommand(name).isEmpty())
        return true;
    qWarning() << "设备名称过长，未修改:" << name.left(40);
    MessageBoxes::showStyledMessageBox(
        m_host.window, tr("修改设备名称"),
        tr("设备名称过长，请输入较短的名称（最多%1字节，一个汉字占3字节）")
            .arg(CommandTexts::kMaxDeviceNameBytes));
    return false;
}

void DeviceMaintenance::applyDeviceName(int index, const QString &key, const QString &name) {
    if (!acceptName(name))
        return;
    if (QLabel *label = m_host.slotStrip->label(index))
        label->setText(DeviceSlotStrip::elide(name));
    if (QTreeWidgetItem *item = m_host.deviceItem(index))
        item->setText(0, name + "-" + DeviceEntry::serialTail(item->data(1, Qt::UserRole).toString()) + "-" +
                             item->data(2, Qt::UserRole).toString());
    m_host.rememberName(key, name);

    const QByteArray text = nameCommand(name);
    qDebug().noquote() << "[SEND] DeviceName command:" << QString::fromUtf8(text.constData());
    // The zero byte at the end is part of the command. A camera that does not take the
    // name does not restart; the tool keeps showing the name it was given.
    if (!m_host.camera->sendCheckedTo(index, CmdSetDeviceName, text)) {
        qWarning() << "设备" << index << "未接受新名称:" << name;
        MessageBoxes::showStyledMessageBox(m_host.window, tr("修改设备名称"),
                                           tr("设备名称修改失败，新名称仅保存在本软件中"));
        return;
    }
    qDebug() << "设备" << index << "的名称已修改为:" << name;
    announceRestart(index);

    MessageBoxes::showTimedNotice(m_host.window, tr("提示"),
                                  tr("设备名称修改成功，设备正在重启"), kRenameNoticeMs);
    // The camera leaves the bus to take the name; the refresh (and the connection
    // watcher after it) lists it again once it is back.
    QTimer::singleShot(kRefreshAfterRenameMs, this, [refresh = m_host.refreshDevices] { refresh(); });
}
