// Activating a camera on the control panel against a simulated camera that answers
// at once: both reads (video parameters, settings), the two applies and the page
// updates. What is measured is the tool's own work plus the simulator's answers.
#include "app_paths.h"
#include "device_models.h"
#include "hid_backend.h"
#include "log_manager.h"
#include "simulated_camera.h"
#include "simulated_camera_bus.h"
#include "widget.h"

#include "offscreen_benchmark_main.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>

namespace {
void BM_Activation(benchmark::State &state)
{
    SimulatedCameraBus *bus = SimulatedCameraBus::install({"RV-K310A-WU"}, cameraVendorId());
    {
        Widget panel;
        QTreeWidgetItem *item = panel.deviceItem(0);
        if (!item)
            state.SkipWithError("the camera was not listed");
        for (auto _ : state) {
            if (item)
                panel.onDeviceDoubleClicked(item, 0);
        }
        if (panel.currentIndex() != 0)
            state.SkipWithError("the camera was not activated");
    }
    HidBackend::setActive(nullptr);
    delete bus;
}
BENCHMARK(BM_Activation)->Unit(benchmark::kMillisecond);

// Only the page side: showing a record that differs from the last one in every control.
void BM_ApplyCameraParams(benchmark::State &state)
{
    SimulatedCameraBus *bus = SimulatedCameraBus::install({}, cameraVendorId());
    {
        Widget panel;
        CameraParams a;
        CameraParams b;
        for (int s = 0; s < 81; ++s) {
            a[s] = 40;
            b[s] = 60;
        }
        bool flip = false;
        for (auto _ : state) {
            panel.applyCameraParams(flip ? a : b, false);
            flip = !flip;
        }
    }
    HidBackend::setActive(nullptr);
    delete bus;
}
BENCHMARK(BM_ApplyCameraParams)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char **argv)
{
    return runOffscreenBenchmarks(argc, argv);
}
