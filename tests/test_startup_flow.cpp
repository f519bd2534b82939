#include "application_entry.h"
#include "command_line_options.h"
#include "device_selection_window.h"
#include "log_capture.h"
#include "sim_fixture.h"
#include "startup_window.h"
#include "unselected_device_window.h"
#include "widget.h"

#include <QEventLoop>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

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
    void entryRecordsAndCentredWindow()
    {
        SimFixture sim;
        LogCapture log;
        const QStringList args{"/opt/kestrane/kestrane", "a", "b"};
        const CommandLineOptions options = CommandLineOptions::parse(args);
        QVERIFY(options.error.isEmpty());
        const std::unique_ptr<StartupWindow> boot = ApplicationEntry::start(options, args);
        QVERIFY(boot->isVisible());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(boot->pos(), screen.center() - boot->rect().center());

        const QString text = log.text();
        const QStringList records{
            "[INFO] [Startup] 初始化日志管理器...\n",
            QString("[INFO] [Startup] 应用程序启动 - 进程ID: %1\n").arg(QCoreApplication::applicationPid()),
            "[INFO] [Startup] 命令行参数: /opt/kestrane/kestrane a b\n",
            QString("[DEBUG] [Startup] 主屏幕分辨率: %1x%2\n").arg(screen.width()).arg(screen.height()),
            "[INFO] [Startup] 创建启动窗口...\n",
            "[INFO] [Startup] 启动窗口已显示，应用程序进入主事件循环\n",
        };
        qsizetype at = 0;
        for (const QString &record : records) {
            const qsizetype found = text.indexOf(record, at);
            QVERIFY2(found >= 0, qPrintable(record));
            at = found + record.size();
        }
    }

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

    // Scanning runs while the boot window waits on its own or for a chosen series, and
    // never while the user is choosing one.
    void scanTimerFollowsTheStates()
    {
        SimFixture sim;
        sim.add("RV-K310A-WU", "Bee", "SN001");
        sim.add("RV-T782-KB", "Sea", "SN002");
        StartupWindow boot;
        boot.show();
        QTRY_VERIFY(boot.isRefreshing()); // scanning
        QCOMPARE(boot.refreshInterval(), int(StartupWindow::kScanIntervalMs));

        struct Step {
            const char *name;
            std::function<void()> act;
            bool refreshing;
        };
        const auto waitForUnselected = [&boot] {
            QTRY_VERIFY(boot.unselectedWindow() != nullptr && boot.unselectedWindow()->isVisible());
        };
        const std::vector<Step> steps{
            {"choosing", [&] { boot.onConnectClicked(); }, false},
            {"waiting", [&] { boot.onDeviceSelected("D1"); waitForUnselected(); }, true},
            {"choosing again", [&] { emit boot.unselectedWindow()->returnClicked(); }, false},
            {"waiting again", [&] { boot.onDeviceSelected("D1"); waitForUnselected(); }, true},
            {"scanning after closing", [&] { emit boot.unselectedWindow()->closeClicked(); }, true},
            {"choosing from scanning", [&] { boot.onConnectClicked(); }, false},
            {"scanning after cancel", [&] { boot.onDeviceSelectionCanceled(); }, true},
        };
        for (const Step &step : steps) {
            step.act();
            QVERIFY2(boot.isRefreshing() == step.refreshing, step.name);
        }

        // A scan already queued when the user returns to the choice must not open the
        // panel for the series chosen before.
        boot.onConnectClicked();
        boot.onDeviceSelected("D1");
        waitForUnselected();
        sim.add("RV-N906-PX", "Dee", "SN003");
        emit boot.unselectedWindow()->returnClicked();
        QVERIFY(boot.selectionWindow()->isVisible());
        QTest::qWait(1500);
        QVERIFY(!boot.panelOpened());
        QVERIFY(!boot.isRefreshing());

        boot.onDeviceSelected("D1"); // the camera is there now
        QTRY_VERIFY_WITH_TIMEOUT(boot.panelOpened(), 4000);
        QTRY_VERIFY(boot.controlPanel() != nullptr);
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
