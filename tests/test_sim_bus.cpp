// The bus and the camera's life over time: enumeration and hot-plug, reboot and
// rename leaving and returning, multi-packet requests and replies, PTZ motion,
// firmware upgrade progress.
#include "command_texts.h"
#include "log_capture.h"
#include "packet_cmd.h"
#include "packet_codec.h"
#include "sim_rig.h"
#include "simulated_clock.h"

#include <QJsonArray>
#include <QTest>

class TestSimBus : public QObject {
    Q_OBJECT
    std::unique_ptr<LogCapture> log;
    std::unique_ptr<SimRig> rig;

    int present() { return int(rig->bus.enumerate(SimRig::kVendor).size()); }
    bool send(int index, quint32 cmdId, const QByteArray &text) {
        bool ok = false;
        rig->send(index, cmdId, text, &ok);
        return ok;
    }

private slots:
    void initTestCase() { log = std::make_unique<LogCapture>(); }
    void init() { rig = std::make_unique<SimRig>(QStringList{"RV-K310A-WU", "RV-K310A-WU"}); }
    void cleanup() { rig.reset(); }

    void enumerationAndPaths() {
        const QList<HidDeviceInfo> list = rig->bus.enumerate(0);
        QCOMPARE(list.size(), 2);
        QCOMPARE(list[0].vendorId, SimRig::kVendor);
        QCOMPARE(list[0].path, QString("sim:") + rig->camera(0)->serial());
        QVERIFY(rig->camera(0)->serial().right(3) != rig->camera(1)->serial().right(3));
        QVERIFY(rig->bus.enumerate(0x1234).isEmpty());
        QVERIFY(!rig->bus.open("sim:nothing"));
        // Two cameras given the same serial still get distinct paths.
        SimulatedCamera *a = rig->bus.addCamera("RV-N906-PX", "Desk", "ABCDEF123456");
        SimulatedCamera *b = rig->bus.addCamera("RV-N906-PX", "Desk", "ABCDEF123456");
        QVERIFY(a->path() != b->path());
        QCOMPARE(present(), 4);

        // install(): one camera per model, made the active backend.
        SimulatedCameraBus *installed = SimulatedCameraBus::install({"RV-T782-KB", "RV-K310A-LNQ"}, 0x2E7E);
        QCOMPARE(HidBackend::active(), static_cast<HidBackend *>(installed));
        QCOMPARE(installed->cameras().size(), 2);
        QCOMPARE(installed->cameras()[1]->model(), QString("RV-K310A-LNQ"));
        delete installed;
        HidBackend::setActive(&rig->bus);
    }

    void hotPlug() {
        SimulatedCamera *added = rig->bus.addCamera("RV-T782-KB");
        QCOMPARE(present(), 3);
        QCOMPARE(rig->openAll(), 3);
        QVERIFY(send(2, CmdGetDeviceInfo, QByteArray()));
        QCOMPARE(QJsonDocument::fromJson(rig->lastReply).object().value("ProductModel").toString(),
                 QString("RV-T782-KB"));

        rig->bus.removeCamera(added);
        QCOMPARE(present(), 2);
        QVERIFY(!send(2, CmdGetDeviceInfo, QByteArray())); // its open handle is dead
        QVERIFY(send(0, CmdGetDeviceInfo, QByteArray()));

        SimulatedCamera *cam = rig->camera(1);
        cam->unplug();
        QCOMPARE(present(), 1);
        SimulatedClock::advance(60000);
        QCOMPARE(present(), 1); // unplugged for good until plugged in again
        cam->plugIn();
        QCOMPARE(present(), 2);
    }

