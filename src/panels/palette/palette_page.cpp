#include "palette_page.h"

#include "collapsible_group.h"
#include "command_texts.h"
#include "log_manager.h"
#include "packet_cmd.h"
#include "palette_control_panel.h"
#include "panel_camera_context.h"
#include "polar_palette_widget.h"
#include "wheel_event_filter.h"

#include <QDebug>
#include <QVBoxLayout>

namespace {
bool g_placedInPanel = false;
}

PalettePage::PalettePage(PanelCameraContext *context, QWidget *parent)
    : QWidget(parent), m_context(context), m_palette(new PolarPaletteWidget(this)),
      m_controlPanel(new PaletteControlPanel(m_palette, this)) {
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(10);
    layout->setContentsMargins(5, 5, 5, 5);
    m_palette->setMinimumHeight(PolarPaletteWidget::kMinimumSide);
    m_controlPanel->setMaximumHeight(200);
    // The wheel over the palette scrolls the panel, as over the pages' sliders.
    WheelEventFilter::install(m_palette);
    layout->addWidget(m_palette, 3);
    layout->addWidget(m_controlPanel, 1);

    connect(m_palette, &PolarPaletteWidget::adjustmentChanged, this, &PalettePage::onAdjustmentChanged);
    connect(m_controlPanel, &PaletteControlPanel::randomAdjustmentRequested, this,
            [] { qDebug() << "随机调整请求"; });
    connect(m_controlPanel, &PaletteControlPanel::resetRequested, this, [] { qDebug() << "重置请求"; });
    connect(m_controlPanel, &PaletteControlPanel::generateLUTRequested, this,
            [] { qDebug() << "生成3D LUT请求"; });
    connect(m_controlPanel, &PaletteControlPanel::convertFormatRequested, this,
            [] { qDebug() << "转换格式请求"; });
}

CollapsibleGroup *PalettePage::createGroup(PanelCameraContext *context, PalettePage **page) {
    auto *group = new CollapsibleGroup(tr(kGroupTitle), [context, page](QWidget *parent) {
        auto *created = new PalettePage(context, parent);
        if (page)
            *page = created;
        return created;
    });
    group->setIcon(QString::fromLatin1(kGroupIcon));
    return group;
}

void PalettePage::setPlacedInPanel(bool placed) {
    g_placedInPanel = placed;
}

bool PalettePage::placedInPanel() {
    return g_placedInPanel;
}

void PalettePage::onAdjustmentChanged() {
    m_palette->generate3DLUT();
    m_palette->convertToHisiFormat();
    sendPaletteData(m_palette->hisiTable());
    qDebug() << "调色盘数据已发送到设备";
}

bool PalettePage::sendPaletteData(const HisiTable &table) {
    if (!m_context || !m_context->sendEnabled() || table.isEmpty())
        return false;
    const QByteArray text = CommandTexts::paletteData(table);
    if (text.size() > kMaxUploadBytes) {
        LogManager::instance()->log(
            WARNING, "Error",
            QStringLiteral("调色盘数据%1字节超出上限%2字节，未发送").arg(text.size()).arg(kMaxUploadBytes));
        return false;
    }
    qDebug() << "发送调色盘数据，数据大小:" << text.size();
    return m_context->sender().sendDataToDevice(m_context->deviceIndex(), CmdSetVideoParam, text.constData(),
                                                int(text.size()), nullptr);
}
