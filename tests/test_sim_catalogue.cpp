// Every command of the catalogue, sent by the tool's own sender through HIDManager to
// a simulated camera: what the camera received and what came back.
#include "command_texts.h"
#include "log_capture.h"
#include "packet_cmd.h"
#include "sim_rig.h"
#include "simulated_clock.h"

#include <QJsonArray>
#include <QTest>

class TestSimCatalogue : public QObject {
    Q_OBJECT
    std::unique_ptr<LogCapture> log;
    std::unique_ptr<SimRig> rig;
    SimulatedCamera *cam = nullptr;

    QJsonObject send(quint32 cmdId, const QByteArray &text, bool *ok = nullptr) {
        return rig->send(0, cmdId, text, ok);
    }
    // Sends, then checks the camera took exactly this request and answered nResult 0.
    QJsonObject sendOk(quint32 cmdId, const QByteArray &text, const char *cmd) {
        cam->clearReceived();
        bool ok = false;
        const QJsonObject reply = send(cmdId, text, &ok);
        [&] {
            QVERIFY(ok);
            QCOMPARE(cam->receivedRequests().size(), 1);
            const SimulatedCamera::ReceivedRequest r = cam->lastRequest();
            QCOMPARE(r.cmdId, cmdId);
            QCOMPARE(r.payload, text);
            QCOMPARE(r.cmd, QString::fromLatin1(cmd));
            QCOMPARE(SimRig::nResult(reply), 0);
            if (*cmd)
                QCOMPARE(reply.value("Cmd").toString(), QString::fromLatin1(cmd));
        }();
        return reply;
    }

private slots:
    void initTestCase() { log = std::make_unique<LogCapture>(); }
    void init() {
        rig = std::make_unique<SimRig>(QStringList{"RV-K310A-WU", "RV-T782-KB"});
        QCOMPARE(int(rig->managers.size()), 2);
        cam = rig->camera(0);
    }
    void cleanup() { rig.reset(); }

    void identity() {
        for (int i = 0; i < 2; ++i) {
            bool ok = false;
            const QJsonObject r = rig->send(i, CmdGetDeviceInfo, QByteArray(), &ok);
            QVERIFY(ok);
            SimulatedCamera *c = rig->camera(i);
            QCOMPARE(c->lastRequest().cmdId, quint32(CmdGetDeviceInfo));
            QCOMPARE(c->lastRequest().payloadSize, 0);
            QCOMPARE(r.value("DeviceName").toString(), c->deviceName());
            QCOMPARE(r.value("ProductModel").toString(), c->model());
            QCOMPARE(r.value("Serial").toString(), c->serial());
            QCOMPARE(r.value("BuildDate").toString(), c->buildDate());
            QCOMPARE(c->serial().size(), 12);
        }
        QCOMPARE(rig->camera(0)->deviceName(), QString("B1"));
        QCOMPARE(rig->camera(1)->deviceName(), QString("C5"));
        QVERIFY(rig->camera(0)->selectionName() != rig->camera(1)->selectionName());
    }

    void directionAndGets() {
        QCOMPARE(SimRig::content(sendOk(CmdJson, CommandTexts::getDeviceDirection(), "ReqGetDeviceDirection"))
                     .value("nDirection")
                     .toInt(),
                 1);
        cam->setDirection(2);
        QCOMPARE(
            SimRig::content(send(CmdJson, CommandTexts::getDeviceDirection())).value("nDirection").toInt(),
            2);

        // The parameter reply spans two input reports and holds every key the refresh reads.
        const QJsonObject video =
            SimRig::content(sendOk(CmdGetParam, CommandTexts::getVideoParam(), "ReqGetVideoParam"));
        QVERIFY(rig->lastReply.size() > 1008);
        const QJsonObject params = video.value("VideoParam").toObject();
        for (const QString &key : SimulatedCameraState::videoParamKeys())
            QVERIFY2(params.value(key).isDouble(), qPrintable(key));
        QCOMPARE(params.value("Luminance").toInt(), 50);
        QCOMPARE(params.value("eSceneMode").toInt(), 1);
        QCOMPARE(params.value("u32CTNum").toInt(), 5000);

        const QJsonObject settings =
            SimRig::content(sendOk(CmdGetParam, CommandTexts::getSetting(), "ReqGetSetting"));
        for (const char *key : {"language", "trace", "hgr", "sleep"})
            QVERIFY2(settings.value(key).isDouble(), key);

        const QJsonArray hue =
            SimRig::content(sendOk(CmdGetParam, CommandTexts::getHsvHueLut(), "ReqGetHSVHueLut"))
                .value("HSV_Hue")
                .toArray();
        const QJsonArray sat =
            SimRig::content(sendOk(CmdGetParam, CommandTexts::getHsvStaLut(), "ReqGetHSVStaLut"))
                .value("HSV_Sta")
                .toArray();
        QCOMPARE(hue.size(), 24);
        QCOMPARE(sat.size(), 24);
        QCOMPARE(hue[0].toInt(), -3);
        QCOMPARE(hue[9].toInt(), -13);
        QCOMPARE(sat[0].toInt(), 56);
        QCOMPARE(sat[9].toInt(), 94);
    }

