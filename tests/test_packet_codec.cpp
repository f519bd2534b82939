#include "packet_codec.h"
#include "packet_cmd.h"

#include <QTest>

class TestPacketCodec : public QObject {
    Q_OBJECT
private slots:
    void requestHeaderAndPayload()
    {
        const QByteArray text = "{\"Cmd\":\"ReqGetFaceIDs\",\"Content\":{}}";
        QCOMPARE(text.size(), 36);
        const QByteArray p = PacketCodec::buildRequest(CmdJson, text.constData(), int(text.size()));
        QCOMPARE(p.size(), 1025);
        QCOMPARE(quint8(p[0]), quint8(0x00));
        QCOMPARE(p.mid(1, 4), QByteArray("FDTH"));
        QCOMPARE(PacketCodec::readU32(p.constData() + 5), quint32(40001006));
        QCOMPARE(quint8(p[9]), quint8(0x24));
        QCOMPARE(quint8(p[10]), quint8(0x00));
        QCOMPARE(quint8(p[11]), quint8(0x01));
        QCOMPARE(quint8(p[12]), quint8(0x00));
        QCOMPARE(p.mid(13, 36), text);
        QCOMPARE(p.mid(49), QByteArray(1025 - 49, '\0'));
    }

    void emptyPayloadRequest()
    {
        const QByteArray p = PacketCodec::buildRequest(CmdGetDeviceInfo, nullptr, 0);
        QCOMPARE(p.size(), 1025);
        QCOMPARE(PacketCodec::readU32(p.constData() + 5), quint32(40001117));
        QCOMPARE(PacketCodec::readU16(p.constData() + 9), quint16(0));
        QCOMPARE(p.mid(13), QByteArray(1012, '\0'));
    }

    void singlePacketLimit()
    {
        const QByteArray max(1012, 'x');
        QCOMPARE(PacketCodec::buildRequest(CmdJson, max.constData(), 1012).size(), 1025);
        const QByteArray over(1013, 'x');
        QVERIFY(PacketCodec::buildRequest(CmdJson, over.constData(), 1013).isEmpty());
        QVERIFY(PacketCodec::buildRequest(CmdJson, nullptr, 5).isEmpty());
        QVERIFY(PacketCodec::buildRequest(CmdJson, max.constData(), -1).isEmpty());
    }

    void chunksOfAThousand()
    {
        QByteArray data(2500, '\0');
        for (int i = 0; i < data.size(); ++i)
            data[i] = char(i % 251);
        const QList<QByteArray> packets = PacketCodec::buildChunks(CmdUpgradeData, data.constData(), int(data.size()));
        QCOMPARE(packets.size(), 3);
        const int lengths[] = {1000, 1000, 500};
        const int flags[] = {0, 0, 1};
        QByteArray joined;
        for (int i = 0; i < 3; ++i) {
            const auto r = PacketCodec::parseRequest(packets[i]);
            QVERIFY(r.valid);
            QCOMPARE(r.cmdId, quint32(3004));
            QCOMPARE(r.length, lengths[i]);
            QCOMPARE(int(r.last), flags[i]);
            joined += r.payload;
        }
        QCOMPARE(joined, data);
        QVERIFY(PacketCodec::buildChunks(CmdUpgradeData, data.constData(), 0).isEmpty());
    }

    void replyParsingIsBoundedByTheReport()
    {
        QByteArray report = PacketCodec::buildReply(CmdJson, "hello", true);
        QCOMPARE(report.size(), 1024);
        auto r = PacketCodec::parseReply(report);
        QVERIFY(r.valid);
        QCOMPARE(r.payload, QByteArray("hello"));
        QVERIFY(r.last);

        // A length field larger than the report: only the bytes present are taken.
        PacketCodec::writeU16(report.data() + 8, 60000);
        r = PacketCodec::parseReply(report);
        QCOMPARE(r.declaredLength, 60000);
        QCOMPARE(r.payload.size(), 1008);

        // A truncated report: header only, or less.
        QVERIFY(PacketCodec::parseReply(report.left(16)).valid);
        QCOMPARE(PacketCodec::parseReply(report.left(16)).payload.size(), 0);
        QVERIFY(!PacketCodec::parseReply(report.left(10)).valid);
        QVERIFY(!PacketCodec::parseReply(QByteArray(1025, '\0')).valid);
        QVERIFY(!PacketCodec::parseReply(QByteArray("FDT")).valid);
    }

    void longRepliesSpanPackets()
    {
        const QByteArray payload(2100, 'a');
        const auto reports = PacketCodec::buildReplies(CmdGetParam, payload);
        QCOMPARE(reports.size(), 3);
        QVERIFY(!PacketCodec::parseReply(reports[0]).last);
        QVERIFY(!PacketCodec::parseReply(reports[1]).last);
        QVERIFY(PacketCodec::parseReply(reports[2]).last);
        QCOMPARE(PacketCodec::parseReply(reports[2]).payload.size(), 2100 - 2 * 1008);
        QCOMPARE(PacketCodec::buildReplies(CmdReboot, QByteArray()).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestPacketCodec)
#include "test_packet_codec.moc"
