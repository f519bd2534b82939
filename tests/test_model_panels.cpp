#include "ai_model_area.h"
#include "camera_config_file.h"
#include "colour_page.h"
#include "colour_tables.h"
#include "command_texts.h"
#include "debounced_param_sender.h"
#include "device_maintenance.h"
#include "face_model_flow.h"
#include "file_dialogs.h"
#include "log_capture.h"
#include "model_panel.h"
#include "model_panels.h"
#include "packet_cmd.h"
#include "palette_label.h"
#include "param_control.h"
#include "param_page_set.h"
#include "sim_fixture.h"
#include "sim_requests.h"
#include "widget.h"
#include "widget_rv_k310a_lnq.h"
#include "widget_rv_k310a_wp_befa.h"

#include <QCheckBox>
#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>

namespace {
const char *const kWpBefa = "RV-K310A-WP-BEFA";
const char *const kLnq = "RV-K310A-LNQ";

using SimRequests::countCmd;
using SimRequests::sentParams;

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

// A simulated camera of one model, the control panel, and the camera activated.
struct PanelRig {
    explicit PanelRig(const QString &model) : cam(sim.add(model, "Cam", "SN12345"))
    {
        waitForList(w);
        w.onDeviceDoubleClicked(w.deviceItem(0), 0);
        panel = w.activeModelPanel();
    }
    SimFixture sim;
    SimulatedCamera *cam;
    Widget w;
    ModelPanel *panel = nullptr;
};

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
        QTest::newRow("RV-K310A-LNQ") << "RV-K310A-LNQ" << "rv_k310a_lnq_container";
        for (const char *m : {"RV-T782-KB", "RV-T782-KB-BEFA"})
            QTest::newRow(m) << m << "rv_t782_kb_befa_container";
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
        PanelRig rig(kWpBefa);
        SimulatedCamera *cam = rig.cam;
        Widget &w = rig.w;
        ModelPanel *panel = rig.panel;
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
        PanelRig rig(kWpBefa);
        SimulatedCamera *cam = rig.cam;
        ModelPanel *panel = rig.panel;
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
        PanelRig rig(kWpBefa);
        SimFixture &sim = rig.sim;
        SimulatedCamera *cam = rig.cam;
        Widget &w = rig.w;
        ModelPanel *panel = rig.panel;
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
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("factory");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<bool>("tonesReset");
        QTest::newRow("wp image") << kWpBefa << false << false << true;
        QTest::newRow("wp factory") << kWpBefa << true << false << false;
        QTest::newRow("wp factory refused") << kWpBefa << true << true << false;
        // The control panel re-reads right after a model panel's image reset: the camera's own
        // neutral tones show at once.
        QTest::newRow("lnq image") << kLnq << false << false << true;
        QTest::newRow("lnq factory") << kLnq << true << false << true;
        QTest::newRow("lnq factory refused") << kLnq << true << true << false;
    }
    void resetsThroughThePanel()
    {
        QFETCH(QString, model);
        QFETCH(bool, factory);
        QFETCH(bool, refused);
        QFETCH(bool, tonesReset);
        PanelRig rig(model);
        SimFixture &sim = rig.sim;
        SimulatedCamera *cam = rig.cam;
        Widget &w = rig.w;
        ModelPanel *panel = rig.panel;
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

    void k310aPanelsOwnWays_data();
    void k310aPanelsOwnWays();
    void lnqAreaFollowsTheCamerasFocusMode();
    void lnqLensSwitchSendsAndRefills_data();
    void lnqLensSwitchSendsAndRefills();
    void lnqRowsAndApplyRules_data();
    void lnqRowsAndApplyRules();
    void lnqSendsThroughItsGuardAndKeepsTheRecord();
};

void TestModelPanels::lnqLensSwitchSendsAndRefills_data()
{
    QTest::addColumn<int>("lensIndex");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QStringList>("focusItems");
    QTest::addColumn<int>("scenePro");
    QTest::newRow("portrait") << 1 << QStringList{"u8LensType=2", "eSceneMode=6", "ucFocusMode=8"}
                              << QStringList{"人像追焦", "MF(手动模式)"} << 9;
    QTest::newRow("standard") << 0 << QStringList{"u8LensType=1", "eSceneMode=1"}
                              << QStringList{"AF (前景优先)", "MF(手动模式)", "人脸追焦"} << 4;
}

