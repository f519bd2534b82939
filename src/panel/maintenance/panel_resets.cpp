#include "panel_resets.h"

#include "colour_page.h"
#include "colour_tables.h"
#include "command_texts.h"
#include "packet_cmd.h"
#include "palette_label.h"
#include "panel_camera_context.h"
#include "param_control.h"
#include "param_page_set.h"

#include <QTimer>

namespace {
const char *const kToneKeys[] = {"u8Yellow", "u8Orange", "u8Gray", "u8Black", "u8White"};
const int kToneSlots[] = {43, 44, 45, 46, 47};
} // namespace

PanelResets::PanelResets(const Parts &parts, QObject *parent) : QObject(parent), m_parts(parts) {}

bool PanelResets::sendDefaults(int config)
{
    return m_parts.camera->sendChecked(CmdSetDefaultParam, CommandTexts::setDefaultParam(config));
}

bool PanelResets::resetImageDefaults()
{
    const bool accepted = sendDefaults(kImageDefaults);
    resetToDefaults(m_parts.tones == ToneReset::WithImageReset);
    return accepted;
}

bool PanelResets::resetFactoryDefaults()
{
    // A camera that refused keeps its settings and never restarts: nothing to follow.
    if (!sendDefaults(kFactoryDefaults))
        return false;
    resetToDefaults(m_parts.tones == ToneReset::WithFactoryReset);
    return true;
}

void PanelResets::resetToDefaults(bool resetTones)
{
    for (HsvKind kind : {HsvKind::Hue, HsvKind::Saturation}) {
        const HsvTable &defaults = HsvKindInfo::of(kind).defaults;
        m_parts.tables->setTable(kind, defaults);
        m_parts.tables->sendTable(kind, defaults);
        if (PaletteLabel *label = m_parts.colourPage->pageLabel(kind))
            label->setValues(defaults.toList());
    }
    if (resetTones) {
        for (int slot : kToneSlots)
            m_parts.camera->params()[slot] = kToneNeutral;
        if (ParamPageSet *pages = m_parts.pages) {
            pages->beginApply(false);
            for (const char *key : kToneKeys)
                if (ParamControl *control = pages->control(QString::fromLatin1(key)))
                    control->setValue(kToneNeutral - 50);
            pages->endApply();
        }
    }
    m_parts.colourPage->clearColorHighlights();
    const auto refresh = m_parts.refresh;
    if (refresh)
        QTimer::singleShot(kRefreshAfterResetMs, this, refresh);
    QTimer::singleShot(kTablesAfterResetMs, this, [tables = m_parts.tables] { tables->readHsvTables(); });
}
