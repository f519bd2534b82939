#include "device_models.h"
#include "device_selection_window.h"
#include "log_capture.h"
#include "startup_dialog_chrome.h"
#include "unselected_device_window.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

namespace {

const QColor kPlainBackground("#10121a");
const QString kGenericBackground = ":/icons/resources/icons/deviceselection.png";

template <typename T> T *child(QWidget *parent, const char *name) {
    T *widget = parent->findChild<T *>(name);
    if (!widget)
        qFatal("missing child %s", name);
    return widget;
}

QString seriesLabel(DeviceSelectionWindow &window) {
    return child<QLabel>(&window, "seriesLabel")->text();
}

// Sends one wheel step to target; returns whether target took it.
bool sendWheel(QWidget *target, int deltaY) {
    const QPointF pos(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent event(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, deltaY), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    event.setAccepted(false);
    QApplication::sendEvent(target, &event);
    return event.isAccepted();
}

// Lays the window out as the user would see it.
bool showAndWait(QWidget &window) {
    window.show();
    return QTest::qWaitForWindowExposed(&window);
}

QColor pixelOf(const QLabel *label, int x, int y) {
    return label->pixmap().toImage().pixelColor(x, y);
}

} // namespace

class TestStartupDialogs : public QObject {
    Q_OBJECT

private slots:
    void firstLetter_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("letter");
        QTest::newRow("ascii") << "A1"
                               << "A";
        QTest::newRow("digits first") << "5C"
                                      << "C";
        QTest::newRow("lower case") << "c5"
                                    << "c";
        QTest::newRow("cjk") << QStringLiteral("星瞳1") << QStringLiteral("星");
        QTest::newRow("accented") << QStringLiteral("1é") << QStringLiteral("é");
        QTest::newRow("beyond the basic plane")
            << QStringLiteral("7\U0001D400") << QStringLiteral("\U0001D400");
        QTest::newRow("no letter") << "12-3"
                                   << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void firstLetter() {
        QFETCH(QString, text);
        QFETCH(QString, letter);
        QCOMPARE(StartupDialogChrome::firstLetter(text), letter);
    }

    void seriesLabelText_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("label");
        QTest::newRow("A1") << "A1" << QStringLiteral("A系列");
        QTest::newRow("letter after digits") << "5C" << QStringLiteral("C系列");
        QTest::newRow("no letter shown whole") << "12"
                                               << "12";
    }
    void seriesLabelText() {
        QFETCH(QString, name);
        QFETCH(QString, label);
        QCOMPARE(DeviceSelectionWindow::seriesLabelText(name), label);
    }

    void selectionStartsOnFirstSeries() {
        DeviceSelectionWindow window;
        QCOMPARE(window.windowTitle(), QStringLiteral("选择设备"));
        QCOMPARE(window.size(), QSize(600, 405));
        QCOMPARE(window.currentIndex(), 0);
        QCOMPARE(window.currentSeries(), seriesTable().first().name);
        QCOMPARE(window.leftPreviewIndex(), 3);
        QCOMPARE(window.rightPreviewIndex(), 1);
        QCOMPARE(seriesLabel(window), QStringLiteral("A系列"));
        QCOMPARE(child<QLabel>(&window, "promptLabel")->text(), QStringLiteral("请选择您的设备进行连接"));
    }

    void arrowsWrapAround() {
        DeviceSelectionWindow window;
        QTest::mouseClick(child<QPushButton>(&window, "prevButton"), Qt::LeftButton);
        QCOMPARE(window.currentIndex(), 3);
        QCOMPARE(window.leftPreviewIndex(), 2);
        QCOMPARE(window.rightPreviewIndex(), 0);
        QCOMPARE(window.currentSeries(), QStringLiteral("D1"));
        QCOMPARE(seriesLabel(window), QStringLiteral("D系列"));

        auto *next = child<QPushButton>(&window, "nextButton");
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(window.currentIndex(), 0);
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(window.currentIndex(), 1);
        QCOMPARE(window.leftPreviewIndex(), 0);
        QCOMPARE(window.rightPreviewIndex(), 2);
        QCOMPARE(seriesLabel(window), QStringLiteral("B系列"));
    }

    void wheelStepsCycle() {
        DeviceSelectionWindow window;
        QVERIFY(sendWheel(&window, 120));
        QCOMPARE(window.currentIndex(), 3);
        for (int i = 0; i < 3; ++i)
            QVERIFY(sendWheel(&window, 120));
        QCOMPARE(window.currentIndex(), 0);

        for (int i = 0; i < 4; ++i) {
            QVERIFY(sendWheel(&window, -120));
            QCOMPARE(window.currentIndex(), (i + 1) % 4);
        }
        QVERIFY(sendWheel(&window, 0)); // no vertical movement counts as "next"
        QCOMPARE(window.currentIndex(), 1);

        // The carousel's parts leave wheel steps to the window (real wheel events travel
        // from the widget under the cursor up to the first one that takes them).
        for (const char *name : {"leftPreview", "rightPreview", "centerWidget", "centerImage", "seriesLabel",
                                 "prevButton", "nextButton", "promptLabel", "carouselArea", "titleBar"}) {
            QVERIFY2(!sendWheel(child<QWidget>(&window, name), 120), name);
        }
        QCOMPARE(window.currentIndex(), 1);
    }

