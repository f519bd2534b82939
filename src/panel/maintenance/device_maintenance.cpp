#include "device_maintenance.h"

#include "builtin_param_pages.h"
#include "colour_page.h"
#include "colour_tables.h"
#include "command_texts.h"
#include "device_entry.h"
#include "device_models.h"
#include "device_sender.h"
#include "device_slot_strip.h"
#include "message_boxes.h"
#include "packet_cmd.h"
#include "palette_label.h"
#include "param_control.h"
#include "param_page_set.h"
#include "widget.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidgetItem>

namespace {
// The five tone sliders an image reset puts back to their neutral position.
const char *const kToneKeys[] = {"u8Yellow", "u8Orange", "u8Gray", "u8Black", "u8White"};
const int kToneSlots[] = {43, 44, 45, 46, 47};
constexpr int kToneNeutral = 50;

// True when the exchange went through and the camera did not report a failure.
bool succeeded(bool exchanged, const QByteArray &reply) {
    if (!exchanged)
        return false;
    const QJsonObject content = QJsonDocument::fromJson(QByteArray(reply.constData()))
                                    .object()
                                    .value(QStringLiteral("Content"))
                                    .toObject();
    return content.value(QStringLiteral("nResult")).toInt(0) >= 0;
}
} // namespace

const char *const DeviceMaintenance::kMenuStyle =
    "QMenu {   background-color: #262a2d;   padding: 5px;   border-radius: 10px;}"
    "QMenu::item {   padding: 8px 20px;   color: #eeeeee;}"
    "QMenu::item:selected {   background-color: #1b89ef;}";

