// VISCA over IP against simulated cameras, from a client written here after the
// public description of the protocol: an 8-byte header (payload type, payload length,
// sequence number, big-endian) in front of each VISCA message over UDP, the messages
// raw over TCP.
#include "remote_rig.h"
#include "visca_server.h"

#include <QNetworkDatagram>
#include <QSettings>
#include <QTcpSocket>
#include <QTemporaryDir>

namespace {
QByteArray header(quint16 type, int length, quint32 sequence)
{
    QByteArray h(8, 0);
    h[0] = char(type >> 8);
    h[1] = char(type);
    h[2] = char(length >> 8);
    h[3] = char(length);
    for (int i = 0; i < 4; ++i)
        h[4 + i] = char(sequence >> (24 - 8 * i));
    return h;
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// What arrives on `socket` within `ms`, datagram by datagram.
QList<QByteArray> datagrams(QUdpSocket &socket, int count, int ms = 5000)
{
    QList<QByteArray> in;
    (void)QTest::qWaitFor(
        [&] {
            while (socket.hasPendingDatagrams())
                in << socket.receiveDatagram().data();
            return in.size() >= count;
        },
        ms);
    return in;
}

struct Rig : RemoteRig {
    QTemporaryDir files;
    QString ini = files.filePath("visca.ini");
    QList<QPair<quint16, quint16>> ports = freePorts(2);
    QPair<quint16, quint16> deskPorts = ports[0];
    QPair<quint16, quint16> hallPorts = ports[1];
    ViscaServer server{&queue};
    QUdpSocket client;

    Rig()
    {
        QSettings settings(ini, QSettings::IniFormat);
        settings.setValue("Visca/MoveLimitMs", 2000);
        settings.beginWriteArray("Cameras", 2);
        settings.setArrayIndex(0);
        settings.setValue("Serial", "SN/001");
        settings.setValue("Udp", deskPorts.first);
        settings.setValue("Tcp", deskPorts.second);
        settings.setArrayIndex(1);
        settings.setValue("Serial", "SN002");
        settings.setValue("Udp", hallPorts.first);
        settings.setValue("Tcp", hallPorts.second);
        settings.endArray();
        settings.sync();
        client.bind(QHostAddress::LocalHost, 0);
    }
    bool start()
    {
        QString error;
        return ready() && server.start(QString(), &error, ini) && server.failures().isEmpty();
    }
    QList<QByteArray> udp(const QByteArray &datagram, int answers, quint16 port = 0)
    {
        client.writeDatagram(datagram, QHostAddress::LocalHost, port ? port : deskPorts.first);
        return datagrams(client, answers, answers ? 5000 : 300);
    }
};
} // namespace

class TestVisca : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    // The server goes while a client is still connected.
    void cleanupTestCase() { m_rig.reset(); }
    void commandsReachTheCamera_data();
    void commandsReachTheCamera();
    void malformedDatagrams_data();
    void malformedDatagrams();
    void rawTcpAndBrokenStreams();
    void camerasKeepTheirPortsAndAnswerWhenAway();
    void modelsCodesAndBrokenTables();

private:
    QTcpSocket m_stillConnected;
    std::unique_ptr<Rig> m_rig; // one panel for the tables
};

void TestVisca::initTestCase()
{
    m_rig = std::make_unique<Rig>();
    QVERIFY(m_rig->start());
}