    void sidePreviewPresses() {
        DeviceSelectionWindow window;
        auto *left = child<QLabel>(&window, "leftPreview");
        auto *right = child<QLabel>(&window, "rightPreview");

        QTest::mousePress(right, Qt::LeftButton);
        QCOMPARE(window.currentIndex(), 1);
        QTest::mousePress(right, Qt::LeftButton);
        QCOMPARE(window.currentIndex(), 2);
        QTest::mousePress(left, Qt::LeftButton);
        QCOMPARE(window.currentIndex(), 1);

        // Only the left button moves the carousel.
        QTest::mousePress(left, Qt::RightButton);
        QTest::mousePress(right, Qt::MiddleButton);
        QCOMPARE(window.currentIndex(), 1);
    }

    void centreClickPicksSeriesEachTime() {
        LogCapture log;
        DeviceSelectionWindow window;
        QSignalSpy selected(&window, &DeviceSelectionWindow::deviceSelected);
        QSignalSpy cancelled(&window, &DeviceSelectionWindow::cancelClicked);
        QVERIFY(showAndWait(window));
        auto *centre = child<QWidget>(&window, "centerWidget");
        window.onNextClicked();
        window.onNextClicked();

        // The picture and label let clicks through to the centre area.
        const auto *image = child<QLabel>(&window, "centerImage");
        const QPoint onImage = image->mapTo(&window, image->rect().center());
        QCOMPARE(window.childAt(onImage), centre);
        const auto *label = child<QLabel>(&window, "seriesLabel");
        QCOMPARE(window.childAt(label->mapTo(&window, label->rect().center())), centre);

        QTest::mousePress(centre, Qt::LeftButton, Qt::NoModifier, centre->mapFrom(&window, onImage));
        QTest::mousePress(centre, Qt::LeftButton);
        QCOMPARE(selected.count(), 2);
        QCOMPARE(selected.at(0).at(0).toString(), QStringLiteral("C5"));
        QCOMPARE(selected.at(1).at(0).toString(), QStringLiteral("C5"));
        QCOMPARE(cancelled.count(), 0);
        QCOMPARE(log.count(QStringLiteral("用户选择了设备: C5")), 2);

        QTest::mousePress(centre, Qt::RightButton);
        QCOMPARE(selected.count(), 2);
        QCOMPARE(window.currentIndex(), 2); // picking does not move the carousel
    }

    void everyWayOutCancels() {
        DeviceSelectionWindow window;
        QSignalSpy cancelled(&window, &DeviceSelectionWindow::cancelClicked);
        QSignalSpy selected(&window, &DeviceSelectionWindow::deviceSelected);
        QTest::mouseClick(child<QPushButton>(&window, "returnButton"), Qt::LeftButton);
        QCOMPARE(cancelled.count(), 1);
        QTest::mouseClick(child<QPushButton>(&window, "closeButton"), Qt::LeftButton);
        QCOMPARE(cancelled.count(), 2);
        window.onCancelClicked();
        QCOMPARE(cancelled.count(), 3);
        QCOMPARE(selected.count(), 0);
    }

    void missingPicturesFallBack() {
        LogCapture log;
        DeviceSelectionWindow window;

        QVERIFY(log.contains(QStringLiteral("无法加载设备选择背景图片: deviceselection.png")));
        QVERIFY(
            log.contains(QStringLiteral("无法加载设备选择背景图片: /icons/resources/deviceselection.png")));
        for (const SeriesInfo &series : seriesTable())
            QVERIFY2(log.contains(QStringLiteral("无法加载设备图片: ") + series.picture),
                     qPrintable(series.picture));
        QCOMPARE(log.count(QStringLiteral("无法加载返回图标: return.png")), 1);
        QCOMPARE(log.count(QStringLiteral("无法加载关闭图标: close.png")), 1);

        // Grey squares everywhere, the sides faded.
        auto *centre = child<QLabel>(&window, "centerImage");
        auto *left = child<QLabel>(&window, "leftPreview");
        auto *right = child<QLabel>(&window, "rightPreview");
        QCOMPARE(centre->pixmap().size(), QSize(112, 112));
        QCOMPARE(left->pixmap().size(), QSize(60, 60));
        QCOMPARE(right->pixmap().size(), QSize(60, 60));
        QCOMPARE(pixelOf(centre, 56, 56), QColor(100, 100, 100));
        for (const QLabel *side : {left, right}) {
            const QColor faded = pixelOf(side, 30, 30);
            QVERIFY2(qAbs(faded.alpha() - 128) <= 2, qPrintable(QString::number(faded.alpha())));
            QCOMPARE(QColor(faded.red(), faded.green(), faded.blue()), QColor(100, 100, 100));
        }

        // ... and the carousel still works.
        QSignalSpy selected(&window, &DeviceSelectionWindow::deviceSelected);
        window.onPrevClicked();
        QTest::mousePress(child<QWidget>(&window, "centerWidget"), Qt::LeftButton);
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected.at(0).at(0).toString(), QStringLiteral("D1"));
        QCOMPARE(pixelOf(centre, 56, 56), QColor(100, 100, 100));

