#include "device_selection_window.h"
#include "log_capture.h"
#include "sim_fixture.h"
#include "startup_window.h"
#include "unselected_device_window.h"
#include "widget.h"

#include <QEventLoop>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {
// Notices the application being asked to quit.
struct QuitWatcher {
    bool requested = false;
    QuitWatcher() { StartupWindow::setQuitHandler([this] { requested = true; }); }
    ~QuitWatcher() { StartupWindow::setQuitHandler({}); }
};

// Closes a panel opened by the boot window without quitting the test run.
void dismiss(StartupWindow &boot)
{
    Widget *panel = boot.controlPanel();
    if (!panel)
        return;
    QObject::disconnect(panel, &QObject::destroyed, &boot, nullptr);
    delete panel;
}
} // namespace

class TestStartupFlow : public QObject {
    Q_OBJECT
private slots:
    void twoCamerasWaitForAChoice()
    {
        SimFixture sim;
        sim.add("RV-K310A-WU", "Bee", "SN001");
        sim.add("RV-T782-KB", "Sea", "SN002");
        LogCapture log;
        StartupWindow boot;
        boot.show();
        QTRY_COMPARE_WITH_TIMEOUT(log.count("检测到多台设备，不进行自动选择"), 2, 6000);
        QVERIFY(!boot.panelOpened());
        QVERIFY(boot.isVisible());

        boot.onConnectClicked();
        QVERIFY(!boot.isRefreshing());
        QVERIFY(boot.selectionWindow()->isVisible());
        QVERIFY(boot.overlay()->isVisible());
        emit boot.selectionWindow()->deviceSelected("C5");
        QVERIFY(boot.panelOpened());
        QVERIFY(!boot.isVisible());
        QTRY_VERIFY(boot.controlPanel() != nullptr);
        QTRY_COMPARE(boot.controlPanel()->currentIndex(), 1);
        QCOMPARE(boot.controlPanel()->selectedSeries(), QString("C5"));
        QVERIFY(log.contains("用户选择设备: C5"));
        dismiss(boot);
    }

    void absentSeriesWaitsForItsCamera()
    {
        SimFixture sim;
        sim.add("RV-K310A-WU", "Bee", "SN001");
        sim.add("RV-T782-KB", "Sea", "SN002");
        LogCapture log;
        StartupWindow boot;
        boot.show();
        boot.onConnectClicked();
        boot.onDeviceSelected("\"D1\" ");
        QCOMPARE(boot.selectedSeries(), QString("D1"));
        QTRY_VERIFY(boot.unselectedWindow() != nullptr && boot.unselectedWindow()->isVisible());
        QVERIFY(log.contains("显示未选中设备窗口，设备系列: D1"));
        QVERIFY(boot.isRefreshing());
        QTRY_COMPARE_WITH_TIMEOUT(boot.refreshInterval(), int(StartupWindow::kWaitingVisibleIntervalMs), 2000);
        QVERIFY(!boot.panelOpened());

        // Returning shows the carousel again; choosing again keeps waiting.
        emit boot.unselectedWindow()->returnClicked();
        QVERIFY(boot.selectionWindow()->isVisible());
        boot.onDeviceSelected("D1");
        QTRY_VERIFY(boot.unselectedWindow() != nullptr && boot.unselectedWindow()->isVisible());

        sim.add("RV-N906-PX", "Dee", "SN003");
        QTRY_VERIFY_WITH_TIMEOUT(boot.panelOpened(), 12000);
        QVERIFY(!boot.unselectedWindow()->isVisible());
        QTRY_VERIFY(boot.controlPanel() != nullptr);
        QTRY_COMPARE(boot.controlPanel()->currentIndex(), 2);
        dismiss(boot);
    }

    void aliasesAndUnknownCameras()
    {
        SimFixture sim;
        sim.add("RV-K311E-FZ", "Odd", "SN001"); // belongs to no series
        sim.add("RV-K310A-GDR", "Star", "SN002");
        StartupWindow boot;
        // The unknown camera never counts: one camera of a known series opens by itself.
        QTRY_VERIFY_WITH_TIMEOUT(boot.panelOpened(), 4000);
        QTRY_VERIFY(boot.controlPanel() != nullptr);
        QCOMPARE(boot.detector()->connectedDeviceSeries(), QStringList());  // freed for the panel
        QCOMPARE(boot.controlPanel()->connectedDeviceSeries(), QStringList({"星瞳1"}));
        dismiss(boot);

        SimFixture again;
        again.add("RV-K310A-GDR", "Star", "SN002");
        again.add("RV-K310A-WU", "Bee", "SN003");
        StartupWindow second;
        second.onConnectClicked();
        second.checkDeviceMatch("A1"); // folds with "星瞳1"
        QVERIFY(second.panelOpened());
        QTRY_VERIFY(second.controlPanel() != nullptr);
        dismiss(second);
    }

    void singleCameraOpensThePanelOnceAndClosingQuits()
    {
        SimFixture sim;
        sim.add("RV-K310A-WU", "Bee", "SN001");
        LogCapture log;
        StartupWindow boot;
        boot.show();
        QTRY_VERIFY_WITH_TIMEOUT(boot.controlPanel() != nullptr, 4000);
        QVERIFY(!boot.isVisible());
        QVERIFY(log.contains("检测到单台设备，自动选择: B1"));
        QTRY_COMPARE(boot.controlPanel()->currentIndex(), 0);
        QVERIFY(boot.controlPanel()->isVisible());
        boot.openControlPanel("B1");
        QVERIFY(log.contains("控制面板已打开，忽略重复调用"));
        QTest::qWait(4000); // a scan cycle later: still one panel
        QCOMPARE(log.count("设备匹配成功，控制面板已打开"), 1);

        QuitWatcher quit;
        boot.controlPanel()->close();
        QTRY_VERIFY(boot.controlPanel() == nullptr);
        QVERIFY(quit.requested);
        quit.requested = false;
        boot.onCloseClicked();
        QVERIFY(quit.requested);
    }
};

QTEST_MAIN(TestStartupFlow)
#include "test_startup_flow.moc"
