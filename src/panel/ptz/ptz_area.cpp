#include "ptz_area.h"

#include "device_models.h"
#include "preset_button.h"
#include "preset_shortcuts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {
const char *const kIcons = ":/icons/resources/icons/";
const char *const kFullPanelSeries = "B1";
const int kControlRowHeight = 150;

// The body of the panel paints every plain widget; the PTZ widgets show the panel's own shades.
const char *const kFullPanelStyle =
    "QWidget { background-color: transparent; }"
    "#ptzFullPanel { background-color: #272c33; border-radius: 10px; }"
    "#ptzZoomColumn, #ptzFocusColumn { background-color: #1e2229; border-radius: 10px; }"
    "#ptzPadCircle { background-color: #1e2229; border: 1px solid #43474c; border-radius: 60px; }"
    "#ptzPadGrid { background: transparent; }"
    "QLabel { color: #cccccc; font-size: 12px; font-family: 'Microsoft YaHei'; background: transparent; }";

const char *const kDriveButtonStyle =
    "QPushButton { background-color: #43474c; color: #ffffff; border: none; border-radius: 5px; "
    "font-size: 12px; font-family: 'Microsoft YaHei'; }"
    "QPushButton:hover { background-color: #1E90FF; }"
    "QPushButton:pressed { background-color: #2f80f4; }";

const char *const kArrowButtonStyle = "QPushButton { background: transparent; border: none; border-radius: 15px; }"
                                      "QPushButton:hover { background-color: rgba(30, 144, 255, 0.35); }"
                                      "QPushButton:pressed { background-color: #2f80f4; }";

const char *const kPresetButtonStyle =
    "QPushButton { background-color: #43474c; color: #ffffff; border: none; border-radius: 5px; "
    "font-size: 12px; font-family: 'Microsoft YaHei'; padding: 6px 14px 6px 6px; }"
    "QPushButton:hover { background-color: #1E90FF; }"
    "QPushButton:pressed { background-color: #2f80f4; }"
    "QPushButton::menu-indicator { subcontrol-origin: padding; subcontrol-position: right center; right: 4px; }";

const char *const kCompactButtonStyle =
    "QPushButton { background-color: #43474c; color: #ffffff; border: none; border-radius: 5px; "
    "font-size: 12px; font-family: 'Microsoft YaHei'; padding: 5px 0px; }"
    "QPushButton:hover { background-color: #1E90FF; }"
    "QPushButton:pressed { background-color: #2f80f4; }"
    "QPushButton::menu-indicator { image: none; width: 0px; }";

const char *const kSpeedStyle =
    "QSlider::groove:horizontal { height: 4px; background: #43474c; border-radius: 2px; }"
    "QSlider::sub-page:horizontal { background: #1E90FF; border-radius: 2px; }"
    "QSlider::handle:horizontal { background: #ffffff; width: 12px; height: 12px; margin: -4px 0; border-radius: 6px; }"
    "QLineEdit { background-color: #1e2229; color: #ffffff; border: 1px solid #43474c; border-radius: 4px; "
    "font-size: 12px; }"
    "QLineEdit:focus { border: 1px solid #1E90FF; }";

const char *const kMenuStyle =
    "QMenu { background-color: #272c33; color: #ffffff; border: 1px solid #43474c; padding: 4px 0px; "
    "font-size: 12px; font-family: 'Microsoft YaHei'; }"
    "QMenu::item { padding: 5px 24px 5px 16px; }"
    "QMenu::item:selected { background-color: #1E90FF; }";

QIcon ptzIcon(const char *file)
{
    return QIcon(QString::fromLatin1(kIcons) + QString::fromLatin1(file));
}
} // namespace

PtzArea::PtzArea(const PtzCommands::Context &context, QWidget *shortcutWindow, QWidget *parent)
    : QWidget(parent),
      m_commands(new PtzCommands(context, this)),
      m_shortcuts(new PresetShortcuts(shortcutWindow, m_commands, this))
{
    setObjectName("ptzPanel");
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildPtzPanel(layout);
}

void PtzArea::hideEvent(QHideEvent *event)
{
    m_commands->stopRunningDrive();
    QWidget::hideEvent(event);
}

void PtzArea::rebuildPtzArea(const QString &productModel)
{
    m_commands->stopRunningDrive();
    if (QLayout *old = layout()) {
        while (QLayoutItem *item = old->takeAt(0)) {
            delete item->widget();
            delete item;
        }
        delete old;
    }
    m_speedSlider = nullptr;
    m_speedEdit = nullptr;
    m_shortcuts->clearPresetButtons();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (displayNameForModel(productModel) == QLatin1String(kFullPanelSeries))
        buildPtzPanel(layout);
    else
        buildCompactPtzBar(layout);
}

