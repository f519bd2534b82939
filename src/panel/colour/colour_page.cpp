#include "colour_page.h"

#include "colour_picker.h"
#include "colour_tables.h"
#include "log_manager.h"
#include "message_boxes.h"
#include "palette_label.h"

#include <QDebug>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const char *const kEnlargeIcon = ":/icons/resources/icons/Enlarge.png";
const char *const kResetIcon = ":/icons/resources/icons/reset_hsv.png";
const char *const kPickIcon = ":/icons/resources/icons/color_picker.png";
const char *const kPickText = QT_TRANSLATE_NOOP("ColourPage", "吸取颜色");
const char *const kPickingText = QT_TRANSLATE_NOOP("ColourPage", "取色中");

const char *const kCaptionStyle = "color: #cccccc; font-size: 13px; background: transparent;";
const char *const kIconButtonStyle = "QPushButton { background: transparent; border: none; border-radius: 4px; }"
                                     "QPushButton:hover { background-color: rgba(30, 144, 255, 0.25); }"
                                     "QPushButton:pressed { background-color: rgba(30, 144, 255, 0.45); }";
const char *const kDialogPickStyle =
    "QPushButton { background-color: #43474c; color: white; border: none; border-radius: 6px; font-size: 13px; }"
    "QPushButton:hover { background-color: #50555b; }"
    "QPushButton:checked { background-color: #1e90ff; }";

QString pickButtonStyle(ColourPage::PickLook look)
{
    const char *colour = "#43474c";
    switch (look) {
    case ColourPage::PickLook::Neutral:
        break;
    case ColourPage::PickLook::Picking:
        colour = "#1e90ff";
        break;
    case ColourPage::PickLook::Picked:
        colour = "#4CAF50";
        break;
    case ColourPage::PickLook::NoColour:
        colour = "#1b89ef";
        break;
    }
    return QStringLiteral("QPushButton { background-color: %1; color: white; border: none; border-radius: 6px; "
                          "font-size: 12px; padding: 0 8px; }"
                          "QPushButton:hover { border: 1px solid rgba(255, 255, 255, 0.35); }")
        .arg(QLatin1String(colour));
}

QLabel *caption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setStyleSheet(kCaptionStyle);
    return label;
}

// A row holding `items`, centred between stretches.
QHBoxLayout *centredRow(std::initializer_list<QWidget *> items)
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addStretch();
    for (QWidget *w : items)
        row->addWidget(w);
    row->addStretch();
    return row;
}
} // namespace

ColourPage::ColourPage(ColourTables *tables, QWidget *panel) : ColourPage(tables, panel, Options()) {}

ColourPage::ColourPage(ColourTables *tables, QWidget *panel, const Options &options)
    : QObject(panel), m_tables(tables), m_panel(panel), m_options(options), m_picker(new ColourPicker(this))
{
    connect(m_tables, &ColourTables::tableRead, this, [this](HsvKind kind, const HsvTable &table) {
        if (PaletteLabel *label = pageLabel(kind))
            label->setValues(table.toList());
        if (PaletteLabel *label = dialogLabel(kind))
            label->setValues(table.toList());
    });
    connect(m_picker, &ColourPicker::colourPicked, this, &ColourPage::onColorPicked);
    connect(m_picker, &ColourPicker::pickEnded, this, &ColourPage::stopColorPicking);
}

bool ColourPage::isColorPicking() const
{
    return m_picker->isPicking();
}

QList<PaletteLabel *> ColourPage::existingLabels(bool pageOnly) const
{
    QList<PaletteLabel *> labels;
    for (PaletteLabel *label : {m_hueLabel.data(), m_satLabel.data(), m_dialogHueLabel, m_dialogSatLabel})
        if (label && !(pageOnly && (label == m_dialogHueLabel || label == m_dialogSatLabel)))
            labels << label;
    return labels;
}

void ColourPage::setHighlights(const QList<int> &points, const QList<PaletteLabel *> &labels)
{
    m_highlightIndices = points;
    for (PaletteLabel *label : labels)
        label->setHighlights(m_highlightIndices);
}

