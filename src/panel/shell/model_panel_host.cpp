#include "model_panel_host.h"

#include "debounced_param_sender.h"

#include <QDebug>
#include <QVBoxLayout>

ModelPanelHost::ModelPanelHost(const Context &context, QObject *parent) : QObject(parent), m_context(context)
{
}

ModelPanel *ModelPanelHost::active() const
{
    return *m_context.kind == PanelKind::BuiltIn ? nullptr : panel(*m_context.kind);
}

ModelPanel *ModelPanelHost::ensure(PanelKind kind)
{
    if (ModelPanel *panel = m_panels.value(kind))
        return panel;
    ModelPanel *panel = ModelPanelFactory::create(kind, m_context.window);
    if (!panel)
        return nullptr;
    const char *name = "rv_k310a_wp_befa_container";
    if (kind == PanelKind::Lnq) {
        qDebug() << "create rv k310a lnq ui";
        name = "rv_k310a_lnq_container";
    } else if (kind == PanelKind::T782) {
        qDebug() << "create rv t782 kb befa ui";
        name = "rv_t782_kb_befa_container";
    } else {
        qDebug() << "create rv k310a wp befa ui";
    }
    panel->setPreviewAccess(m_context.preview);
    panel->buildUi();
    auto *container = new QWidget(m_context.window);
    container->setObjectName(QString::fromLatin1(name));
    auto *layout = new QVBoxLayout(container);
    layout->setContentsMargins(8, 8, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel);
    m_context.body->insertWidget(m_context.body->indexOf(m_context.anchor) + 1, container, 1);
    container->hide();
    if (kind != PanelKind::T782)
        connect(panel, &ModelPanel::startFaceDataCollection, this, &ModelPanelHost::startFaceDataCollection);
    if (kind == PanelKind::Lnq)
        connect(panel, &ModelPanel::screenOrientationChanged, this, &ModelPanelHost::screenOrientationChanged);
    m_panels.insert(kind, panel);
    m_containers.insert(kind, container);
    return panel;
}

// Activation step: shows the panel of a model kind with the active camera's record.
void ModelPanelHost::show(PanelKind kind, HIDManager *manager, int index, const CameraParams &params,
                          qint32 sleepSetting)
{
    ModelPanel *panel = ensure(kind);
    if (!panel)
        return;
    m_containers.value(kind)->show();
    panel->setDevice(manager, index);
    panel->applyParams(params, false);
    if (kind == PanelKind::WpBefa)
        panel->setSleepSwitch(sleepSetting != 0);
}

void ModelPanelHost::hideAll()
{
    for (QWidget *container : std::as_const(m_containers))
        container->hide();
}

void ModelPanelHost::setHeld(bool hold)
{
    for (ModelPanel *panel : std::as_const(m_panels))
        panel->camera()->paramSender()->setHeld(hold);
}