void TestVisca::commandsReachTheCamera_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("answer"); // after the ACK of a command
    QTest::addColumn<QString>("word");       // what the camera got last; empty: nothing

    // The desk camera pans the other way round than its words say; every model tilts so.
    QTest::newRow("left") << hex("8101060118140103FF") << hex("9051FF") << R"("PtzCmd":"Right")";
    QTest::newRow("up") << hex("8101060101010301FF") << hex("9051FF") << R"("PtzCmd":"Down")";
    QTest::newRow("diagonal, tilt dominant") << hex("8101060101170202FF") << hex("9051FF") << R"("PtzCmd":"Up")";
    QTest::newRow("diagonal, pan on a tie") << hex("8101060118170201FF") << hex("9051FF") << R"("PtzCmd":"Left")";
    QTest::newRow("stop") << hex("8101060101010303FF") << hex("9051FF") << R"("PtzCmd":"Stop")";
    QTest::newRow("home") << hex("81010604FF") << hex("9051FF") << R"("PtzCmd":"Gohome")";
    QTest::newRow("tele") << hex("8101040702FF") << hex("9051FF") << R"("PtzCmd":"ZoomTele")";
    QTest::newRow("wide, variable") << hex("8101040737FF") << hex("9051FF") << R"("PtzCmd":"ZoomWide")";
    QTest::newRow("zoom stop") << hex("8101040700FF") << hex("9051FF") << R"("PtzCmd":"ZoomStop")";
    QTest::newRow("far, variable") << hex("8101040821FF") << hex("9051FF") << R"("PtzCmd":"FocusFar")";
    QTest::newRow("near") << hex("8101040803FF") << hex("9051FF") << R"("PtzCmd":"FocusNear")";
    QTest::newRow("focus stop") << hex("8101040800FF") << hex("9051FF") << R"("PtzCmd":"FocusStop")";
    QTest::newRow("manual focus") << hex("8101043803FF") << hex("9051FF") << R"("ucFocusMode":0)";
    QTest::newRow("auto focus") << hex("8101043802FF") << hex("9051FF") << R"("ucFocusMode":3)";
    QTest::newRow("set 0") << hex("8101043F0100FF") << hex("9051FF") << R"("PresetCmd": "Set","PresetID" : 1)";
    QTest::newRow("recall 0") << hex("8101043F0200FF") << hex("9051FF") << R"("PresetCmd": "Call","PresetID" : 1)";
    QTest::newRow("reset 0") << hex("8101043F0000FF") << hex("9051FF") << R"("PresetCmd": "Del","PresetID" : 1)";
    // The camera refuses a preset it does not hold.
    QTest::newRow("recall FE") << hex("8101043F02FEFF") << hex("906141FF") << R"("PresetCmd": "Call","PresetID" : 255)";
    // Inquiries: no ACK; answered from what the tool knows.
    QTest::newRow("power?") << hex("81090400FF") << hex("905002FF") << QString();
    QTest::newRow("version?") << hex("81090002FF") << hex("90502E7E0000000102FF") << QString();
    QTest::newRow("focus mode?") << hex("81090438FF") << hex("905002FF") << QString(); // auto, as set above
    QTest::newRow("zoom position?") << hex("81090447FF") << hex("906041FF") << QString();
    // What the tool cannot do, and what is no VISCA.
    QTest::newRow("absolute position") << hex("810106020C0C0000000000000000FF") << hex("906141FF") << QString();
    QTest::newRow("exposure") << hex("8101043900FF") << hex("906141FF") << QString();
    QTest::newRow("speed 0") << hex("8101060100010103FF") << hex("906002FF") << QString();
    QTest::newRow("speed 19h") << hex("8101060119010103FF") << hex("906002FF") << QString();
    QTest::newRow("direction 4") << hex("8101060101010403FF") << hex("906002FF") << QString();
    QTest::newRow("drive too short") << hex("81010601010103FF") << hex("906002FF") << QString();
    QTest::newRow("zoom speed 8") << hex("8101040728FF") << hex("906002FF") << QString();
    QTest::newRow("unknown category") << hex("81050102FF") << hex("906002FF") << QString();
    QTest::newRow("cancel") << hex("8121FF") << hex("906105FF") << QString();
    QTest::newRow("IF_Clear") << hex("88010001FF") << hex("88010001FF") << QString();
    QTest::newRow("address set") << hex("883001FF") << hex("883002FF") << QString();
}

// Over UDP: each command is acknowledged and completed with the request's sequence
// number, after the camera got the word the panel's own control sends.
void TestVisca::commandsReachTheCamera()
{
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, answer);
    QFETCH(QString, word);
    Rig &rig = *m_rig;
    QTRY_VERIFY_WITH_TIMEOUT(!rig.panel.isBusy(), 10000);
    rig.desk->clearReceived();
    rig.hall->clearReceived();
    const bool acknowledged = answer.at(1) == char(0x51) || (answer.at(1) == char(0x61) && !word.isEmpty());
    static quint32 sequence = 0x7FFFFFF0;
    ++sequence;
    const quint16 type = message.at(1) == 0x09 ? 0x0110 : 0x0100;
    const QList<QByteArray> in = rig.udp(header(type, int(message.size()), sequence) + message, acknowledged ? 2 : 1);
    QList<QByteArray> expected;
    if (acknowledged)
        expected << header(0x0111, 3, sequence) + hex("9041FF");
    expected << header(0x0111, int(answer.size()), sequence) + answer;
    QCOMPARE(in, expected);
    const QStringList got = RemoteRig::received(rig.desk);
    if (word.isEmpty())
        QVERIFY2(got.filter("ReqSet").isEmpty() && got.filter("Ctrl").isEmpty(), qPrintable(got.join('\n')));
    else
        QVERIFY2(!got.isEmpty() && got.last().contains(word), qPrintable(got.join('\n')));
    QVERIFY(RemoteRig::received(rig.hall).isEmpty());
}

