#include "builtin_param_pages.h"
#include "collapsible_group.h"
#include "debounced_param_sender.h"
#include "log_capture.h"
#include "number_edit.h"
#include "packet_cmd.h"
#include "sim_fixture.h"
#include "widget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollArea>
#include <QSlider>
#include <QTest>
#include <QVBoxLayout>

namespace {
QByteArray setVideo(const QString &key, int value)
{
    return QStringLiteral("{\"Cmd\":\"ReqSetVideoParam\",\"wCmdId\":40001090,\"Content\":{\"ChanNum\":0,"
                          "\"VideoParam\":{\"%1\":%2}}}")
        .arg(key)
        .arg(value)
        .toUtf8();
}

QByteArray setSetting(const QString &key, int value)
{
    return QStringLiteral("{\"Cmd\":\"ReqSetSetting\",\"Content\":{\"%1\":%2}}").arg(key).arg(value).toUtf8();
}

// The requests of the given "Cmd" names, payloads in order of arrival.
QList<QByteArray> requests(SimulatedCamera *camera, const QStringList &cmds)
{
    QList<QByteArray> out;
    for (const auto &r : camera->receivedRequests())
        if (cmds.contains(r.cmd))
            out << r.payload;
    return out;
}

QList<QByteArray> sets(SimulatedCamera *camera)
{
    return requests(camera, {"ReqSetVideoParam", "ReqSetSetting"});
}

QStringList cmds(SimulatedCamera *camera)
{
    QStringList out;
    for (const auto &r : camera->receivedRequests())
        out << r.cmd;
    return out;
}

// One panel with its first camera activated.
struct Panel {
    explicit Panel(SimFixture &sim, const QString &model = "RV-K310A-WU") : camera(sim.add(model, "Cam", "SN001"))
    {
    }
    void activate()
    {
        w = std::make_unique<Widget>();
        w->onDeviceDoubleClicked(w->deviceItem(0), 0);
    }
    ParamControl *c(const QString &key) const { return w->paramPages()->control(key); }
    QComboBox *combo(const QString &key) const { return c(key)->combo; }
    QSlider *slider(const QString &key) const { return c(key)->slider.slider; }
    QCheckBox *check(const QString &key) const { return c(key)->check; }
    // Lets the debounced sender's timers run out.
    void settle() const { QTRY_COMPARE_WITH_TIMEOUT(w->paramSender()->pendingCount(), 0, 2000); }

    SimulatedCamera *camera;
    std::unique_ptr<Widget> w;
};
} // namespace

class TestParamPages : public QObject {
    Q_OBJECT
private slots:
    // The number boxes of a page's slider rows share one width (a 0 … 100 row's "+100"
    // is the widest text), so that their tracks are as long as each other.
    void sliderRowsOfAPageShareOneBoxWidth_data() {
        QTest::addColumn<QString>("model");
        QTest::newRow("built-in pages") << "RV-K310A-WU";
        QTest::newRow("RV-K310A-LNQ") << "RV-K310A-LNQ";
        QTest::newRow("RV-K310A-WP-BEFA") << "RV-K310A-WP-BEFA";
        QTest::newRow("RV-T782-KB") << "RV-T782-KB";
    }
    void sliderRowsOfAPageShareOneBoxWidth() {
        QFETCH(QString, model);
        SimFixture sim;
        Panel p(sim, model);
        p.activate();
        p.w->show();
        QMap<QWidget *, QList<NumberEdit *>> pages;
        for (NumberEdit *box : p.w->findChildren<NumberEdit *>())
            if (!box->lineEdit()->text().endsWith('K')) // colour temperature has a box of its own
                pages[box->parentWidget()] << box;
        QVERIFY(!pages.isEmpty());
        for (const QList<NumberEdit *> &boxes : std::as_const(pages)) {
            for (NumberEdit *box : boxes) {
                QVERIFY2(box->width() == boxes.first()->width() || !box->isVisibleTo(p.w.get()),
                         qPrintable(QString("%1: %2 px beside %3 px").arg(box->lineEdit()->text())
                                        .arg(box->minimumWidth()).arg(boxes.first()->minimumWidth())));
                QCOMPARE(box->minimumWidth(), boxes.first()->minimumWidth());
            }
        }
    }