void TestModelPanels::lnqLensSwitchSendsAndRefills()
{
    QFETCH(int, lensIndex);
    QFETCH(QStringList, sent);
    QFETCH(QStringList, focusItems);
    QFETCH(int, scenePro);
    SimFixture sim;
    SimulatedCamera *cam = sim.add(kLnq, "Cam", "SN12345");
    Widget w;
    waitForList(w);
    w.onDeviceDoubleClicked(w.deviceItem(0), 0);
    auto *panel = qobject_cast<widget_RV_K310A_LNQ *>(w.activeModelPanel());
    QVERIFY(panel);
    if (panel->lensCombo()->currentIndex() == lensIndex) // start from the other lens
        panel->lensCombo()->setCurrentIndex(1 - lensIndex);
    cam->clearReceived();
    panel->lensCombo()->setCurrentIndex(lensIndex);
    QCOMPARE(sentParams(cam).mid(0, sent.size()), sent);
    // The panel re-reads everything, then the colour tables 800 ms later.
    QVERIFY(countCmd(cam, "ReqGetVideoParam") >= 1);
    QTRY_VERIFY(countCmd(cam, "ReqGetHSVHueLut") >= 1);
    QCOMPARE(cam->videoParam("u8LensType"), lensIndex + 1);
    ParamControl *mode = control(panel, "ucFocusMode");
    QStringList items;
    for (int i = 0; i < mode->combo->count(); ++i)
        items << mode->combo->itemText(i);
    QCOMPARE(items, focusItems);
    // The lens's face mode, chosen by the user, shows the AI area and asks for the lists.
    mode->setValue(1);
    cam->clearReceived();
    mode->setValue(lensIndex == 0 ? 2 : 0);
    QVERIFY(!panel->aiModelArea()->isHidden());
    QCOMPARE(countCmd(cam, "ReqGetFaceIDs"), 1);
    // The image version's code follows the lens.
    cam->clearReceived();
    ParamControl *scene = control(panel, "eSceneMode");
    scene->setValue(3);
    QVERIFY(sentParams(cam).contains(QString("eSceneMode=%1").arg(scenePro)));
}

void TestModelPanels::lnqRowsAndApplyRules_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("slotValue");
    QTest::addColumn<int>("shown");
    QTest::newRow("HDR 1 on") << "u8HDR" << 32 << 1 << 1;
    QTest::newRow("HDR 2 off") << "u8HDR" << 32 << 2 << 0;
    QTest::newRow("area top") << "ucAFArea" << 54 << 2 << 1;
    QTest::newRow("area default") << "ucAFArea" << 54 << 0 << 0;
    QTest::newRow("scene whitish macro") << "eSceneMode" << 74 << 11 << 1;
    QTest::newRow("scene red portrait") << "eSceneMode" << 74 << 8 << 2;
    QTest::newRow("scene unknown") << "eSceneMode" << 74 << 2 << -1;
    QTest::newRow("shutter 1/50") << "uiMShutterSpeed" << 24 << 30 << 1;
}

void TestModelPanels::lnqRowsAndApplyRules()
{
    QFETCH(QString, key);
    QFETCH(int, slot);
    QFETCH(int, slotValue);
    QFETCH(int, shown);
    PanelRig rig(kLnq);
    SimulatedCamera *cam = rig.cam;
    ModelPanel *panel = rig.panel;
    CameraParams record = panel->camera()->params();
    record[slot] = slotValue;
    cam->clearReceived();
    panel->applyParams(record, false);
    QCOMPARE(control(panel, key.toLatin1())->value(), shown);
    QTest::qWait(DebouncedParamSender::kDefaultIntervalMs + 50);
    QVERIFY(sentParams(cam).isEmpty());
}

void TestModelPanels::lnqSendsThroughItsGuardAndKeepsTheRecord()
{
    PanelRig rig(kLnq);
    SimulatedCamera *cam = rig.cam;
    Widget &w = rig.w;
    ModelPanel *panel = rig.panel;
    cam->clearReceived();
    control(panel, "u8HDR")->setValue(1);
    control(panel, "uiMShutterSpeed")->setValue(2);
    control(panel, "uc2DNR")->setValue(6);
    QTRY_VERIFY(sentParams(cam).contains("uc2DNR=60"));
    QVERIFY(sentParams(cam).contains("u8HDR=1"));
    QVERIFY(sentParams(cam).contains("uiMShutterSpeed=9"));
    CameraParams exported;
    w.collectCameraParams(exported);
    QCOMPARE(exported[62], 60);
    QCOMPARE(exported[32], 1);
    QCOMPARE(exported[24], 9);
}

