#pragma once

// The pictures and cubes the preview benchmarks feed the frame path with.
#include "simulated_video_scene.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTextStream>
#include <QVideoFrame>

#include <opencv2/core.hpp>
#include <opencv2/core/utility.hpp>

#include <algorithm>
#include <vector>

namespace benchframes {

constexpr int kW = 1280;
constexpr int kH = 720;
// Noise of the "natural" frame, in code values of each YUYV byte: a webcam's picture
// after its image processor's noise reduction.
constexpr int kSensorNoise = 1;

// A mild grade: identity plus a little random warp, as real cubes are.
inline cv::Mat randomCube(int n) {
    cv::Mat cube(n * n * n, 1, CV_32FC3);
    QRandomGenerator rng(5);
    float *v = cube.ptr<float>();
    for (int b = 0, i = 0; b < n; ++b)
        for (int g = 0; g < n; ++g)
            for (int r = 0; r < n; ++r, ++i) {
                const float base[3] = {float(r) / (n - 1), float(g) / (n - 1), float(b) / (n - 1)};
                for (int c = 0; c < 3; ++c)
                    v[i * 3 + c] =
                        std::min(1.0f, std::max(0.0f, base[c] + float(rng.generateDouble() - 0.5) * 0.05f));
            }
    return cube;
}

// The same cube as a .cube file at `path`.
inline void writeCubeFile(const QString &path, int n) {
    QFile out(path);
    out.open(QIODevice::WriteOnly | QIODevice::Text);
    QTextStream text(&out);
    text << "LUT_3D_SIZE " << n << "\n";
    const cv::Mat cube = randomCube(n);
    const float *v = cube.ptr<float>();
    for (int i = 0; i < n * n * n; ++i)
        text << v[i * 3] << ' ' << v[i * 3 + 1] << ' ' << v[i * 3 + 2] << '\n';
}

// The plain way of applying a full table (row = blue, column = green * 256 + red, BGR
// entries): one read per pixel, rows spread over OpenCV's threads.
inline void lookUpPlain(const cv::Mat &bgr, cv::Mat &out, const unsigned char *table) {
    out.create(bgr.size(), CV_8UC3);
    cv::parallel_for_(cv::Range(0, bgr.rows), [&](const cv::Range &rows) {
        for (int y = rows.start; y < rows.end; ++y) {
            const unsigned char *s = bgr.ptr<unsigned char>(y);
            unsigned char *d = out.ptr<unsigned char>(y);
            for (int x = 0; x < bgr.cols * 3; x += 3) {
                const unsigned char *e = table + ((size_t(s[x]) << 16) + (size_t(s[x + 1]) << 8) + s[x + 2]) * 3;
                d[x] = e[0], d[x + 1] = e[1], d[x + 2] = e[2];
            }
        }
    });
}

// A camera-like picture: the simulated scene with a little sensor noise. `seed`
// varies the noise (and the pan) between frames of a sequence.
inline std::vector<unsigned char> naturalFrame(int seed = 9) {
    std::vector<unsigned char> f(size_t(kW) * kH * 2);
    SimulatedVideoScene scene;
    SimulatedVideoScene::View view;
    view.name = QStringLiteral("Camera-123");
    view.pan = 20 + (seed - 9);
    view.zoom = 30;
    scene.renderYuyv(view, f.data(), kW * 2);
    QRandomGenerator rng{quint32(seed)};
    for (unsigned char &b : f)
        b = static_cast<unsigned char>(
            std::clamp(int(b) + int(rng.bounded(kSensorNoise * 2 + 1)) - kSensorNoise, 0, 255));
    return f;
}

// A few natural frames in a row, as the camera delivers them.
inline std::vector<QVideoFrame> naturalVideoFrames() {
    std::vector<QVideoFrame> list;
    for (int seed = 9; seed < 13; ++seed) {
        const std::vector<unsigned char> yuyv = naturalFrame(seed);
        QVideoFrame frame(QVideoFrameFormat(QSize(kW, kH), QVideoFrameFormat::Format_YUYV));
        frame.map(QVideoFrame::WriteOnly);
        for (int y = 0; y < kH; ++y)
            std::copy_n(yuyv.data() + size_t(y) * kW * 2, kW * 2, frame.bits(0) + y * frame.bytesPerLine(0));
        frame.unmap();
        list.push_back(frame);
    }
    return list;
}

} // namespace benchframes