    void groupsInOrder()
    {
        SimFixture sim;
        Widget w;
        QWidget *content = static_cast<QScrollArea *>(w.builtInPage())->widget();
        const auto *layout = static_cast<QVBoxLayout *>(content->layout());
        QStringList titles;
        for (int i = 0; i < layout->count(); ++i)
            if (auto *g = qobject_cast<CollapsibleGroup *>(layout->itemAt(i)->widget()))
                titles << g->title();
        titles.removeAll("调色盘"); // the colour page sits between "对焦" and "设置"
        QCOMPARE(titles, QStringList({"图像调节", "对焦", "设置"}));
        QVERIFY(layout->itemAt(layout->count() - 1)->spacerItem()); // the stretch stays last
        QStringList spare;
        for (auto *g : w.findChildren<CollapsibleGroup *>())
            if (g->isHidden())
                spare << g->title();
        QCOMPARE(spare, QStringList({"曝光调整", "颜色调节", "噪声抑制"}));

        // Defaults of the tables before any camera is read; building sent nothing.
        auto *pages = w.paramPages();
        QCOMPARE(pages->control("ucWDRStrength")->value(), 30);
        QCOMPARE(pages->control("u32CTNum")->value(), 50);
        QCOMPARE(pages->control("u32CTNum")->slider.lineEdit->text(), QString("5000K"));
        QCOMPARE(pages->control("uc2DNR")->value(), 5);
        QCOMPARE(pages->control("uc3DNR")->value(), 2);
        QCOMPARE(pages->control("uiMShutterSpeed")->combo->count(), 19);
        QCOMPARE(pages->control("uiMShutterSpeed")->combo->itemText(2), QString("1/90"));
        QCOMPARE(pages->control("ucManualGain")->combo->itemText(20), QString("9600"));
        QCOMPARE(pages->control("bVertInvert")->label->text(), QString("水平翻转"));
        QVERIFY(pages->aiModelArea()->isHidden());
        QVERIFY(w.sendEnabled());
    }

    // Every key the camera reports carries its own value; after the selection load
    // each named slot of the record must hold the value of the key the record layout
    // gives it.
    void everyKeyLandsInItsSlot()
    {
        SimFixture sim;
        Panel p(sim);
        SimulatedCameraState &s = p.camera->state();
        QMap<QString, int> sent;
        int next = 1001;
        s.setVideoParamValue("eSceneMode", next); // first: a scene switch rewrites several keys
        sent["eSceneMode"] = next++;
        for (const QString &key : SimulatedCameraState::videoParamKeys())
            if (!sent.contains(key)) {
                s.setVideoParamValue(key, next);
                sent[key] = next++;
            }
        QJsonObject settings;
        for (const char *key : {"language", "trace", "hgr", "sleep"}) {
            settings[key] = next;
            sent[key] = next++;
        }
        s.setSetting(settings);
        p.activate();

        int checked = 0;
        for (const CameraParams::SlotInfo &slot : CameraParams::layout()) {
            const QString key = QLatin1String(slot.key);
            if (!sent.contains(key))
                continue;
            QVERIFY2(p.w->cameraParams()[slot.slot] == sent[key],
                     qPrintable(QStringLiteral("slot %1 (%2)").arg(slot.slot).arg(key)));
            ++checked;
        }
        QCOMPARE(checked, 66); // slots 11-47, 50, 51, 53-57, 59-80
    }

