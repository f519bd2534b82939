#pragma once

#include <QCoreApplication>
#include <QString>

#include <functional>

class DeviceSlotStrip;
class QAction;
class QHBoxLayout;
class QLabel;
class QPainter;
class QPushButton;
class QRect;
class QScrollArea;
class QVBoxLayout;
class QWidget;

// The control panel's fixed parts: title bar, device list area (header, slot strip,
// action row), the scrolling page area, the footer and the rounded frame, and the frame
// that holds them. The panel wires them up.
class ControlPanelChrome {
    Q_DECLARE_TR_FUNCTIONS(ControlPanelChrome)

public:
    struct TitleBar {
        QWidget *bar;
        QPushButton *minimize;
        QPushButton *close;
    };
    struct ListHeader {
        QWidget *header;
        QPushButton *ptzToggle;
        QPushButton *previewToggle;
    };
    struct ActionRow {
        QHBoxLayout *layout;
        QPushButton *config;
        QPushButton *reset;
        QPushButton *upgrade;
        QPushButton *refresh;
        QAction *importConfig; // "导入配置" in the menu of "参数配置"
        QAction *exportConfig; // "导出配置"
        QAction *saveProfile = nullptr;    // "保存为默认配置"
        QAction *restoreProfile = nullptr; // "连接时自动恢复", checkable
    };

    struct DeviceListArea {
        QWidget *area;
        ListHeader header;
        DeviceSlotStrip *slotStrip;
        ActionRow actions;
        QLabel *noCamera;
    };
    struct Frame {
        QVBoxLayout *main;
        TitleBar title;
        QVBoxLayout *body;
        DeviceListArea list;
        QWidget *footer;
    };

    // The whole panel in `window`: the title bar, the body (the device list area, then
    // what `fillBody` adds below it) and the footer, which drags the window's height.
    static Frame buildFrame(QWidget *window, const std::function<void(QWidget *body, QVBoxLayout *layout)> &fillBody);
    static TitleBar buildTitleBar(QWidget *parent);
    // The device list area, hidden: the header with its two toggles, the slot strip,
    // the action row and the no-camera label.
    static DeviceListArea buildDeviceListArea(QWidget *window);
    static ListHeader buildListHeader(QWidget *parent);
    // "参数配置" carries the import/export menu below it.
    static ActionRow buildActionRow(QWidget *parent);
    static constexpr const char *kNoCameraText = QT_TRANSLATE_NOOP("ControlPanelChrome", "未检测到相机，请检查相机是否正常连接");
    static QLabel *buildNoCameraLabel(QWidget *parent);
    // A frameless vertical scroll area with the panel's blue scroll bar; `content` gets
    // a vertical layout without margins.
    static QScrollArea *buildScrollPage(QWidget *parent, QWidget *content);
    static QWidget *buildFooter(QWidget *parent);
    static void paintFrame(QPainter &painter, const QRect &rect, int radius);

    static QString iconPath(const char *name);
};