PaletteLabel *ColourPage::createLabel(HsvKind kind, bool inDialog, QWidget *parent)
{
    const HsvKindInfo &info = HsvKindInfo::of(kind);
    auto *label = new PaletteLabel(QString::fromLatin1(info.picture), info.minValue, info.maxValue, parent);
    connect(label, &PaletteLabel::immediateClicked, this,
            [this, kind, inDialog](int index, int value) { onImmediateClicked(kind, inDialog, index, value); });
    connect(label, &PaletteLabel::logicalClicked, this,
            [this, kind, inDialog](int index, int value) { onLogicalClicked(kind, inDialog, index, value); });
    return label;
}

QPushButton *ColourPage::createResetButton(HsvKind kind, int size, QWidget *parent)
{
    auto *button = new QPushButton(parent);
    button->setFixedSize(size, size);
    button->setIcon(QIcon(QString::fromLatin1(kResetIcon)));
    button->setIconSize(QSize(size - 4, size - 4));
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(kIconButtonStyle);
    button->setToolTip(tr(HsvKindInfo::of(kind).resetTitle));
    connect(button, &QPushButton::clicked, this, [this, kind] { resetTable(kind); });
    return button;
}

QWidget *ColourPage::buildColorPage(QWidget *parent)
{
    auto *page = new QWidget(parent);
    page->setObjectName("colorPage");
    page->setStyleSheet("QWidget#colorPage { background: transparent; }");
    auto *layout = new QVBoxLayout(page);
    layout->setSpacing(8);
    layout->setContentsMargins(0, 4, 0, 8);

    // Saturation: caption with the enlarge button, then the editor with its reset.
    auto *satBox = new QWidget(page);
    satBox->setStyleSheet("background: transparent;");
    auto *satLayout = new QVBoxLayout(satBox);
    satLayout->setContentsMargins(0, 0, 0, 0);
    satLayout->setSpacing(8);
    auto *captionRow = new QHBoxLayout;
    captionRow->addWidget(caption(tr("饱和度"), satBox));
    captionRow->addStretch();
    m_enlargeButton = new QPushButton(satBox);
    m_enlargeButton->setFixedSize(24, 24);
    m_enlargeButton->setIcon(QIcon(QString::fromLatin1(kEnlargeIcon)));
    m_enlargeButton->setIconSize(QSize(18, 18));
    m_enlargeButton->setCursor(Qt::PointingHandCursor);
    m_enlargeButton->setStyleSheet(kIconButtonStyle);
    connect(m_enlargeButton, &QPushButton::clicked, this, &ColourPage::showPaletteDialog);
    captionRow->addWidget(m_enlargeButton);
    satLayout->addLayout(captionRow);
    m_satLabel = createLabel(HsvKind::Saturation, false, satBox);
    auto *satRow = new QHBoxLayout;
    satRow->setSpacing(6);
    satRow->addWidget(m_satLabel);
    satRow->addWidget(createResetButton(HsvKind::Saturation, 20, satBox), 0, Qt::AlignBottom);
    satLayout->addLayout(satRow);
    layout->addLayout(centredRow({satBox}));

    // Hue.
    layout->addWidget(caption(tr("色度"), page));
    m_hueLabel = createLabel(HsvKind::Hue, false, page);
    layout->addLayout(centredRow({m_hueLabel, createResetButton(HsvKind::Hue, 20, page)}));

    m_colorPickButton = new QPushButton(tr(kPickText), page);
    m_colorPickButton->setIcon(QIcon(QString::fromLatin1(kPickIcon)));
    m_colorPickButton->setIconSize(QSize(16, 16));
    m_colorPickButton->setFixedSize(130, 30);
    m_colorPickButton->setCheckable(true);
    m_colorPickButton->setCursor(Qt::PointingHandCursor);
    setPickLook(PickLook::Neutral);
    connect(m_colorPickButton, &QPushButton::toggled, this, [this](bool on) {
        if (on)
            startColorPicking();
        else
            stopColorPicking();
    });
    layout->addLayout(centredRow({m_colorPickButton}));

    showTables();
    return page;
}

