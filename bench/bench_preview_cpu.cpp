// The tool's own CPU time while one simulated camera previews at 30 frames per second,
// and while the control panel is open with the preview closed. The camera's frames
// are rendered once up front and replayed, so the simulated scene's drawing is not
// counted; everything else (frame path, painting, the panel's polls and the preview's
// orientation probe against the simulated camera) is.
//
// Beside it, in the same run: the frame path alone on the same window (the frames
// handed to it back to back and each painted at once, as bench_frame_to_screen does),
// so that what the running preview spends beyond it shows as a ratio; and a plain Qt
// preview of the same frames as the anchor (cvtColor, a table read per pixel, cv::resize, QImage to QPixmap to
// QLabel::setPixmap), each in the default window at 30 frames per second.
#include "bench_frames.h"
#include "camera_window.h"
#include "preview_picture_view.h"
#include "device_models.h"
#include "lut3d.h"
#include "offscreen_benchmark_main.h"
#include "preview_lut_settings.h"
#include "process_cpu.h"
#include "replay_frame_source.h"
#include "simulated_camera_bus.h"
#include "simulated_video.h"
#include "video_frame_source.h"
#include "widget.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <QVideoFrame>

#include <opencv2/imgproc.hpp>

#include <cstdio>
#include <memory>

namespace {

constexpr int kWarmUpMs = 1000;
constexpr int kMeasureMs = 5000;
constexpr int kFrameIntervalMs = 33;
constexpr int kCubeSize = 33;
const QSize kWindowSize(1120, 700);

const std::vector<QVideoFrame> &frames() {
    static const std::vector<QVideoFrame> all = benchframes::naturalVideoFrames();
    return all;
}

void runEventLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// CPU milliseconds per second and frames per second over kMeasureMs of event loop;
// `shown` counts the frames shown so far.
struct Rate {
    double cpuMsPerS = 0;
    double fps = 0;
};
Rate measure(const std::function<int()> &shown) {
    const int framesBefore = shown();
    const double start = processCpuMs();
    QElapsedTimer wall;
    wall.start();
    runEventLoop(kMeasureMs);
    const double seconds = double(wall.elapsed()) / 1000.0;
    return {(processCpuMs() - start) / seconds, (shown() - framesBefore) / seconds};
}

// Figures by LUT (0, 1) for the comparison printed at the end.
struct Figures {
    double previewMsPerFrame = 0;
    double framePathMs = 0;
    double anchorMsPerFrame = 0;
};
Figures g_figures[2];

// Argument: LUT on. Counters: CPU milliseconds per second of preview and of idle
// panel, frames shown per second, the CPU milliseconds of one frame all in and of the
// frame path alone, and their ratio.
void BM_PreviewCpu(benchmark::State &state) {
    const int lutOn = int(state.range(0));
    QTemporaryDir dir;
    if (lutOn)
        benchframes::writeCubeFile(dir.filePath("grade.cube"), kCubeSize);
    PreviewLutSettings::set(false, lutOn ? dir.filePath("grade.cube") : QString());
    SimulatedCameraBus *bus = SimulatedCameraBus::install({"RV-K310A-WU"}, cameraVendorId());
    SimulatedVideo::install(bus);
    VideoFrameSource::setFactory([](QObject *parent) { return new ReplayFrameSource(parent); });
    Rate preview, idle;
    double framePathMs = 0;
    for (auto _ : state) {
        auto panel = std::make_unique<Widget>();
        panel->show();
        QSignalSpy refreshed(panel.get(), &Widget::deviceListRefreshed);
        refreshed.wait(5000);
        panel->onDeviceDoubleClicked(panel->deviceItem(0), 0);
        panel->previewToggle()->click();
        CameraWindow *window = panel->cameraWindow();
        if (!window) {
            state.SkipWithError("no preview");
            break;
        }
        window->resize(kWindowSize);
        runEventLoop(kWarmUpMs);
        preview = measure([window] { return window->framesShown(); });

        // The frame path alone, on the same window and frames.
        constexpr int kFrames = 300;
        const double start = processCpuMs();
        for (int i = 0; i < kFrames; ++i) {
            window->onQtVideoFrame(frames()[size_t(i) % frames().size()]);
            window->pictureView()->repaint();
        }
        framePathMs = (processCpuMs() - start) / kFrames;

        panel->previewToggle()->click(); // closes the preview
        runEventLoop(kWarmUpMs);
        idle = measure([] { return 0; });
    }
    Figures &f = g_figures[lutOn];
    f.previewMsPerFrame = preview.fps > 0 ? preview.cpuMsPerS / preview.fps : 0;
    f.framePathMs = framePathMs;
    state.counters["preview_cpu_ms_per_s"] = preview.cpuMsPerS;
    state.counters["fps"] = preview.fps;
    state.counters["idle_cpu_ms_per_s"] = idle.cpuMsPerS;
    state.counters["frame_all_in_ms"] = f.previewMsPerFrame;
    state.counters["frame_path_ms"] = framePathMs;
    state.counters["all_in_per_frame_path"] = framePathMs > 0 ? f.previewMsPerFrame / framePathMs : 0;
    VideoFrameSource::setFactory({});
    SimulatedVideo::uninstall();
    HidBackend::setActive(nullptr);
    delete bus;
    PreviewLutSettings::set(false, QString());
}

// A straightforward Qt preview of the same frames, in a plain window of the same size.
class PlainQtPreview : public QWidget {
public:
    explicit PlainQtPreview(const unsigned char *table) : m_table(table) {
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, CameraWindow::kTitleBarHeight, 0, 0);
        m_label = new QLabel(this);
        m_label->setAlignment(Qt::AlignCenter);
        m_label->setMinimumSize(400, 260);
        layout->addWidget(m_label);
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(kFrameIntervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { showFrame(frames()[m_next++ % frames().size()]); });
        m_timer.start();
    }
    int framesShown() const { return m_shown; }

private:
    void showFrame(const QVideoFrame &frame) {
        QVideoFrame mapped(frame);
        if (!mapped.map(QVideoFrame::ReadOnly))
            return;
        const cv::Mat yuyv(mapped.height(), mapped.width(), CV_8UC2, mapped.bits(0), size_t(mapped.bytesPerLine(0)));
        cv::cvtColor(yuyv, m_bgr, cv::COLOR_YUV2BGR_YUY2);
        mapped.unmap();
        if (m_table)
            benchframes::lookUpPlain(m_bgr, m_graded, m_table);
        cv::cvtColor(m_table ? m_graded : m_bgr, m_rgb, cv::COLOR_BGR2RGB);
        const QSize shown = QSize(m_rgb.cols, m_rgb.rows).scaled(m_label->size(), Qt::KeepAspectRatio);
        cv::resize(m_rgb, m_scaled, cv::Size(shown.width(), shown.height()));
        const QImage image(m_scaled.data, m_scaled.cols, m_scaled.rows, int(m_scaled.step), QImage::Format_RGB888);
        m_label->setPixmap(QPixmap::fromImage(image));
        ++m_shown;
    }

