#include "palette_control_panel.h"

#include "file_dialogs.h"
#include "message_boxes.h"
#include "polar_palette_widget.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char *const kButtonStyle = "QPushButton { background-color: #43474c; color: white; padding: 8px;"
                                 " border-radius: 4px; min-width: 80px; }"
                                 "QPushButton:hover { background-color: #2f80f4; }"
                                 "QPushButton:pressed { background-color: #2f80f4; }";
const char *const kFilter = QT_TRANSLATE_NOOP("PaletteControlPanel", "JSON文件 (*.json)");

} // namespace

PaletteControlPanel::PaletteControlPanel(PolarPaletteWidget *palette, QWidget *parent)
    : QWidget(parent), m_palette(palette) {
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(tr("极坐标色彩调整"), this);
    title->setStyleSheet(QStringLiteral("color: white; font-weight: bold; font-size: 14px;"));
    layout->addWidget(title);

    auto *grid = new QGridLayout;
    using Slot = void (PaletteControlPanel::*)();
    const std::pair<QString, Slot> buttons[] = {
        {tr("随机调整"), &PaletteControlPanel::onRandomAdjustment},
        {tr("重置"), &PaletteControlPanel::onReset},
        {tr("生成3D LUT"), &PaletteControlPanel::onGenerateLUT},
        {tr("转换为17×324"), &PaletteControlPanel::onConvertFormat},
        {tr("保存"), &PaletteControlPanel::onSave},
        {tr("加载"), &PaletteControlPanel::onLoad},
    };
    int k = 0;
    for (const auto &[text, slot] : buttons) {
        QPushButton *button = addButton(text);
        connect(button, &QPushButton::clicked, this, slot);
        grid->addWidget(button, k / 2, k % 2);
        ++k;
    }
    layout->addLayout(grid);

    m_status = new QLabel(tr("就绪"), this);
    m_status->setStyleSheet(QStringLiteral("color: #aaaaaa; font-size: 12px;"));
    m_status->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_status);
    layout->addStretch();

    if (m_palette) {
        connect(m_palette, &PolarPaletteWidget::pointMoved, this,
                [this] { setStatus(tr("控制点已调整")); });
        connect(m_palette, &PolarPaletteWidget::adjustmentChanged, this,
                [this] { setStatus(tr("调整已更新")); });
    }
}

QPushButton *PaletteControlPanel::addButton(const QString &text) {
    auto *button = new QPushButton(text, this);
    button->setStyleSheet(QString::fromLatin1(kButtonStyle));
    return button;
}

QString PaletteControlPanel::statusText() const {
    return m_status->text();
}

void PaletteControlPanel::setStatus(const QString &text) {
    m_status->setText(text);
}

void PaletteControlPanel::act(void (PolarPaletteWidget::*operation)(), const QString &status,
                              void (PaletteControlPanel::*request)()) {
    if (!m_palette)
        return;
    (m_palette->*operation)();
    setStatus(status);
    emit(this->*request)();
}

void PaletteControlPanel::onRandomAdjustment() {
    act(&PolarPaletteWidget::applyRandomAdjustment, tr("已应用随机调整"),
        &PaletteControlPanel::randomAdjustmentRequested);
}

void PaletteControlPanel::onReset() {
    act(&PolarPaletteWidget::resetAdjustments, tr("已重置所有调整"),
        &PaletteControlPanel::resetRequested);
}

void PaletteControlPanel::onGenerateLUT() {
    act(&PolarPaletteWidget::generate3DLUT, tr("3D LUT已生成"),
        &PaletteControlPanel::generateLUTRequested);
}

void PaletteControlPanel::onConvertFormat() {
    act(&PolarPaletteWidget::convertToHisiFormat, tr("已转换为17×324格式"),
        &PaletteControlPanel::convertFormatRequested);
}

void PaletteControlPanel::onSave() {
    const QString path = FileDialogs::getSaveFileName(this, tr("保存调整表"),
                                                      QString::fromLatin1(kDefaultFileName), tr(kFilter));
    if (path.isEmpty() || !m_palette)
        return;
    if (!m_palette->saveToFile(path)) {
        setStatus(tr("调整表保存失败"));
        MessageBoxes::warning(
            this, tr("保存失败"),
            tr("无法保存调整表到: %1\n%2").arg(path, m_palette->lastFileError()));
        return;
    }
    setStatus(tr("调整表已保存"));
    MessageBoxes::information(this, tr("保存成功"), tr("调整表已保存到: ") + path);
}

void PaletteControlPanel::onLoad() {
    const QString path = FileDialogs::getOpenFileName(this, tr("加载调整表"), QString(), tr(kFilter));
    if (path.isEmpty() || !m_palette)
        return;
    if (!m_palette->loadFromFile(path)) {
        setStatus(tr("调整表加载失败"));
        MessageBoxes::warning(this, tr("加载失败"),
                              tr("无法加载调整表: %1\n%2").arg(path, m_palette->lastFileError()));
        return;
    }
    setStatus(tr("调整表已加载"));
    MessageBoxes::information(this, tr("加载成功"),
                              tr("调整表已从: %1 加载").arg(path));
}