void ColourPage::showTables()
{
    for (HsvKind kind : {HsvKind::Hue, HsvKind::Saturation})
        if (PaletteLabel *label = pageLabel(kind))
            label->setValues(m_tables->table(kind).toList());
}

void ColourPage::showPaletteDialog()
{
    if (!m_paletteDialog) {
        m_paletteDialog = new QDialog(m_panel);
        m_paletteDialog->setObjectName("paletteDialog");
        m_paletteDialog->setWindowTitle(tr("调色盘"));
        m_paletteDialog->setFixedSize(600, 500);
        m_paletteDialog->setStyleSheet("QDialog#paletteDialog { background-color: #262a2d; }");
        auto *layout = new QVBoxLayout(m_paletteDialog);
        layout->setSpacing(16);
        layout->setContentsMargins(20, 20, 20, 20);

        layout->addWidget(caption(tr("饱和度"), m_paletteDialog));
        m_dialogSatLabel = createLabel(HsvKind::Saturation, true, m_paletteDialog);
        m_dialogSatLabel->setFixedSize(480, 150);
        layout->addLayout(centredRow({m_dialogSatLabel, createResetButton(HsvKind::Saturation, 24, m_paletteDialog)}));

        layout->addWidget(caption(tr("色度"), m_paletteDialog));
        m_dialogHueLabel = createLabel(HsvKind::Hue, true, m_paletteDialog);
        m_dialogHueLabel->setFixedSize(480, 150);
        layout->addLayout(centredRow({m_dialogHueLabel, createResetButton(HsvKind::Hue, 24, m_paletteDialog)}));

        m_dialogColorPickButton = new QPushButton(tr(kPickText), m_paletteDialog);
        m_dialogColorPickButton->setIcon(QIcon(QString::fromLatin1(kPickIcon)));
        m_dialogColorPickButton->setIconSize(QSize(16, 16));
        m_dialogColorPickButton->setFixedSize(120, 35);
        m_dialogColorPickButton->setCheckable(true);
        m_dialogColorPickButton->setCursor(Qt::PointingHandCursor);
        m_dialogColorPickButton->setStyleSheet(kDialogPickStyle);
        connect(m_dialogColorPickButton, &QPushButton::toggled, this, &ColourPage::onDialogPickToggled);
        layout->addLayout(centredRow({m_dialogColorPickButton}));
    }
    if (m_hueLabel)
        m_dialogHueLabel->setValues(m_hueLabel->values());
    if (m_satLabel)
        m_dialogSatLabel->setValues(m_satLabel->values());
    if (!m_highlightIndices.isEmpty()) {
        m_dialogHueLabel->setHighlights(m_highlightIndices);
        m_dialogSatLabel->setHighlights(m_highlightIndices);
    }
    m_paletteDialog->show();
    m_paletteDialog->raise();
    m_paletteDialog->activateWindow();
}

void ColourPage::onDialogPickToggled(bool on)
{
    if (on)
        startColorPicking();
    else
        stopColorPicking();
    // Starting may have been refused and the button unchecked meanwhile.
    if (m_dialogColorPickButton)
        m_dialogColorPickButton->setText(m_dialogColorPickButton->isChecked() ? tr(kPickingText)
                                                                                  : tr(kPickText));
}

// ---------------------------------------------------------------------------------------
// Editing

void ColourPage::highlightPoint(PointHighlight rule, int index)
{
    if (rule == PointHighlight::None)
        return;
    const bool noted = rule != PointHighlight::Point;
    if (m_highlightIndices.contains(index)) {
        if (noted)
            qDebug() << "点击了已高亮的点" << index << "，保持所有高亮点";
        return;
    }
    const bool pageOnly = rule == PointHighlight::PagePointNoted;
    if (pageOnly)
        qDebug() << "点击了非高亮点" << index << "，清除之前的高亮，高亮当前点";
    setHighlights({index}, existingLabels(pageOnly));
}

