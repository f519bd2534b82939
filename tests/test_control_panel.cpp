#include "device_slot_strip.h"
#include "log_capture.h"
#include "packet_cmd.h"
#include "packet_codec.h"
#include "sim_fixture.h"
#include "video_inputs.h"
#include "widget.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidgetItem>

namespace {
QByteArray replyPacket(const QByteArray &json)
{
    return PacketCodec::buildReply(CmdJson, json, true);
}
} // namespace

class TestControlPanel : public QObject {
    Q_OBJECT
private slots:
    void listsCamerasWithTheirNames()
    {
        SimFixture sim;
        sim.add("RV-K310A-WP", "Cam", "SN12345")->setBuildDate("2024");
        sim.add("RV-K310A-WU", "Desk", "XY987");
        Widget w;
        QCOMPARE(w.deviceCount(), 2);
        QCOMPARE(w.deviceTree()->topLevelItem(0)->childCount(), 2);
        QCOMPARE(w.deviceItem(0)->text(0), QString("Cam-345-2024"));
        QCOMPARE(w.slotStrip()->label(0)->text(), QString("A1-345"));
        QCOMPARE(w.slotStrip()->label(1)->text(), QString("B1-987"));
        QVERIFY(w.slotStrip()->button(0)->isEnabled());
        QVERIFY(!w.slotStrip()->container(2)->isVisibleTo(&w));
        QCOMPARE(w.slotStrip()->button(0)->toolTip(), QString("型号: RV-K310A-WP\n序列号: SN12345\n生产日期: 2024"));
        QCOMPARE(w.connectedCount(), 2);
        QCOMPARE(w.deviceEntry(1).productModel, QString("RV-K310A-WU"));
        QCOMPARE(w.connectedDeviceSeries(), QStringList({"A1", "B1"}));

        // The list appears when the refresh finishes.
        QVERIFY(!w.deviceListArea()->isVisibleTo(&w));
        QSignalSpy refreshed(&w, &Widget::deviceListRefreshed);
        QVERIFY(refreshed.wait(3000));
        QVERIFY(w.deviceListArea()->isVisibleTo(&w));
        QVERIFY(!w.noCameraLabel()->isVisibleTo(&w));
        QVERIFY(w.refreshButton()->isEnabled());
    }

    void userNamesAndLongLabels()
    {
        SimFixture sim;
        {
            QSettings ini(sim.appDir() + "/device_names.ini", QSettings::IniFormat);
            ini.setValue("DeviceNames/C5-777", QString("会议室左侧大屏幕高清摄像机"));
            ini.setValue("DeviceNames/D1-888", QString("讲台"));
        }
        sim.add("RV-T782-KB", "Room", "AB777");
        sim.add("RV-N906-PX", "Desk", "AB888");
        sim.add("RV-K310A-LNQ", "Long", "AB999");
        Widget w;
        QCOMPARE(w.slotStrip()->label(0)->text(), QString("会议室左侧大屏幕高清..."));
        QCOMPARE(w.slotStrip()->label(1)->text(), QString("讲台"));
        QCOMPARE(w.slotStrip()->label(2)->text(), QString("QV-AI k4-999"));
        QCOMPARE(DeviceSlotStrip::elide("123456789012"), QString("123456789012"));
        QCOMPARE(DeviceSlotStrip::elide("1234567890123"), QString("1234567890..."));
    }

    void moreThanFourAndSilentCameras()
    {
        SimFixture sim;
        for (int i = 0; i < 5; ++i)
            sim.add("RV-K310A-WU", QString("Cam%1").arg(i), QString("SN00%1").arg(i));
        sim.add("RV-K310A-WU", "Mute", "SN099")->setFault(SimulatedCamera::Fault::Silent);
        Widget w;
        QCOMPARE(w.deviceCount(), 6);
        QCOMPARE(w.deviceTree()->topLevelItem(0)->childCount(), 5); // the silent camera is not listed
        QCOMPARE(w.connectedCount(), 4);
        QCOMPARE(w.deviceEntry(4).deviceName, QString("Cam4"));
        QVERIFY(!w.deviceEntry(5).present);
    }

    void noCamera()
    {
        SimFixture sim;
        Widget w;
        QSignalSpy refreshed(&w, &Widget::deviceListRefreshed);
        QVERIFY(refreshed.wait(3000));
        QVERIFY(w.noCameraLabel()->isVisibleTo(&w));
        QCOMPARE(w.noCameraLabel()->text(), QString("未检测到相机，请检查相机是否正常连接"));
    }

