// Faults on demand and hostile requests: what the tool's sender makes of each broken
// camera, and that the camera itself survives whatever it is sent.
#include "command_texts.h"
#include "log_capture.h"
#include "packet_cmd.h"
#include "packet_codec.h"
#include "sim_rig.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QTest>

using Fault = SimulatedCamera::Fault;

class TestSimFaults : public QObject {
    Q_OBJECT
    std::unique_ptr<LogCapture> log;
    std::unique_ptr<SimRig> rig;
    SimulatedCamera *cam = nullptr;

    bool sendText(const QByteArray &text, quint32 cmdId = CmdJson) {
        bool ok = false;
        rig->send(0, cmdId, text, &ok);
        return ok;
    }
    // A raw report written straight to the camera's handle.
    int writeRaw(HidBackend::Handle h, const QByteArray &report) {
        return rig->bus.write(h, reinterpret_cast<const unsigned char *>(report.constData()),
                              size_t(report.size()));
    }
    QByteArray readRaw(HidBackend::Handle h, int timeoutMs, int *result = nullptr) {
        QByteArray buf(1025, '\0');
        const int n = rig->bus.readTimeout(h, reinterpret_cast<unsigned char *>(buf.data()), 1025, timeoutMs);
        if (result)
            *result = n;
        return n > 0 ? buf.left(n) : QByteArray();
    }

private slots:
    void initTestCase() { log = std::make_unique<LogCapture>(); }
    void init() {
        rig = std::make_unique<SimRig>(QStringList{"RV-K310A-WP"});
        cam = rig->camera(0);
        cam->setReturnDelayMs(50);
    }
    void cleanup() { rig.reset(); }