// ---------------------------------------------------------------------------------------
// Full panel

void PtzArea::buildPtzPanel(QVBoxLayout *layout)
{
    m_fullPanel = true;
    auto *panel = new QWidget(this);
    panel->setObjectName("ptzFullPanel");
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setStyleSheet(kFullPanelStyle);
    auto *panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(10, 10, 10, 10);
    panelLayout->setSpacing(10);

    // As tall as the zoom, pad and focus columns, so that none of them is cut.
    auto *controls = new QWidget(panel);
    controls->setFixedHeight(kControlRowHeight);
    auto *controlsLayout = new QHBoxLayout(controls);
    controlsLayout->setContentsMargins(0, 0, 0, 0);
    controlsLayout->setSpacing(10);
    controlsLayout->addStretch();
    controlsLayout->addWidget(buildDriveColumn(controls, Drive::ZoomPlus, Drive::ZoomMinus), 0, Qt::AlignVCenter);
    controlsLayout->addWidget(buildDirectionPad(controls), 0, Qt::AlignVCenter);
    controlsLayout->addWidget(buildDriveColumn(controls, Drive::FocusPlus, Drive::FocusMinus), 0, Qt::AlignVCenter);
    controlsLayout->addStretch();
    panelLayout->addWidget(controls);

    panelLayout->addWidget(buildSpeedRow(panel));

    auto *presets = new QHBoxLayout;
    presets->setSpacing(8);
    for (int n = 1; n <= kPresetCount; ++n) {
        auto *button = new PresetButton(tr("预置位%1").arg(n), panel);
        button->setObjectName(QStringLiteral("presetButton%1").arg(n));
        button->setProperty("presetId", n);
        button->setStyleSheet(kPresetButtonStyle);
        button->setCursor(Qt::PointingHandCursor);
        buildPresetMenu(button, n);
        m_shortcuts->registerPresetButton(n, button);
        presets->addWidget(button);
    }
    panelLayout->addLayout(presets);
    layout->addWidget(panel);
}

QWidget *PtzArea::buildDriveColumn(QWidget *parent, Drive plus, Drive minus)
{
    auto *column = new QWidget(parent);
    column->setObjectName(plus == Drive::ZoomPlus ? "ptzZoomColumn" : "ptzFocusColumn");
    column->setAttribute(Qt::WA_StyledBackground);
    column->setFixedSize(60, kControlRowHeight);
    auto *layout = new QVBoxLayout(column);
    layout->setAlignment(Qt::AlignCenter);
    layout->addWidget(driveButton(plus, column), 0, Qt::AlignHCenter);
    layout->addWidget(new QLabel(QStringLiteral("  "), column), 0, Qt::AlignHCenter);
    layout->addWidget(driveButton(minus, column), 0, Qt::AlignHCenter);
    return column;
}

QPushButton *PtzArea::driveButton(Drive drive, QWidget *parent)
{
    struct Spec {
        const char *text;
        const char *objectName;
        Slot pressed;
        Slot released;
    };
    static const Spec specs[] = {
        {QT_TR_NOOP("变焦+"), "zoomPlusButton", &PtzCommands::onZoomOutPressed, &PtzCommands::onZoomOutReleased},
        {QT_TR_NOOP("变焦-"), "zoomMinusButton", &PtzCommands::onZoomInPressed, &PtzCommands::onZoomInReleased},
        {QT_TR_NOOP("聚焦+"), "focusPlusButton", &PtzCommands::onFocusPlusPressed, &PtzCommands::onFocusPlusReleased},
        {QT_TR_NOOP("聚焦-"), "focusMinusButton", &PtzCommands::onFocusMinusPressed, &PtzCommands::onFocusMinusReleased},
    };
    const Spec &spec = specs[int(drive)];
    auto *button = new QPushButton(tr(spec.text), parent);
    button->setObjectName(spec.objectName);
    button->setStyleSheet(m_fullPanel ? kDriveButtonStyle : kCompactButtonStyle);
    button->setCursor(Qt::PointingHandCursor);
    if (m_fullPanel)
        button->setFixedSize(50, 25);
    connect(button, &QPushButton::pressed, m_commands, spec.pressed);
    connect(button, &QPushButton::released, m_commands, spec.released);
    return button;
}

