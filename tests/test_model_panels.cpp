#include "camera_config_file.h"
#include "colour_page.h"
#include "debounced_param_sender.h"
#include "device_maintenance.h"
#include "file_dialogs.h"
#include "model_panel.h"
#include "model_panels.h"
#include "packet_cmd.h"
#include "palette_label.h"
#include "param_control.h"
#include "param_page_set.h"
#include "sim_fixture.h"
#include "widget.h"
#include "widget_rv_k310a_wp_befa.h"

#include <QCheckBox>
#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

namespace {
const char *const kWpBefa = "RV-K310A-WP-BEFA";

// The key/value pairs of every "ReqSetVideoParam" and "ReqSetSetting" the camera got,
// as "key=value", in order.
QStringList sentParams(SimulatedCamera *cam)
{
    QStringList out;
    for (const auto &r : cam->receivedRequests()) {
        if (r.cmd != "ReqSetVideoParam" && r.cmd != "ReqSetSetting")
            continue;
        QJsonObject content = QJsonDocument::fromJson(r.payload).object().value("Content").toObject();
        if (r.cmd == "ReqSetVideoParam")
            content = content.value("VideoParam").toObject();
        for (auto it = content.begin(); it != content.end(); ++it)
            out << it.key() + "=" + QString::number(it.value().toInt());
    }
    return out;
}

int countCmd(SimulatedCamera *cam, const QString &cmd)
{
    int n = 0;
    for (const auto &r : cam->receivedRequests())
        n += r.cmd == cmd;
    return n;
}

int countCmdId(SimulatedCamera *cam, quint32 id)
{
    int n = 0;
    for (const auto &r : cam->receivedRequests())
        n += r.cmdId == id;
    return n;
}

void waitForList(Widget &w)
{
    if (w.refreshButton()->isEnabled())
        return;
    QSignalSpy refreshed(&w, &Widget::deviceListRefreshed);
    QVERIFY(refreshed.wait(3000));
}

ParamControl *control(ModelPanel *panel, const char *key)
{
    auto *k310a = qobject_cast<K310aPanel *>(panel);
    return k310a ? k310a->pages()->control(QString::fromLatin1(key)) : nullptr;
}
} // namespace

