#include "control_panel_chrome.h"

#include "device_slot_strip.h"
#include "dropdown_menu.h"
#include "window_dragger.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {
const char *const kTitleButtonStyle = "QPushButton { background: transparent; border: none; border-radius: 4px; "
                                      "padding: 6px; } QPushButton:hover { background-color: #1b89ef; } "
                                      "QPushButton:pressed { background-color: #1b89ef; }";
const char *const kToggleStyle =
    "QPushButton { background: transparent; border: none; border-radius: 4px; }"
    "QPushButton:hover { background-color: rgba(30, 144, 255, 0.2); }"
    "QPushButton:pressed { background-color: rgba(30, 144, 255, 0.4); }"
    "QPushButton:checked { background-color: rgba(30, 144, 255, 0.3); }";
const char *const kFlatActionStyle =
    "QPushButton { color: #888888; background: transparent; border: none; font-size: 12px; padding: 2px 4px; }"
    "QPushButton:hover, QPushButton:checked { color: white; }"
    "QPushButton::menu-indicator { image: none; width: 0px; }";
const char *const kRefreshStyle = "QPushButton { color: white; background-color: #2f80f4; border: none; "
                                  "border-radius: 12px; font-size: 12px; padding: 3px 12px; }"
                                  "QPushButton:hover { background-color: #1b89ef; }"
                                  "QPushButton:disabled { background-color: #43474c; color: #888888; }";
const char *const kScrollStyle =
    "QScrollArea { background: transparent; border: none; }"
    "QWidget#scrollPageContent { background: transparent; }"
    "QScrollBar:vertical { background: #1e2229; width: 10px; margin: 0; border-radius: 5px; }"
    "QScrollBar::handle:vertical { background: #1e90ff; min-height: 30px; border-radius: 5px; }"
    "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0px; }"
    "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }";
// After-sales contact shown in the footer.
const char *const kContactText = QT_TRANSLATE_NOOP("ControlPanelChrome", "售后服务：请联系您的经销商");

QPushButton *iconButton(QWidget *parent, const char *icon, int size, int iconSize, const char *style)
{
    auto *button = new QPushButton(parent);
    button->setFixedSize(size, size);
    button->setIcon(QIcon(ControlPanelChrome::iconPath(icon)));
    button->setIconSize(QSize(iconSize, iconSize));
    button->setStyleSheet(style);
    return button;
}
} // namespace

QString ControlPanelChrome::iconPath(const char *name)
{
    return QStringLiteral(":/icons/resources/icons/") + QLatin1String(name);
}

ControlPanelChrome::Frame ControlPanelChrome::buildFrame(
    QWidget *window, const std::function<void(QWidget *body, QVBoxLayout *layout)> &fillBody)
{
    Frame frame;
    frame.main = new QVBoxLayout(window);
    frame.main->setSpacing(0);
    frame.main->setContentsMargins(0, 0, 0, 0);
    frame.title = buildTitleBar(window);
    frame.main->addWidget(frame.title.bar);

    auto *body = new QWidget(window);
    body->setObjectName("panelBody");
    body->setStyleSheet("QWidget#panelBody { background-color: #10121a; }");
    frame.body = new QVBoxLayout(body);
    frame.body->setSpacing(2);
    frame.body->setContentsMargins(15, 8, 15, 15);
    frame.body->setAlignment(Qt::AlignTop);
    frame.list = buildDeviceListArea(window);
    frame.body->addWidget(frame.list.area);
    fillBody(body, frame.body);
    frame.main->addWidget(body, 1);

    frame.footer = buildFooter(window);
    new HeightGrip(window, frame.footer);
    frame.main->addWidget(frame.footer);
    return frame;
}

ControlPanelChrome::TitleBar ControlPanelChrome::buildTitleBar(QWidget *parent)
{
    auto *bar = new QWidget(parent);
    bar->setFixedHeight(40);
    bar->setAttribute(Qt::WA_StyledBackground);
    bar->setStyleSheet("background-color: #10121a; border-top-left-radius: 15px; border-top-right-radius: 15px;");
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(30, 5, 10, 0);
    layout->setSpacing(5);
    auto *title = new QLabel("QVHD", bar);
    title->setFixedHeight(40);
    title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    title->setStyleSheet("color: white; font-size: 27px; font-weight: bold; font-style: italic; "
                         "font-family: 'Microsoft YaHei', Arial, sans-serif;");
    layout->addWidget(title);
    layout->addStretch();
    TitleBar result{bar, iconButton(bar, "minimize.png", 30, 16, kTitleButtonStyle),
                    iconButton(bar, "close.png", 30, 16, kTitleButtonStyle)};
    layout->addWidget(result.minimize);
    layout->addWidget(result.close);
    return result;
}