    void activationFillsEveryControl()
    {
        SimFixture sim;
        Panel p(sim);
        SimulatedCameraState &s = p.camera->state();
        const QMap<QString, int> video = {
            {"Luminance", 70},      {"Contrast", 40},       {"Saturation", 55},  {"Hue", 65},
            {"ucRuddy", 52},        {"eExposureMode", 1},   {"uiMShutterSpeed", 30}, {"eWBMode", 0},
            {"u32CTNum", 6510},     {"ucRGGain", 61},       {"ucGRGain", 42},    {"ucBGGain", 33},
            {"u8RgainTuning", 45},  {"u8BgainTuning", 56},  {"u8Yellow", 57},    {"u8Orange", 58},
            {"u8Gray", 59},         {"u8Black", 41},        {"u8White", 62},     {"ucWDRStrength", 77},
            {"uc2DNR", 55},         {"uc3DNR", 80},         {"ucFocusMode", 0},  {"ucAFArea", 3},
            {"ucAFSen", 2},         {"bHorzInvert", 1},     {"bVertInvert", 0},  {"eSceneMode", 4},
            {"u8LensType", 2},      {"ucManualGain", 7},
        };
        s.setVideoParamValue("eSceneMode", video["eSceneMode"]); // first: a scene switch rewrites several keys
        for (auto it = video.cbegin(); it != video.cend(); ++it)
            s.setVideoParamValue(it.key(), it.value());
        s.setSetting(QJsonObject{{"language", 0}, {"trace", 1}, {"hgr", 1}, {"sleep", 1}});
        LogCapture log;
        p.activate();

        QCOMPARE(p.slider("Luminance")->value(), 20);
        QCOMPARE(p.slider("Contrast")->value(), -10);
        QCOMPARE(p.slider("Saturation")->value(), 5);
        QCOMPARE(p.slider("Hue")->value(), 15);
        QCOMPARE(p.slider("ucRuddy")->value(), 2);
        QCOMPARE(p.combo("eExposureMode")->currentIndex(), 1);
        QCOMPARE(p.combo("uiMShutterSpeed")->currentIndex(), 2);
        QCOMPARE(p.combo("ucManualGain")->currentIndex(), 0); // never set by apply
        QCOMPARE(p.combo("eWBMode")->currentIndex(), 0);
        QCOMPARE(p.slider("u32CTNum")->value(), 65);
        QCOMPARE(p.slider("ucRGGain")->value(), 11);
        QCOMPARE(p.slider("ucGRGain")->value(), -8);
        QCOMPARE(p.slider("ucBGGain")->value(), -17);
        QCOMPARE(p.slider("u8RgainTuning")->value(), -5);
        QCOMPARE(p.slider("u8BgainTuning")->value(), 6);
        QCOMPARE(p.slider("u8Yellow")->value(), 7);
        QCOMPARE(p.slider("u8Orange")->value(), 8);
        QCOMPARE(p.slider("u8Gray")->value(), 9);
        QCOMPARE(p.slider("u8Black")->value(), -9);
        QCOMPARE(p.slider("u8White")->value(), 12);
        QCOMPARE(p.slider("ucWDRStrength")->value(), 77);
        QCOMPARE(p.slider("uc2DNR")->value(), 5);
        QCOMPARE(p.slider("uc3DNR")->value(), 8);
        QCOMPARE(p.combo("ucFocusMode")->currentIndex(), 1);
        QCOMPARE(p.combo("ucAFArea")->currentIndex(), 3);
        QCOMPARE(p.combo("ucAFSen")->currentIndex(), 2);
        QCOMPARE(p.combo("language")->currentIndex(), 0);
        QVERIFY(p.check("trace")->isChecked());
        QVERIFY(p.check("hgr")->isChecked());
        QVERIFY(!p.check("bVertInvert")->isChecked()); // "水平翻转" shows slot 72
        QVERIFY(p.check("bHorzInvert")->isChecked());  // "垂直翻转" shows slot 71
        QCOMPARE(p.combo("eSceneMode")->currentIndex(), 1);

        // Visibility follows the modes: manual exposure, manual white balance.
        QVERIFY(p.c("uiMShutterSpeed")->isRowVisible());
        QVERIFY(p.c("u32CTNum")->isRowVisible());
        QVERIFY(!p.c("u8RgainTuning")->isRowVisible());
        QVERIFY(!p.c("u8RgainTuning")->slider.numberEdit->isVisibleTo(p.w.get()));

        const CameraParams &rec = p.w->cameraParams();
        QCOMPARE(rec[51], 2); // the selection load reads the lens type
        QCOMPARE(rec[78], 0);
        QCOMPARE(p.w->sleepSetting(), 1);
        QVERIFY(p.w->sendEnabled());
        QVERIFY(!p.w->paramSender()->isPaused());
        QVERIFY(log.contains("sleep 1"));
        QCOMPARE(log.count("相机参数解析成功"), 1);
        QVERIFY(p.w->builtInPage()->isVisibleTo(p.w.get()));

        // Showing the camera's values sent nothing back.
        p.settle();
        QCOMPARE(sets(p.camera), QList<QByteArray>());
        const QStringList asked = cmds(p.camera);
        QVERIFY(asked.indexOf("ReqGetVideoParam") < asked.indexOf("ReqGetSetting"));
    }

