#include "preview_frame_pipeline.h"
#include "simulated_camera.h"
#include "simulated_camera_bus.h"
#include "simulated_clock.h"
#include "simulated_frame_source.h"
#include "simulated_video.h"
#include "simulated_video_scene.h"

#include <QSignalSpy>
#include <QTest>
#include <QTransform>

#include <vector>

namespace {

// Mean of |a - b| over the RGB channels of two same-sized pictures.
double meanDifference(const QImage &a, const QImage &b) {
    double sum = 0;
    for (int y = 0; y < a.height(); y += 2)
        for (int x = 0; x < a.width(); x += 2) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * (a.width() / 2) * (a.height() / 2));
}

double meanLuma(const QImage &img) {
    double sum = 0;
    for (int y = 0; y < img.height(); y += 4)
        for (int x = 0; x < img.width(); x += 4)
            sum += qGray(img.pixel(x, y));
    return sum / ((img.width() / 4) * (img.height() / 4));
}

double meanChroma(const QImage &img) {
    double sum = 0;
    for (int y = 0; y < img.height(); y += 4)
        for (int x = 0; x < img.width(); x += 4) {
            const QColor c(img.pixel(x, y));
            sum += std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()});
        }
    return sum / ((img.width() / 4) * (img.height() / 4));
}

} // namespace

class TestSimulatedVideo : public QObject {
    Q_OBJECT
private slots:
    void inputsAreNamedLikeTheCameras() {
        SimulatedCameraBus bus(0x2E7E);
        SimulatedCamera *a = bus.addCamera("RV-K310A-WP", "Studio", "SN00123");
        SimulatedCamera *b = bus.addCamera("RV-T782-KB", "Desk", "SN00456");
        const QList<VideoInput> inputs = SimulatedVideo::inputs(&bus);
        QCOMPARE(inputs.size(), 2);
        QCOMPARE(inputs[0].description, QString("Studio-123"));
        QCOMPARE(inputs[1].description, QString("Desk-456"));
        QVERIFY(inputs[0].id != inputs[1].id);
        QCOMPARE(SimulatedVideo::cameraForInput(&bus, inputs[1].id), b);
        a->unplug();
        QCOMPARE(SimulatedVideo::inputs(&bus).size(), 1); // gone while off the bus
    }

    void sourceDeliversYuyvFramesWhileTheCameraIsThere() {
        SimulatedCameraBus bus(0x2E7E);
        SimulatedCamera *camera = bus.addCamera("RV-K310A-WP", "Studio", "SN00123");
        SimulatedFrameSource source(&bus);
        QSignalSpy frames(&source, &VideoFrameSource::frameReady);
        QVERIFY(source.selectFormat(QVideoFrameFormat::Format_YUYV, QSize(1280, 720), 30));
        QVERIFY(!source.selectFormat(QVideoFrameFormat::Format_NV12, QSize(1280, 720), 30));
        source.open(SimulatedVideo::inputId(camera));
        QVERIFY(frames.wait(2000));
        const QVideoFrame frame = frames.takeFirst().at(0).value<QVideoFrame>();
        QCOMPARE(frame.size(), QSize(1280, 720));
        QCOMPARE(frame.pixelFormat(), QVideoFrameFormat::Format_YUYV);
        source.close();
        QVERIFY(!source.isOpen());

        source.open(SimulatedVideo::inputId(camera));
        camera->unplug();
        QVERIFY(!source.deliverFrame());
        source.open("simulated-video:nobody");
        QVERIFY(!source.deliverFrame());
    }

    void framesDecodeToTheScene() {
        // The YUYV the camera sends, decoded as the preview decodes it, is the scene.
        SimulatedVideoScene scene;
        SimulatedVideoScene::View view;
        view.name = "Studio-123";
        std::vector<uchar> yuyv(size_t(1280) * 720 * 2);
        scene.renderYuyv(view, yuyv.data(), 1280 * 2);
        PreviewFramePipeline pipeline;
        QCOMPARE(pipeline.process(MappedFrame::yuyv(yuyv.data(), qsizetype(yuyv.size()), 1280, 720, 2560),
                                  nullptr, true),
                 PreviewFramePipeline::Status::Shown);
        QVERIFY(meanDifference(pipeline.image().convertToFormat(QImage::Format_RGB32),
                               scene.renderRgb(view)) < 4.0);
    }

    void onePixelDecodesAsTheWholeFrame() {
        // The colour of one pixel, converted alone, is the pixel of the converted frame.
        SimulatedVideoScene scene;
        SimulatedVideoScene::View view;
        view.name = "Studio-123";
        std::vector<uchar> yuyv(size_t(1280) * 720 * 2);
        scene.renderYuyv(view, yuyv.data(), 1280 * 2);
        const MappedFrame frame = MappedFrame::yuyv(yuyv.data(), qsizetype(yuyv.size()), 1280, 720, 2560);
        PreviewFramePipeline pipeline;
        QCOMPARE(pipeline.process(frame, nullptr, true), PreviewFramePipeline::Status::Shown);
        for (const QPoint &p : {QPoint(0, 0), QPoint(641, 360), QPoint(1279, 719), QPoint(500, 300)})
            QCOMPARE(PreviewFramePipeline::pixelAt(frame, p.x(), p.y()), pipeline.image().pixelColor(p));
        // Outside the frame, or a frame that declares more than it maps: no colour.
        for (const QPoint &p : {QPoint(-1, 0), QPoint(1280, 0), QPoint(0, 720)})
            QVERIFY(!PreviewFramePipeline::pixelAt(frame, p.x(), p.y()).isValid());
        const MappedFrame shortFrame = MappedFrame::yuyv(yuyv.data(), 2560 * 100, 1280, 720, 2560);
        QVERIFY(!PreviewFramePipeline::pixelAt(shortFrame, 0, 0).isValid());
    }