    void setsAndResets() {
        sendOk(CmdSetVideoParam, CommandTexts::setVideoParam("Luminance", 70), "ReqSetVideoParam");
        QCOMPARE(cam->videoParam("Luminance"), 70);
        sendOk(CmdSetVideoParam, CommandTexts::setFocusMode(6), "ReqSetVideoParam");
        QCOMPARE(cam->videoParam("ucFocusMode"), 6);
        sendOk(CmdJson, CommandTexts::setSetting("language", 0), "ReqSetSetting");
        sendOk(CmdJson, CommandTexts::setSetting("trace", 1), "ReqSetSetting");
        QCOMPARE(cam->setting("language"), 0);
        QCOMPARE(cam->setting("trace"), 1);

        QVector<int> hue(24), sat(24);
        for (int i = 0; i < 24; ++i) {
            hue[i] = i - 12;
            sat[i] = 100 + i;
        }
        sendOk(CmdJson, CommandTexts::setHsvHueLut(hue), "ReqSetHSVHueLut");
        sendOk(CmdJson, CommandTexts::setHsvStaLut(sat), "ReqSetHSVStaLut");
        QCOMPARE(cam->state().hueTable(), hue);
        QCOMPARE(cam->state().satTable(), sat);
        const QJsonArray back =
            SimRig::content(send(CmdGetParam, CommandTexts::getHsvHueLut())).value("HSV_Hue").toArray();
        QCOMPARE(back[0].toInt(), -12);

        sendOk(CmdSetDefaultParam, CommandTexts::setDefaultParam(35), "ReqSetDefaultParam");
        QCOMPARE(cam->state().hueTable(), SimulatedCameraState::defaultHueTable());
        QCOMPARE(cam->state().satTable(), sat);
        sendOk(CmdSetDefaultParam, CommandTexts::setDefaultParam(36), "ReqSetDefaultParam");
        QCOMPARE(cam->state().satTable(), SimulatedCameraState::defaultSatTable());
        sendOk(CmdSetDefaultParam, CommandTexts::setDefaultParam(1), "ReqSetDefaultParam");
        QCOMPARE(cam->videoParam("Luminance"), 50);
        QCOMPARE(cam->videoParam("ucFocusMode"), 3);
        QCOMPARE(cam->setting("trace"), 1); // image defaults leave the settings alone
        QCOMPARE(SimRig::nResult(send(CmdSetDefaultParam, CommandTexts::setDefaultParam(7))), -1);
    }

    void tonesAndSaturationPointsMoveTogether() {
        const std::pair<const char *, int> links[] = {{"ucRuddy", 0}, {"u8Orange", 2}, {"u8Yellow", 4}};
        for (const auto &[key, point] : links) {
            sendOk(CmdSetVideoParam, CommandTexts::setVideoParam(key, 60), "ReqSetVideoParam");
            QVector<int> sat = cam->state().satTable();
            QCOMPARE(sat[point], SimulatedCameraState::defaultSatTable()[point] + 10);
            sat[point] -= 25;
            sendOk(CmdJson, CommandTexts::setHsvStaLut(sat), "ReqSetHSVStaLut");
            QCOMPARE(cam->videoParam(key), 35);
        }
    }