class TestModelPanels : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ModelPanels::install(); }

    // ---- activation: the right container for every model code ------------------------

    void activationShowsTheModelsContainer_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("container");
        for (const char *m : {"RV-K310A-WP-BEFA", "RV-K312S-00", "RV-K312H-MA", "RV-K310A-GDR", "RV-K310A-WP",
                              "RV-K310A-NRM", "RV-K312E-QV", "RV-K310E-WU", "RV-K310E-JYLO", "RV-N906-PX"})
            QTest::newRow(m) << m << "rv_k310a_wp_befa_container";
        QTest::newRow("RV-K310A-WU") << "RV-K310A-WU" << "";
    }
    void activationShowsTheModelsContainer()
    {
        QFETCH(QString, model);
        QFETCH(QString, container);
        SimFixture sim;
        sim.add(model, "Cam", "SN12345");
        Widget w;
        waitForList(w);
        w.onDeviceDoubleClicked(w.deviceItem(0), 0);
        if (container.isEmpty()) {
            QVERIFY(!w.activeModelPanel());
            QVERIFY(!w.builtInPage()->isHidden());
            return;
        }
        QWidget *box = w.findChild<QWidget *>(container);
        QVERIFY(box);
        QVERIFY(!box->isHidden());
        QVERIFY(w.builtInPage()->isHidden());
        QVERIFY(w.activeModelPanel());
        QCOMPARE(w.activeModelPanel()->camera()->deviceIndex(), 0);
        // Reused, not rebuilt, on the next activation.
        ModelPanel *first = w.activeModelPanel();
        w.onDeviceDoubleClicked(w.deviceItem(0), 0);
        QCOMPARE(w.activeModelPanel(), first);
        QCOMPARE(w.findChildren<QWidget *>(container).size(), 1);
    }

    // ---- the panel's rows: codes, record upkeep, guard -------------------------------

    void wpBefaRowsSendTheirCodesAndKeepTheRecord_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("stored");
        QTest::newRow("1/50") << "uiMShutterSpeed" << 1 << "uiMShutterSpeed=30" << 24 << 30;
        QTest::newRow("1/60") << "uiMShutterSpeed" << 2 << "uiMShutterSpeed=9" << 24 << 9;
        QTest::newRow("1/6000") << "uiMShutterSpeed" << 19 << "uiMShutterSpeed=26" << 24 << 26;
        QTest::newRow("ISO") << "ucManualGain" << 4 << "ucManualGain=4" << 27 << 4;
        QTest::newRow("AF area all") << "ucAFArea" << 1 << "ucAFArea=1" << 54 << 1;
        QTest::newRow("AF area top") << "ucAFArea" << 2 << "ucAFArea=2" << 54 << 2;
        QTest::newRow("face tracking") << "ucFocusMode" << 2 << "ucFocusMode=6" << 50 << 6;
        QTest::newRow("gesture") << "hgr" << 1 << "hgr=1" << 80 << 1;
        QTest::newRow("horizontal mirror") << "bHorzInvert" << 1 << "bHorzInvert=1" << 71 << 1;
        QTest::newRow("vertical mirror") << "bVertInvert" << 1 << "bVertInvert=1" << 72 << 1;
        QTest::newRow("UVC") << "ucUvcEnable" << 0 << "ucUvcEnable=0" << 20 << 0;
        QTest::newRow("scene pro") << "eSceneMode" << 1 << "eSceneMode=4" << 74 << 4;
        QTest::newRow("sleep") << "sleep" << 1 << "sleep=1" << -1 << 0;
    }
    void wpBefaRowsSendTheirCodesAndKeepTheRecord()
    {
        QFETCH(QString, key);
        QFETCH(int, shown);
        QFETCH(QString, sent);
        QFETCH(int, slot);
        QFETCH(int, stored);
        SimFixture sim;
        SimulatedCamera *cam = sim.add(kWpBefa, "Cam", "SN12345");
        Widget w;
        waitForList(w);
        w.onDeviceDoubleClicked(w.deviceItem(0), 0);
        ModelPanel *panel = w.activeModelPanel();
        QVERIFY(panel);
        ParamControl *c = control(panel, key.toLatin1());
        QVERIFY(c);
        cam->clearReceived();
        c->setValue(shown == c->value() ? 1 - shown : shown);
        c->setValue(shown);
        QVERIFY(sentParams(cam).contains(sent));
        if (slot >= 0)
            QCOMPARE(panel->camera()->params()[slot], stored);
        // The export copies the record as it follows the controls.
        if (slot >= 0) {
            CameraParams exported;
            w.collectCameraParams(exported);
            QCOMPARE(exported[slot], stored);
        }
    }

    void wpBefaSlidersAreDebouncedAndScaled()
    {
        SimFixture sim;
        SimulatedCamera *cam = sim.add(kWpBefa, "Cam", "SN12345");
        Widget w;
        waitForList(w);
        w.onDeviceDoubleClicked(w.deviceItem(0), 0);
        ModelPanel *panel = w.activeModelPanel();
        cam->clearReceived();
        control(panel, "uc3DNR")->setValue(4);
        QCOMPARE(panel->camera()->params()[63], 40);
        QVERIFY(sentParams(cam).isEmpty());
        QTRY_VERIFY(sentParams(cam).contains("uc3DNR=40"));
        QCOMPARE(cam->videoParam("uc3DNR"), 40);
    }

    void wpBefaShowsNothingBackWhenApplied()
    {
        SimFixture sim;
        SimulatedCamera *cam = sim.add(kWpBefa, "Cam", "SN12345");
        cam->state().setVideoParamValue("ucScreenOrientation", 1);
        cam->state().setVideoParamValue("ucManualGain", 5);
        cam->state().setVideoParamValue("uiMShutterSpeed", 30);
        cam->state().setSetting(QJsonObject{{"sleep", 1}});
        cam->state().setVideoParamValue("ucFocusMode", 6);
        Widget w;
        waitForList(w);
        cam->clearReceived();
        w.onDeviceDoubleClicked(w.deviceItem(0), 0);
        ModelPanel *panel = w.activeModelPanel();
        QTest::qWait(DebouncedParamSender::kDefaultIntervalMs + 100);
        // Activation applies with the guard closed; the sleep switch is set after it, and
        // sends its value back (the camera's own value).
        QCOMPARE(sentParams(cam), QStringList{"sleep=1"});
        QCOMPARE(countCmdId(cam, CmdReboot), 0);
        QCOMPARE(control(panel, "ucScreenOrientation")->value(), 1);
        QCOMPARE(control(panel, "ucManualGain")->value(), 5);
        QCOMPARE(control(panel, "uiMShutterSpeed")->value(), 1);
        QCOMPARE(control(panel, "sleep")->value(), 1);
        QCOMPARE(control(panel, "ucFocusMode")->value(), 2);
        QVERIFY(!qobject_cast<K310aPanel *>(panel)->aiModelArea()->isHidden());
        QVERIFY(!control(panel, "ucAFArea")->combo->isEnabled());
        // Every apply ends by asking for the face lists.
        QVERIFY(countCmd(cam, "ReqGetFaceIDs") >= 1);
        QVERIFY(countCmd(cam, "ReqGetFaceNames") >= 1);
    }

    // ---- "横屏": restart after a successful send only ---------------------------------

    void landscapeClickRestartsTheCameraAfterASuccessfulSend()
    {
        SimFixture sim;
        SimulatedCamera *cam = sim.add(kWpBefa, "Cam", "SN12345");
        Widget w;
        waitForList(w);
        w.onDeviceDoubleClicked(w.deviceItem(0), 0);
        ParamControl *landscape = control(w.activeModelPanel(), "ucScreenOrientation");
        cam->clearReceived();
        sim.boxes.clear();
        landscape->check->click();
        QCOMPARE(sentParams(cam), QStringList{"ucScreenOrientation=1"});
        QCOMPARE(countCmdId(cam, CmdReboot), 0);
        QTRY_COMPARE(countCmdId(cam, CmdReboot), 1);
        QTRY_COMPARE(sim.boxes.size(), 1);
        QCOMPARE(sim.boxes[0].title, QString("重启"));
        QCOMPARE(sim.boxes[0].text, QString("设备正在重启..."));
    }

    void landscapeClickWithoutASendDoesNotRestart()
    {
        SimFixture sim;
        SimulatedCamera *cam = sim.add(kWpBefa, "Cam", "SN12345");
        Widget w;
        waitForList(w);
        w.onDeviceDoubleClicked(w.deviceItem(0), 0);
        ParamControl *landscape = control(w.activeModelPanel(), "ucScreenOrientation");
        cam->setFault(SimulatedCamera::Fault::Silent);
        cam->clearReceived();
        landscape->check->click();
        cam->setFault(SimulatedCamera::Fault::None);
        QTest::qWait(widget_RV_K310A_WP_BEFA::kRebootDelayMs + 300);
        QCOMPARE(countCmdId(cam, CmdReboot), 0);
    }

    // ---- export and import through the panel ----------------------------------------

    void exportImportRoundTripThroughThePanel()
    {
        SimFixture sim;
        SimulatedCamera *cam = sim.add(kWpBefa, "Cam", "SN12345");
        Widget w;
        waitForList(w);
        w.onDeviceDoubleClicked(w.deviceItem(0), 0);
        ModelPanel *panel = w.activeModelPanel();
        control(panel, "hgr")->setValue(1);
        control(panel, "uiMShutterSpeed")->setValue(3);
        const QString file = sim.appDir() + "/round.config";
        FileDialogs::setTestResponder([file](const FileDialogs::Request &) { return file; });
        w.exportCameraConfig();
        const CameraConfigFile::ReadResult read = CameraConfigFile::read(file);
        QCOMPARE(read.status, CameraConfigFile::Status::Ok);
        const CameraParams &saved = read.params;
        QCOMPARE(saved[80], 1);
        QCOMPARE(saved[24], 10);

        control(panel, "uiMShutterSpeed")->setValue(0);
        control(panel, "hgr")->setValue(0);
        cam->clearReceived();
        w.importCameraConfig();
        FileDialogs::setTestResponder({});
        QCOMPARE(control(panel, "uiMShutterSpeed")->value(), 3);
        QCOMPARE(control(panel, "hgr")->value(), 1);
        const QStringList sent = sentParams(cam);
        QVERIFY(sent.contains("uiMShutterSpeed=10"));
        QVERIFY(sent.contains("hgr=1"));
        QCOMPARE(countCmd(cam, "ReqSetHSVHueLut"), 1);
        QCOMPARE(countCmd(cam, "ReqSetHSVStaLut"), 1);
    }

    // ---- resets through the panel ---------------------------------------------------

    void resetsThroughThePanel_data()
    {
        QTest::addColumn<bool>("factory");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<bool>("tonesReset");
        QTest::newRow("image") << false << false << true;
        QTest::newRow("factory") << true << false << false;
        QTest::newRow("factory refused") << true << true << false;
    }
    void resetsThroughThePanel()
    {
        QFETCH(bool, factory);
        QFETCH(bool, refused);
        QFETCH(bool, tonesReset);
        SimFixture sim;
        SimulatedCamera *cam = sim.add(kWpBefa, "Cam", "SN12345");
        Widget w;
        waitForList(w);
        w.onDeviceDoubleClicked(w.deviceItem(0), 0);
        ModelPanel *panel = w.activeModelPanel();
        control(panel, "u8Yellow")->setValue(20);
        cam->clearReceived();
        sim.boxes.clear();
        if (refused)
            cam->setFault(SimulatedCamera::Fault::NegativeResult);
        if (factory)
            w.onFactoryResetClicked();
        else
            w.onImageResetClicked();
        cam->setFault(SimulatedCamera::Fault::None);
        QCOMPARE(countCmd(cam, "ReqSetDefaultParam"), 1);
        if (refused) {
            QCOMPARE(sim.boxes.last().text, QString("恢复出厂设置失败"));
            QCOMPARE(countCmd(cam, "ReqSetHSVHueLut"), 0);
            return;
        }
        QCOMPARE(countCmd(cam, "ReqSetHSVHueLut"), 1);
        QCOMPARE(control(panel, "u8Yellow")->value(), tonesReset ? 0 : 20);
        QVERIFY(!sentParams(cam).contains("u8Yellow=50"));
    }
};

QTEST_MAIN(TestModelPanels)
#include "test_model_panels.moc"