QWidget *PtzArea::buildDirectionPad(QWidget *parent)
{
    auto *pad = new QWidget(parent);
    pad->setFixedSize(kControlRowHeight, kControlRowHeight);
    auto *circle = new QWidget(pad);
    circle->setObjectName("ptzPadCircle");
    circle->setAttribute(Qt::WA_StyledBackground);
    circle->setGeometry(15, 15, 120, 120);
    auto *grid = new QWidget(circle);
    grid->setObjectName("ptzPadGrid");
    grid->setGeometry(10, 10, 100, 100);
    auto *gridLayout = new QGridLayout(grid);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->setSpacing(5);
    for (int i = 0; i < 3; ++i) {
        gridLayout->setRowStretch(i, 1);
        gridLayout->setColumnStretch(i, 1);
    }
    gridLayout->addWidget(arrowButton(grid, "ptzUpButton", "up.png", 8, &PtzCommands::onPTUpPressed,
                                      &PtzCommands::onPTUpReleased),
                          0, 1);
    gridLayout->addWidget(arrowButton(grid, "ptzLeftButton", "left.png", 8, &PtzCommands::onPTLeftPressed,
                                      &PtzCommands::onPTLeftReleased),
                          1, 0);
    QPushButton *home = arrowButton(grid, "ptzHomeButton", "home.png", 16, nullptr, nullptr);
    connect(home, &QPushButton::clicked, m_commands, &PtzCommands::onPTHomeClicked);
    gridLayout->addWidget(home, 1, 1);
    gridLayout->addWidget(arrowButton(grid, "ptzRightButton", "right.png", 8, &PtzCommands::onPTRightPressed,
                                      &PtzCommands::onPTRightReleased),
                          1, 2);
    gridLayout->addWidget(arrowButton(grid, "ptzDownButton", "down.png", 8, &PtzCommands::onPTDownPressed,
                                      &PtzCommands::onPTDownReleased),
                          2, 1);
    return pad;
}

QPushButton *PtzArea::arrowButton(QWidget *parent, const char *objectName, const char *iconFile, int iconSize,
                                  Slot pressed, Slot released)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(objectName);
    button->setFixedSize(30, 30);
    button->setIcon(ptzIcon(iconFile));
    button->setIconSize(QSize(iconSize, iconSize));
    button->setStyleSheet(kArrowButtonStyle);
    button->setCursor(Qt::PointingHandCursor);
    if (pressed)
        connect(button, &QPushButton::pressed, m_commands, pressed);
    if (released)
        connect(button, &QPushButton::released, m_commands, released);
    return button;
}

QWidget *PtzArea::buildSpeedRow(QWidget *parent)
{
    auto *row = new QWidget(parent);
    row->setFixedHeight(40);
    row->setStyleSheet(kSpeedStyle);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(10, 0, 10, 0);
    layout->setSpacing(10);
    layout->addWidget(new QLabel(tr("云台速度"), row));
    m_speedSlider = new QSlider(Qt::Horizontal, row);
    m_speedSlider->setObjectName("ptzSpeedSlider");
    m_speedSlider->setRange(kSpeedMin, kSpeedMax);
    m_speedSlider->setValue(kSpeedDefault);
    m_speedSlider->setMinimumWidth(150);
    layout->addWidget(m_speedSlider, 1);
    m_speedEdit = new QLineEdit(QString::number(kSpeedDefault), row);
    m_speedEdit->setObjectName("ptzSpeedEdit");
    m_speedEdit->setFixedWidth(30);
    m_speedEdit->setAlignment(Qt::AlignCenter);
    m_speedEdit->setValidator(new QIntValidator(kSpeedMin, kSpeedMax, m_speedEdit));
    layout->addWidget(m_speedEdit);

    connect(m_speedSlider, &QSlider::valueChanged, this, [this](int value) {
        m_speedEdit->setText(QString::number(value));
        m_commands->onSpeedChanged(value);
    });
    connect(m_speedEdit, &QLineEdit::editingFinished, this, &PtzArea::onSpeedEdited);
    return row;
}

void PtzArea::onSpeedEdited()
{
    bool ok = false;
    const int value = m_speedEdit->text().toInt(&ok, 10);
    if (ok && value >= kSpeedMin && value <= kSpeedMax)
        m_speedSlider->setValue(value);
}

// ---------------------------------------------------------------------------------------
// Presets