    void hotPlugRefreshesOnce()
    {
        SimFixture sim;
        Widget w;
        QSignalSpy refreshed(&w, &Widget::deviceListRefreshed);
        QVERIFY(refreshed.wait(3000));
        LogCapture log;
        sim.add("RV-K310A-WU", "One", "SN001");
        QTest::qWait(100);
        sim.add("RV-T782-KB", "Two", "SN002");
        QTRY_COMPARE_WITH_TIMEOUT(w.connectedCount(), 2, 6000);
        QTRY_COMPARE_WITH_TIMEOUT(refreshed.count(), 2, 3000);
        QCOMPARE(log.count("on handleRefresh"), 1);

        // The active camera leaves: it disappears from the list.
        w.onDeviceDoubleClicked(w.deviceItem(0), 0);
        QCOMPARE(w.currentIndex(), 0);
        sim.bus()->removeCamera(sim.bus()->cameraAt(0));
        QTRY_COMPARE_WITH_TIMEOUT(w.connectedCount(), 1, 6000);
        QCOMPARE(w.currentIndex(), -1);
        QCOMPARE(w.deviceEntry(0).deviceName, QString("Two"));
    }

    void seriesActivation()
    {
        SimFixture sim;
        sim.add("RV-K310A-GDR", "Star", "SN001");
        sim.add("RV-K310A-LNQ", "Max", "SN002");
        Widget w;
        w.setSelectedSeries("\" A1 \"");
        QCOMPARE(w.selectedSeries(), QString("A1"));
        w.activateSeriesDevice("A1");
        QCOMPARE(w.currentIndex(), 1); // "QV-AI k4", not "星瞳1"
        QCOMPARE(w.selectionName(), QString("Max-002"));
        QCOMPARE(w.slotStrip()->button(1)->property("active").toBool(), true);
        QCOMPARE(w.slotStrip()->button(0)->property("active").toBool(), false);
        w.activateSeriesDevice("C5");
        QCOMPARE(w.currentIndex(), 1);
        w.activateSeriesDevice("");
        QCOMPARE(w.currentIndex(), 1);
    }

    void activationChoosesThePage()
    {
        SimFixture sim;
        sim.add("RV-K310A-WU", "B", "SN001");
        sim.add("RV-XYZ", "X", "SN002");
        Widget w;
        w.show();
        w.slotStrip()->button(0)->click();
        QCOMPARE(w.currentIndex(), 0);
        QCOMPARE(w.currentModel(), QString("RV-K310A-WU"));
        QCOMPARE(w.currentSerial(), QString("SN001"));
        QVERIFY(w.builtInPage()->isVisible());
        QVERIFY(w.ptzPanel()->isVisible());
        QVERIFY(w.ptzToggle()->isChecked());
        QCOMPARE(w.panelKind(), PanelKind::BuiltIn);
        w.slotStrip()->button(1)->click();
        QCOMPARE(w.currentIndex(), 1);
        QVERIFY(!w.builtInPage()->isVisible());
        QCOMPARE(w.panelKind(), PanelKind::BuiltIn); // a model without a panel leaves the kind alone
    }

    void routing()
    {
        SimFixture sim;
        sim.add("RV-K310A-WP", "A", "SN001");
        sim.add("RV-K310A-WP", "B", "SN002");
        Widget w;
        w.onDeviceDoubleClicked(w.deviceItem(0), 0);
        LogCapture log;
        auto *router = w.findChild<ReplyRouter *>();
        QVERIFY(router);

        // An identity outside a refresh lists nothing.
        const int listed = w.deviceTree()->topLevelItem(0)->childCount();
        router->route(replyPacket(R"({"DeviceName":"Late","Serial":"SN9","ProductModel":"RV-K310A-WU"})"), 2);
        QCOMPARE(w.deviceTree()->topLevelItem(0)->childCount(), listed);

        QSignalSpy ids(router, &ReplyRouter::faceIdsReceived);
        router->route(replyPacket(R"({"Content":{"FaceIDs":[1,2]}})"), 1);
        QCOMPARE(ids.count(), 0);
        QVERIFY(log.contains("Skip FaceIDs from device 1"));
        router->route(replyPacket(R"({"Content":{"FaceIDs":[1,2]}})"), 0);
        QCOMPARE(ids.count(), 1);
        QCOMPARE(ids[0][0].value<QList<int>>(), QList<int>({1, 2}));

        // Orientation from any device; 2 means portrait and clears the quiet flag.
        w.probeDirection(0);
        router->route(replyPacket(R"({"Content":{"nDirection":2}})"), 1);
        QVERIFY(!w.quietProbe());
        QVERIFY(!w.isLandscape());
        router->route(replyPacket(R"({"Content":{"nDirection":1}})"), 0);
        QVERIFY(w.isLandscape());
        router->route(replyPacket(R"({"Content":{"nDirection":7}})"), 0);
        QVERIFY(w.isLandscape());

        // Hostile payloads: logged and dropped.
        router->route(replyPacket("{not json"), 0);
        QVERIFY(log.contains("JSON解析错误:"));
        router->route(QByteArray(1024, 'x'), 0);
        router->route(QByteArray("FDTH"), 0);
        router->route(replyPacket("[1,2]"), 0);
    }

