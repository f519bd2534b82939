// The tool's own CPU time while one simulated camera previews at 30 frames per second,
// and while the control panel is open with the preview closed. The camera's frames
// are rendered once up front and replayed, so the simulated scene's drawing is not
// counted; everything else (frame path, painting, the panel's polls and the preview's
// orientation probe against the simulated camera) is.
#include "bench_frames.h"
#include "camera_window.h"
#include "device_models.h"
#include "offscreen_benchmark_main.h"
#include "preview_lut_settings.h"
#include "process_cpu.h"
#include "simulated_camera_bus.h"
#include "simulated_video.h"
#include "video_frame_source.h"
#include "widget.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QVideoFrame>

#include <memory>

namespace {

// Delivers prepared frames at the camera's rate.
class ReplaySource : public VideoFrameSource {
public:
    explicit ReplaySource(QObject *parent) : VideoFrameSource(parent), m_frames(benchframes::naturalVideoFrames()) {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(33);
        QObject::connect(&m_timer, &QTimer::timeout, this,
                         [this] { emit frameReady(m_frames[m_next++ % m_frames.size()]); });
    }
    void open(const QString &) override { m_timer.start(); }
    void close() override { m_timer.stop(); }
    bool isOpen() const override { return m_timer.isActive(); }
    void deactivate() override { m_timer.stop(); }
    bool selectFormat(QVideoFrameFormat::PixelFormat, const QSize &, float) override { return true; }

private:
    std::vector<QVideoFrame> m_frames;
    size_t m_next = 0;
    QTimer m_timer;
};

void runEventLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

QString gradeFile(QTemporaryDir &dir) {
    const QString path = dir.filePath("grade.cube");
    QFile out(path);
    out.open(QIODevice::WriteOnly | QIODevice::Text);
    QTextStream text(&out);
    const int n = 33;
    text << "LUT_3D_SIZE " << n << "\n";
    const cv::Mat cube = benchframes::randomCube(n);
    for (int i = 0; i < n * n * n; ++i)
        text << cube.ptr<float>()[i * 3] << ' ' << cube.ptr<float>()[i * 3 + 1] << ' ' << cube.ptr<float>()[i * 3 + 2]
             << '\n';
    return path;
}

// Argument: LUT on. Counters: CPU milliseconds per second of preview and of idle
// panel, frames shown per second.
void BM_PreviewCpu(benchmark::State &state) {
    constexpr int kMeasureMs = 5000;
    QTemporaryDir dir;
    PreviewLutSettings::set(false, state.range(0) ? gradeFile(dir) : QString());
    SimulatedCameraBus *bus = SimulatedCameraBus::install({"RV-K310A-WU"}, cameraVendorId());
    SimulatedVideo::install(bus);
    VideoFrameSource::setFactory([](QObject *parent) { return new ReplaySource(parent); });
    double previewCpu = 0, idleCpu = 0, fps = 0;
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
        window->resize(1120, 700);
        runEventLoop(1000);
        const int framesBefore = window->framesShown();
        double start = processCpuMs();
        QElapsedTimer wall;
        wall.start();
        runEventLoop(kMeasureMs);
        previewCpu = (processCpuMs() - start) * 1000.0 / double(wall.elapsed());
        fps = (window->framesShown() - framesBefore) * 1000.0 / double(wall.elapsed());

        panel->previewToggle()->click(); // closes the preview
        runEventLoop(1000);
        start = processCpuMs();
        wall.restart();
        runEventLoop(kMeasureMs);
        idleCpu = (processCpuMs() - start) * 1000.0 / double(wall.elapsed());
    }
    state.counters["preview_cpu_ms_per_s"] = previewCpu;
    state.counters["fps"] = fps;
    state.counters["idle_cpu_ms_per_s"] = idleCpu;
    VideoFrameSource::setFactory({});
    SimulatedVideo::uninstall();
    HidBackend::setActive(nullptr);
    delete bus;
    PreviewLutSettings::set(false, QString());
}
BENCHMARK(BM_PreviewCpu)->Arg(0)->Arg(1)->ArgName("lut")->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    return runOffscreenBenchmarks(argc, argv);
}
