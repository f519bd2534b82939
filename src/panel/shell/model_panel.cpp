#include "model_panel.h"

#include "collapsible_group.h"
#include "control_panel_chrome.h"
#include "param_page_set.h"

#include <QDebug>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

ModelPanel::ModelPanel(const PanelCameraContext::Style &style, QWidget *parent)
    : QWidget(parent), m_camera(new PanelCameraContext(style, this))
{
}

ModelPanel::~ModelPanel() = default;

void ModelPanel::setDevice(HIDManager *manager, int index)
{
    m_camera->setDevice(manager, index);
}

void ModelPanel::copyParams(CameraParams &out)
{
    out = m_camera->params();
}

void ModelPanel::buildScrollContent()
{
    m_content = new QWidget;
    m_scrollArea = ControlPanelChrome::buildScrollPage(this, m_content);
    m_content->setMinimumWidth(300);
    m_content->setMaximumWidth(QWIDGETSIZE_MAX);
    auto *layout = contentLayout();
    layout->setSpacing(10);
    layout->setContentsMargins(0, 0, 12, 0);
    m_scrollArea->setWidget(m_content);
    auto *own = new QVBoxLayout(this);
    own->setContentsMargins(0, 0, 0, 0);
    own->addWidget(m_scrollArea);
    scheduleAdjust();
}

QVBoxLayout *ModelPanel::contentLayout() const
{
    return static_cast<QVBoxLayout *>(m_content->layout());
}

CollapsibleGroup *ModelPanel::makeGroup(const QString &title, const char *iconFile,
                                        const std::function<QWidget *(QWidget *)> &factory)
{
    auto *group = new CollapsibleGroup(title, factory, m_content);
    group->setIcon(ControlPanelChrome::iconPath(iconFile));
    shapeGroup(group);
    return group;
}

ParamPageSet *ModelPanel::makePages()
{
    PanelCameraContext *camera = m_camera;
    ParamPageSet::Guard guard = camera->guard();
    guard.record = &camera->params();
    return new ParamPageSet(guard,
                            {[camera](const QString &k, const QString &v) { return camera->sendVideoParam(k, v); },
                             [camera](const QString &k, const QString &v) { return camera->sendSystemSetting(k, v); }},
                            this);
}

void ModelPanel::shapeGroup(CollapsibleGroup *group)
{
    group->setMinimumWidth(320);
    group->setMaximumWidth(1000);
    group->setCollapsed(true);
}

int ModelPanel::contentWidthFor(int windowWidth)
{
    return std::clamp(windowWidth - 30, 200, 400);
}

void ModelPanel::adjustContentWidth()
{
    if (!m_content)
        return;
    const int windowWidth = window()->width();
    const int w = contentWidthFor(windowWidth);
    m_content->setMinimumWidth(w);
    m_content->setMaximumWidth(w);
    qDebug() << "调整小方盒UI宽度 - 窗口宽度:" << windowWidth << ", 内容宽度:" << w;
}

void ModelPanel::scheduleAdjust()
{
    QTimer::singleShot(kAdjustDelayMs, this, &ModelPanel::adjustContentWidth);
}

void ModelPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    scheduleAdjust();
}

void ModelPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    scheduleAdjust();
}

namespace {
ModelPanelFactory::Creator &creator()
{
    static ModelPanelFactory::Creator c;
    return c;
}
} // namespace

void ModelPanelFactory::install(Creator c)
{
    creator() = std::move(c);
}

ModelPanel *ModelPanelFactory::create(PanelKind kind, QWidget *parent)
{
    return creator() ? creator()(kind, parent) : nullptr;
}