void TestVisca::malformedDatagrams_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<QByteArray>("answer"); // empty: dropped

    const QByteArray home = hex("81010604FF");
    QTest::newRow("shorter than a header") << hex("01000005") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("length says more") << header(0x0100, 6, 7) + home << header(0x0111, 4, 7) + hex("906002FF");
    QTest::newRow("length says less") << header(0x0100, 4, 7) + home << header(0x0111, 4, 7) + hex("906002FF");
    QTest::newRow("no terminator") << header(0x0100, 4, 8) + hex("81010604") << header(0x0111, 4, 8) + hex("906002FF");
    QTest::newRow("FF inside") << header(0x0100, 5, 9) + hex("81FF0604FF") << header(0x0111, 4, 9) + hex("906002FF");
    const QByteArray longMessage = hex("8101") + QByteArray(20, 0x01) + hex("FF");
    QTest::newRow("too long") << header(0x0100, int(longMessage.size()), 10) + longMessage
                              << header(0x0111, 4, 10) + hex("906002FF");
    QTest::newRow("huge") << header(0x0100, 0xFFFF, 11) + QByteArray(60000, char(0x81))
                          << header(0x0111, 4, 11) + hex("906002FF");
    QTest::newRow("garbage") << QByteArray("GET / HTTP/1.1\r\n\r\n") << header(0x0111, 4, 0x2F204854) + hex("906002FF");
    QTest::newRow("reply type sent to the camera") << header(0x0111, 3, 12) + hex("9041FF")
                                                    << header(0x0201, 2, 12) + hex("0F02");
    QTest::newRow("reset") << header(0x0200, 1, 13) + hex("01") << header(0x0201, 1, 13) + hex("01");
    QTest::newRow("unknown control") << header(0x0200, 2, 14) + hex("0F01") << header(0x0201, 2, 14) + hex("0F01");
}

// Broken datagrams get the syntax error with their sequence number, or are dropped;
// the camera gets nothing and the server keeps answering.
void TestVisca::malformedDatagrams()
{
    QFETCH(QByteArray, datagram);
    QFETCH(QByteArray, answer);
    Rig &rig = *m_rig;
    rig.desk->clearReceived();
    QCOMPARE(rig.udp(datagram, answer.isEmpty() ? 0 : 1), answer.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{answer});
    QVERIFY(RemoteRig::received(rig.desk).isEmpty());
    const QByteArray power = hex("81090400FF");
    QCOMPARE(rig.udp(header(0x0110, 5, 99) + power, 1), QList<QByteArray>{header(0x0111, 4, 99) + hex("905002FF")});
}

// Raw VISCA over TCP: messages split and joined anyhow, noise between them, a message
// that never ends; the other camera on its own ports.
void TestVisca::rawTcpAndBrokenStreams()
{
    Rig &rig = *m_rig;
    QTRY_VERIFY_WITH_TIMEOUT(!rig.panel.isBusy(), 10000);
    rig.hall->clearReceived();
    QTcpSocket tcp;
    tcp.connectToHost(QHostAddress::LocalHost, rig.hallPorts.second);
    QVERIFY(tcp.waitForConnected(5000));
    QByteArray in;
    const auto read = [&](int size) {
        return QTest::qWaitFor([&] { in += tcp.readAll(); return in.size() >= size; }, 5000);
    };
    tcp.write(hex("8101040702FF8101"));
    tcp.flush();
    QTest::qWait(20);
    tcp.write(hex("040700FF") + hex("0000") + hex("81090400FF"));
    QVERIFY(read(6 + 6 + 4));
    QCOMPARE(in, hex("9041FF9051FF") + hex("9041FF9051FF") + hex("905002FF"));
    const QStringList words = RemoteRig::received(rig.hall);
    QCOMPARE(words.size(), 2);
    QVERIFY(words[0].contains(R"("PtzCmd":"ZoomTele")") && words[1].contains(R"("PtzCmd":"ZoomStop")"));
    QVERIFY(RemoteRig::received(rig.desk).filter("Zoom").isEmpty());
    in.clear();
    tcp.write(hex("8101") + QByteArray(40, 0x01) + hex("FF") + hex("81FF") + hex("81090400FF"));
    QVERIFY(read(4 + 4 + 4));
    QCOMPARE(in, hex("906002FF") + hex("906002FF") + hex("905002FF"));
    QCOMPARE(RemoteRig::received(rig.hall).size(), 2);
    m_stillConnected.connectToHost(QHostAddress::LocalHost, rig.deskPorts.second);
    QVERIFY(m_stillConnected.waitForConnected(5000));
}