        // The window paints the plain dark background inside its rounded outline.
        const QImage shot = window.grab().toImage();
        QCOMPARE(shot.size(), QSize(600, 405));
        QCOMPARE(shot.pixelColor(300, 60), kPlainBackground);
    }

    void titleBarButtonsWithoutIcons() {
        DeviceSelectionWindow selection;
        UnselectedDeviceWindow unselected("A1");
        for (QWidget *window : {static_cast<QWidget *>(&selection), static_cast<QWidget *>(&unselected)}) {
            QVERIFY(showAndWait(*window));
            QCOMPARE(child<QWidget>(window, "titleBar")->height(), 40);
            for (const char *name : {"returnButton", "closeButton"}) {
                auto *button = child<QPushButton>(window, name);
                QCOMPARE(button->size(), QSize(30, 30));
                QCOMPARE(button->iconSize(), QSize(16, 16));
                QVERIFY(!button->icon().isNull()); // the drawn replacement glyph
            }
            QCOMPARE(child<QWidget>(window, "returnButton")->mapTo(window, QPoint(0, 0)).x(), 10);
            QCOMPARE(child<QWidget>(window, "closeButton")->mapTo(window, QPoint(30, 0)).x(), 590);
        }
    }

    void unselectedBackgroundForSeries_data() {
        QTest::addColumn<QString>("series");
        QTest::addColumn<QString>("path");
        QTest::newRow("C5") << "C5"
                            << ":/icons/resources/icons/Unselected_Series_C.png";
        QTest::newRow("A3") << "A3"
                            << ":/icons/resources/icons/Unselected_Series_A.png";
        QTest::newRow("5C") << "5C"
                            << ":/icons/resources/icons/Unselected_Series_C.png";
        QTest::newRow("empty") << "" << kGenericBackground;
        QTest::newRow("digits only") << "12" << kGenericBackground;
    }
    void unselectedBackgroundForSeries() {
        QFETCH(QString, series);
        QFETCH(QString, path);
        QCOMPARE(UnselectedDeviceWindow::backgroundPathForSeries(series), path);
    }

    void unselectedMissingPicturesFallBack_data() {
        QTest::addColumn<QString>("series");
        QTest::addColumn<QString>("triedPath");
        QTest::newRow("series picture tried first") << "C5"
                                                    << ":/icons/resources/icons/Unselected_Series_C.png";
        QTest::newRow("no letter") << "12"
                                   << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void unselectedMissingPicturesFallBack() {
        QFETCH(QString, series);
        QFETCH(QString, triedPath);
        LogCapture log;
        UnselectedDeviceWindow window(series);

        QCOMPARE(window.series(), series);
        QCOMPARE(window.windowTitle(), QStringLiteral("设备未连接"));
        QCOMPARE(window.size(), QSize(600, 405));
        QVERIFY(window.testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(log.count(QStringLiteral("=== 创建 UnselectedDeviceWindow ===")), 1);
        if (triedPath.isEmpty())
            QVERIFY(!log.contains(QStringLiteral("无法加载未选中设备背景图片: ")));
        else
            QCOMPARE(log.count(QStringLiteral("无法加载未选中设备背景图片: ") + triedPath), 1);
        QCOMPARE(log.count(QStringLiteral("无法加载未选中设备背景图片，使用默认背景")), 1);

        QCOMPARE(window.backgroundPath(), QString());
        QCOMPARE(window.background().size(), QSize(600, 405));
        QCOMPARE(window.background().toImage().pixelColor(300, 200), kPlainBackground);

        // Painted with a transparent outside corner, the dark fill inside and a faint outline.
        const QImage shot = window.grab().toImage();
        QCOMPARE(shot.size(), QSize(600, 405));
        QCOMPARE(shot.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(shot.pixelColor(300, 200), kPlainBackground);
        const QColor edge = shot.pixelColor(300, 0);
        QVERIFY(edge.alpha() > 0);
        QVERIFY(edge.red() > kPlainBackground.red());
    }

    void unselectedButtonsSignalSeparately() {
        UnselectedDeviceWindow window("B1");
        QSignalSpy returned(&window, &UnselectedDeviceWindow::returnClicked);
        QSignalSpy closed(&window, &UnselectedDeviceWindow::closeClicked);
        QTest::mouseClick(child<QPushButton>(&window, "returnButton"), Qt::LeftButton);
        QCOMPARE(returned.count(), 1);
        QCOMPARE(closed.count(), 0);
        QTest::mouseClick(child<QPushButton>(&window, "closeButton"), Qt::LeftButton);
        QCOMPARE(returned.count(), 1);
        QCOMPARE(closed.count(), 1);
    }
};

QTEST_MAIN(TestStartupDialogs)
#include "test_startup_dialogs.moc"