DeviceMaintenance::DeviceMaintenance(Widget *panel) : QObject(panel), m_panel(panel) {
    m_menu = new QMenu(panel);
    m_menu->setObjectName("deviceResetMenu");
    m_menu->setStyleSheet(kMenuStyle);
    // Rounded corners need a frameless, see-through menu window.
    m_menu->setWindowFlags(m_menu->windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    m_menu->setAttribute(Qt::WA_TranslucentBackground);
    connect(m_menu->addAction(QStringLiteral("重启设备")), &QAction::triggered, this,
            &DeviceMaintenance::onRebootClicked);
    connect(m_menu->addAction(QStringLiteral("重置图像")), &QAction::triggered, this,
            &DeviceMaintenance::onImageResetClicked);
    connect(m_menu->addAction(QStringLiteral("恢复出厂设置")), &QAction::triggered, this,
            &DeviceMaintenance::onFactoryResetClicked);
}

void DeviceMaintenance::setModelPanelResets(std::function<void()> imageReset,
                                            std::function<void()> factoryReset) {
    m_modelImageReset = std::move(imageReset);
    m_modelFactoryReset = std::move(factoryReset);
}

// ---------------------------------------------------------------------------------------
// Restart and resets

void DeviceMaintenance::showDeviceResetMenu() {
    QPushButton *button = m_panel->resetButton();
    m_menu->popup(button->mapToGlobal(QPoint(0, button->height())));
}

bool DeviceMaintenance::confirm(const QString &title, const QString &text) {
    return MessageBoxes::showStyledMessageBox(m_panel, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                                              QMessageBox::Cancel) == QMessageBox::Ok;
}

bool DeviceMaintenance::sendDefaults(int config) {
    const QByteArray text = CommandTexts::setDefaultParam(config);
    QByteArray reply(DeviceSender::kReplyBufferSize, '\0');
    const bool exchanged = m_panel->sendCmdToDevice(m_panel->currentIndex(), CmdSetDefaultParam,
                                                    text.constData(), int(text.size()), reply.data());
    return succeeded(exchanged, reply);
}

void DeviceMaintenance::onRebootClicked() {
    if (!confirm(QStringLiteral("重启设备"), QStringLiteral("确定要重启设备吗?")))
        return;
    qDebug() << "发送设备重启命令...";
    QByteArray reply(DeviceSender::kReplyBufferSize, '\0');
    const bool exchanged =
        m_panel->sendCmdToDevice(m_panel->currentIndex(), CmdReboot, nullptr, 0, reply.data());
    if (!succeeded(exchanged, reply))
        MessageBoxes::showStyledMessageBox(m_panel, QStringLiteral("重启设备"),
                                           QStringLiteral("设备重启失败"));
}

void DeviceMaintenance::onImageResetClicked() {
    if (!confirm(QStringLiteral("重置图像"),
                 QStringLiteral("确定要恢复图像默认设置吗?\n此操作将同时重置调色盘设置。")))
        return;
    qDebug() << "重置图像参数...";
    const PanelKind kind = m_panel->panelKind();
    if (kind == PanelKind::T782) {
        // Results are ignored: the refresh shows whatever the camera reports.
        sendDefaults(kImageDefaults);
        sendDefaults(kHueTableDefaults);
        sendDefaults(kSaturationTableDefaults);
        m_panel->refreshCameraParams(m_panel->currentIndex());
    } else if ((kind == PanelKind::WpBefa || kind == PanelKind::Lnq) && m_modelImageReset) {
        m_modelImageReset();
        m_panel->refreshCameraParams(m_panel->currentIndex());
    } else {
        resetImageDefaults();
    }
}

void DeviceMaintenance::onFactoryResetClicked() {
    if (!confirm(
            QStringLiteral("恢复出厂设置"),
            QStringLiteral("确定要恢复出厂设置吗?\n此操作将清除所有自定义设置!\n同时会重置调色盘设置。")))
        return;
    qDebug() << "执行恢复出厂设置...";
    const PanelKind kind = m_panel->panelKind();
    if (kind == PanelKind::T782) {
        if (!sendDefaults(kFactoryDefaults)) {
            MessageBoxes::showStyledMessageBox(m_panel, QStringLiteral("恢复出厂设置"),
                                               QStringLiteral("恢复出厂设置失败"));
            return;
        }
        if (!sendDefaults(kHueTableDefaults))
            qWarning() << "重置色度指令发送失败，但恢复出厂设置已完成";
        if (!sendDefaults(kSaturationTableDefaults))
            qWarning() << "重置饱和度指令发送失败，但恢复出厂设置已完成";
    } else if ((kind == PanelKind::WpBefa || kind == PanelKind::Lnq) && m_modelFactoryReset) {
        m_modelFactoryReset();
        if (kind == PanelKind::Lnq)
            return;
    } else {
        // A camera that refused never restarts: say so instead of announcing the restart.
        if (!sendDefaults(kFactoryDefaults)) {
            MessageBoxes::showStyledMessageBox(m_panel, QStringLiteral("恢复出厂设置"),
                                               QStringLiteral("恢复出厂设置失败"));
            return;
        }
        resetToDefaults(false);
    }
    QTimer::singleShot(kFactoryNoticeDelayMs, this, &DeviceMaintenance::showFactoryResetNotice);
}

void DeviceMaintenance::showFactoryResetNotice() {
    MessageBoxes::showTimedNotice(m_panel, QStringLiteral("恢复出厂设置"),
                                  QStringLiteral("设备已恢复出厂设置并正在重启，请稍后重新连接设备"),
                                  kFactoryNoticeMs);
}

void DeviceMaintenance::resetImageDefaults() {
    sendDefaults(kImageDefaults); // ignored: the refresh below shows what the camera did
    resetToDefaults(true);
}

void DeviceMaintenance::resetFactoryDefaults() {
    sendDefaults(kFactoryDefaults);
    resetToDefaults(false);
}

// What follows the defaults command on the built-in pages: the default colour tables in
// the record, on the camera and on the page, the tone sliders (image reset only) and
// the re-reads.
void DeviceMaintenance::resetToDefaults(bool resetTones) {
    ColourTables *tables = m_panel->colourTables();
    for (HsvKind kind : {HsvKind::Hue, HsvKind::Saturation}) {
        const HsvTable &defaults = HsvKindInfo::of(kind).defaults;
        tables->setTable(kind, defaults);
        tables->sendTable(kind, defaults);
        if (PaletteLabel *label = m_panel->colourPage()->pageLabel(kind))
            label->setValues(defaults.toList());
    }
    if (resetTones) {
        for (int slot : kToneSlots)
            m_panel->setCameraParam(slot, kToneNeutral);
        // Shown, not sent: the camera put them back itself.
        ParamPageSet *pages = m_panel->paramPages()->pages();
        pages->beginApply(false);
        for (const char *key : kToneKeys)
            if (ParamControl *control = pages->control(QString::fromLatin1(key)))
                control->setValue(kToneNeutral - 50);
        pages->endApply();
    }
    m_panel->clearColorHighlights();
    QTimer::singleShot(kRefreshAfterResetMs, m_panel,
                       [panel = m_panel] { panel->refreshCameraParams(panel->currentIndex()); });
    QTimer::singleShot(kTablesAfterResetMs, m_panel, [panel = m_panel] { panel->readHsvTables(); });
}

// ---------------------------------------------------------------------------------------
// Names

QString DeviceMaintenance::nameKey(int index) const {
    if (QTreeWidgetItem *item = m_panel->deviceItem(index))
        return displayNameForModel(item->data(3, Qt::UserRole).toString()) + "-" +
               DeviceEntry::serialTail(item->data(1, Qt::UserRole).toString());
    QLabel *label = m_panel->slotStrip()->label(index);
    return label ? label->text() : QString();
}

QByteArray DeviceMaintenance::nameCommand(const QString &name) {
    const QByteArray text = CommandTexts::deviceName(name);
    return text.size() > kNameBufferSize ? QByteArray() : text;
}

bool DeviceMaintenance::acceptName(const QString &name) {
    if (!nameCommand(name).isEmpty())
        return true;
    qWarning() << "设备名称过长，未修改:" << name.left(40);
    MessageBoxes::showStyledMessageBox(m_panel, QStringLiteral("修改设备名称"),
                                       QStringLiteral("设备名称过长，请输入较短的名称"));
    return false;
}

void DeviceMaintenance::applyDeviceName(int index, const QString &key, const QString &name) {
    if (!acceptName(name))
        return;
    if (QLabel *label = m_panel->slotStrip()->label(index))
        label->setText(DeviceSlotStrip::elide(name));
    if (QTreeWidgetItem *item = m_panel->deviceItem(index))
        item->setText(0, name + "-" + DeviceEntry::serialTail(item->data(1, Qt::UserRole).toString()) + "-" +
                             item->data(2, Qt::UserRole).toString());
    m_panel->rememberDeviceName(key, name);

    const QByteArray text = nameCommand(name);
    qDebug().noquote() << "[SEND] DeviceName command:" << QString::fromUtf8(text.constData());
    // The zero byte at the end is part of the command; a failed send is not reported:
    // the label, the list and the stored names already hold the new name.
    m_panel->sendCmdToDevice(index, CmdSetDeviceName, text.constData(), int(text.size()), nullptr);
    qDebug() << "设备" << index << "的名称已修改为:" << name;

    MessageBoxes::showTimedNotice(m_panel, QStringLiteral("提示"),
                                  QStringLiteral("设备名称修改成功，设备正在重启"), kRenameNoticeMs);
    // The camera leaves the bus to take the name; the refresh (and the connection
    // watcher after it) lists it again once it is back.
    QTimer::singleShot(kRefreshAfterRenameMs, m_panel, &Widget::handleRefresh);
}