    const unsigned char *m_table;
    QLabel *m_label = nullptr;
    QTimer m_timer;
    size_t m_next = 0;
    int m_shown = 0;
    cv::Mat m_bgr, m_graded, m_rgb, m_scaled;
};

// Argument: LUT on. Counters: CPU milliseconds per second and per frame.
void BM_PlainQtPreviewCpu(benchmark::State &state) {
    const int lutOn = int(state.range(0));
    cv::Mat plain;
    if (lutOn) {
        Lut3d lut;
        lut.setCube(kCubeSize, benchframes::randomCube(kCubeSize));
        plain = lut.plainTable();
    }
    Rate rate;
    for (auto _ : state) {
        PlainQtPreview window(lutOn ? plain.data : nullptr);
        window.resize(kWindowSize);
        window.show();
        runEventLoop(kWarmUpMs);
        rate = measure([&window] { return window.framesShown(); });
    }
    g_figures[lutOn].anchorMsPerFrame = rate.fps > 0 ? rate.cpuMsPerS / rate.fps : 0;
    state.counters["preview_cpu_ms_per_s"] = rate.cpuMsPerS;
    state.counters["fps"] = rate.fps;
    state.counters["frame_all_in_ms"] = g_figures[lutOn].anchorMsPerFrame;
}

// The tool and the anchor alternate, so that a change in the machine's load touches both.
void oneRun(benchmark::internal::Benchmark *b) {
    b->ArgName("lut")->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
}
BENCHMARK(BM_PreviewCpu)->Arg(0)->Apply(oneRun);
BENCHMARK(BM_PlainQtPreviewCpu)->Arg(0)->Apply(oneRun);
BENCHMARK(BM_PreviewCpu)->Arg(1)->Apply(oneRun);
BENCHMARK(BM_PlainQtPreviewCpu)->Arg(1)->Apply(oneRun);

void printComparison() {
    std::printf("\nCPU per frame shown, all in (default window, 30 fps):\n");
    for (int lut = 0; lut < 2; ++lut) {
        const Figures &f = g_figures[lut];
        if (f.previewMsPerFrame <= 0)
            continue;
        std::printf("  LUT %s: preview %.2f ms, frame path alone %.2f ms (%.2fx)", lut ? "on " : "off",
                    f.previewMsPerFrame, f.framePathMs, f.framePathMs > 0 ? f.previewMsPerFrame / f.framePathMs : 0);
        if (f.anchorMsPerFrame > 0)
            std::printf(", plain Qt preview %.2f ms (%.2fx the preview)", f.anchorMsPerFrame,
                        f.anchorMsPerFrame / f.previewMsPerFrame);
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char **argv) {
    return runOffscreenBenchmarks(argc, argv, nullptr, printComparison);
}
