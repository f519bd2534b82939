// OSC against simulated cameras: sent with liblo's own oscsend (a client nobody here
// wrote), and broken datagrams sent by hand.
#include "osc_server.h"
#include "remote_rig.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>

class TestOsc : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void messagesBecomeRequests_data();
    void messagesBecomeRequests();
    void brokenDatagramsAreRefused_data();
    void brokenDatagramsAreRefused();
    void peersOutsideTheListAreIgnored();

private:
    // Waits for the server's verdict on what was sent.
    int verdict(QSignalSpy &spy);

    std::unique_ptr<RemoteRig> m_rig;
    std::unique_ptr<OscServer> m_server;
};

void TestOsc::initTestCase()
{
    if (QStandardPaths::findExecutable("oscsend").isEmpty())
        QSKIP("oscsend (liblo-tools) is not installed");
    m_rig = std::make_unique<RemoteRig>();
    QVERIFY(m_rig->ready());
    m_server = std::make_unique<OscServer>(&m_rig->queue);
    QString error;
    QVERIFY2(m_server->start(0, RemotePeerPolicy(), &error), qPrintable(error));
}

void TestOsc::cleanupTestCase()
{
    m_server.reset();
    m_rig.reset();
}

int TestOsc::verdict(QSignalSpy &spy)
{
    if (spy.isEmpty() && !spy.wait(10000))
        return -1;
    return spy.first().at(1).toInt();
}

void TestOsc::messagesBecomeRequests_data()
{
    QTest::addColumn<QStringList>("message"); // address, types, values as oscsend takes them
    QTest::addColumn<int>("status");           // the API's; 0: refused before it
    QTest::addColumn<QString>("word");         // what the hall camera got last, if anything

    // The cameras pan the other way round than their words say, and tilt so.
    QTest::newRow("left, speed") << QStringList{"/kestrane/SN002/ptz/left", "i", "3"} << 200 << R"("PtzCmd":"Right")";
    QTest::newRow("index, float") << QStringList{"/kestrane/1/ptz/zoomin", "f", "1.0"} << 200 << R"("PtzCmd":"ZoomTele")";
    QTest::newRow("button let go") << QStringList{"/kestrane/1/ptz/zoomin", "f", "0.0"} << 200 << R"("PtzCmd":"ZoomStop")";
    QTest::newRow("home") << QStringList{"/kestrane/SN002/ptz/home"} << 200 << R"("PtzCmd":"Gohome")";
    QTest::newRow("focus far") << QStringList{"/kestrane/SN002/ptz/focusfar"} << 200 << R"("PtzCmd":"FocusFar")";
    QTest::newRow("preset") << QStringList{"/kestrane/SN002/preset/set", "i", "3"} << 200
                            << R"("PresetCmd": "Set","PresetID" : 3)";
    QTest::newRow("param") << QStringList{"/kestrane/SN002/param/Luminance", "i", "70"} << 200
                           << R"("VideoParam":{"Luminance":70})";
    QTest::newRow("delta") << QStringList{"/kestrane/SN002/param/Luminance/delta", "d", "-5"} << 200
                           << R"("VideoParam":{"Luminance":65})";
    QTest::newRow("out of range") << QStringList{"/kestrane/SN002/param/Luminance", "i", "101"} << 400 << QString();
    QTest::newRow("text value") << QStringList{"/kestrane/SN002/param/Luminance", "s", "7"} << 400 << QString();
    QTest::newRow("speed") << QStringList{"/kestrane/SN002/ptz/left", "i", "12"} << 400 << QString();
    QTest::newRow("preset 0") << QStringList{"/kestrane/SN002/preset/call", "i", "0"} << 400 << QString();
    QTest::newRow("preset word") << QStringList{"/kestrane/SN002/preset/add", "i", "2"} << 400 << QString();
    QTest::newRow("ptz word") << QStringList{"/kestrane/SN002/ptz/spin"} << 0 << QString();
    QTest::newRow("no camera") << QStringList{"/kestrane/SN404/ptz/stop"} << 0 << QString();
    QTest::newRow("other address") << QStringList{"/obs/scene", "i", "1"} << 0 << QString();
    QTest::newRow("arguments") << QStringList{"/kestrane/SN002/param/Luminance", "ii", "1", "2"} << 0 << QString();
    QTest::newRow("nil") << QStringList{"/kestrane/SN002/preset/call", "N"} << 0 << QString();
    QTest::newRow("select") << QStringList{"/kestrane/SN002/select"} << 200 << QString();
    QTest::newRow("active") << QStringList{"/kestrane/active/ptz/stop"} << 200 << R"("PtzCmd":"Stop")";
}