    void controlChangesReachTheCameraAndSurviveReread()
    {
        SimFixture sim;
        Panel p(sim);
        p.activate();
        p.camera->clearReceived();

        // Dragging: one send of the last value, about 100 ms after the last change.
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        for (int v = 1; v <= 20; ++v) {
            p.slider("Luminance")->setValue(v);
            last = clock.elapsed();
            QTest::qWait(5);
        }
        QTRY_COMPARE_WITH_TIMEOUT(sets(p.camera).size(), 1, 2000);
        const qint64 sentAfter = clock.elapsed() - last;
        QCOMPARE(sets(p.camera)[0], setVideo("Luminance", 70));
        QVERIFY2(sentAfter >= 95, qPrintable(QString::number(sentAfter)));
        QCOMPARE(p.camera->videoParam("Luminance"), 70);

        // Immediate controls, with their code tables.
        p.camera->clearReceived();
        p.combo("uiMShutterSpeed")->setCurrentIndex(2);
        p.combo("uiMShutterSpeed")->setCurrentIndex(3);
        p.combo("ucManualGain")->setCurrentIndex(4);
        p.combo("eWBMode")->setCurrentIndex(0);
        p.combo("ucFocusMode")->setCurrentIndex(1);
        p.combo("ucAFArea")->setCurrentIndex(4);
        p.combo("language")->setCurrentIndex(0);
        p.check("trace")->setChecked(true);
        p.check("bVertInvert")->setChecked(true); // "水平翻转"
        p.check("bHorzInvert")->setChecked(true); // "垂直翻转"
        p.check("bHorzInvert")->setChecked(false);
        p.slider("uc2DNR")->setValue(6);
        p.slider("u32CTNum")->setValue(56);
        p.slider("ucWDRStrength")->setValue(64);
        p.settle();
        QCOMPARE(sets(p.camera), QList<QByteArray>({
                                     setVideo("uiMShutterSpeed", 30),
                                     setVideo("uiMShutterSpeed", 9),
                                     setVideo("ucManualGain", 4),
                                     setVideo("eWBMode", 0),
                                     setVideo("ucFocusMode", 0),
                                     setVideo("ucAFArea", 4),
                                     setSetting("language", 0),
                                     setSetting("trace", 1),
                                     setVideo("bVertInvert", 1),
                                     setVideo("bHorzInvert", 1),
                                     setVideo("bHorzInvert", 0),
                                     setVideo("uc2DNR", 60),
                                     setVideo("u32CTNum", 5600),
                                     setVideo("ucWDRStrength", 64),
                                 }));
        for (const auto &r : p.camera->receivedRequests())
            if (r.cmd == "ReqSetVideoParam")
                QCOMPARE(r.cmdId, quint32(CmdSetVideoParam));
            else if (r.cmd == "ReqSetSetting")
                QCOMPARE(r.cmdId, quint32(CmdJson));

        // A re-read shows what the camera now holds.
        p.w->refreshCameraParams(0);
        QCOMPARE(p.slider("Luminance")->value(), 20);
        QCOMPARE(p.combo("uiMShutterSpeed")->currentIndex(), 3);
        QCOMPARE(p.slider("uc2DNR")->value(), 6);
        QCOMPARE(p.slider("u32CTNum")->value(), 56);
        QVERIFY(p.check("bVertInvert")->isChecked());
        QVERIFY(!p.check("bHorzInvert")->isChecked());
        QCOMPARE(p.combo("language")->currentIndex(), 0);
        QVERIFY(p.check("trace")->isChecked());
        QCOMPARE(p.w->cameraParams()[72], 1);
    }