// Ports come from visca.ini and stay a camera's own; a camera that is gone answers
// "not executable"; a new camera gets the next default pair, written down.
void TestVisca::camerasKeepTheirPortsAndAnswerWhenAway()
{
    Rig &rig = *m_rig;
    QCOMPARE(rig.server.ports("SN/001")->udp, rig.deskPorts.first);
    QCOMPARE(rig.server.ports("SN002")->tcp, rig.hallPorts.second);
    QTRY_VERIFY_WITH_TIMEOUT(!rig.panel.isBusy(), 10000);
    // An unstopped move stops by itself (the move limit here is 2 s).
    rig.desk->clearReceived();
    QCOMPARE(rig.udp(header(0x0100, 9, 1) + hex("8101060101010301FF"), 2).size(), 2);
    QTRY_VERIFY_WITH_TIMEOUT(RemoteRig::received(rig.desk).filter(R"("PtzCmd":"Stop")").size() == 1, 10000);

    rig.sim.bus()->removeCamera(rig.hall);
    rig.hall = nullptr;
    const QList<QByteArray> away = rig.udp(header(0x0100, 5, 2) + hex("81010604FF"), 2, rig.hallPorts.first);
    QCOMPARE(away, (QList<QByteArray>{header(0x0111, 3, 2) + hex("9041FF"), header(0x0111, 4, 2) + hex("906141FF")}));

    ViscaPortTable table(rig.ini);
    QCOMPARE(table.entries().size(), 2);
    QCOMPARE(table.portsFor("SN003")->udp, ViscaPortTable::kFirstUdpPort);
    QCOMPARE(ViscaPortTable(rig.ini).find("SN003")->tcp, ViscaPortTable::kFirstTcpPort);
    QCOMPARE(ViscaPortTable(rig.ini).portsFor("SN004")->udp, quint16(ViscaPortTable::kFirstUdpPort + 1));
}

// Focus modes in each model's own codes; a visca.ini with unusable entries keeps the
// usable ones and says what it left out.
void TestVisca::modelsCodesAndBrokenTables()
{
    const ViscaCommandTranslator translator;
    const auto body = [&](const char *model) {
        return translator.translate(hex("8101043802FF"), "X", model).request->body;
    };
    QCOMPARE(body("RV-T782-KB"), QByteArray(R"({"key":"ucFocusMode","value":1})"));
    QCOMPARE(body("RV-K310A-WU"), QByteArray(R"({"key":"ucFocusMode","value":3})"));
    QCOMPARE(ViscaCommandTranslator::apiSpeed(0x18, 1, 0x18), 9);
    QCOMPARE(ViscaCommandTranslator::apiSpeed(1, 1, 0x17), 1);

    QTemporaryDir dir;
    QFile file(dir.filePath("visca.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Visca]\nMoveLimitMs=soon\n[Cameras]\nsize=4\n1\\Serial=A\n1\\Udp=6000\n1\\Tcp=6001\n"
               "2\\Serial=B\n2\\Udp=6000\n2\\Tcp=6002\n3\\Serial=C\n3\\Udp=70000\n3\\Tcp=6003\n"
               "4\\Udp=6004\n4\\Tcp=6005\n");
    file.close();
    const ViscaPortTable table(file.fileName());
    QCOMPARE(table.entries().size(), 1);
    QCOMPARE(table.find("A")->tcp, quint16(6001));
    QCOMPARE(table.problems().size(), 4);
    QCOMPARE(table.moveLimitMs(), ControlApiHandler::kRemoteMoveLimitMs);
}

QTEST_MAIN(TestVisca)
#include "test_visca.moc"
