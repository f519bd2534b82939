#include "simd_dispatch.h"
#include "lut3d.h"
#include "preview_frame_pipeline.h"
#include "lut_reference.h"
#include "picture_scaler.h"
#include "row_helper_thread.h"
#include "yuyv_converter.h"

#include "log_capture.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <thread>
#include <cmath>
#include <cstring>

namespace {

// One output colour of the cube table at (b, g, r) as bytes (blue, green, red).
cv::Vec3b entry(const Lut3d &lut, int b, int g, int r) {
    return lut.tableEntry(b, g, r);
}

QString identityCube(int n, const QString &header = QStringLiteral("LUT_3D_SIZE")) {
    QString text = QStringLiteral("TITLE \"identity\"\n%1 %2\n").arg(header).arg(n);
    for (int b = 0; b < n; ++b)
        for (int g = 0; g < n; ++g)
            for (int r = 0; r < n; ++r)
                text += QStringLiteral("%1 %2 %3\n")
                            .arg(double(r) / (n - 1), 0, 'f', 6)
                            .arg(double(g) / (n - 1), 0, 'f', 6)
                            .arg(double(b) / (n - 1), 0, 'f', 6);
    return text;
}

// A camera-like YUYV picture: smooth colour gradients, a few hard-edged shapes and a
// little sensor noise.
std::vector<uchar> naturalYuyv(int w, int h) {
    std::vector<uchar> frame(size_t(w) * h * 2);
    QRandomGenerator rng(11);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double fx = double(x) / w, fy = double(y) / h;
            double luma = 60 + 120 * fx * (1 - fy) + 30 * std::sin(fx * 9 + fy * 4);
            if (std::abs(fx - 0.3) < 0.08 && std::abs(fy - 0.5) < 0.2)
                luma = 220; // a bright card
            if (std::hypot(fx - 0.7, fy - 0.4) < 0.12)
                luma = 35; // a dark disc
            const double chroma = (x % 2 == 0) ? 128 + 50 * std::sin(fy * 5) : 128 + 40 * std::cos(fx * 6);
            uchar *p = frame.data() + (size_t(y) * w + x) * 2;
            p[0] = uchar(std::clamp(int(luma) + int(rng.bounded(3)) - 1, 16, 235));
            p[1] = uchar(std::clamp(int(chroma), 16, 240));
        }
    return frame;
}

double psnr(const QImage &a, const QImage &b) {
    double squares = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)})
                squares += double(d) * d;
        }
    const double mse = squares / (3.0 * a.width() * a.height());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

} // namespace

class TestLut3d : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    QString write(const QString &text) {
        const QString path = m_dir.filePath(QStringLiteral("cube%1.cube").arg(++m_files));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8());
        return path;
    }

