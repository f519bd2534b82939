#include "cli_runner.h"
#include "log_manager.h"
#include "simulated_camera.h"
#include "simulated_camera_bus.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTextStream>

#include <memory>

namespace {
struct Result {
    int code;
    QString out;
    QString err;
};

Result cli(const QStringList &args)
{
    QString out, err;
    QTextStream o(&out), e(&err);
    const int code = CliRunner::run(QStringList{"kestrane-cli"} + args, o, e);
    o.flush();
    e.flush();
    return {code, out, err};
}
} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void listsSimulatedCameras()
    {
        const Result r = cli({"--simulate=RV-K310A-WU,RV-T782-KB", "list"});
        QCOMPARE(r.code, 0);
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[1].startsWith("0\t"));
        QVERIFY(lines[1].contains("\tRV-K310A-WU\t"));
        QVERIFY(lines[1].endsWith("\tB1"));
        QVERIFY(lines[2].contains("\tRV-T782-KB\t"));
        QVERIFY(lines[2].endsWith("\tC5"));
    }

    void getAndSetParameters()
    {
        Result r = cli({"--simulate", "get", "0"});
        QCOMPARE(r.code, 0);
        const QJsonObject doc = QJsonDocument::fromJson(r.out.toUtf8()).object();
        QVERIFY(doc.value("VideoParam").toObject().contains("Luminance"));
        QVERIFY(doc.value("Setting").toObject().contains("language"));

        SimulatedCameraBus *bus = SimulatedCameraBus::install({"RV-K310A-WU"}, 0x2E7E);
        std::unique_ptr<SimulatedCameraBus> owner(bus);
        r = cli({"set", "0", "Luminance", "72"});
        QCOMPARE(r.code, 0);
        QCOMPARE(bus->cameraAt(0)->videoParam("Luminance"), 72);
        QCOMPARE(bus->cameraAt(0)->lastRequest().text(),
                 QString(R"({"Cmd":"ReqSetVideoParam","wCmdId":40001090,"Content":{"ChanNum":0,"VideoParam":{"Luminance":72}}})"));
        r = cli({"set", "0", "language", "0"});
        QCOMPARE(r.code, 0);
        QCOMPARE(bus->cameraAt(0)->setting("language"), 0);
        QCOMPARE(cli({"ptz", "0", "Left"}).code, 0);
        QCOMPARE(bus->cameraAt(0)->lastRequest().cmd, QString("ReqPtzCtrl"));
        r = cli({"raw", "0", R"({"Cmd":"ReqGetFaceNames","Content":{}})"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains("FaceNames"));
        HidBackend::setActive(nullptr);
    }

    void failuresAreOneLineErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown key") << QStringList{"set", "0", "NoSuchKey", "1"} << "has no parameter or setting named NoSuchKey";
        QTest::newRow("bad value") << QStringList{"set", "0", "Luminance", "abc"} << "VALUE must be a JSON value";
        QTest::newRow("bad json") << QStringList{"raw", "0", "{oops"} << "JSON must be an object";
        QTest::newRow("bad index") << QStringList{"get", "x"} << "invalid camera index: x";
        QTest::newRow("no such camera") << QStringList{"get", "4"} << "no camera with index 4";
        QTest::newRow("unknown command") << QStringList{"dance"} << "unknown command: dance";
        QTest::newRow("arity") << QStringList{"ptz", "0"} << "usage:";
    }
    void failuresAreOneLineErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        std::unique_ptr<SimulatedCameraBus> bus(SimulatedCameraBus::install({"RV-K310A-WU"}, 0x2E7E));
        const Result r = cli(args);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.startsWith("kestrane-cli: error: ") && r.err.contains(message), qPrintable(r.err));
        QCOMPARE(r.err.count('\n'), 1);
        HidBackend::setActive(nullptr);
    }

    void cameraFaults()
    {
        std::unique_ptr<SimulatedCameraBus> bus(SimulatedCameraBus::install({"RV-K310A-WU"}, 0x2E7E));
        bus->cameraAt(0)->setFault(SimulatedCamera::Fault::NegativeResult);
        Result r = cli({"get", "0"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("refused the command (nResult -1)"));
        bus->cameraAt(0)->setFault(SimulatedCamera::Fault::MalformedJson);
        r = cli({"get", "0"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("unreadable reply"));
        HidBackend::setActive(nullptr);

        QCOMPARE(cli({"--vendor-id", "zz", "list"}).code, 2);
    }

    void silentCamera()
    {
        // One silent camera costs one 3000 ms read for its identity and one per command.
        std::unique_ptr<SimulatedCameraBus> bus(SimulatedCameraBus::install({"RV-K310A-WU"}, 0x2E7E));
        bus->cameraAt(0)->setFault(SimulatedCamera::Fault::Silent);
        const Result r = cli({"ptz", "0", "Stop"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("camera 0 did not answer"));
        HidBackend::setActive(nullptr);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