void ColourPage::onImmediateClicked(HsvKind kind, bool inDialog, int index, int value)
{
    const bool hue = kind == HsvKind::Hue;
    const PointHighlight rule = inDialog ? (hue ? m_options.dialogHueDrag : m_options.dialogSatDrag)
                                         : (hue ? m_options.hueDrag : m_options.satDrag);
    if (rule == PointHighlight::None)
        return;
    if (PaletteLabel *page = pageLabel(kind); inDialog && page)
        page->setValue(index, value);
    highlightPoint(rule, index);
}

void ColourPage::onLogicalClicked(HsvKind kind, bool inDialog, int index, int value)
{
    HsvTable table = m_tables->table(kind);
    table[index] = value;
    m_tables->setTable(kind, table);
    m_tables->sendTable(kind, table);
    // The page keeps showing what the camera has, also after an edit in the dialog.
    if (PaletteLabel *page = pageLabel(kind); inDialog && page)
        page->setValue(index, value);
    if (kind == HsvKind::Saturation)
        highlightPoint(inDialog ? PointHighlight::Point : m_options.satRelease, index);
    m_pickedColor = QColor();
    if (inDialog) {
        resetDialogPickButton();
    } else {
        setPickLook(PickLook::NoColour);
        m_tables->scheduleYellowOrangeRuddyRefresh();
    }
}

void ColourPage::resetDialogPickButton()
{
    if (!m_dialogColorPickButton)
        return;
    m_dialogColorPickButton->setChecked(false);
    m_dialogColorPickButton->setText(tr(kPickText));
}

void ColourPage::resetTable(HsvKind kind)
{
    const HsvKindInfo &info = HsvKindInfo::of(kind);
    const QString title = tr(info.resetTitle);
    if (MessageBoxes::showStyledMessageBox(m_panel, title, tr(info.resetQuestion),
                                           QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) !=
        QMessageBox::Ok)
        return;
    const bool notified = m_options.resets == ResetStyle::Notified;
    if (notified)
        qDebug().noquote() << QString::fromUtf8(info.resetLog);
    else
        logRecord(INFO, QStringLiteral("User"), QString::fromUtf8(info.resetLog));
    m_tables->setTable(kind, info.defaults);
    // The enlarged dialog shows the defaults too, so that its next edit starts from them.
    for (PaletteLabel *label : {pageLabel(kind), dialogLabel(kind)})
        if (label)
            label->setValues(info.defaults.toList());
    m_tables->sendTable(kind, info.defaults);
    clearColorHighlights();
    if (kind == HsvKind::Saturation && m_options.saturationResetReloads && m_hooks.reloadParameters)
        QTimer::singleShot(ColourTables::kTableRefreshMs, this, m_hooks.reloadParameters);
    m_tables->scheduleYellowOrangeRuddyRefresh();
    if (notified)
        MessageBoxes::information(m_panel, title, tr(info.resetDone));
}

// ---------------------------------------------------------------------------------------
// Picking

void ColourPage::setPickLook(PickLook look)
{
    m_pickLook = look;
    if (m_colorPickButton)
        m_colorPickButton->setStyleSheet(pickButtonStyle(look));
}

void ColourPage::startColorPicking()
{
    if (!m_picker->previewVisible()) {
        askToOpenPreview();
        return;
    }
    m_picker->start();
    if (detailedPicking())
        qDebug() << "开始颜色吸取模式";
    clearColorHighlights();
    if (m_colorPickButton)
        m_colorPickButton->setText(tr(kPickingText));
    setPickLook(PickLook::Picking);
    if (m_dialogColorPickButton)
        m_dialogColorPickButton->setText(tr(kPickingText));
}