    void sceneSwitchChangesTheParameterSet() {
        const QJsonObject before =
            SimRig::content(send(CmdGetParam, CommandTexts::getVideoParam())).value("VideoParam").toObject();
        sendOk(CmdSetVideoParam, CommandTexts::setVideoParam("eSceneMode", 4), "ReqSetVideoParam");
        const QJsonObject after =
            SimRig::content(send(CmdGetParam, CommandTexts::getVideoParam())).value("VideoParam").toObject();
        QCOMPARE(after.value("eSceneMode").toInt(), 4);
        int changed = 0;
        for (const QString &key : before.keys())
            changed += before.value(key) != after.value(key) ? 1 : 0;
        QVERIFY(changed >= 5);
        QVERIFY(cam->state().satTable() != SimulatedCameraState::defaultSatTable());
        // Back to standard restores the standard look; an unknown scene code is refused.
        sendOk(CmdSetVideoParam, CommandTexts::setVideoParam("eSceneMode", 1), "ReqSetVideoParam");
        QCOMPARE(cam->videoParam("Contrast"), 50);
        QCOMPARE(SimRig::nResult(send(CmdSetVideoParam, CommandTexts::setVideoParam("eSceneMode", 2))), -1);
        QCOMPARE(cam->videoParam("eSceneMode"), 1);
    }

    void ptzAndPresets() {
        for (const char *c :
             {"ZoomTele", "ZoomStop", "ZoomWide", "ZoomStop", "FocusNear", "FocusStop", "FocusFar",
              "FocusStop", "Up", "Stop", "Down", "Stop", "Left", "Stop", "Right", "Stop", "Gohome"})
            sendOk(CmdJson, CommandTexts::ptzCtrl(c), "ReqPtzCtrl");
        QCOMPARE(SimRig::nResult(send(CmdJson, CommandTexts::ptzCtrl("Sideways"))), -1);

        sendOk(CmdJson, CommandTexts::presetCtrl("Set", 2), "ReqPresetCtrl");
        QVERIFY(cam->ptz().presets().contains(2));
        sendOk(CmdJson, CommandTexts::presetCtrl("Call", 2), "ReqPresetCtrl");
        sendOk(CmdJson, CommandTexts::presetCtrl("Del", 2), "ReqPresetCtrl");
        QVERIFY(cam->ptz().presets().isEmpty());
        QCOMPARE(SimRig::nResult(send(CmdJson, CommandTexts::presetCtrl("Call", 2))), -1);
        QCOMPARE(SimRig::nResult(send(CmdJson, CommandTexts::presetCtrl("Del", 3))), -1);
        QCOMPARE(SimRig::nResult(send(CmdJson, CommandTexts::presetCtrl("Set", 256))), -1);
        QCOMPARE(SimRig::nResult(send(CmdJson, CommandTexts::presetCtrl("Swap", 2))), -1);
    }

    void faceModels() {
        QJsonObject c = SimRig::content(sendOk(CmdJson, CommandTexts::getFaceIds(), "ReqGetFaceIDs"));
        QCOMPARE(c.value("FaceIDs").toArray(), QJsonArray({1, 2}));
        c = SimRig::content(sendOk(CmdJson, CommandTexts::getFaceNames(), "ReqGetFaceNames"));
        QCOMPARE(c.value("FaceNames").toArray(), QJsonArray({"Presenter", ""}));

        sendOk(CmdJson, CommandTexts::setFaceIdName(2, "前台"), "ReqSetFaceIdName");
        QCOMPARE(cam->faceModels().names().value(1), QString("前台"));
        QCOMPARE(SimRig::nResult(send(CmdJson, CommandTexts::setFaceIdName(9, "x"))), -1);

        sendOk(CmdJson, CommandTexts::setFaceFocusTrainSelect(2), "ReqSetFaceFocusTrain");
        sendOk(CmdJson, CommandTexts::setEnabledFaceModeId(2), "ReqSetEnabledFaceModeId");
        sendOk(CmdJson, CommandTexts::setEnabledPortraitModeId(1), "ReqSetEnabledPortraitModeId");
        c = SimRig::content(sendOk(CmdJson, CommandTexts::getEnabledFaceIds(), "ReqGetEnabledFaceIds"));
        QCOMPARE(c.value("EnabledFaceId").toInt(), 2);
        QCOMPARE(c.value("FaceModeId").toInt(), 2);
        QCOMPARE(c.value("PortraitModeId").toInt(), 1);
        QCOMPARE(SimRig::nResult(send(CmdJson, CommandTexts::setEnabledFaceModeId(5))), -1);

        sendOk(CmdJson, CommandTexts::deleteFocusId(2), "ReqDeleteFocusID");
        QCOMPARE(cam->faceModels().ids(), QList<int>{1});
        QCOMPARE(cam->faceModels().enabledFaceId(), 0); // the enabled model went with it
        QCOMPARE(SimRig::nResult(send(CmdJson, CommandTexts::deleteFocusId(2))), -1);
        sendOk(CmdJson, CommandTexts::setFaceFocusTrainSelect(0), "ReqSetFaceFocusTrain");
    }

