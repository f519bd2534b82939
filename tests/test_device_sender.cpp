#include "command_texts.h"
#include "device_sender.h"
#include "hid_manager.h"
#include "log_capture.h"
#include "packet_cmd.h"
#include "packet_codec.h"
#include "scripted_hid_backend.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <vector>

class TestDeviceSender : public QObject {
    Q_OBJECT
    std::unique_ptr<ScriptedHidBackend> backend;
    std::unique_ptr<HIDManager> manager;
    bool quiet = false;

    DeviceSender sender(DeviceSender::RequestLog style = DeviceSender::RequestLog::QtDebug)
    {
        return DeviceSender([this](int i) { return i == 0 ? manager.get() : nullptr; }, style, &quiet);
    }
    static QByteArray reply(const QByteArray &payload, bool last) { return PacketCodec::buildReply(CmdJson, payload, last); }

private slots:
    void init()
    {
        backend = std::make_unique<ScriptedHidBackend>();
        HidBackend::setActive(backend.get());
        manager = std::make_unique<HIDManager>();
        QVERIFY(manager->openDevice("scripted:0"));
        quiet = false;
    }
    void cleanup()
    {
        manager.reset();
        HidBackend::setActive(nullptr);
        backend.reset();
    }

    void refusedBeforeWriting()
    {
        LogCapture log;
        DeviceSender s = sender();
        const QByteArray text = CommandTexts::getFaceIds();
        QVERIFY(!s.sendCmdToDevice(-1, CmdJson, text.constData(), int(text.size()), nullptr));
        QVERIFY(!s.sendCmdToDevice(3, CmdJson, text.constData(), int(text.size()), nullptr));
        QVERIFY(log.contains("[WARNING] [General] Invalid device index"));
        const QByteArray big(1013, 'x');
        QVERIFY(!s.sendCmdToDevice(0, CmdJson, big.constData(), int(big.size()), nullptr));
        QVERIFY(!s.sendText(0, CmdJson, QByteArray()));
        // A text refused by its formatter arrives as a payload without bytes.
        const QByteArray refused = CommandTexts::setVideoParam(QString(1100, 'k'), 1);
        QVERIFY(refused.isEmpty());
        QVERIFY(!s.sendCmdToDevice(0, CmdSetVideoParam, refused.constData(), int(refused.size()), nullptr));
        QVERIFY(!s.sendCmdToDevice(0, CmdJson, "", 0, nullptr));
        QVERIFY(!s.sendCmdToDevice(0, CmdJson, nullptr, 5, nullptr));
        QCOMPARE(log.count("命令文本已被拒绝"), 4);
        QVERIFY(backend->writes.isEmpty());
        QCOMPARE(backend->readCalls, 0);
        QCOMPARE(s.readFromDevice(5, nullptr), QByteArray());
    }

    void silentAndMalformedReplies()
    {
        DeviceSender s = sender();
        const QByteArray text = CommandTexts::getFaceIds();
        // No answer: false after exactly one read with the 3000 ms time-out.
        QVERIFY(!s.sendCmdToDevice(0, CmdJson, text.constData(), int(text.size()), nullptr));
        QCOMPARE(backend->writes.size(), 1);
        QCOMPARE(backend->writes[0], PacketCodec::buildRequest(CmdJson, text.constData(), int(text.size())));
        QCOMPARE(backend->readCalls, 1);
        QCOMPARE(backend->lastTimeout, 3000);
        // The rest of the flow leaves that camera alone instead of waiting again, until
        // its owner forgets the time-out (next activation or refresh).
        QVERIFY(s.isUnanswered(0));
        QVERIFY(!s.sendCmdToDevice(0, CmdJson, text.constData(), int(text.size()), nullptr));
        QVERIFY(!s.sendDataToDevice(0, CmdJson, text.constData(), int(text.size()), nullptr));
        QCOMPARE(backend->writes.size(), 1);
        s.forgetUnanswered(0);
        QVERIFY(!s.isUnanswered(0));

        // A first packet without the magic: false although the write succeeded.
        backend->queueReport(QByteArray(1024, 'g'));
        char buf[3072];
        QVERIFY(!s.sendCmdToDevice(0, CmdJson, text.constData(), int(text.size()), buf));
        QCOMPARE(buf[0], '\0');

        // A truncated report that cannot even hold the header ends the collection.
        backend->queueReport(reply("{}", true).left(9));
        QVERIFY(!s.sendCmdToDevice(0, CmdJson, text.constData(), int(text.size()), buf));

        // A write error: no read at all.
        backend->writeResult = -1;
        const int reads = backend->readCalls;
        QVERIFY(!s.sendCmdToDevice(0, CmdJson, text.constData(), int(text.size()), buf));
        QCOMPARE(backend->readCalls, reads);
    }

    void multiPacketReply()
    {
        DeviceSender s = sender();
        backend->queueReport(reply("abcde", false));
        backend->queueReport(reply("fg", true));
        backend->queueReport(reply("next", true)); // belongs to the next exchange
        std::vector<char> buf(3072, 'X');
        QSignalSpy routed(manager.get(), &HIDManager::dataReceived);
        QVERIFY(s.sendCmdToDevice(0, CmdGetDeviceInfo, nullptr, 0, buf.data()));
        QCOMPARE(QByteArray(buf.data()), QByteArray("abcdefg"));
        QCOMPARE(routed.count(), 2);
        // Every packet read reaches the router with the device index behind its arg.
        QCOMPARE(backend->reads.size(), size_t(1));

        // A time-out after earlier packets still counts as a reply.
        backend->queueReport(reply("{\"a\":", false));
        QVERIFY(s.sendCmdToDevice(0, CmdJson, "x", 1, buf.data()));
    }

