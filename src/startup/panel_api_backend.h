#pragma once

// Built where the control API is (the KESTRANE_CONTROL_API option, on by default).
#ifdef KESTRANE_CONTROL_API

#include "control_api_backend.h"

#include <functional>

class Widget;

// The control API served by the control panel: its listed cameras, the rows of the
// panel each camera's model gets, and the panel's own sender, so that requests from
// outside take the path the panel's controls take.
class PanelApiBackend : public ControlApiBackend {
public:
    // The control panel once it is open, null before (requests wait meanwhile).
    using PanelLookup = std::function<Widget *()>;

    // True while the start-up window waits for the user to choose a series: the panel
    // does not open before that.
    using SeriesWait = std::function<bool()>;

    explicit PanelApiBackend(PanelLookup panel, SeriesWait seriesWait = {})
        : m_panel(std::move(panel)), m_seriesWait(std::move(seriesWait))
    {
    }

    Availability availability() const override;
    QList<Camera> cameras() const override;
    std::optional<Param> param(const Camera &camera, const QString &key) override;
    void newRequest(const Camera &camera) override;
    std::optional<QByteArray> exchange(int index, quint32 cmdId, const QByteArray &text) override;
    bool select(const Camera &camera) override;
    void valueSent(const Camera &camera, const QString &key, int value) override;
    void recordWritten(const Camera &camera) override;
    std::optional<int> shownValue(const Camera &camera, const QString &key) override;
    QMap<int, QString> presetNames(const Camera &camera) override;

private:
    PanelLookup m_panel;
    SeriesWait m_seriesWait;
};

#endif // KESTRANE_CONTROL_API