// Each message is the API's request, with the API's checks: what it refuses never
// reaches a camera.
void TestOsc::messagesBecomeRequests()
{
    QFETCH(QStringList, message);
    QFETCH(int, status);
    QFETCH(QString, word);
    RemoteRig &rig = *m_rig;
    QTRY_VERIFY_WITH_TIMEOUT(!rig.panel.isBusy(), 15000);
    rig.desk->clearReceived();
    rig.hall->clearReceived();
    QSignalSpy handled(m_server.get(), &OscServer::handled);
    QProcess oscsend;
    oscsend.start("oscsend", QStringList{"127.0.0.1", QString::number(m_server->port())} + message);
    QVERIFY(oscsend.waitForFinished(10000));
    QCOMPARE(oscsend.exitCode(), 0);
    QCOMPARE(verdict(handled), status);
    QCOMPARE(handled.first().at(0).toString(), message[0]);
    const QStringList got = RemoteRig::received(rig.hall);
    if (!word.isEmpty())
        QVERIFY2(!got.isEmpty() && got.last().contains(word), qPrintable(got.join('\n')));
    if (status != 200)
        QVERIFY2(got.filter("ReqSet").isEmpty() && got.filter("Ctrl").isEmpty(), qPrintable(got.join('\n')));
    QVERIFY(RemoteRig::received(rig.desk).filter("Ctrl").isEmpty());
}

void TestOsc::brokenDatagramsAreRefused_data()
{
    QTest::addColumn<QByteArray>("datagram");
    const QByteArray address("/kestrane/SN002/ptz/left\0\0\0\0", 28);
    QTest::newRow("garbage") << QByteArray("GET / HTTP/1.1\r\n\r\n");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("address without end") << QByteArray("/kestrane/SN002/ptz/left");
    QTest::newRow("argument missing") << address + QByteArray(",i\0\0", 4);
    QTest::newRow("string without end") << address + QByteArray(",s\0\0", 4) + QByteArray("abcd");
    QTest::newRow("bundle") << QByteArray("#bundle\0", 8) + QByteArray(8, 0) + QByteArray::fromHex("00000024") + address +
                                   QByteArray(",\0\0\0", 4);
    QTest::newRow("oversized") << address + QByteArray(",s\0\0", 4) + QByteArray(20000, 'a');
}

// What liblo cannot read as an OSC message is refused and logged; the camera gets
// nothing and the server goes on.
void TestOsc::brokenDatagramsAreRefused()
{
    QFETCH(QByteArray, datagram);
    RemoteRig &rig = *m_rig;
    QTRY_VERIFY_WITH_TIMEOUT(!rig.panel.isBusy(), 15000);
    rig.hall->clearReceived();
    QSignalSpy handled(m_server.get(), &OscServer::handled);
    QUdpSocket client;
    client.writeDatagram(datagram, QHostAddress::LocalHost, m_server->port());
    QCOMPARE(verdict(handled), 0);
    QVERIFY(RemoteRig::received(rig.hall).filter("Ctrl").isEmpty());
}

// Bound to every address, the server takes this computer's packets only while no
// other peer is allowed, and refuses a peer that is not listed.
void TestOsc::peersOutsideTheListAreIgnored()
{
    QString error;
    const std::optional<RemotePeerPolicy> local = RemotePeerPolicy::make("0.0.0.0", {"192.168.7.0/24", " 10.1.2.3"}, &error);
    QVERIFY2(local, qPrintable(error));
    QVERIFY(local->allows(QHostAddress("127.0.0.1")));
    QVERIFY(local->allows(QHostAddress("::ffff:192.168.7.40")));
    QVERIFY(local->allows(QHostAddress("10.1.2.3")));
    QVERIFY(!local->allows(QHostAddress("10.1.2.4")));
    QVERIFY(!local->allows(QHostAddress("192.168.8.1")));
    QVERIFY(!RemotePeerPolicy::make("127.0.0.1", {"example.org"}, &error));
    QVERIFY(error.contains("example.org"));
    QVERIFY(!RemotePeerPolicy::make("here", {}, &error));
    QVERIFY(RemotePeerPolicy().bindAddress().isLoopback());
}

QTEST_MAIN(TestOsc)
#include "test_osc.moc"