    void routedIndexIsTheDevice()
    {
        DeviceSender s = sender();
        int seen = -1;
        connect(manager.get(), &HIDManager::dataReceived, this,
                [&seen](const QByteArray &, void *arg) { seen = *static_cast<int *>(arg); });
        backend->queueReport(reply("{}", true));
        QVERIFY(s.sendCmdToDevice(0, CmdJson, "{}", 2, nullptr));
        QCOMPARE(seen, 0);
    }

    void hostileReplies()
    {
        LogCapture log;
        DeviceSender s = sender();
        // More than the caller's buffer: never written past, reported as failure.
        for (int i = 0; i < 4; ++i)
            backend->queueReport(reply(QByteArray(1008, char('a' + i)), i == 3));
        std::vector<char> buf(3072, 'X');
        QVERIFY(!s.sendCmdToDevice(0, CmdJson, "{}", 2, buf.data(), int(buf.size())));
        QCOMPARE(buf[3071], '\0');
        QCOMPARE(QByteArray(buf.data()).size(), 3071);
        QVERIFY(log.contains("回复超出接收缓冲区"));
        QVERIFY(backend->reads.empty()); // the rest of the reply was drained

        // A length field far beyond the report: only the report's own bytes are taken.
        QByteArray liar = reply("{\"x\":1}", true);
        PacketCodec::writeU16(liar.data() + 8, 65535);
        backend->queueReport(liar.left(40));
        QVERIFY(s.sendCmdToDevice(0, CmdJson, "{}", 2, buf.data(), int(buf.size())));
        QCOMPARE(QByteArray(buf.data()), QByteArray("{\"x\":1}"));

        // A camera that never marks a packet as last cannot hold the tool forever.
        backend->endless = true;
        backend->endlessPacket = reply("more", false);
        const int before = backend->readCalls;
        QVERIFY(!s.sendCmdToDevice(0, CmdJson, "{}", 2, buf.data(), int(buf.size())));
        // A reply that fits the buffer needs four packets: eight reads at most.
        QCOMPARE(backend->readCalls - before, 8);
        QVERIFY(log.contains("个数据包仍未结束"));
    }

    void dataInChunks()
    {
        DeviceSender s = sender();
        QByteArray data(2500, 'd');
        backend->queueReport(reply("{\"UpdateStatus\":1,\"Progress\":10}", true));
        char buf[3072];
        QVERIFY(s.sendDataToDevice(0, CmdUpgradeData, data.constData(), int(data.size()), buf));
        QCOMPARE(backend->writes.size(), 3);
        const int lengths[] = {1000, 1000, 500};
        for (int i = 0; i < 3; ++i) {
            const auto r = PacketCodec::parseRequest(backend->writes[i]);
            QCOMPARE(backend->writes[i].size(), 1025);
            QCOMPARE(r.length, lengths[i]);
            QCOMPARE(r.last, i == 2);
            QCOMPARE(r.cmdId, quint32(CmdUpgradeData));
        }
        QCOMPARE(QByteArray(buf), QByteArray("{\"UpdateStatus\":1,\"Progress\":10}"));

        LogCapture log;
        backend->writeResult = -1;
        QVERIFY(!s.sendDataToDevice(0, CmdUpgradeData, data.constData(), int(data.size()), buf));
        QVERIFY(log.contains("[WARNING] [General] sendToDevice error"));
        QVERIFY(!s.sendDataToDevice(-1, CmdUpgradeData, data.constData(), int(data.size()), buf));
    }

    void requestLogging()
    {
        LogCapture log;
        DeviceSender panel = sender();
        panel.sendText(0, CmdJson, CommandTexts::getFaceIds());
        QVERIFY(log.contains("[DEBUG] [General] [SEND] device: 0 cmd: 40001006 , size: 36 , data: "
                             "{\"Cmd\":\"ReqGetFaceIDs\",\"Content\":{}}"));
        QVERIFY(log.contains("sendToDevice index:0"));
        quiet = true;
        panel.forgetUnanswered(); // nothing was scripted: the first request timed out
        panel.sendText(0, CmdJson, CommandTexts::getDeviceDirection());
        QVERIFY(!log.contains("ReqGetDeviceDirection"));
        QCOMPARE(log.count("sendToDevice index:0"), 1);

        DeviceSender lnq = sender(DeviceSender::RequestLog::CommandRecord);
        lnq.sendText(0, CmdJson, CommandTexts::getFaceNames());
        QVERIFY(log.contains("[INFO] [Command] device:0, cmd:40001006, size:38, data:{\"Cmd\":\"ReqGetFaceNames\""));
        lnq.sendCmdToDevice(-1, CmdJson, "{}", 2, nullptr);
        QVERIFY(log.contains("[DEBUG] [Command] sendCmdToDevice: index is -1, returning false"));

        DeviceSender silent = sender(DeviceSender::RequestLog::None);
        silent.sendText(0, CmdJson, CommandTexts::getEnabledFaceIds());
        QVERIFY(!log.contains("ReqGetEnabledFaceIds"));
    }
};

QTEST_GUILESS_MAIN(TestDeviceSender)
#include "test_device_sender.moc"