    void sceneFollowsTheCameraState() {
        SimulatedVideoScene scene;
        SimulatedVideoScene::View view;
        view.name = "Studio-123";
        view.hueTable = QVector<int>(24, 0);
        view.satTable = QVector<int>(24, 64);
        const QImage base = scene.renderRgb(view);

        auto changed = [&](auto edit) {
            SimulatedVideoScene::View v = view;
            edit(v);
            return scene.renderRgb(v);
        };
        QVERIFY(meanDifference(base, changed([](auto &v) { v.pan = 60; })) > 10);
        QVERIFY(meanDifference(base, changed([](auto &v) { v.tilt = 70; })) > 10);
        QVERIFY(meanDifference(base, changed([](auto &v) { v.zoom = 80; })) > 10);
        QVERIFY(meanLuma(changed([](auto &v) { v.luminance = 80; })) > meanLuma(base) + 20);
        QVERIFY(meanLuma(changed([](auto &v) { v.luminance = 20; })) < meanLuma(base) - 20);
        QVERIFY(meanChroma(changed([](auto &v) { v.saturation = 0; })) < 2);
        QVERIFY(meanChroma(changed([](auto &v) { v.saturation = 100; })) > meanChroma(base) * 1.3);
        const QImage lowContrast = changed([](auto &v) { v.contrast = 10; });
        QVERIFY(qGray(lowContrast.pixel(360, 20)) - qGray(lowContrast.pixel(900, 700)) <
                qGray(base.pixel(360, 20)) - qGray(base.pixel(900, 700)));
        QVERIFY(meanDifference(base, changed([](auto &v) { v.hueTable = QVector<int>(24, 60); })) > 3);
        QVERIFY(meanChroma(changed([](auto &v) { v.satTable = QVector<int>(24, 0); })) < 2);

        // Mounted in portrait, the sensor sees a tall view of the same scene a quarter
        // turn clockwise: turned back, its middle square is the landscape's.
        const QImage portrait = changed([](auto &v) { v.direction = 2; });
        QCOMPARE(portrait.size(), QSize(1280, 720));
        const QImage upright = portrait.transformed(QTransform().rotate(-90));
        QCOMPARE(upright.size(), QSize(720, 1280));
        QCOMPARE(meanDifference(upright.copy(0, 280, 720, 720), base.copy(280, 0, 720, 720)), 0.0);
        QVERIFY(meanDifference(portrait.copy(280, 0, 720, 720), base.copy(280, 0, 720, 720)) > 10);
    }

    void mirrorAndFlipActOnTheFrameAsSent_data() {
        QTest::addColumn<int>("direction");
        QTest::addColumn<bool>("mirrored");
        QTest::addColumn<bool>("flipped");
        QTest::newRow("landscape mirrored") << 1 << true << false;
        QTest::newRow("landscape flipped") << 1 << false << true;
        QTest::newRow("landscape both") << 1 << true << true;
        QTest::newRow("portrait mirrored") << 2 << true << false;
        QTest::newRow("portrait flipped") << 2 << false << true;
    }
    void mirrorAndFlipActOnTheFrameAsSent() {
        QFETCH(int, direction);
        QFETCH(bool, mirrored);
        QFETCH(bool, flipped);
        SimulatedCameraBus bus(0x2E7E);
        SimulatedCamera *camera = bus.addCamera("RV-K310A-WP", "Studio", "SN00123");
        camera->setDirection(direction);
        SimulatedVideoScene scene;
        const QImage plain = scene.renderRgb(SimulatedVideoScene::viewOf(*camera));
        camera->state().setVideoParamValue("bHorzInvert", mirrored ? 1 : 0);
        camera->state().setVideoParamValue("bVertInvert", flipped ? 1 : 0);
        const QImage shown = scene.renderRgb(SimulatedVideoScene::viewOf(*camera));
        QCOMPARE(meanDifference(shown, plain.mirrored(mirrored, flipped)), 0.0);
        QVERIFY(meanDifference(shown, plain) > 10);
    }

    void sourceFollowsTheLiveCamera() {
        SimulatedCameraBus bus(0x2E7E);
        SimulatedCamera *camera = bus.addCamera("RV-K310A-WP", "Studio", "SN00123");
        SimulatedVideoScene scene;
        const QImage before = scene.renderRgb(SimulatedVideoScene::viewOf(*camera));
        camera->ptz().command("Right", SimulatedClock::nowMs());
        QTRY_VERIFY(meanDifference(before, scene.renderRgb(SimulatedVideoScene::viewOf(*camera))) > 10);
        camera->state().setVideoParamValue("Luminance", 90);
        QVERIFY(SimulatedVideoScene::viewOf(*camera).luminance == 90);
    }
};

QTEST_MAIN(TestSimulatedVideo)
#include "test_simulated_video.moc"