    void codeTablesAndOddCameraValues()
    {
        SimFixture sim;
        Panel p(sim);
        SimulatedCameraState &s = p.camera->state();
        s.setVideoParamValue("eWBMode", 3);
        s.setVideoParamValue("u32CTNum", 5050);
        s.setVideoParamValue("uc2DNR", 55);
        s.setVideoParamValue("uiMShutterSpeed", 99); // in no table
        s.setVideoParamValue("ucFocusMode", 8);      // not one of this page's modes
        s.setVideoParamValue("Luminance", -2147483647 - 1);
        p.activate();

        QCOMPARE(p.combo("eWBMode")->currentIndex(), -1);
        QCOMPARE(p.slider("u32CTNum")->value(), 50);
        QCOMPARE(p.c("u32CTNum")->slider.lineEdit->text(), QString("5000K"));
        QCOMPARE(p.slider("uc2DNR")->value(), 5);
        QCOMPARE(p.combo("uiMShutterSpeed")->currentIndex(), 0); // kept
        QCOMPARE(p.combo("ucFocusMode")->currentIndex(), 0);     // kept
        QVERIFY(p.w->paramPages()->aiModelArea()->isHidden());
        QVERIFY(p.combo("ucAFArea")->isEnabled());
        QCOMPARE(p.slider("Luminance")->value(), -50); // clamped, no overflow

        CameraParams out = p.w->cameraParams();
        p.w->collectCameraParams(out);
        QCOMPARE(out[33], 3);    // no position: kept
        QCOMPARE(out[35], 5000); // shown value × 100
        QCOMPARE(out[62], 50);
        QCOMPARE(out[24], 7);    // the combo's index 0
        QCOMPARE(out[27], 0);    // "ISO" is never collected (the camera default)
        QCOMPARE(out[11], 0);
        QCOMPARE(out[71], p.w->cameraParams()[71]);

        p.camera->clearReceived();
        p.slider("uc2DNR")->setValue(6);
        p.settle();
        QCOMPARE(sets(p.camera), QList<QByteArray>({setVideo("uc2DNR", 60)}));
    }

    void applySendsNothingButTheFaceLists()
    {
        SimFixture sim;
        Panel p(sim);
        p.activate();
        p.camera->clearReceived();

        CameraParams rec = p.w->cameraParams();
        for (int s : {11, 12, 13, 15, 16, 36, 37, 38, 40, 42, 43, 44, 45, 46, 47})
            rec[s] = 80;
        rec[21] = 1;
        rec[33] = 0;
        rec[50] = 6;
        rec[62] = 90;
        rec[74] = 4;
        rec[79] = 1;
        p.w->applyCameraParams(rec, false);
        QVERIFY(p.w->sendEnabled());
        p.settle();
        QTest::qWait(150);
        QCOMPARE(sets(p.camera), QList<QByteArray>());
        // "人脸追焦": the AI area shows, "区域" is disabled, the face lists are asked for —
        // by the mode's handler and again at the end of the apply.
        QVERIFY(!p.w->paramPages()->aiModelArea()->isHidden());
        QVERIFY(!p.combo("ucAFArea")->isEnabled());
        QCOMPARE(requests(p.camera, {"ReqGetFaceIDs", "ReqGetFaceNames"}),
                 QList<QByteArray>({"{\"Cmd\":\"ReqGetFaceIDs\",\"Content\":{}}", "{\"Cmd\":\"ReqGetFaceNames\",\"Content\":{}}",
                                    "{\"Cmd\":\"ReqGetFaceIDs\",\"Content\":{}}", "{\"Cmd\":\"ReqGetFaceNames\",\"Content\":{}}"}));
        // Applying "专业" does not reload.
        QVERIFY(!cmds(p.camera).contains("ReqGetVideoParam"));
        QCOMPARE(p.combo("eSceneMode")->currentIndex(), 1);

        // The face lists go out even with the guard closed.
        p.camera->clearReceived();
        p.combo("ucFocusMode")->setCurrentIndex(0);
        p.camera->clearReceived();
        bool guardWasOpen = true;
        {
            CameraParams face = rec;
            face[50] = 6;
            p.w->applyCameraParams(face, false); // closes and reopens the guard around the change
            guardWasOpen = p.w->sendEnabled();
        }
        QVERIFY(guardWasOpen);
        QCOMPARE(requests(p.camera, {"ReqGetFaceIDs"}).size(), 2);
        QCOMPARE(requests(p.camera, {"ReqSetVideoParam"}).size(), 0);
    }