    void rebootLeavesAndReturns() {
        SimulatedCamera *cam = rig->camera(0);
        cam->setReturnDelayMs(100);
        QVERIFY(send(0, CmdReboot, QByteArray())); // the answer comes before it goes
        QCOMPARE(cam->lastRequest().cmdId, quint32(CmdReboot));
        QCOMPARE(present(), 1);
        QVERIFY(!send(0, CmdGetDeviceInfo, QByteArray()));
        QTRY_COMPARE_WITH_TIMEOUT(present(), 2, 2000);
        QCOMPARE(cam->reboots(), 1);
        QVERIFY(!send(0, CmdGetDeviceInfo, QByteArray())); // handles from before the restart stay dead
        QCOMPARE(rig->openAll(), 2);
        QVERIFY(send(0, CmdGetDeviceInfo, QByteArray()));

        // The preview window's restart text, sent as JSON, restarts it as well; the
        // default return takes about three seconds of the camera's clock.
        SimulatedCamera *other = rig->camera(1);
        QCOMPARE(other->returnDelayMs(), 3000);
        QVERIFY(send(1, CmdJson, CommandTexts::manualRebootSet()));
        QCOMPARE(present(), 1);
        SimulatedClock::advance(2900);
        QCOMPARE(present(), 1);
        SimulatedClock::advance(200);
        QCOMPARE(present(), 2);
        QCOMPARE(other->reboots(), 1);
    }

    void renameRestartsUnderTheNewName() {
        SimulatedCamera *cam = rig->camera(0);
        cam->setReturnDelayMs(0);
        const QByteArray text = CommandTexts::deviceName("会议室\"A\"");
        bool ok = false;
        rig->sender.sendCmdToDevice(0, CmdSetDeviceName, text.constData(), int(text.size()), nullptr);
        QCOMPARE(cam->lastRequest().payloadSize, int(text.size()));
        QCOMPARE(cam->lastRequest().payload.back(), '\0');
        QCOMPARE(cam->deviceName(), QString("会议室\"A\""));
        QCOMPARE(cam->reboots(), 1);
        QCOMPARE(rig->openAll(), 2);
        const QJsonObject info = rig->send(0, CmdGetDeviceInfo, QByteArray(), &ok);
        QVERIFY(ok);
        QCOMPARE(info.value("DeviceName").toString(), QString("会议室\"A\""));
        QCOMPARE(cam->selectionName(), QString("会议室\"A\"-") + cam->serial().right(3));
    }

    void factoryResetRestartsShortlyAfter() {
        SimulatedCamera *cam = rig->camera(0);
        QVERIFY(send(0, CmdSetVideoParam, CommandTexts::setVideoParam("Luminance", 90)));
        QVERIFY(send(0, CmdJson, CommandTexts::setSetting("hgr", 1)));
        QVERIFY(send(0, CmdJson, CommandTexts::presetCtrl("Set", 3)));
        QVERIFY(send(0, CmdSetDefaultParam, CommandTexts::setDefaultParam(255)));
        QCOMPARE(cam->videoParam("Luminance"), 50);
        QCOMPARE(cam->setting("hgr"), 0);
        QVERIFY(cam->ptz().presets().isEmpty());
        // The table resets that follow in the same flow still reach it...
        QVERIFY(send(0, CmdSetDefaultParam, CommandTexts::setDefaultParam(35)));
        QVERIFY(send(0, CmdSetDefaultParam, CommandTexts::setDefaultParam(36)));
        // ...then it restarts.
        SimulatedClock::advance(SimulatedCamera::kFactoryResetRebootAfterMs);
        QCOMPARE(present(), 1);
        QCOMPARE(cam->reboots(), 1);
    }

