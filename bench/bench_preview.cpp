

// The preview's per-frame work and the LUT table build.
#include "bench_frames.h"
#include "lut3d.h"
#include "lut_reference.h"
#include "preview_frame_pipeline.h"
#include "process_cpu.h"
#include "simulated_video_scene.h"

#include <QGuiApplication>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <opencv2/core/utility.hpp>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using benchframes::kH;
using benchframes::kW;
using benchframes::randomCube;

const Lut3d &sharedLut() {
    static Lut3d lut;
    if (!lut.hasTable())
        lut.setCube(33, randomCube(33));
    return lut;
}

const std::vector<unsigned char> &naturalFrame() {
    static const std::vector<unsigned char> frame = benchframes::naturalFrame();
    return frame;
}

const std::vector<unsigned char> &noiseFrame() {
    static std::vector<unsigned char> frame = [] {
        std::vector<unsigned char> f(size_t(kW) * kH * 2);
        QRandomGenerator rng(3);
        for (unsigned char &b : f)
            b = static_cast<unsigned char>(rng.bounded(256));
        return f;
    }();
    return frame;
}

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

void BM_BuildLutTable(benchmark::State &state) {
    const int n = int(state.range(0));
    Lut3d lut;
    const cv::Mat cube = randomCube(n);
    const double cpuStart = processCpuMs();
    for (auto _ : state)
        lut.setCube(n, cube);
    state.counters["cpu_all_ms"] = benchmark::Counter(processCpuMs() - cpuStart, benchmark::Counter::kAvgIterations);
    state.counters["threads"] = cv::getNumThreads();
}
BENCHMARK(BM_BuildLutTable)->Arg(17)->Arg(33)->Arg(65)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BuildLutTableDirect(benchmark::State &state) {
    const cv::Mat cube = randomCube(33);
    for (auto _ : state)
        benchmark::DoNotOptimize(referenceLutTable(cube, 33).data());
}
BENCHMARK(BM_BuildLutTableDirect)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The whole frame path up to the picture (conversion, LUT, RGB, quarter turn).
void framePath(benchmark::State &state, const std::vector<unsigned char> &yuyv, bool withLut,
               bool landscape) {
    PreviewFramePipeline pipeline;
    const Lut3d *lut = withLut ? &sharedLut() : nullptr;
    const MappedFrame frame = MappedFrame::yuyv(yuyv.data(), qsizetype(yuyv.size()), kW, kH, kW * 2);
    for (auto _ : state) {
        pipeline.process(frame, lut, landscape);
        benchmark::DoNotOptimize(pipeline.image().constBits());
    }
    state.counters["rss_MiB"] = double(residentKiB()) / 1024.0;
}
void BM_FramePathNatural(benchmark::State &s) {
    framePath(s, naturalFrame(), false, false);
}
void BM_FramePathNaturalLut(benchmark::State &s) {
    framePath(s, naturalFrame(), true, false);
}
void BM_FramePathNoise(benchmark::State &s) {
    framePath(s, noiseFrame(), false, false);
}
void BM_FramePathNoiseLut(benchmark::State &s) {
    framePath(s, noiseFrame(), true, false);
}
void BM_FramePathNaturalLutUpright(benchmark::State &s) {
    framePath(s, naturalFrame(), true, true);
}
BENCHMARK(BM_FramePathNatural)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FramePathNaturalLut)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FramePathNaturalLutUpright)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FramePathNoise)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FramePathNoiseLut)->Unit(benchmark::kMillisecond)->UseRealTime();

// The LUT look-up alone, BGR to BGR as applyLUTFast does it.
void BM_LutLookupNatural(benchmark::State &state) {
    cv::Mat bgr;
    const std::vector<unsigned char> &f = naturalFrame();
    PreviewFramePipeline pipeline;
    pipeline.process(MappedFrame::yuyv(f.data(), qsizetype(f.size()), kW, kH, kW * 2), nullptr, true);
    const QImage img = pipeline.image();
    cv::Mat(kH, kW, CV_8UC3, const_cast<uchar *>(img.constBits()), size_t(img.bytesPerLine())).copyTo(bgr);
    cv::Mat out;
    for (auto _ : state)
        sharedLut().apply(bgr, out, false);
}
BENCHMARK(BM_LutLookupNatural)->Unit(benchmark::kMillisecond)->UseRealTime();

// The simulated camera's frame rendering.
void BM_SimulatedSceneFrame(benchmark::State &state) {
    SimulatedVideoScene scene;
    SimulatedVideoScene::View view;
    view.name = QStringLiteral("Camera-123");
    view.direction = int(state.range(0));
    std::vector<unsigned char> out(size_t(kW) * kH * 2);
    scene.renderYuyv(view, out.data(), kW * 2);
    double pan = 0;
    for (auto _ : state) {
        view.pan = pan;
        pan = pan > 160 ? -160 : pan + 1;
        scene.renderYuyv(view, out.data(), kW * 2);
    }
}
BENCHMARK(BM_SimulatedSceneFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // fonts for the scene
    benchmark::Initialize(&argc, argv);
    std::printf("resident before any LUT: %.1f MiB\n", double(residentKiB()) / 1024.0);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