    void applyFromFileSendsChangesAndTheModes()
    {
        SimFixture sim;
        Panel p(sim);
        p.activate();
        p.camera->clearReceived();

        // The same record again: only "曝光" and "白平衡" (passing through no selection) and
        // the scene change hands.
        const CameraParams same = p.w->cameraParams();
        p.w->applyCameraParams(same, true);
        p.settle();
        QCOMPARE(sets(p.camera), QList<QByteArray>({setVideo("eExposureMode", same[21]), setVideo("eWBMode", same[33]),
                                                    setVideo("eSceneMode", same[74])}));
        QVERIFY(p.w->sendEnabled());

        // Changed values: combos at once, in apply order, sliders 100 ms later.
        p.camera->clearReceived();
        CameraParams file = same;
        file[11] = 72;
        file[24] = 9;
        file[72] = 1;
        file[62] = 30;
        file[74] = 4;
        file[78] = 0;
        p.w->applyCameraParams(file, true);
        const QList<QByteArray> immediate = sets(p.camera);
        QCOMPARE(immediate, QList<QByteArray>({setVideo("uiMShutterSpeed", 9), setVideo("eExposureMode", same[21]),
                                               setVideo("bVertInvert", 1), setVideo("eWBMode", same[33]),
                                               setSetting("language", 0), setVideo("eSceneMode", 4),
                                               setVideo("eSceneMode", 4)}));
        p.settle();
        const QList<QByteArray> all = sets(p.camera);
        QCOMPARE(all.mid(immediate.size()), QList<QByteArray>({setVideo("Luminance", 72), setVideo("uc2DNR", 30)}));
        // From a file, the scene change does not reload either.
        QVERIFY(!cmds(p.camera).contains("ReqGetVideoParam"));
        QCOMPARE(p.camera->videoParam("Luminance"), 72);
    }

    void sceneSwitchReloads()
    {
        SimFixture sim;
        Panel p(sim);
        p.activate();
        QCOMPARE(p.slider("Contrast")->value(), 0);
        p.camera->clearReceived();
        LogCapture log;

        p.combo("eSceneMode")->setCurrentIndex(1); // "专业"
        const QStringList asked = cmds(p.camera);
        QCOMPARE(asked.mid(0, 3), QStringList({"ReqSetVideoParam", "ReqGetVideoParam", "ReqGetSetting"}));
        QCOMPARE(p.camera->receivedRequests()[0].payload, setVideo("eSceneMode", 4));
        QCOMPARE(p.w->cameraParams()[74], 4);
        // The camera's professional look arrives on the page.
        QCOMPARE(p.slider("Contrast")->value(), p.camera->videoParam("Contrast") - 50);
        QVERIFY(p.slider("Contrast")->value() != 0);
        QCOMPARE(p.slider("uc2DNR")->value(), p.camera->videoParam("uc2DNR") / 10);
        QCOMPARE(p.combo("eSceneMode")->currentIndex(), 1);
        p.settle();
        QCOMPARE(sets(p.camera).size(), 1);
    }