private slots:
    // Portrait frames are turned before the look-up: the picture must be exactly the
    // landscape one turned a quarter counter-clockwise, with and without a LUT.
    void portraitIsTheTurnedLandscapePicture() {
        const int w = 64, h = 36;
        std::vector<uchar> yuyv(size_t(w * h * 2));
        QRandomGenerator rng(7);
        for (uchar &b : yuyv)
            b = uchar(rng.bounded(256));
        const MappedFrame frame = MappedFrame::yuyv(yuyv.data(), qsizetype(yuyv.size()), w, h, w * 2);
        Lut3d lut;
        QVERIFY(lut.loadLUT(write(QStringLiteral("LUT_3D_SIZE 2\n0 0 0\n1 0 0\n0 1 0\n1 1 0\n"
                                                 "0 0 1\n1 0 1\n0 1 1\n0.2 0.9 0.4\n"))));
        for (const Lut3d *table : {static_cast<const Lut3d *>(nullptr), static_cast<const Lut3d *>(&lut)}) {
            PreviewFramePipeline landscape, portrait;
            QCOMPARE(landscape.process(frame, table, true), PreviewFramePipeline::Status::Shown);
            QCOMPARE(portrait.process(frame, table, false), PreviewFramePipeline::Status::Shown);
            const QImage turned = landscape.image().transformed(QTransform().rotate(-90));
            QCOMPARE(portrait.image().size(), QSize(h, w));
            QCOMPARE(portrait.image().convertToFormat(QImage::Format_RGB888),
                     turned.convertToFormat(QImage::Format_RGB888));
        }
    }

    void singlePointCubeMapsEverything() {
        Lut3d lut;
        QVERIFY(lut.loadLUT(write("LUT_3D_SIZE 1\n0.2 0.4 0.6\n")));
        QCOMPARE(lut.lutSize(), 1);
        for (int v : {0, 77, 255})
            QCOMPARE(entry(lut, v, 255 - v, v), cv::Vec3b(153, 102, 51));
    }

    void twoPointCubeMixesTheCorners() {
        // Corner (r, g, b) carries (r, g, b) * 0.5 + 0.25 * (1 - b): mid-grey 128 sits at
        // t = 128/255 on every axis.
        QString text = "# corners\nLUT_3D_SIZE 2\n";
        float corner[8][3];
        int i = 0;
        for (int b = 0; b < 2; ++b)
            for (int g = 0; g < 2; ++g)
                for (int r = 0; r < 2; ++r, ++i) {
                    corner[i][0] = 0.5f * r + 0.25f * (1 - b);
                    corner[i][1] = 0.5f * g + 0.25f * (1 - b);
                    corner[i][2] = 0.5f * b + 0.25f * (1 - b);
                    text +=
                        QStringLiteral("%1 %2 %3\n").arg(corner[i][0]).arg(corner[i][1]).arg(corner[i][2]);
                }
        Lut3d lut;
        QVERIFY(lut.loadLUT(write(text)));
        const float t = 128.0f / 255.0f;
        for (int c = 0; c < 3; ++c) {
            float mix = 0;
            for (int k = 0; k < 8; ++k) {
                const int r = k & 1, g = (k >> 1) & 1, b = (k >> 2) & 1;
                mix += corner[k][c] * (r ? t : 1 - t) * (g ? t : 1 - t) * (b ? t : 1 - t);
            }
            QVERIFY(qAbs(int(entry(lut, 128, 128, 128)[2 - c]) - int(mix * 255.0f)) <= 1);
        }
    }

    // Bytes worked out by hand. Each output channel of this cube depends on its own
    // input axis only: red = 0.1 + 0.8 t, green = 0.9 - 0.8 t, blue = 0.5, t = v / 255,
    // so a byte is the truncation of 25.5 + 0.8 v, 229.5 - 0.8 v and 127.5. Inputs are
    // picked where truncating and rounding disagree.
    void bytesTruncateTheInterpolatedValue() {
        Lut3d lut;
        QVERIFY(lut.loadLUT(write("LUT_3D_SIZE 2\n"
                                  "0.1 0.9 0.5\n0.9 0.9 0.5\n0.1 0.1 0.5\n0.9 0.1 0.5\n"
                                  "0.1 0.9 0.5\n0.9 0.9 0.5\n0.1 0.1 0.5\n0.9 0.1 0.5\n")));
        struct Case {
            int r, g, b;
            int outR, outG, outB;
        };
        const Case cases[] = {
            {128, 128, 128, 127, 127, 127}, // mid-grey: 127.9, 127.1, 127.5
            {0, 255, 64, 25, 25, 127},      // 25.5, 25.5
            {255, 0, 200, 229, 229, 127},   // 229.5, 229.5
            {64, 32, 0, 76, 203, 127},      // 76.7, 203.9
            {191, 10, 255, 178, 221, 127},  // 178.3, 221.5
        };
        for (const Case &c : cases)
            QCOMPARE(entry(lut, c.b, c.g, c.r), cv::Vec3b(uchar(c.outB), uchar(c.outG), uchar(c.outR)));
    }

    void identityCubeReproducesInputs() {
        Lut3d lut;
        QVERIFY(lut.loadLUT(write(identityCube(17))));
        QRandomGenerator rng(7);
        for (int k = 0; k < 20000; ++k) {
            const int b = rng.bounded(256), g = rng.bounded(256), r = rng.bounded(256);
            const cv::Vec3b e = entry(lut, b, g, r);
            QVERIFY(e[0] <= b && b - e[0] <= 1);
            QVERIFY(e[1] <= g && g - e[1] <= 1);
            QVERIFY(e[2] <= r && r - e[2] <= 1);
        }
        // A pure red input reads row 0, column 255.
        const cv::Mat red(1, 1, CV_8UC3, cv::Scalar(0, 0, 255));
        const cv::Mat out = lut.applyLUTFast(red);
        QCOMPARE(out.at<cv::Vec3b>(0, 0), lut.tableEntry(0, 0, 255));
    }

    void keywordsCommentsAndOrder() {
        // Lower-case size keyword after the data, domain lines in any case, titles,
        // indented comments and unknown keywords.
        const QString text = "TITLE \"x\"\n   # indented comment\nDOMAIN_MIN 0 0 0\ndomain_max 2 2 2\n"
                             "LUT_1D_SIZE 4\nsomething else\n"
                             "0 0 0\n1 0 0\n0 1 0\n1 1 0\n0 0 1\n1 0 1\n0 1 1\n  1   1 1  \n"
                             "lut_3d_size 2\n";
        Lut3d lut;
        QVERIFY(lut.loadLUT(write(text)));
        QCOMPARE(lut.lutSize(), 2);
        QCOMPARE(entry(lut, 255, 255, 255), cv::Vec3b(255, 255, 255));
        QCOMPARE(entry(lut, 0, 0, 255), cv::Vec3b(0, 0, 255));
    }

    void clampsAndMalformedNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("value");
        QTest::newRow("above one") << "1.5" << 1.0f;
        QTest::newRow("below zero") << "-0.2" << 0.0f;
        QTest::newRow("malformed") << "1e-" << 0.0f;
        QTest::newRow("huge") << "1e60" << 1.0f;
        QTest::newRow("huge negative") << "-1e60" << 0.0f;
        QTest::newRow("tiny") << "1e-50" << 0.0f;
        QTest::newRow("tiny negative") << "-1e-50" << 0.0f;
        QTest::newRow("plain") << "0.25" << 0.25f;
    }
    void clampsAndMalformedNumbers() {
        QFETCH(QString, text);
        QFETCH(float, value);
        Lut3d single;
        QVERIFY(single.loadLUT(write("LUT_3D_SIZE 1\n0.5 " + text + " 0.5\n")));
        QCOMPARE(single.lutData().ptr<float>()[1], value);

        Lut3d lut;
        QVERIFY(lut.loadLUT(write("LUT_3D_SIZE 1\n1.5 -0.2 1e-\n")));
        const float *v = lut.lutData().ptr<float>();
        QCOMPARE(v[0], 1.0f);
        QCOMPARE(v[1], 0.0f);
        QCOMPARE(v[2], 0.0f);
        QVERIFY(lut.loadLUT(write("LUT_3D_SIZE 1\n1e60 -1e60 0.5\n")));
        v = lut.lutData().ptr<float>();
        QCOMPARE(v[0], 1.0f);
        QCOMPARE(v[1], 0.0f);
        QCOMPARE(v[2], 0.5f);
    }

    void badCubesKeepThePreviousOne() {
        LogCapture log;
        Lut3d lut;
        QVERIFY(lut.loadLUT(write(identityCube(2))));
        const cv::Vec3b before = entry(lut, 10, 20, 30);

        QString tooMany = identityCube(33);
        tooMany += "0.5 0.5 0.5\n";
        QVERIFY(!lut.loadLUT(write(tooMany)));
        QVERIFY(log.contains(QStringLiteral("无效的 3D LUT：size = 33 数据点数 = 35938")));
        QVERIFY(!lut.loadLUT(write("0 0 0\n")));         // no size line
        QVERIFY(!lut.loadLUT(write("LUT_3D_SIZE 0\n"))); // size 0
        QVERIFY(!lut.loadLUT(m_dir.filePath("missing.cube")));
        QCOMPARE(lut.lutSize(), 2);
        QCOMPARE(lut.lutData().rows, 8);
        QCOMPARE(entry(lut, 10, 20, 30), before);
    }

    void hugeDeclaredSizesAreRefused() {
        // Sizes whose cube would take gigabytes, or that do not fit an int, are refused
        // from the data actually read, without reserving room for what they announce.
        LogCapture log;
        Lut3d lut;
        for (const char *size : {"257", "100000", "2147483647", "99999999999999999999"}) {
            QVERIFY(!lut.loadLUT(write(QStringLiteral("LUT_3D_SIZE %1\n0 0 0\n1 1 1\n").arg(size))));
            QCOMPARE(lut.lutSize(), 0);
            QVERIFY(!lut.hasTable());
        }
        QVERIFY(log.contains(QStringLiteral("size = 2147483647 数据点数 = 2")));
        QVERIFY(log.contains(QStringLiteral("size = 0 数据点数 = 2")));
    }

    // The picture is scaled to its shown size and turned in one pass, and looked up
    // where it has fewer pixels; it must look like the full-size picture scaled
    // smoothly by Qt, for grades from mild to strong.
    void shownPictureLooksLikeSmoothScaling_data() {
        QTest::addColumn<QSize>("area");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("grade"); // 0 none, 1 mild, 2 strong contrast
        for (const QSize &area : {QSize(560, 330), QSize(1100, 700), QSize(190, 150)})
            for (bool landscape : {true, false})
                for (int grade : {0, 1, 2})
                    QTest::addRow("%dx%d %s grade %d", area.width(), area.height(),
                                  landscape ? "landscape" : "portrait", grade)
                        << area << landscape << grade;
    }
    void shownPictureLooksLikeSmoothScaling() {
        QFETCH(QSize, area);
        QFETCH(bool, landscape);
        QFETCH(int, grade);
        const int w = 640, h = 360, n = 17;
        const std::vector<uchar> yuyv = naturalYuyv(w, h);
        const MappedFrame frame = MappedFrame::yuyv(yuyv.data(), qsizetype(yuyv.size()), w, h, w * 2);
        cv::Mat cube(n * n * n, 1, CV_32FC3);
        QRandomGenerator rng(5);
        for (int b = 0, i = 0; b < n; ++b)
            for (int g = 0; g < n; ++g)
                for (int r = 0; r < n; ++r, ++i)
                    for (int c = 0; c < 3; ++c) {
                        const float v = float(c == 0 ? r : c == 1 ? g : b) / (n - 1);
                        const float graded = grade == 1 ? v + float(rng.generateDouble() - 0.5) * 0.05f
                                                        : v + 0.12f * std::sin(6.2831853f * v) * (c == 2 ? -1 : 1);
                        cube.ptr<cv::Vec3f>(i)[0][c] = std::clamp(graded, 0.0f, 1.0f);
                    }
        Lut3d lut;
        QVERIFY(lut.setCube(n, cube));
        const Lut3d *table = grade == 0 ? nullptr : &lut;

        PreviewFramePipeline full, shown;
        QCOMPARE(full.process(frame, table, landscape), PreviewFramePipeline::Status::Shown);
        QCOMPARE(shown.process(frame, table, landscape, area), PreviewFramePipeline::Status::Shown);
        const QSize size = full.image().size().scaled(area, Qt::KeepAspectRatio);
        QCOMPARE(shown.image().size(), size);
        QCOMPARE(shown.image().format(), QImage::Format_RGB32);
        const QImage reference = full.image().scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double db = psnr(shown.image(), reference);
        QVERIFY2(db >= 40, qPrintable(QStringLiteral("PSNR %1 dB").arg(db)));

        // The copies of the scaler's loops built for AVX2 give the same bytes as the others.
        PreviewFramePipeline plain;
        SimdDispatch::allowAvx2(false);
        QCOMPARE(plain.process(frame, table, landscape, area), PreviewFramePipeline::Status::Shown);
        SimdDispatch::allowAvx2(true);
        QCOMPARE(plain.image(), shown.image());
    }

    // YUYV frames are converted a few rows at a time as the scaler needs them and looked
    // up band by band: the picture must be the one made from the whole converted
    // frame, looked up before scaling when it is enlarged and after when reduced.
    void rowByRowPictureIsTheWholeFramePicture() {
        const int w = 320, h = 180;
        const std::vector<uchar> yuyv = naturalYuyv(w, h);
        const MappedFrame frame = MappedFrame::yuyv(yuyv.data(), qsizetype(yuyv.size()), w, h, w * 2);
        Lut3d lut;
        QVERIFY(lut.loadLUT(write(QStringLiteral("LUT_3D_SIZE 2\n0 0 0\n1 0 0\n0 1 0\n1 1 0\n"
                                                 "0 0 1\n1 0 1\n0 1 1\n0.2 0.9 0.4\n"))));
        cv::Mat bgrx;
        cv::cvtColor(cv::Mat(h, w, CV_8UC2, const_cast<uchar *>(yuyv.data())), bgrx, cv::COLOR_YUV2BGRA_YUY2);
        for (const QSize &area : {QSize(250, 97), QSize(700, 1000), QSize(w, h)})
            for (bool landscape : {true, false})
                for (const Lut3d *table : {static_cast<const Lut3d *>(nullptr), static_cast<const Lut3d *>(&lut)}) {
                    PreviewFramePipeline pipeline;
                    QCOMPARE(pipeline.process(frame, table, landscape, area), PreviewFramePipeline::Status::Shown);
                    const QSize shown = pipeline.image().size();
                    const bool before = shown.width() * shown.height() >= w * h;
                    cv::Mat source = bgrx.clone(), expected(shown.height(), shown.width(), CV_8UC4);
                    if (table && before)
                        table->applyRows(source, source, false);
                    PictureScaler().scale(source, expected, !landscape);
                    if (table && !before)
                        table->applyRows(expected, expected, false);
                    const QImage image(expected.data, expected.cols, expected.rows, int(expected.step),
                                       QImage::Format_RGB32);
                    QCOMPARE(pipeline.image(), image);
                }
    }

    // The camera's frames are converted by the tool's own code: every luma and chroma
    // pair, and rows whose width leaves a tail, give the library's bytes.
    void yuyvConversionIsTheLibrarys() {
        cv::Mat every(4096, 4096, CV_8UC2);
        for (int pair = 0; pair < 256 * 256 * 128; ++pair) {
            uchar *p = every.ptr<uchar>(pair / 2048) + (pair % 2048) * 4;
            const int k = pair % 128, chroma = pair / 128;
            p[0] = uchar(2 * k);
            p[1] = uchar(chroma >> 8);
            p[2] = uchar(2 * k + 1);
            p[3] = uchar(chroma & 255);
        }
        cv::Mat noisy(3, 1286, CV_8UC2);
        cv::randu(noisy, 0, 256);
        for (const cv::Mat &packed : {every, noisy})
            for (bool avx2 : {true, false}) {
                SimdDispatch::allowAvx2(avx2);
                cv::Mat expected, converted(packed.size(), CV_8UC4);
                cv::cvtColor(packed, expected, cv::COLOR_YUV2BGRA_YUY2);
                YuyvConverter::convert(packed, converted);
                QCOMPARE(cv::norm(expected, converted, cv::NORM_INF), 0.0);
            }
        SimdDispatch::allowAvx2(true);
    }

    // The scaler's AVX2 copies give the plain code's bytes on any picture, not only on
    // smooth ones: noise has every difference between neighbouring rows and columns,
    // scaled to halves (equal weights), to other reductions and enlargements, turned or not.
    void scalerCopiesAgreeOnNoise() {
        cv::Mat noise(360, 640, CV_8UC4);
        cv::randu(noise, 0, 256);
        for (const cv::Size &size : {cv::Size(320, 180), cv::Size(560, 315), cv::Size(190, 107), cv::Size(1001, 563)})
            for (bool turn : {false, true}) {
                cv::Mat pictures[2];
                for (bool avx2 : {true, false}) {
                    SimdDispatch::allowAvx2(avx2);
                    pictures[avx2].create(turn ? size.width : size.height, turn ? size.height : size.width, CV_8UC4);
                    PictureScaler().scale(noise, pictures[avx2], turn);
                }
                SimdDispatch::allowAvx2(true);
                QVERIFY2(cv::norm(pictures[0], pictures[1], cv::NORM_INF) == 0.0,
                         qPrintable(QStringLiteral("%1 x %2, turned %3").arg(size.width).arg(size.height).arg(turn)));
            }
    }

    // Source rows made as the scaler needs them are made about once each: only the rows
    // two chunks of the picture share are made by both threads.
    void sourceRowsAreMadeAboutOnce() {
        std::atomic<int> made{0};
        const PictureScaler::RowMaker make = [&](int, cv::Mat &rows) {
            made += rows.rows;
            rows.setTo(cv::Scalar::all(7));
        };
        for (const cv::Size &size : {cv::Size(1120, 630), cv::Size(640, 360), cv::Size(1600, 900)}) {
            made = 0;
            cv::Mat picture(size, CV_8UC4);
            PictureScaler().scale(cv::Size(1280, 720), make, picture, false);
            QVERIFY2(made <= 720 + 8 * 2, qPrintable(QStringLiteral("%1 rows made for %2 x %3")
                                                         .arg(made.load())
                                                         .arg(size.width)
                                                         .arg(size.height)));
        }
    }

    void fastBuildMatchesTheDirectInterpolation() {
        QRandomGenerator rng(33);
        // The last cube also holds values a generated cube may bring: out of range and NaN.
        const float hostile[] = {-0.5f, 1.7f, std::nanf(""), 1e30f, -0.0f, 0.9999f};
        for (int n : {2, 5, 33, 3, 130}) {
            cv::Mat cube(n * n * n, 1, CV_32FC3);
            float *v = cube.ptr<float>();
            for (int i = 0; i < n * n * n * 3; ++i)
                v[i] = n == 3 ? hostile[i % 6] : float(rng.generateDouble());
            Lut3d lut;
            const std::vector<unsigned char> reference = referenceLutTable(cube, n);
            // Small cubes are also built without the AVX2 copy of the build's loops.
            for (bool avx2 : {true, false}) {
                if (!avx2 && n > 5)
                    continue;
                SimdDispatch::allowAvx2(avx2);
                QVERIFY(lut.setCube(n, cube));
                SimdDispatch::allowAvx2(true);
                const cv::Mat plain = lut.plainTable();
                QVERIFY(plain.isContinuous());
                QVERIFY2(std::memcmp(plain.data, reference.data(), reference.size()) == 0,
                         qPrintable(QStringLiteral("N = %1, AVX2 %2").arg(n).arg(avx2)));
            }
        }
    }

    // Every pixel gets its table entry, for each kind of look-up (BGRx to BGRx, BGR to
    // BGR or BGRx, in BGR or RGB order; four-byte results with 255 as fourth byte), in
    // place where the kinds allow it, with or without the AVX2 copy, for widths with a
    // tail, rows of a larger image, and rows wider than one batch of look-ups.
    void lookUpGivesEachPixelItsEntry() {
        cv::Mat cube(125, 1, CV_32FC3);
        cv::randu(cube, 0.0, 1.0);
        Lut3d lut;
        QVERIFY(lut.setCube(5, cube));
        cv::Mat wide[2] = {cv::Mat(12, 9100, CV_8UC4), cv::Mat()};
        cv::randu(wide[0], 0, 256);
        cv::cvtColor(wide[0], wide[1], cv::COLOR_BGRA2BGR);
        const cv::Rect regions[] = {cv::Rect(0, 0, 1, 3), cv::Rect(5, 1, 13, 7), cv::Rect(3, 2, 1286, 9),
                                    cv::Rect(11, 9, 9000, 2)};
        struct Kind {
            int srcChannels, outChannels;
            bool rgbOut;
        };
        for (const Kind kind : {Kind{4, 4, false}, Kind{3, 3, false}, Kind{3, 3, true}, Kind{3, 4, false},
                                Kind{3, 4, true}})
            for (const cv::Rect &region : regions) {
                const cv::Mat src = wide[kind.srcChannels == 4 ? 0 : 1](region);
                const int outType = CV_8UC(kind.outChannels);
                cv::Mat expected(src.size(), outType);
                for (int y = 0; y < src.rows; ++y)
                    for (int x = 0; x < src.cols; ++x) {
                        const uchar *p = src.ptr<uchar>(y) + x * kind.srcChannels;
                        const cv::Vec3b e = lut.tableEntry(p[0], p[1], p[2]);
                        uchar *q = expected.ptr<uchar>(y) + x * kind.outChannels;
                        for (int c = 0; c < 3; ++c)
                            q[c] = e[kind.rgbOut ? 2 - c : c];
                        if (kind.outChannels == 4)
                            q[3] = 255;
                    }
                for (bool avx2 : {true, false})
                    for (bool inPlace : {false, true}) {
                        if (inPlace && kind.srcChannels != kind.outChannels)
                            continue;
                        cv::Mat out = inPlace ? src.clone() : cv::Mat(src.size(), outType, cv::Scalar::all(1));
                        SimdDispatch::allowAvx2(avx2);
                        lut.applyRows(inPlace ? out : src, out, kind.rgbOut);
                        SimdDispatch::allowAvx2(true);
                        QVERIFY2(cv::norm(out, expected, cv::NORM_INF) == 0.0,
                                 qPrintable(QStringLiteral("%1 to %2 channels, RGB %3, %4 x %5")
                                                .arg(kind.srcChannels)
                                                .arg(kind.outChannels)
                                                .arg(kind.rgbOut)
                                                .arg(src.cols)
                                                .arg(src.rows)));
                    }
            }
    }

    // The frame's rows shared with the helper thread: every row once, each worker's
    // chunks in ascending order, a failure on either side comes back to the caller and
    // leaves the helper usable, and callers at once each get all their rows.
    void helperThreadRunsEveryRowOnce() {
        for (int count : {1, 2, 7, 630}) {
            std::vector<std::atomic<int>> runs(static_cast<size_t>(count));
            int last[2] = {-1, -1};
            bool ascending[2] = {true, true};
            RowHelperThread::run(count, 3, [&](int worker, int first, int end) {
                ascending[worker] = ascending[worker] && first > last[worker];
                last[worker] = first;
                for (int y = first; y < end; ++y)
                    ++runs[size_t(y)];
            });
            QVERIFY(ascending[0] && ascending[1]);
            QVERIFY(std::all_of(runs.begin(), runs.end(), [](const std::atomic<int> &n) { return n == 1; }));
        }
        for (int failing : {0, 99}) {
            bool caught = false;
            try {
                RowHelperThread::run(100, 10, [failing](int, int first, int end) {
                    if (failing >= first && failing < end)
                        throw std::runtime_error("row");
                });
            } catch (const std::runtime_error &) {
                caught = true;
            }
            QVERIFY(caught);
        }
        std::atomic<int> total{0};
        const auto count = [&total](int, int first, int end) { total += end - first; };
        std::thread other([&count] {
            for (int i = 0; i < 200; ++i)
                RowHelperThread::run(50, 5, count);
        });
        for (int i = 0; i < 200; ++i)
            RowHelperThread::run(50, 5, count);
        other.join();
        QCOMPARE(total.load(), 2 * 200 * 50);
    }

    void applyLeavesTheSourceAndSwapsOnRequest() {
        Lut3d lut;
        cv::Mat frame(4, 6, CV_8UC3, cv::Scalar(10, 20, 30));
        QCOMPARE(cv::norm(lut.applyLUTFast(frame), frame, cv::NORM_INF), 0.0); // no table: a copy
        QVERIFY(lut.loadLUT(write("LUT_3D_SIZE 1\n0.2 0.4 0.6\n")));
        const cv::Mat out = lut.applyLUTFast(frame);
        QCOMPARE(frame.at<cv::Vec3b>(3, 5), cv::Vec3b(10, 20, 30));
        QCOMPARE(out.at<cv::Vec3b>(3, 5), cv::Vec3b(153, 102, 51));
        cv::Mat rgb;
        lut.apply(frame, rgb, true);
        QCOMPARE(rgb.at<cv::Vec3b>(0, 0), cv::Vec3b(51, 102, 153));
    }
};

QTEST_GUILESS_MAIN(TestLut3d)
#include "test_lut3d.moc"
