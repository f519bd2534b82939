#include "camera_window.h"
#include "colour_page.h"
#include "colour_picker.h"
#include "palette_label.h"
#include "preview_dialogs.h"
#include "sim_fixture.h"
#include "simulated_video.h"
#include "widget.h"

#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QPointer>
#include <QTest>

namespace {
// Opens the panel's preview on its first camera by the panel's own toggle; the picker
// samples what the preview shows (the platform here cannot grab the screen).
CameraWindow *openPreview(Widget &w)
{
    w.show();
    w.onDeviceDoubleClicked(w.deviceItem(0), 0);
    w.previewToggle()->click();
    CameraWindow *preview = w.cameraWindow();
    if (!preview || !QTest::qWaitForWindowExposed(preview))
        return nullptr;
    w.colourPage()->picker()->setSampler(
        [preview](const QPoint &pos) { return ColourPicker::sampleWidget(preview, pos); });
    return preview;
}

// A point of the shown picture with a strong colour of `hue`, its neighbours as well
// (inside the wheel, not at its rim); (-1, -1) when there is none.
QPoint findHue(const QImage &shown, int hue)
{
    for (int y = 60; y < shown.height() - 10; y += 3)
        for (int x = 10; x < shown.width() - 10; x += 3) {
            const QColor c = shown.pixelColor(x, y);
            const QColor left = shown.pixelColor(x - 6, y), right = shown.pixelColor(x + 6, y);
            if (c.hsvSaturation() > 200 && c.value() > 150 && qAbs(c.hsvHue() - hue) <= 4 &&
                qAbs(left.hsvHue() - hue) <= 10 && qAbs(right.hsvHue() - hue) <= 10)
                return QPoint(x, y);
        }
    return QPoint(-1, -1);
}
} // namespace

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
        QPointer<CameraWindow> preview = openPreview(w);
        QVERIFY(preview);
        QTRY_VERIFY_WITH_TIMEOUT(preview->framesShown() > 2, 5000);
        ColourPage *page = w.colourPage();

        // Find the scene's cyan (hue 180°, point 12) in the displayed picture.
        const QPoint cyan = findHue(preview->grab().toImage(), 180);
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

    // A LUT that swaps red and blue shows the scene's red as blue: picking there still
    // reads the camera's red, the colour the camera's tables act on.
    void underALutThePickReadsTheCameraColour_data()
    {
        QTest::addColumn<int>("direction");
        QTest::newRow("landscape") << 1;
        QTest::newRow("portrait") << 2;
    }
    void underALutThePickReadsTheCameraColour()
    {
        QFETCH(int, direction);
        QTemporaryDir dir;
        const QString cube = dir.filePath("swap.cube");
        QFile file(cube);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("LUT_3D_SIZE 2\n");
        for (int b = 0; b < 2; ++b)
            for (int g = 0; g < 2; ++g)
                for (int r = 0; r < 2; ++r)
                    file.write(QByteArray::number(b) + " " + QByteArray::number(g) + " " + QByteArray::number(r) + "\n");
        file.close();

        SimFixture sim;
        sim.add("RV-K310A-WU", "Cam", "SN123")->setDirection(direction);
        SimulatedVideo::install(sim.bus());
        Widget w;
        QPointer<CameraWindow> preview = openPreview(w);
        QVERIFY(preview);
        QTRY_COMPARE_WITH_TIMEOUT(preview->isLandscape(), direction == 1, 5000);
        PreviewDialogs::setFileResponder([cube](const QString &, const QString &) { return cube; });
        PreviewDialogs::setBoxResponder([](QMessageBox *) { return int(QMessageBox::Ok); });
        preview->onLoadLUTClicked();
        PreviewDialogs::setFileResponder({});
        PreviewDialogs::setBoxResponder({});
        QVERIFY(preview->lutEnabled());
        const int shownBefore = preview->framesShown();
        QTRY_VERIFY_WITH_TIMEOUT(preview->framesShown() > shownBefore + 2, 5000);
        ColourPage *page = w.colourPage();

        // A strong blue on screen: the scene's red through the LUT.
        const QPoint blue = findHue(preview->grab().toImage(), 240);
        QVERIFY2(blue.x() >= 0, "the graded scene shows no blue");

        page->colorPickButton()->click();
        QTest::mouseMove(preview, blue);
        QTest::mousePress(preview, Qt::LeftButton, {}, blue);
        const QColor picked = page->pickedColor();
        QVERIFY(picked.isValid());
        const int hue = picked.hsvHue();
        QVERIFY2(hue <= 10 || hue >= 350, qPrintable(picked.name()));
        QVERIFY(page->highlightIndices().contains(0));

        // Without the LUT the pick is the picture's colour again.
        preview->clearLUT();
        QVERIFY(!preview->cameraColourAt(preview->mapToGlobal(blue)).isValid());
        preview->close();
        SimulatedVideo::uninstall();
    }
};

QTEST_MAIN(TestColourPickingPreview)
#include "test_colour_picking_preview.moc"