    void refreshFailures()
    {
        SimFixture sim;
        Panel p(sim);
        p.activate();
        LogCapture log;

        // A missing key warns and stores 0; a fractional one stores 0 silently.
        p.camera->setReplyOverride(
            "ReqGetVideoParam",
            R"({"Cmd":"ReqGetVideoParam","Content":{"nResult":0,"VideoParam":{"Luminance":60,"Contrast":50.5}}})");
        CameraParams before = p.w->cameraParams();
        p.w->refreshCameraParams(0);
        QCOMPARE(p.w->cameraParams()[11], 60);
        QCOMPARE(p.w->cameraParams()[12], 0);
        QCOMPARE(p.w->cameraParams()[31], 0);
        QVERIFY(log.contains("缺少字段: \"ucWDRStrength\""));
        QVERIFY(!log.contains("缺少字段: \"Contrast\""));
        QCOMPARE(p.slider("Luminance")->value(), 10);
        QCOMPARE(p.slider("Contrast")->value(), -50);
        // Slots without a key never change.
        for (int s : {0, 4, 5, 6, 7, 8, 9, 10, 48, 49, 51, 52, 58, 100, 129, 769})
            QCOMPARE(p.w->cameraParams()[s], before[s]);

        // Negative "nResult": nothing changes, no settings query.
        p.camera->setReplyOverride("ReqGetVideoParam", {});
        p.slider("Luminance")->setValue(-20);
        p.settle();
        before = p.w->cameraParams();
        p.camera->setFault(SimulatedCamera::Fault::NegativeResult);
        p.camera->clearReceived();
        p.w->refreshCameraParams(0);
        QCOMPARE(cmds(p.camera), QStringList({"ReqGetVideoParam"}));
        QVERIFY(p.w->cameraParams() == before);
        QCOMPARE(p.slider("Luminance")->value(), -20);

        // Unparsable settings: the video slots are updated, the pages are not.
        p.camera->setFault(SimulatedCamera::Fault::None);
        p.camera->state().setVideoParamValue("Luminance", 90);
        p.camera->setReplyOverride("ReqGetSetting", "{\"Content\":");
        p.w->refreshCameraParams(0);
        QCOMPARE(p.w->cameraParams()[11], 90);
        QCOMPARE(p.slider("Luminance")->value(), -20);
        QVERIFY(log.contains("JSON解析错误:"));
        QVERIFY(log.contains("原始数据:"));
    }

    void activationStops()
    {
        SimFixture sim;
        Panel p(sim);
        p.camera->setFault(SimulatedCamera::Fault::MalformedJson);
        LogCapture log;
        p.w = std::make_unique<Widget>();
        p.camera->setFault(SimulatedCamera::Fault::None);
        QVERIFY(p.w->deviceItem(0) == nullptr); // the identity reply was broken too
        p.w.reset();

        p.activate();
        QVERIFY(p.w->builtInPage()->isVisibleTo(p.w.get()));
        // A second activation whose parameter reply is broken stops before any panel
        // changes; the index already points at the camera.
        p.w->builtInPage()->hide();
        p.camera->setReplyOverride("ReqGetVideoParam", "not json");
        p.camera->clearReceived();
        p.w->onDeviceDoubleClicked(p.w->deviceItem(0), 0);
        QVERIFY(log.contains("JSON parse error:"));
        QVERIFY(log.contains("error offset :"));
        QVERIFY(log.contains("original data:"));
        QCOMPARE(cmds(p.camera), QStringList({"ReqGetVideoParam"}));
        QVERIFY(p.w->builtInPage()->isHidden());
        QCOMPARE(p.w->currentIndex(), 0);

        // A refused settings reply ends it too, after the video values were shown.
        p.camera->setReplyOverride("ReqGetVideoParam", {});
        p.camera->state().setVideoParamValue("Luminance", 77);
        p.camera->setReplyOverride("ReqGetSetting", R"({"Cmd":"ReqGetSetting","Content":{"nResult":-1}})");
        p.w->onDeviceDoubleClicked(p.w->deviceItem(0), 0);
        QCOMPARE(p.slider("Luminance")->value(), 27);
        QVERIFY(p.w->builtInPage()->isHidden());
        QVERIFY(p.w->sendEnabled());
    }