    void silentCameraCostsOneFullRead() {
        cam->setFault(Fault::Silent);
        QElapsedTimer t;
        t.start();
        QVERIFY(!sendText(CommandTexts::getFaceIds()));
        QVERIFY2(t.elapsed() >= 2900 && t.elapsed() < 4500, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(cam->lastRequest().cmd, QString("ReqGetFaceIDs")); // it heard, it just never answers
    }

    void brokenAnswers() {
        cam->setFault(Fault::Garbage);
        QVERIFY(!sendText(CommandTexts::getFaceIds()));
        QVERIFY(rig->lastReply.isEmpty());

        cam->setFault(Fault::MalformedJson);
        QVERIFY(sendText(CommandTexts::getFaceIds()));
        QJsonParseError error{};
        QJsonDocument::fromJson(rig->lastReply, &error);
        QVERIFY(error.error != QJsonParseError::NoError);

        // A failing camera changes nothing.
        cam->setFault(Fault::NegativeResult);
        const QJsonObject r = rig->send(0, CmdSetVideoParam, CommandTexts::setVideoParam("Luminance", 80));
        QCOMPARE(SimRig::nResult(r), -1);
        QCOMPARE(cam->videoParam("Luminance"), 50);

        // Length fields past the report: the sender takes only what the report holds.
        cam->setFault(Fault::OversizedLength);
        bool ok = false;
        const QJsonObject video = rig->send(0, CmdGetParam, CommandTexts::getVideoParam(), &ok);
        QVERIFY(ok);
        QCOMPARE(SimRig::content(video).value("VideoParam").toObject().value("Luminance").toInt(), 50);

        cam->setFault(Fault::None);
        QVERIFY(sendText(CommandTexts::getFaceIds()));
        QCOMPARE(SimRig::content(QJsonDocument::fromJson(rig->lastReply).object())
                     .value("FaceIDs")
                     .toArray()
                     .size(),
                 2);
    }

    void endlessAnswerIsCutOff() {
        cam->setFault(Fault::Endless);
        QElapsedTimer t;
        t.start();
        QVERIFY(!sendText(CommandTexts::getFaceIds()));
        QVERIFY(t.elapsed() < 2000);
        QVERIFY(log->contains(QString::number(DeviceSender::kMaxReplyPackets)));
    }

    void slowAnswers() {
        cam->setFault(Fault::Slow);
        cam->setSlowReplyMs(200);
        QElapsedTimer t;
        t.start();
        QVERIFY(sendText(CommandTexts::getFaceIds()));
        QVERIFY(t.elapsed() >= 190);

        // A read shorter than the delay times out after its own time-out; the answer
        // is still there for the next read.
        cam->setSlowReplyMs(400);
        HidBackend::Handle h = rig->bus.open(cam->path().toUtf8());
        QVERIFY(h);
        const QByteArray text = CommandTexts::getDeviceDirection();
        QCOMPARE(writeRaw(h, PacketCodec::buildRequest(CmdJson, text.constData(), int(text.size()))), 1025);
        t.restart();
        int n = -9;
        readRaw(h, 100, &n);
        QCOMPARE(n, 0);
        QVERIFY(t.elapsed() >= 95 && t.elapsed() < 350);
        const QByteArray report = readRaw(h, 1000, &n);
        QCOMPARE(n, 1024);
        QVERIFY(PacketCodec::parseReply(report).payload.contains("nDirection"));
        QVERIFY(t.elapsed() >= 390);
        rig->bus.close(h);
    }

    void disconnectInTheMiddleOfAnAnswer() {
        cam->setFault(Fault::DisconnectMidReply);
        bool ok = false;
        rig->send(0, CmdGetParam, CommandTexts::getVideoParam(), &ok);
        QVERIFY(ok);                                                     // one packet arrived...
        QVERIFY(rig->lastReply.size() <= PacketCodec::kMaxReplyPayload); // ...the rest never did
        QVERIFY(QJsonDocument::fromJson(rig->lastReply).isNull());
        QVERIFY(!cam->isPresent());
        QCOMPARE(rig->managers[0]->writeData(QByteArray(1025, '\0')), -1);
        cam->setFault(Fault::None);
        QTRY_VERIFY_WITH_TIMEOUT(cam->isPresent(), 2000);
        QCOMPARE(rig->managers[0]->writeData(QByteArray(1025, '\0')), -1); // the old handle stays dead
        QCOMPARE(rig->openAll(), 1);
        QVERIFY(sendText(CommandTexts::getFaceIds()));
    }

    void writeErrors() {
        cam->setFault(Fault::WriteError);
        cam->clearReceived();
        QVERIFY(!sendText(CommandTexts::getFaceIds()));
        QVERIFY(cam->receivedRequests().isEmpty());
        QVERIFY(log->contains("写入失败"));
    }

    void nothingPendingWaitsTheTimeout() {
        HidBackend::Handle h = rig->bus.open(cam->path().toUtf8());
        QElapsedTimer t;
        t.start();
        int n = -9;
        readRaw(h, 120, &n);
        QCOMPARE(n, 0);
        QVERIFY(t.elapsed() >= 115 && t.elapsed() < 600);
        t.restart();
        readRaw(h, 0, &n);
        QCOMPARE(n, 0);
        QVERIFY(t.elapsed() < 50);
        rig->bus.close(h);
        // A closed or made-up handle is an error, not a crash.
        QCOMPARE(rig->bus.readTimeout(h, nullptr, 0, 10), -1);
        QCOMPARE(rig->bus.write(reinterpret_cast<HidBackend::Handle>(0x10), nullptr, 0), -1);
    }

    void hostileRequests() {
        auto result = [this](quint32 id, const QByteArray &text) {
            return SimRig::nResult(rig->send(0, id, text));
        };
        QCOMPARE(result(CmdJson, "{\"Cmd\":\"ReqPtzCtrl\",\"Content\":{"), -2);
        QCOMPARE(result(CmdJson, "[1,2,3]"), -2);
        QCOMPARE(result(CmdJson, QByteArray()), -2);
        QCOMPARE(result(CmdJson, "{\"Cmd\":\"ReqFlyAway\",\"Content\":{}}"), -1);
        QCOMPARE(result(CmdJson, "{\"Cmd\":42}"), -1);
        QCOMPARE(result(CmdJson,
                        "{\"Cmd\":\"ReqPresetCtrl\",\"Content\":{\"PresetCmd\":\"Set\",\"PresetID\":\"2\"}}"),
                 -1);
        QCOMPARE(result(CmdJson, "{\"Cmd\":\"ReqPtzCtrl\",\"Content\":[]}"), -1);
        QCOMPARE(result(CmdJson, "{\"Cmd\":\"ReqSetHSVHueLut\",\"Content\":{\"HSV_Hue\":[1,2,3]}}"), -1);
        QCOMPARE(result(CmdSetVideoParam, CommandTexts::setVideoParam("Luminance", "50.5")), -1);
        QCOMPARE(result(CmdSetVideoParam, CommandTexts::setVideoParam("Luminance", "1e300")), -1);
        QCOMPARE(result(CmdSetVideoParam, CommandTexts::setVideoParam("NoSuchKey", 3)), 0); // ignored
        QCOMPARE(result(CmdJson, CommandTexts::setSetting("language", "\"zh\"")), -1);
        QCOMPARE(result(CmdJson, CommandTexts::setFaceIdName(1, QString(64, 'n'))), -1);
        QCOMPARE(result(CmdSetDeviceName, QByteArray("{\"DeviceName\": \"   \"}", 21)), -1);
        QCOMPARE(result(CmdUpgradeRequest, "{\"FileType\": 1, \"FileSize\": 10}"), -1);
        QCOMPARE(result(CmdUpgradeData, "stray bytes"), -1); // no upgrade was announced
        QCOMPARE(result(0x12345678, "{}"), -1);
        QCOMPARE(cam->videoParam("Luminance"), 50);
        QVERIFY(cam->isPresent());

        HidBackend::Handle h = rig->bus.open(cam->path().toUtf8());
        // A header claiming more payload than the report holds: bounded to the report.
        QByteArray report = PacketCodec::buildRequest(CmdJson, "{}", 2);
        PacketCodec::writeU16(report.data() + 9, 0xFFFF);
        QCOMPARE(writeRaw(h, report), 1025);
        QCOMPARE(cam->lastRequest().payloadSize, 1012);
        QVERIFY(PacketCodec::parseReply(readRaw(h, 100)).valid);
        // Bytes without the magic are dropped without an answer; oversize writes fail.
        cam->clearReceived();
        QCOMPARE(writeRaw(h, QByteArray(1025, 'z')), 1025);
        QVERIFY(cam->receivedRequests().isEmpty());
        QCOMPARE(writeRaw(h, QByteArray(4096, '\0')), -1);
        // A multi-packet request that never ends is cut at the camera's limit.
        const QByteArray chunk =
            PacketCodec::buildRequest(CmdUpgradeData, QByteArray(1000, 'f').constData(), 1000, false);
        for (int i = 0; i <= SimulatedCamera::kMaxRequestBytes / 1000; ++i)
            writeRaw(h, chunk);
        QCOMPARE(writeRaw(h, PacketCodec::buildRequest(CmdUpgradeData, "x", 1, true)), 1025);
        QCOMPARE(cam->lastRequest().payloadSize, 0);
        QCOMPARE(SimRig::nResult(
                     QJsonDocument::fromJson(PacketCodec::parseReply(readRaw(h, 100)).payload).object()),
                 -1);
        rig->bus.close(h);
    }
};

QTEST_GUILESS_MAIN(TestSimFaults)
#include "test_sim_faults.moc"
