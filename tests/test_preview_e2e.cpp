#include "camera_window.h"
#include "device_slot_strip.h"
#include "packet_cmd.h"
#include "preview_controller.h"
#include "sim_fixture.h"
#include "simulated_clock.h"
#include "simulated_video.h"
#include "widget.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

double meanDifference(const QImage &a, const QImage &b) {
    if (a.size() != b.size())
        return 255;
    double sum = 0;
    for (int y = 0; y < a.height(); y += 4)
        for (int x = 0; x < a.width(); x += 4) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * (a.width() / 4) * (a.height() / 4));
}

} // namespace

// The control panel's preview toggle against simulated cameras and their video.
class TestPreviewEndToEnd : public QObject {
    Q_OBJECT

    // A panel with the cameras listed and the first one active.
    void activate(Widget &w, int index) {
        w.onDeviceDoubleClicked(w.deviceItem(index), 0);
        QCOMPARE(w.currentIndex(), index);
    }

private slots:
    void cleanup() { SimulatedVideo::uninstall(); }

    void toggleOpensTheCamerasPictureAndFollowsItsDirection() {
        SimFixture sim;
        SimulatedCamera *camera = sim.add("RV-K310A-WP", "Studio", "SN00123");
        SimulatedVideo::install(sim.bus());
        Widget w;
        w.show();
        QSignalSpy refreshed(&w, &Widget::deviceListRefreshed);
        QVERIFY(refreshed.wait(5000));
        activate(w, 0);

        w.previewToggle()->click();
        CameraWindow *window = w.cameraWindow();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(w.preview()->isOpen());
        QCOMPARE(window->deviceId(), SimulatedVideo::inputId(camera));
        QVERIFY(w.preview()->directionTimer());
        QCOMPARE(w.preview()->directionTimer()->interval(), 1000);
        // Beside the toggle, as far as the screen allows.
        const QPoint anchor = w.previewToggle()->mapToGlobal(w.previewToggle()->rect().topRight());
        QVERIFY(window->x() == anchor.x() + 10 ||
                window->geometry().right() <= window->screen()->availableGeometry().right());

        // The connection test learned the camera is mounted landscape: upright frames.
        QTRY_VERIFY(window->framesShown() >= 3);
        QVERIFY(window->isLandscape());
        // The picture as shown: fitted into the picture area.
        const QSize area = window->imageLabel()->size();
        QCOMPARE(window->currentImage().size(), QSize(1280, 720).scaled(area, Qt::KeepAspectRatio));
        const QImage landscape = window->currentImage().convertToFormat(QImage::Format_RGB32);

        // Turned to portrait: the probe finds out within a second or two and the picture
        // turns back upright, tall, its middle square the same scene.
        camera->setDirection(2);
        QTRY_VERIFY_WITH_TIMEOUT(!window->isLandscape(), 5000);
        QTRY_COMPARE(window->currentImage().size(), QSize(720, 1280).scaled(area, Qt::KeepAspectRatio));
        const QImage portrait = window->currentImage().convertToFormat(QImage::Format_RGB32);
        const auto middleSquare = [](const QImage &image, bool tall) {
            const int side = qMin(image.width(), image.height());
            const QRect square = tall ? QRect(0, (image.height() - side) / 2, side, side)
                                      : QRect((image.width() - side) / 2, 0, side, side);
            return image.copy(square).scaled(96, 96, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        };
        QVERIFY(meanDifference(middleSquare(portrait, true), middleSquare(landscape, false)) < 4);

        // A PTZ move changes the picture.
        camera->ptz().command("Right", SimulatedClock::nowMs());
        QTRY_VERIFY(meanDifference(window->currentImage().convertToFormat(QImage::Format_RGB32), portrait) >
                    10);
        camera->ptz().command("Stop", SimulatedClock::nowMs());

        // Unchecking closes it and stops probing.
        w.previewToggle()->click();
        QVERIFY(!w.previewToggle()->isChecked());
        QVERIFY(!w.preview()->isOpen());
        QVERIFY(!w.preview()->directionTimer());
        QTRY_VERIFY(!w.cameraWindow());
    }

    void activationRePointsTheOpenPreview() {
        SimFixture sim;
        SimulatedCamera *first = sim.add("RV-K310A-WP", "Studio", "SN00123");
        SimulatedCamera *second = sim.add("RV-K310A-WP", "Desk", "SN00456");
        SimulatedVideo::install(sim.bus());
        Widget w;
        w.show();
        QSignalSpy refreshed(&w, &Widget::deviceListRefreshed);
        QVERIFY(refreshed.wait(5000));
        activate(w, 0);
        w.openCameraWindow(); // as the face-model flows do: no connection test
        CameraWindow *window = w.cameraWindow();
        QVERIFY(window);
        QVERIFY(w.previewToggle()->isChecked());
        QCOMPARE(window->deviceId(), SimulatedVideo::inputId(first));
        QTRY_VERIFY(window->framesShown() >= 2);

        activate(w, 1);
        QCOMPARE(w.cameraWindow(), window); // the same window, re-pointed
        QCOMPARE(window->deviceId(), SimulatedVideo::inputId(second));
        const int before = window->framesShown();
        QTest::qWait(400);
        // About 12 frames in 400 ms; never two per frame.
        QVERIFY(window->framesShown() - before <= 400 / 33 + 2);

        // Closing the window from its own button unchecks the toggle.
        window->closeButton()->click();
        QVERIFY(!w.previewToggle()->isChecked());
        QTRY_VERIFY(!w.cameraWindow());
        QTRY_VERIFY(!w.preview()->directionTimer());
    }

    void previewCommandsReachTheCamera() {
        SimFixture sim;
        SimulatedCamera *camera = sim.add("RV-K310A-WP", "Studio", "SN00123");
        SimulatedVideo::install(sim.bus());
        Widget w;
        QSignalSpy refreshed(&w, &Widget::deviceListRefreshed);
        QVERIFY(refreshed.wait(5000));
        activate(w, 0);
        camera->clearReceived();
        w.forwardPreviewCommand("{\"Cmd\":\"ReqGetFaceFocusTrain\",\"Content\":{}}");
        QCOMPARE(camera->lastRequest().cmdId, quint32(CmdJson));
        QCOMPARE(camera->lastRequest().cmd, QString("ReqGetFaceFocusTrain"));
        w.forwardPreviewCommand("{\"Cmd\":\"ReqSetManualRebootSet\",\"Content\":{}}");
        QCOMPARE(camera->lastRequest().cmdId, quint32(CmdReboot));
        QVERIFY(sim.boxes.isEmpty());
    }
};

QTEST_MAIN(TestPreviewEndToEnd)
#include "test_preview_e2e.moc"