    void visibilityOfModeRows()
    {
        SimFixture sim;
        Panel p(sim);
        p.activate();
        p.combo("eExposureMode")->setCurrentIndex(0);
        QVERIFY(!p.c("uiMShutterSpeed")->isRowVisible());
        QVERIFY(!p.c("ucManualGain")->isRowVisible());
        QVERIFY(p.c("ucManualGain")->label->isHidden());
        p.combo("eExposureMode")->setCurrentIndex(1);
        QVERIFY(p.c("uiMShutterSpeed")->isRowVisible());
        p.combo("eExposureMode")->setCurrentIndex(-1); // changes nothing
        QVERIFY(p.c("uiMShutterSpeed")->isRowVisible());

        p.combo("eWBMode")->setCurrentIndex(1);
        for (const char *key : {"u32CTNum", "ucRGGain", "ucGRGain", "ucBGGain"})
            QVERIFY2(!p.c(key)->isRowVisible(), key);
        QVERIFY(p.c("u8RgainTuning")->isRowVisible());
        QVERIFY(p.c("u8BgainTuning")->isRowVisible());
        p.combo("eWBMode")->setCurrentIndex(0);
        QVERIFY(p.c("ucGRGain")->isRowVisible());
        QVERIFY(!p.c("u8BgainTuning")->isRowVisible());

        p.camera->clearReceived();
        p.combo("ucFocusMode")->setCurrentIndex(2);
        QVERIFY(!p.w->paramPages()->aiModelArea()->isHidden());
        QVERIFY(!p.combo("ucAFArea")->isEnabled());
        QCOMPARE(cmds(p.camera), QStringList({"ReqSetVideoParam", "ReqGetFaceIDs", "ReqGetFaceNames"}));
        QCOMPARE(p.camera->receivedRequests()[0].payload, setVideo("ucFocusMode", 6));
        p.combo("ucFocusMode")->setCurrentIndex(0);
        QVERIFY(p.w->paramPages()->aiModelArea()->isHidden());
        QVERIFY(p.combo("ucAFArea")->isEnabled());

        // Nothing is sent without a selection, and nothing for a closed guard.
        p.camera->clearReceived();
        p.combo("eWBMode")->setCurrentIndex(-1);
        p.combo("eSceneMode")->setCurrentIndex(-1);
        p.combo("ucAFArea")->setCurrentIndex(-1);
        QCOMPARE(sets(p.camera), QList<QByteArray>());
        QVERIFY(!cmds(p.camera).contains("ReqGetVideoParam"));
    }

    void exportBeforeAnyReadIsDefined()
    {
        SimFixture sim;
        Widget w;
        CameraParams rec = w.cameraParams();
        QVERIFY(rec == CameraParams());
        w.collectCameraParams(rec);
        QCOMPARE(rec[11], 50);
        QCOMPARE(rec[35], 5000);
        QCOMPARE(rec[31], 30);
        QCOMPARE(rec[62], 50);
        QCOMPARE(rec[63], 20);
        QCOMPARE(rec[50], 3);
        QCOMPARE(rec[74], 1);
        QCOMPARE(rec[21], 0);
        QCOMPARE(rec[0], 0);
        // With no camera selected a change sends nothing and does no harm.
        QVERIFY(!w.sendVideoParam("Luminance", "60"));
    }

    void refusedTextsSendNothing_data()
    {
        QTest::addColumn<bool>("setting");
        QTest::newRow("video parameter") << false;
        QTest::newRow("setting") << true;
    }
    void refusedTextsSendNothing()
    {
        QFETCH(bool, setting);
        SimFixture sim;
        Panel p(sim);
        p.activate();
        p.settle();
        QVERIFY(p.w->sendEnabled());
        p.camera->clearReceived();
        LogCapture log;
        const QString key(1100, 'k'); // too long for the command buffer
        QVERIFY(!(setting ? p.w->sendSystemSetting(key, "1") : p.w->sendVideoParam(key, "1")));
        QVERIFY(p.camera->receivedRequests().isEmpty());
        QVERIFY(log.contains("命令文本已被拒绝"));
        QVERIFY(setting ? p.w->sendSystemSetting("language", "1") : p.w->sendVideoParam("Luminance", "60"));
        QCOMPARE(p.camera->receivedRequests().size(), 1);
    }
};

QTEST_MAIN(TestParamPages)
#include "test_param_pages.moc"