void ColourPage::askToOpenPreview()
{
    // The box goes with the panel if that is destroyed while it runs.
    const QPointer<QMessageBox> box(MessageBoxes::createCustomBox(
        m_panel, tr("提示"), tr("取色功能仅可在本软件视频预览窗口内拾取画面颜色\n请打开视频预览后再使用取色器"),
        QString::fromLatin1(MessageBoxes::kPanelStyleSheet) +
            "QMessageBox QLabel { qproperty-alignment: AlignCenter; }"
            "QMessageBox QDialogButtonBox { qproperty-centerButtons: true; }"));
    box->setTextFormat(Qt::PlainText);
    box->setMinimumSize(350, 180);
    QPushButton *open = box->addButton(tr("打开视频预览"), QMessageBox::AcceptRole);
    QPushButton *cancel = box->addButton(tr("取消"), QMessageBox::RejectRole);
    box->setDefaultButton(cancel);
    MessageBoxes::exec(box);
    if (!box)
        return;
    const bool openPreview = box->clickedButton() == open;
    delete box.data();
    // Neither button may stay checked (and read "取色中") when picking did not start.
    if (m_colorPickButton)
        m_colorPickButton->setChecked(false);
    if (m_dialogColorPickButton)
        m_dialogColorPickButton->setChecked(false);
    if (!openPreview)
        return;
    if (m_options.testsLinkBeforePreview && m_hooks.testConnection && !m_hooks.testConnection()) {
        MessageBoxes::warning(nullptr, tr("连接失败"), tr("设备连接失败，请刷新设备后重新连接"));
        return;
    }
    if (m_hooks.openPreview)
        m_hooks.openPreview();
}

void ColourPage::stopColorPicking()
{
    // Unchecking a pick button comes back here through its toggled signal.
    if (m_stopping || (!detailedPicking() && !m_picker->isPicking()))
        return;
    const QScopedValueRollback<bool> stopping(m_stopping, true);
    m_picker->stop();
    if (m_colorPickButton) {
        m_colorPickButton->setChecked(false);
        m_colorPickButton->setText(tr(kPickText));
    }
    resetDialogPickButton();
    if (detailedPicking()) {
        setPickLook(PickLook::Neutral);
        qDebug() << "停止颜色吸取模式";
    } else {
        setPickLook(m_pickedColor.isValid() ? PickLook::Picked : PickLook::NoColour);
    }
}

void ColourPage::onColorPicked(const QColor &colour)
{
    if (!colour.isValid()) {
        if (detailedPicking())
            qWarning() << "无效的颜色";
        return;
    }
    m_pickedColor = colour;
    if (!detailedPicking()) {
        if (m_hueLabel && m_satLabel)
            highlightPointsForColor(colour);
        qDebug() << "吸取颜色:" << colour.name(QColor::HexRgb);
        return;
    }
    highlightPointsForColor(colour);
    const int nearest = ColourPicker::nearestHueIndex(colour);
    if (nearest < 0)
        return;
    qDebug().noquote() << QStringLiteral("颜色信息:\nRGB: %1, %2, %3\n十六进制: %4\nHSV: H=%5°, S=%6%, V=%7%\n"
                                         "最接近色度点索引: %8")
                              .arg(colour.red())
                              .arg(colour.green())
                              .arg(colour.blue())
                              .arg(colour.name(QColor::HexRgb).toUpper())
                              .arg(colour.hsvHue())
                              .arg(colour.hsvSaturation())
                              .arg(colour.value())
                              .arg(nearest);
}

void ColourPage::highlightPointsForColor(const QColor &colour)
{
    const bool detailed = detailedPicking();
    if (detailed && !(m_hueLabel && m_satLabel)) {
        qWarning() << "调色盘未初始化，无法高亮点";
        return;
    }
    const QList<int> points = ColourPicker::pointsForColour(colour);
    if (points.isEmpty()) {
        if (detailed)
            qDebug() << "无法计算色度索引，可能是灰度颜色";
        return;
    }
    if (detailed)
        qDebug() << "颜色HSV色度值:" << colour.hsvHue()
                 << "°, 最接近索引:" << ColourPicker::nearestHueIndex(colour);
    setHighlights(points, existingLabels());
    if (detailed)
        qDebug() << "高亮索引点: " << m_highlightIndices;
}

void ColourPage::clearColorHighlights()
{
    m_highlightIndices.clear();
    for (PaletteLabel *label : existingLabels())
        label->clearHighlights();
    m_pickedColor = QColor();
}