    void multiPacketRepliesCarryTheLastFlagOnTheFinalReport() {
        SimulatedCamera *cam = rig->camera(0);
        HidBackend::Handle h = rig->bus.open(cam->path().toUtf8());
        const QByteArray text = CommandTexts::getVideoParam();
        const QByteArray request = PacketCodec::buildRequest(CmdGetParam, text.constData(), int(text.size()));
        QCOMPARE(rig->bus.write(h, reinterpret_cast<const unsigned char *>(request.constData()), 1025), 1025);
        QByteArray joined;
        QList<bool> flags;
        for (;;) {
            QByteArray buf(1025, '\0');
            const int n = rig->bus.readTimeout(h, reinterpret_cast<unsigned char *>(buf.data()), 1025, 100);
            if (n <= 0)
                break;
            QCOMPARE(n, PacketCodec::kInputReportSize);
            const PacketCodec::Reply r = PacketCodec::parseReply(buf.left(n));
            QVERIFY(r.valid);
            joined += r.payload;
            flags << r.last;
            if (r.last)
                break;
        }
        QCOMPARE(flags, (QList<bool>{false, true}));
        QVERIFY(QJsonDocument::fromJson(joined).isObject());
        rig->bus.close(h);
    }

    void interruptedMultiPacketRequestIsDropped() {
        SimulatedCamera *cam = rig->camera(0);
        HidBackend::Handle h = rig->bus.open(cam->path().toUtf8());
        const QByteArray part = PacketCodec::buildRequest(CmdSetVideoParam, "{\"Cmd\":", 7, false);
        rig->bus.write(h, reinterpret_cast<const unsigned char *>(part.constData()), 1025);
        cam->clearReceived();
        rig->managers[0]->closeDevice();
        QVERIFY(rig->managers[0]->openDevice(cam->path()));
        QVERIFY(send(0, CmdJson, CommandTexts::getFaceIds()));
        QCOMPARE(cam->receivedRequests().size(), 1);
        QCOMPARE(cam->lastRequest().cmd, QString("ReqGetFaceIDs"));
        rig->bus.close(h);
    }

    void paletteTravelsInManyPackets() {
        SimulatedCamera *cam = rig->camera(0);
        QList<QList<quint32>> table;
        for (int r = 0; r < 17; ++r) {
            QList<quint32> row{quint32(r) << 24};
            for (int i = 1; i < 324; ++i)
                row << quint32(r * 1000 + i);
            table << row;
        }
        const QByteArray text = CommandTexts::paletteData(table);
        QVERIFY(text.size() > 11258);
        bool ok = false;
        const QJsonObject reply = rig->sendData(0, CmdSetVideoParam, text, &ok);
        QVERIFY(ok);
        QCOMPARE(SimRig::nResult(reply), 0);
        QCOMPARE(cam->lastRequest().packets, int((text.size() + 999) / 1000));
        QCOMPARE(cam->lastRequest().payload, text);
        QCOMPARE(cam->lastRequest().cmd, QString("ReqSetPaletteData"));
        QCOMPARE(cam->state().paletteTable(), table);
        QCOMPARE(cam->state().paletteUploads(), 1);
    }

    void ptzMovesOverTime() {
        SimulatedCamera *cam = rig->camera(0);
        QVERIFY(send(0, CmdJson, CommandTexts::ptzCtrl("Right")));
        QTRY_VERIFY_WITH_TIMEOUT(cam->ptzPosition().pan > 0, 1000); // moving in real time
        SimulatedClock::advance(1000);
        QVERIFY(cam->ptz().isMoving(SimulatedClock::nowMs()));
        QVERIFY(cam->ptzPosition().pan >= SimulatedPtz::kPanSpeed);
        QVERIFY(send(0, CmdJson, CommandTexts::ptzCtrl("Stop")));
        const double stopped = cam->ptzPosition().pan;
        SimulatedClock::advance(1000);
        QCOMPARE(cam->ptzPosition().pan, stopped);

        QVERIFY(send(0, CmdJson, CommandTexts::ptzCtrl("Up")));
        QVERIFY(send(0, CmdJson, CommandTexts::ptzCtrl("ZoomTele")));
        SimulatedClock::advance(10000); // far past both end stops
        QCOMPARE(cam->ptzPosition().tilt, 90.0);
        QCOMPARE(cam->ptzPosition().zoom, 100.0);
        QVERIFY(send(0, CmdJson, CommandTexts::ptzCtrl("Stop")));
        QVERIFY(send(0, CmdJson, CommandTexts::ptzCtrl("ZoomStop")));
        QVERIFY(send(0, CmdJson, CommandTexts::presetCtrl("Set", 2)));

        QVERIFY(send(0, CmdJson, CommandTexts::ptzCtrl("Gohome")));
        SimulatedClock::advance(500);
        QVERIFY(cam->ptzPosition().tilt > 0 && cam->ptzPosition().tilt < 90); // on its way
        SimulatedClock::advance(10000);
        QCOMPARE(cam->ptzPosition().pan, 0.0);
        QCOMPARE(cam->ptzPosition().tilt, 0.0);
        QVERIFY(!cam->ptz().isMoving(SimulatedClock::nowMs()));

        QVERIFY(send(0, CmdJson, CommandTexts::presetCtrl("Call", 2)));
        SimulatedClock::advance(10000);
        QCOMPARE(cam->ptzPosition().pan, stopped);
        QCOMPARE(cam->ptzPosition().tilt, 90.0);
        QCOMPARE(cam->ptzPosition().zoom, 100.0);
    }