void PtzArea::buildPresetMenu(QPushButton *button, int presetId)
{
    auto *menu = new QMenu(button);
    menu->setStyleSheet(kMenuStyle);
    addPresetActions(menu, presetId);
    button->setMenu(menu);
}

void PtzArea::buildPresetSubmenus(QPushButton *button)
{
    auto *menu = new QMenu(button);
    menu->setStyleSheet(kMenuStyle);
    for (int n = 1; n <= kPresetCount; ++n) {
        QMenu *sub = menu->addMenu(QString());
        sub->setStyleSheet(kMenuStyle);
        addPresetActions(sub, n);
        // "<n>", "<n> <name>" for a named preset, and " (<shortcut>)" once one is bound,
        // as the full panel's buttons read.
        auto title = [this, sub, n] {
            const QString name = m_shortcuts->presetName(n);
            sub->setTitle((name.isEmpty() ? QString::number(n) : QStringLiteral("%1 %2").arg(n).arg(name)) +
                          m_shortcuts->shortcutSuffix(n));
        };
        title();
        connect(m_shortcuts, &PresetShortcuts::presetLabelsChanged, sub, title);
    }
    button->setMenu(menu);
}

void PtzArea::addPresetActions(QMenu *menu, int presetId)
{
    const std::pair<const char *, const char *> actions[] = {{QT_TR_NOOP("增加"), "add"}, {QT_TR_NOOP("调用"), "call"}, {QT_TR_NOOP("删除"), "delete"}};
    for (const auto &[caption, word] : actions) {
        QAction *action = menu->addAction(tr(caption));
        action->setProperty("presetId", presetId);
        const QString actionWord = QString::fromLatin1(word);
        connect(action, &QAction::triggered, m_commands,
                [this, presetId, actionWord] { m_commands->onPresetActionTriggered(presetId, actionWord); });
    }
    QAction *shortcut = menu->addAction(tr("快捷键"));
    shortcut->setProperty("presetId", presetId);
    connect(shortcut, &QAction::triggered, m_shortcuts, [this, presetId] { m_shortcuts->onSetShortcut(presetId); });
    QAction *name = menu->addAction(tr("命名"));
    name->setProperty("presetId", presetId);
    connect(name, &QAction::triggered, m_shortcuts, [this, presetId] { m_shortcuts->onNamePreset(presetId); });
    // Opt-in per camera: keeps the names and shortcuts for the next start.
    QAction *remember = menu->addAction(tr("记住名称和快捷键"));
    remember->setCheckable(true);
    remember->setProperty("presetId", presetId);
    connect(menu, &QMenu::aboutToShow, remember, [this, remember] { remember->setChecked(m_shortcuts->remembered()); });
    connect(remember, &QAction::triggered, m_shortcuts, [this, remember](bool on) {
        if (!m_shortcuts->setRemembered(on))
            remember->setChecked(false);
    });
}

// ---------------------------------------------------------------------------------------
// Compact bar

void PtzArea::buildCompactPtzBar(QVBoxLayout *layout)
{
    m_fullPanel = false;
    auto *bar = new QWidget(this);
    bar->setObjectName("ptzCompactBar");
    bar->setAttribute(Qt::WA_StyledBackground);
    bar->setFixedSize(360, 100);
    bar->setStyleSheet(QStringLiteral("#ptzCompactBar { background-image: url(%1PTZ_background.png); "
                                      "background-position: center; background-repeat: no-repeat; }")
                           .arg(QLatin1String(kIcons)));
    auto *barLayout = new QVBoxLayout(bar);
    // The picture has a title band on top and a darker well below it (44 to 94 px):
    // the buttons sit in the middle of the well.
    barLayout->setContentsMargins(15, 44, 15, 6);
    barLayout->setSpacing(0);
    auto *row = new QHBoxLayout;
    row->setSpacing(10);
    row->addWidget(driveButton(Drive::ZoomMinus, bar));
    row->addWidget(driveButton(Drive::ZoomPlus, bar));
    auto *preset = new QPushButton(tr("预置位"), bar);
    preset->setObjectName("compactPresetButton");
    preset->setStyleSheet(kCompactButtonStyle);
    preset->setCursor(Qt::PointingHandCursor);
    buildPresetSubmenus(preset);
    row->addWidget(preset);
    row->addWidget(driveButton(Drive::FocusMinus, bar));
    row->addWidget(driveButton(Drive::FocusPlus, bar));
    barLayout->addStretch();
    barLayout->addLayout(row);
    barLayout->addStretch();
    layout->addWidget(bar, 0, Qt::AlignHCenter | Qt::AlignTop);
}
