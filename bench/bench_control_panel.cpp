// The control panel's refresh with four simulated cameras that answer at once:
// closing and reopening every interface and asking each camera for its identity.
#include "app_paths.h"
#include "device_models.h"
#include "hid_backend.h"
#include "log_manager.h"
#include "simulated_camera_bus.h"
#include "widget.h"

#include "offscreen_benchmark_main.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>

namespace {
void BM_HandleRefreshFourCameras(benchmark::State &state)
{
    SimulatedCameraBus *bus = SimulatedCameraBus::install(
        {"RV-K310A-WU", "RV-T782-KB", "RV-N906-PX", "RV-K310A-LNQ"}, cameraVendorId());
    {
        Widget panel;
        for (auto _ : state) {
            panel.handleRefresh();
            if (panel.connectedCount() != 4)
                state.SkipWithError("not every camera was listed");
        }
    }
    HidBackend::setActive(nullptr);
    delete bus;
}
BENCHMARK(BM_HandleRefreshFourCameras)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    return runOffscreenBenchmarks(argc, argv);
}