    void firmwareUpgradeProgressesToCompletion() {
        SimulatedCamera *cam = rig->camera(0);
        cam->setReturnDelayMs(0);
        cam->upgrade().setFlashMs(2000);
        QByteArray firmware(2500, '\0');
        for (int i = 0; i < firmware.size(); ++i)
            firmware[i] = char(i * 7);
        bool ok = false;
        QCOMPARE(SimRig::nResult(rig->send(0, CmdUpgradeRequest, CommandTexts::upgradeRequest(5000), &ok)),
                 0);
        QCOMPARE(cam->lastRequest().text(), QString("{\"FileType\": 2, \"FileSize\": 5000}"));

        QJsonObject r = rig->sendData(0, CmdUpgradeData, firmware, &ok);
        QVERIFY(ok);
        QCOMPARE(cam->lastRequest().packets, 3);
        QCOMPARE(cam->lastRequest().payload, firmware);
        QCOMPARE(r.value("UpdateStatus").toInt(), 1);
        QCOMPARE(r.value("Progress").toInt(), 25);
        r = rig->sendData(0, CmdUpgradeData, firmware, &ok);
        QCOMPARE(r.value("Progress").toInt(), 50);

        // Flashing: the status query shows the progress rising, then completion.
        int last = 50;
        for (int i = 0; i < 3; ++i) {
            SimulatedClock::advance(500);
            r = rig->send(0, CmdGetUpgradeStatus, QByteArray(), &ok);
            QVERIFY(ok);
            QCOMPARE(cam->lastRequest().cmdId, quint32(CmdGetUpgradeStatus));
            QCOMPARE(r.value("UpdateStatus").toInt(), 1);
            QVERIFY(r.value("Progress").toInt() > last);
            last = r.value("Progress").toInt();
        }
        SimulatedClock::advance(500);
        r = rig->send(0, CmdGetUpgradeStatus, QByteArray());
        QCOMPARE(r.value("UpdateStatus").toInt(), 2);
        QCOMPARE(r.value("Progress").toInt(), 100);
        QCOMPARE(cam->upgrade().image(), firmware + firmware);
        // More data than announced is refused.
        r = rig->sendData(0, CmdUpgradeData, firmware);
        QCOMPARE(SimRig::nResult(r), -1);

        // The restart installs the image.
        QVERIFY(send(0, CmdReboot, QByteArray()));
        QCOMPARE(cam->reboots(), 1);
        QCOMPARE(cam->buildDate(), QDate::currentDate().toString(Qt::ISODate));
        QCOMPARE(rig->openAll(), 2);
        QCOMPARE(rig->send(0, CmdGetUpgradeStatus, QByteArray()).value("UpdateStatus").toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSimBus)
#include "test_sim_bus.moc"
