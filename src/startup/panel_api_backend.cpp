#include "panel_api_backend.h"

#ifdef KESTRANE_CONTROL_API

#include "device_sender.h"
#include "param_page_set.h"
#include "widget.h"

ControlApiBackend::Availability PanelApiBackend::availability() const
{
    const Widget *panel = m_panel();
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

#endif // KESTRANE_CONTROL_API