void TestModelPanels::k310aPanelsOwnWays_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("proItem");
    QTest::addColumn<QStringList>("records");
    QTest::newRow("WP-BEFA") << kWpBefa << 1
                             << QStringList{"[Command] sendCmdToDevice: index is -1", "language： 1 [File: k310a_panel",
                                            "Found enabled face ID 1 at index 0"};
    QTest::newRow("LNQ") << kLnq << 3
                         << QStringList{"[INFO] [Data] language: 1", "[INFO] [Command] send ReqGetFaceIDs: {",
                                        "[refresshDeviceData] VideoParam isEmpty: false", "[Data] [HUE_ARRAY] sending",
                                        "Combo box items: 1:Presenter, 2:002", "button updated to '模型启用中'"};
}

// Where the two K310A panels differ from the built-in pages and from each other: the
// shutter caption, an image version without an item, the tones, the boxes, the records.
void TestModelPanels::k310aPanelsOwnWays()
{
    QFETCH(QString, model);
    QFETCH(int, proItem);
    QFETCH(QStringList, records);
    const bool lnq = model == kLnq;
    LogCapture log;
    PanelRig rig(model);
    auto *panel = qobject_cast<K310aPanel *>(rig.panel);
    QCOMPARE(control(panel, "uiMShutterSpeed")->label->text(), QString("快门"));
    CameraParams record = panel->camera()->params();
    record[CameraParams::SceneMode] = 4;
    panel->applyParams(record, false);
    QCOMPARE(control(panel, "eSceneMode")->value(), proItem);
    panel->colourTables()->tableRefreshTimer()->stop();
    record[CameraParams::SceneMode] = 2;
    record[43] += 7; // "黄色": the lens camera's panel reads its tables again
    panel->applyParams(record, false);
    QCOMPARE(control(panel, "eSceneMode")->value(), -1);
    QCOMPARE(panel->colourTables()->tableRefreshTimer()->isActive(), lnq);
    panel->faceModels()->handleEnabledFaceIdResponse(1);
    panel->faceModels()->area()->combo()->clear();
    panel->faceModels()->onModelEnableClicked(); // "请先选择一个模型": the lens camera's panel has the wider box
    QCOMPARE(rig.sim.boxes.last().styleSheet.contains("min-width: 350px"), lnq);
    panel->refresshDeviceData();
    panel->colourTables()->sendHueTable(HsvTable());
    panel->setDevice(nullptr, -1);
    panel->camera()->sendText(CmdJson, CommandTexts::getFaceIds());
    for (const QString &text : records)
        QVERIFY2(log.contains(text), qPrintable(text));
}

// Whatever the lens offers, the camera's focus mode shows or hides the AI area, dims or
// enables "区域" (#323d43 at half opacity when disabled) and selects its item if any.
void TestModelPanels::lnqAreaFollowsTheCamerasFocusMode()
{
    PanelRig rig(kLnq);
    auto *panel = qobject_cast<K310aPanel *>(rig.panel);
    QComboBox *area = control(panel, "ucAFArea")->combo;
    ParamControl *mode = control(panel, "ucFocusMode");
    struct Case { int lens, focus; bool shown; QString text; };
    const auto show = [panel](int lens, int focus) {
        CameraParams record = panel->camera()->params();
        record[CameraParams::LensType] = lens;
        record[CameraParams::FocusMode] = focus;
        panel->applyParams(record, false);
    };
    for (const Case &c : {Case{1, 8, true, "AF (前景优先)"}, Case{2, 3, false, "人像追焦"},
                          Case{5, 6, true, "人脸追焦"}, Case{5, 7, false, "AF (前景优先)"}}) {
        show(1, 3);
        show(c.lens, c.focus);
        QCOMPARE(!panel->aiModelArea()->isHidden(), c.shown);
        QCOMPARE(mode->itemSource(mode->value()), c.text);
        QCOMPARE(area->isEnabled(), !c.shown);
        QComboBox probe; // same style and state: the folded page leaves the box no room to draw
        probe.setStyleSheet(area->styleSheet());
        probe.setEnabled(area->isEnabled());
        QImage look(200, 28, QImage::Format_ARGB32);
        look.fill(Qt::transparent);
        probe.resize(look.size());
        probe.render(&look, QPoint(), QRegion(), QWidget::DrawChildren);
        const QColor got = look.pixelColor(100, 2);
        const QColor want = c.shown ? QColor(0x32, 0x3d, 0x43, 0x80) : QColor(0x18, 0x1a, 0x1b);
        QVERIFY2(qAbs(got.red() - want.red()) + qAbs(got.green() - want.green()) + qAbs(got.blue() - want.blue()) +
                         qAbs(got.alpha() - want.alpha()) <= 4, // rounding of the blend
                 qPrintable(got.name(QColor::HexArgb)));
    }
}

QTEST_MAIN(TestModelPanels)
#include "test_model_panels.moc"
