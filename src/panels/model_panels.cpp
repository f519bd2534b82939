#include "model_panels.h"

#include "model_panel.h"
#include "widget_rv_k310a_lnq.h"
#include "widget_rv_k310a_wp_befa.h"
#include "widget_rv_t782_kb_befa.h"

void ModelPanels::install()
{
    ModelPanelFactory::install([](PanelKind kind, QWidget *parent) -> ModelPanel * {
        switch (kind) {
        case PanelKind::WpBefa:
            return new widget_RV_K310A_WP_BEFA(parent);
        case PanelKind::Lnq:
            return new widget_RV_K310A_LNQ(parent);
        case PanelKind::T782:
            return new widget_RV_T782_KB_BEFA(parent);
        default:
            return nullptr;
        }
    });
}