    void faceTrainingStatusSequence() {
        cam->faceModels().setCaptureMs(0);
        cam->faceModels().setStepOutcomes({"finish", "error", "finish", "finish"});
        auto status = [this] {
            return SimRig::content(sendOk(CmdJson, CommandTexts::getFaceFocusTrain(), "ReqGetFaceFocusTrain"))
                .value("Statue")
                .toString();
        };
        sendOk(CmdJson, CommandTexts::setFaceFocusTrain("start", 3), "ReqSetFaceFocusTrain");
        QCOMPARE(status(), QString("start_done"));
        const QStringList expected = {"finish", "error", "finish", "finish"};
        for (const QString &outcome : expected) {
            sendOk(CmdJson, CommandTexts::setFaceFocusTrain("run", 3), "ReqSetFaceFocusTrain");
            QCOMPARE(status(), outcome);
        }
        // A fifth run is refused; three good steps of four record the model.
        QCOMPARE(SimRig::nResult(send(CmdJson, CommandTexts::setFaceFocusTrain("run", 3))), -1);
        QVERIFY(cam->faceModels().contains(3));
        sendOk(CmdJson, CommandTexts::setFaceFocusTrain("stop", 3), "ReqSetFaceFocusTrain");
        QCOMPARE(status(), QString("stop_done"));

        // While a step is capturing the camera reports "run_done".
        cam->faceModels().setCaptureMs(60000);
        sendOk(CmdJson, CommandTexts::setFaceFocusTrain("start", 4), "ReqSetFaceFocusTrain");
        sendOk(CmdJson, CommandTexts::setFaceFocusTrain("run", 4), "ReqSetFaceFocusTrain");
        QCOMPARE(status(), QString("run_done"));
        SimulatedClock::advance(60000);
        QCOMPARE(status(), QString("finish"));
        QCOMPARE(SimRig::nResult(send(CmdJson, CommandTexts::setFaceFocusTrain("dance", 4))), -1);

        // A scripted step with its own capture time, and one whose result never comes.
        cam->faceModels().setStepScript({{"error", 500}, {"silent", 0}});
        sendOk(CmdJson, CommandTexts::setFaceFocusTrain("start", 4), "ReqSetFaceFocusTrain");
        sendOk(CmdJson, CommandTexts::setFaceFocusTrain("run", 4), "ReqSetFaceFocusTrain");
        QCOMPARE(status(), QString("run_done"));
        SimulatedClock::advance(500);
        QCOMPARE(status(), QString("error"));
        sendOk(CmdJson, CommandTexts::setFaceFocusTrain("run", 4), "ReqSetFaceFocusTrain");
        SimulatedClock::advance(600000);
        QCOMPARE(status(), QString("run_done"));
        sendOk(CmdJson, CommandTexts::setFaceFocusTrain("stop", 4), "ReqSetFaceFocusTrain");
        QCOMPARE(status(), QString("stop_done"));
    }

    void wrongPacketCommandIsRefused() {
        // The firmware routes by packet command: a query under CmdJson never runs.
        const QJsonObject r = send(CmdJson, CommandTexts::getVideoParam());
        QCOMPARE(SimRig::nResult(r), -1);
        QVERIFY(!SimRig::content(r).contains("VideoParam"));
        QCOMPARE(SimRig::nResult(send(CmdJson, CommandTexts::setVideoParam("Luminance", 1))), -1);
        QCOMPARE(cam->videoParam("Luminance"), 50);
    }
};

QTEST_GUILESS_MAIN(TestSimCatalogue)
#include "test_sim_catalogue.moc"
