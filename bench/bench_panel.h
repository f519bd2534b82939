#pragma once

// The control panel showing one simulated camera, its preview open on replayed frames
// when asked, for the benchmarks of the ways in from outside; and their latency
// counters.
#include "hid_backend.h"
#include "replay_frame_source.h"
#include "simulated_camera_bus.h"
#include "simulated_video.h"
#include "widget.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

class BenchPanel {
public:
    explicit BenchPanel(bool preview)
        : m_bus(SimulatedCameraBus::install({"RV-K310A-WU"}, cameraVendorId()))
    {
        SimulatedVideo::install(m_bus);
        VideoFrameSource::setFactory([](QObject *parent) { return new ReplayFrameSource(parent); });
        m_panel = std::make_unique<Widget>();
        m_panel->show();
        QSignalSpy refreshed(m_panel.get(), &Widget::deviceListRefreshed);
        refreshed.wait(5000);
        m_panel->onDeviceDoubleClicked(m_panel->deviceItem(0), 0);
        if (preview)
            m_panel->previewToggle()->click();
        QTest::qWait(1000);
        m_ready = !preview || m_panel->cameraWindow();
    }
    ~BenchPanel()
    {
        m_panel.reset();
        VideoFrameSource::setFactory({});
        SimulatedVideo::uninstall();
        HidBackend::setActive(nullptr);
        delete m_bus;
    }
    Widget &panel() { return *m_panel; }
    // False when the preview was asked for and did not open.
    bool ready() const { return m_ready; }

private:
    SimulatedCameraBus *m_bus;
    std::unique_ptr<Widget> m_panel;
    bool m_ready = false;
};

// Records one round trip timed by `clock` as the iteration's time.
inline void recordRoundTrip(benchmark::State &state, std::vector<double> &ms, const QElapsedTimer &clock)
{
    ms.push_back(double(clock.nsecsElapsed()) / 1e6);
    state.SetIterationTime(ms.back() / 1000.0);
}

// How round-trip benchmarks run: 500 timed requests each, in microseconds.
inline void roundTripRuns(benchmark::internal::Benchmark *b)
{
    b->Iterations(500)->UseManualTime()->Unit(benchmark::kMicrosecond);
}

// Median and 99th percentile of the times in `ms`, as counters in milliseconds.
inline void reportLatency(benchmark::State &state, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    if (ms.empty())
        return;
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
}
