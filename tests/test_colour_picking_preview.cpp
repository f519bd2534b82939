#include "camera_window.h"
#include "colour_page.h"
#include "colour_picker.h"
#include "palette_label.h"
#include "sim_fixture.h"
#include "simulated_video.h"
#include "widget.h"

#include <QLabel>
#include <QPointer>
#include <QTest>

// Picking a colour from the simulated camera's live preview.
class TestColourPickingPreview : public QObject {
    Q_OBJECT
private slots:
    void pickingAColourOfTheSyntheticScene()
    {
        SimFixture sim;
        sim.add("RV-K310A-WU", "Cam", "SN123");
        SimulatedVideo::install(sim.bus());
        Widget w;
        w.show();
        w.onDeviceDoubleClicked(w.deviceItem(0), 0);

        // The panel's own preview toggle opens the window the picker samples.
        w.previewToggle()->click();
        QPointer<CameraWindow> preview = w.cameraWindow();
        QVERIFY(preview);
        QVERIFY(QTest::qWaitForWindowExposed(preview));
        QTRY_VERIFY_WITH_TIMEOUT(preview->framesShown() > 2, 5000);

        ColourPage *page = w.colourPage();
        ColourPicker *picker = page->picker();
        // The platform here cannot grab the screen: sample what the preview shows.
        QWidget *window = preview;
        picker->setSampler([window](const QPoint &pos) { return ColourPicker::sampleWidget(window, pos); });

        // Find the scene's cyan (hue 180°, point 12) in the displayed picture.
        const QImage shown = preview->grab().toImage();
        QPoint cyan(-1, -1);
        for (int y = 60; y < shown.height() - 10 && cyan.x() < 0; y += 3)
            for (int x = 10; x < shown.width() - 10; x += 3) {
                const QColor c = shown.pixelColor(x, y);
                if (c.hsvSaturation() > 200 && c.value() > 150 && qAbs(c.hsvHue() - 180) <= 5) {
                    cyan = QPoint(x, y);
                    break;
                }
            }
        QVERIFY2(cyan.x() >= 0, "the scene shows no cyan");

        page->colorPickButton()->click();
        QVERIFY(page->isColorPicking());
        QTest::mouseMove(preview, cyan);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
        QTest::mousePress(preview, Qt::LeftButton, {}, cyan);

        QVERIFY(!page->isColorPicking());
        QVERIFY(!QGuiApplication::overrideCursor());
        const QColor picked = page->pickedColor();
        QVERIFY(picked.isValid());
        QVERIFY2(qAbs(picked.hsvHue() - 180) <= 6, qPrintable(picked.name()));
        QVERIFY(page->highlightIndices().contains(12));
        QCOMPARE(page->highlightIndices(), ColourPicker::pointsForColour(picked));
        QCOMPARE(page->hueLabel()->highlights(), page->highlightIndices());
        QCOMPARE(page->satLabel()->highlights(), page->highlightIndices());
        QCOMPARE(page->pickLook(), ColourPage::PickLook::Picked);
        // The press was the pick: it never reached the preview.
        QVERIFY(preview->isVisible());

        preview->close();
        SimulatedVideo::uninstall();
    }
};

QTEST_MAIN(TestColourPickingPreview)
#include "test_colour_picking_preview.moc"