ControlPanelChrome::ListHeader ControlPanelChrome::buildListHeader(QWidget *parent)
{
    auto *header = new QWidget(parent);
    header->setObjectName("deviceListWidget");
    auto *layout = new QHBoxLayout(header);
    layout->setContentsMargins(20, 0, 20, 0);
    auto *caption = new QLabel(tr("设备列表"), header);
    caption->setStyleSheet("color: #cccccc; font-size: 14px; font-weight: bold;");
    layout->addWidget(caption);
    layout->addStretch();
    ListHeader result{header, iconButton(header, "ptz.png", 24, 24, kToggleStyle),
                      iconButton(header, "collapse.png", 24, 24, kToggleStyle)};
    for (QPushButton *toggle : {result.ptzToggle, result.previewToggle}) {
        toggle->setCheckable(true);
        toggle->setCursor(Qt::PointingHandCursor);
    }
    layout->addWidget(result.ptzToggle);
    layout->addSpacing(10);
    layout->addWidget(result.previewToggle);
    return result;
}

ControlPanelChrome::DeviceListArea ControlPanelChrome::buildDeviceListArea(QWidget *window)
{
    auto *area = new QWidget(window);
    auto *layout = new QVBoxLayout(area);
    layout->setSpacing(1);
    layout->setContentsMargins(0, 0, 0, 0);

    const ListHeader header = buildListHeader(area);
    layout->addWidget(header.header);
    layout->addSpacing(5);

    auto *slotRow = new QHBoxLayout;
    slotRow->setSpacing(15);
    slotRow->setAlignment(Qt::AlignCenter);
    auto *slotStrip = new DeviceSlotStrip(slotRow, area);
    layout->addLayout(slotRow);

    const ActionRow actions = buildActionRow(area);
    layout->addLayout(actions.layout);

    QLabel *noCamera = buildNoCameraLabel(area);
    layout->addWidget(noCamera);
    area->hide();
    return {area, header, slotStrip, actions, noCamera};
}

ControlPanelChrome::ActionRow ControlPanelChrome::buildActionRow(QWidget *parent)
{
    auto *layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 10, 0);
    layout->setSpacing(8);
    ActionRow row{layout, new QPushButton(tr("参数配置"), parent),
                  new QPushButton(tr("设备重置"), parent), new QPushButton(tr("固件升级"), parent),
                  new QPushButton(tr("刷新"), parent), nullptr, nullptr};
    auto *configMenu = new QMenu(row.config);
    configMenu->setObjectName("configMenu");
    DropDownMenu::applyStyle(configMenu);
    row.importConfig = configMenu->addAction(tr("导入配置"));
    row.exportConfig = configMenu->addAction(tr("导出配置"));
    configMenu->addSeparator();
    row.saveProfile = configMenu->addAction(tr("保存为默认配置"));
    row.restoreProfile = configMenu->addAction(tr("连接时自动恢复"));
    row.restoreProfile->setCheckable(true);
    QPushButton *config = row.config;
    QObject::connect(config, &QPushButton::clicked, config, [config, configMenu] {
        configMenu->popup(config->mapToGlobal(QPoint(0, config->height())));
    });
    for (QPushButton *b : {row.config, row.reset, row.upgrade}) {
        b->setStyleSheet(kFlatActionStyle);
        b->setCursor(Qt::PointingHandCursor);
        layout->addWidget(b);
    }
    layout->addStretch();
    row.refresh->setStyleSheet(kRefreshStyle);
    row.refresh->setFixedHeight(24);
    row.refresh->setCursor(Qt::PointingHandCursor);
    layout->addWidget(row.refresh);
    return row;
}

QLabel *ControlPanelChrome::buildNoCameraLabel(QWidget *parent)
{
    auto *label = new QLabel(tr(kNoCameraText), parent);
    label->setAlignment(Qt::AlignCenter);
    // A longer translation takes a second line rather than running out of the window.
    label->setWordWrap(true);
    label->setStyleSheet("color: #888888; font-size: 14px; font-weight: bold;");
    label->hide();
    return label;
}

QScrollArea *ControlPanelChrome::buildScrollPage(QWidget *parent, QWidget *content)
{
    auto *page = new QScrollArea(parent);
    page->setFrameShape(QFrame::NoFrame);
    page->setWidgetResizable(true);
    page->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    page->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    page->setStyleSheet(kScrollStyle);
    content->setObjectName("scrollPageContent");
    content->setMinimumWidth(200);
    content->setMaximumWidth(400);
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    return page;
}

QWidget *ControlPanelChrome::buildFooter(QWidget *parent)
{
    auto *footer = new QWidget(parent);
    footer->setFixedHeight(15);
    footer->setStyleSheet("background: transparent;");
    footer->setCursor(Qt::SizeVerCursor);
    auto *layout = new QHBoxLayout(footer);
    // The label stands above the window's outline, so its descenders stay whole.
    layout->setContentsMargins(0, 0, 15, 3);
    layout->addStretch();
    auto *contact = new QLabel(tr(kContactText), footer);
    contact->setStyleSheet("font-size: 10px; color: #888888;");
    layout->addWidget(contact);
    return footer;
}

void ControlPanelChrome::paintFrame(QPainter &painter, const QRect &rect, int radius)
{
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(rect, radius, radius);
    painter.setClipPath(clip);
    painter.fillRect(rect, QColor("#10121a"));
    painter.setClipping(false);
    painter.setPen(QPen(QColor(255, 255, 255, 50), 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(rect.adjusted(1, 1, -1, -1), radius, radius);
}
