#include "panel_api_backend.h"

#ifdef KESTRANE_CONTROL_API

#include "device_sender.h"
#include "param_control.h"
#include "param_page_set.h"
#include "preset_shortcuts.h"
#include "preset_store.h"
#include "ptz_area.h"
#include "ptz_commands.h"
#include "widget.h"

ControlApiBackend::Availability PanelApiBackend::availability() const
{
    const Widget *panel = m_panel();
    if (panel && panel->isUpgrading())
        return Availability::Upgrading;
    if (!panel && m_seriesWait && m_seriesWait())
        return Availability::AwaitingSeries;
    return !panel || panel->isBusy() ? Availability::Busy : Availability::Ready;
}

QList<ControlApiBackend::Camera> PanelApiBackend::cameras() const
{
    QList<Camera> cameras;
    if (const Widget *panel = m_panel())
        for (const auto &[index, entry] : panel->listedCameras())
            cameras << Camera{index, entry, index == panel->currentIndex()};
    return cameras;
}

std::optional<ControlApiBackend::Param> PanelApiBackend::param(const Camera &camera, const QString &key)
{
    Widget *panel = m_panel();
    ParamPageSet *pages = panel ? panel->pagesForModel(camera.entry.productModel) : nullptr;
    const ParamControl *control = pages && !key.isEmpty() ? pages->control(key) : nullptr;
    if (!control)
        return std::nullopt;
    return Param{control->row.target == ParamRow::Target::Setting, control->row.sendableValues()};
}

void PanelApiBackend::newRequest(const Camera &camera)
{
    if (Widget *panel = m_panel())
        panel->cameraContext()->sender().forgetUnanswered(camera.index);
}

std::optional<QByteArray> PanelApiBackend::exchange(int index, quint32 cmdId, const QByteArray &text)
{
    Widget *panel = m_panel();
    QByteArray reply(DeviceSender::kReplyBufferSize, '\0');
    if (!panel || !panel->cameraContext()->sender().sendText(index, int(cmdId), text, reply.data(), int(reply.size())))
        return std::nullopt;
    return QByteArray(reply.constData()); // up to the terminating zero
}

bool PanelApiBackend::select(const Camera &camera)
{
    Widget *panel = m_panel();
    return panel && panel->activateCamera(camera.entry.serial);
}

void PanelApiBackend::valueSent(const Camera &camera, const QString &key, int value)
{
    if (Widget *panel = m_panel())
        panel->showSentValue(camera.index, key, value);
}

void PanelApiBackend::recordWritten(const Camera &camera)
{
    if (Widget *panel = m_panel())
        panel->recordWritten(camera.index);
}

std::optional<int> PanelApiBackend::shownValue(const Camera &camera, const QString &key)
{
    Widget *panel = m_panel();
    if (!panel || !camera.active || panel->isBusy() || panel->currentSerial() != camera.entry.serial)
        return std::nullopt;
    ParamPageSet *pages = panel->pagesForModel(camera.entry.productModel);
    const ParamControl *control = pages && !key.isEmpty() ? pages->control(key) : nullptr;
    // Rows whose value the panel does not keep (sent only, or chosen by another row)
    // are read from the camera.
    if (!control || control->row.mirror != ParamRow::Mirror::Both || !control->row.keepsRecord || control->row.keyRule)
        return std::nullopt;
    int sent = 0;
    if (!control->row.sentValue(control->value(), &sent))
        return std::nullopt;
    return sent;
}

QMap<int, QString> PanelApiBackend::presetNames(const Camera &camera)
{
    QMap<int, QString> names;
    Widget *panel = m_panel();
    const PresetShortcuts *shortcuts = panel && panel->ptzPanel() ? panel->ptzPanel()->shortcuts() : nullptr;
    if (shortcuts && camera.active) {
        for (int preset = 1; preset <= PresetStore::kMaxPresetId - PtzCommands::kCameraPresetOffset; ++preset)
            if (!shortcuts->presetName(preset).isEmpty())
                names.insert(preset + PtzCommands::kCameraPresetOffset, shortcuts->presetName(preset));
        return names;
    }
    if (const std::optional<PresetStore::Book> book = PresetStore::load(camera.entry.serial))
        for (auto it = book->names.cbegin(); it != book->names.cend(); ++it)
            names.insert(it.key() + PtzCommands::kCameraPresetOffset, it.value());
    return names;
}

#endif // KESTRANE_CONTROL_API