    void quietProbeAndRealDirection()
    {
        SimFixture sim;
        SimulatedCamera *camera = sim.add("RV-K310A-WP", "A", "SN001");
        camera->setDirection(2);
        Widget w;
        LogCapture log;
        w.probeDirection(0);
        QVERIFY(!w.quietProbe());
        QVERIFY(!w.isLandscape());
        QVERIFY(!log.contains("ReqGetDeviceDirection"));
        QCOMPARE(camera->lastRequest().cmd, QString("ReqGetDeviceDirection"));
    }

    void previewToggle()
    {
        SimFixture sim;
        SimulatedCamera *camera = sim.add("RV-K310A-WP", "Cam", "SN12345");
        VideoInputs::setProvider([] {
            return QList<VideoInput>{{"id-a", "Cam-345", false}, {"id-b", "Other-111", true}, {"id-c", "Cam-345", false}};
        });
        Widget w;
        w.show();

        // Nothing selected: said before any link test, and the toggle ends unchecked.
        camera->clearReceived();
        w.previewToggle()->click();
        QCOMPARE(sim.boxes.size(), 1);
        QCOMPARE(sim.boxes[0].title, QString("提示"));
        QCOMPARE(sim.boxes[0].text, QString("请先选择一个设备"));
        QVERIFY(!w.previewToggle()->isChecked());
        QVERIFY(camera->receivedRequests().isEmpty());

        w.onDeviceDoubleClicked(w.deviceItem(0), 0);
        w.previewToggle()->click();
        QCOMPARE(sim.boxes.size(), 1);
        QCOMPARE(w.selectedCameraId(), QString("id-c")); // the later of two matching inputs

        camera->setFault(SimulatedCamera::Fault::MalformedJson);
        w.previewToggle()->click();
        w.previewToggle()->click();
        QCOMPARE(sim.boxes.size(), 2);
        QCOMPARE(sim.boxes[1].title, QString("连接失败"));
        VideoInputs::setProvider({});
    }

    void titleAreaMovesTheWindow()
    {
        SimFixture sim;
        Widget w;
        w.move(100, 100);
        w.show();
        const QPoint start(150, 20);
        const QPointF global = w.mapToGlobal(QPointF(start));
        QTest::mousePress(&w, Qt::LeftButton, {}, start);
        QMouseEvent move(QEvent::MouseMove, QPointF(start), global + QPointF(40, 30), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&w, &move);
        QCOMPARE(w.pos(), QPoint(140, 130));
        QTest::mouseRelease(&w, Qt::LeftButton, {}, start);

        // Below the title area nothing moves.
        const QPoint body(150, 300);
        QTest::mousePress(&w, Qt::LeftButton, {}, body);
        QMouseEvent still(QEvent::MouseMove, QPointF(body), w.mapToGlobal(QPointF(body)) + QPointF(50, 50),
                          Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &still);
        QCOMPARE(w.pos(), QPoint(140, 130));
        QTest::mouseRelease(&w, Qt::LeftButton, {}, body);
    }

    void footerDragKeepsMinimumHeight()
    {
        SimFixture sim;
        Widget w;
        w.show();
        QWidget *footer = nullptr;
        for (QWidget *child : w.findChildren<QWidget *>())
            if (child->cursor().shape() == Qt::SizeVerCursor)
                footer = child;
        QVERIFY(footer);
        const QPoint start = footer->rect().center();
        const QPointF global = footer->mapToGlobal(QPointF(start));
        QTest::mousePress(footer, Qt::LeftButton, {}, start);
        QMouseEvent move(QEvent::MouseMove, QPointF(start), global - QPointF(0, 500), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(footer, &move);
        QCOMPARE(w.height(), 600);
        QMouseEvent grow(QEvent::MouseMove, QPointF(start), global + QPointF(0, 100), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(footer, &grow);
        QCOMPARE(w.height(), 900);
        QTest::mouseRelease(footer, Qt::LeftButton, {}, start);
    }
};

QTEST_MAIN(TestControlPanel)
#include "test_control_panel.moc"
