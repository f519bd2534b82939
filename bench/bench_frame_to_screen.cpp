// The whole per-frame cost of the preview on the GUI thread: from the delivered YUYV
// frame to the picture drawn at its shown size into the window's backing store (the
// frame handed to the window, then the picture view repainted), for the default
// window and a 1920x1080 one, with and without a LUT, portrait and landscape; next to
// a straightforward OpenCV pipeline doing the same on the same frames.
#include "bench_frames.h"
#include "camera_window.h"
#include "lut3d.h"
#include "offscreen_benchmark_main.h"
#include "preview_lut_settings.h"
#include "preview_picture_view.h"
#include "process_cpu.h"
#include "video_frame_source.h"
#include "video_inputs.h"

#include <QTemporaryDir>
#include <QVideoFrame>

#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

using benchframes::kH;
using benchframes::kW;

// The default window is 70 % of the available area of a 1600 x 1000 screen.
const QSize kWindowSizes[] = {QSize(1120, 700), QSize(1920, 1080)};
constexpr int kCubeSize = 33;

class IdleSource : public VideoFrameSource {
public:
    using VideoFrameSource::VideoFrameSource;
    void open(const QString &) override { m_open = true; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    void deactivate() override {}
    bool selectFormat(QVideoFrameFormat::PixelFormat, const QSize &, float) override { return true; }

private:
    bool m_open = false;
};

const std::vector<QVideoFrame> &frames() {
    static const std::vector<QVideoFrame> all = benchframes::naturalVideoFrames();
    return all;
}

const QString &cubeFile() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath("grade.cube");
        benchframes::writeCubeFile(file, kCubeSize);
        return file;
    }();
    return path;
}

// Results by benchmark name, for the comparison printed at the end.
std::map<std::string, double> g_realMs;

class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
                g_realMs[run.run_name.str()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

// Arguments: window size index, LUT on, portrait.
void BM_FrameToScreen(benchmark::State &state) {
    const QSize windowSize = kWindowSizes[state.range(0)];
    const bool withLut = state.range(1) != 0;
    const bool portrait = state.range(2) != 0;
    VideoInputs::setProvider([] { return QList<VideoInput>{{"cam", "Camera-123", true}}; });
    VideoFrameSource::setFactory([](QObject *parent) { return new IdleSource(parent); });
    PreviewLutSettings::set(false, withLut ? cubeFile() : QString());
    auto window = std::make_unique<CameraWindow>("cam");
    window->setLandscape(!portrait);
    window->resize(windowSize);
    window->show();
    QCoreApplication::processEvents();
    if (withLut && !window->lutEnabled()) {
        state.SkipWithError("the cube did not load");
        return;
    }
    const std::vector<QVideoFrame> &list = frames();
    size_t i = 0;
    const double cpuStart = processCpuMs();
    PreviewPictureView *view = window->pictureView();
    for (auto _ : state) {
        // The picture is drawn where the view is painted: into the window's backing store.
        window->onQtVideoFrame(list[i++ % list.size()]);
        view->repaint();
    }
    state.counters["cpu_all_ms"] = benchmark::Counter(processCpuMs() - cpuStart, benchmark::Counter::kAvgIterations);
    state.counters["direct_paints"] = benchmark::Counter(view->directPaints(), benchmark::Counter::kAvgIterations);
    const QSize shown = view->pictureSize();
    state.counters["shown_w"] = shown.width();
    state.counters["shown_h"] = shown.height();
    window.reset();
    PreviewLutSettings::set(false, QString());
    VideoFrameSource::setFactory({});
    VideoInputs::setProvider({});
}

// The same work as a plain OpenCV program would do it.
void BM_OpenCvPipeline(benchmark::State &state) {
    const QSize windowSize = kWindowSizes[state.range(0)];
    const bool withLut = state.range(1) != 0;
    const bool portrait = state.range(2) != 0;
    static Lut3d lut;
    if (!lut.hasTable())
        lut.setCube(kCubeSize, benchframes::randomCube(kCubeSize));
    const QSize area(windowSize.width(), windowSize.height() - CameraWindow::kTitleBarHeight);
    const QSize picture = (portrait ? QSize(kH, kW) : QSize(kW, kH)).scaled(area, Qt::KeepAspectRatio);
    std::vector<std::vector<unsigned char>> yuyv;
    for (int seed = 9; seed < 13; ++seed)
        yuyv.push_back(benchframes::naturalFrame(seed));
    cv::Mat bgr, graded, rgb, turned, shown;
    // A plain table, indexed directly.
    static const cv::Mat plain = lut.plainTable();
    const unsigned char *table = plain.data;
    size_t i = 0;
    const double cpuStart = processCpuMs();
    for (auto _ : state) {
        const cv::Mat packed(kH, kW, CV_8UC2, yuyv[i++ % yuyv.size()].data());
        cv::cvtColor(packed, bgr, cv::COLOR_YUV2BGR_YUY2);
        if (withLut) {
            benchframes::lookUpPlain(bgr, graded, table);
        } else {
            graded = bgr;
        }
        cv::cvtColor(graded, rgb, cv::COLOR_BGR2RGB);
        if (portrait)
            cv::rotate(rgb, turned, cv::ROTATE_90_COUNTERCLOCKWISE);
        else
            turned = rgb;
        cv::resize(turned, shown, cv::Size(picture.width(), picture.height()));
        benchmark::DoNotOptimize(shown.data);
    }
    state.counters["cpu_all_ms"] = benchmark::Counter(processCpuMs() - cpuStart, benchmark::Counter::kAvgIterations);
}

void sizes(benchmark::internal::Benchmark *b) {
    for (int size = 0; size < 2; ++size)
        for (int lut = 0; lut < 2; ++lut)
            for (int portrait = 1; portrait >= 0; --portrait)
                b->Args({size, lut, portrait});
    b->ArgNames({"window", "lut", "portrait"})->Unit(benchmark::kMillisecond)->UseRealTime();
}
BENCHMARK(BM_FrameToScreen)->Apply(sizes);
BENCHMARK(BM_OpenCvPipeline)->Apply(sizes);

void printComparison() {
    std::printf("\nOpenCV pipeline time / frame-to-screen time (window 0 = 1120x700, 1 = 1920x1080):\n");
    for (const auto &[name, ms] : g_realMs) {
        if (name.rfind("BM_FrameToScreen/", 0) != 0)
            continue;
        std::string other = "BM_OpenCvPipeline/" + name.substr(std::string("BM_FrameToScreen/").size());
        const auto found = g_realMs.find(other);
        if (found != g_realMs.end() && ms > 0)
            std::printf("  %-50s %6.2f ms vs %6.2f ms: %.2fx\n", name.c_str(), ms, found->second,
                        found->second / ms);
    }
}

} // namespace

int main(int argc, char **argv) {
    RecordingReporter reporter;
    return runOffscreenBenchmarks(argc, argv, &reporter, printComparison);
}
