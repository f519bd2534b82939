#include "camera_config_file.h"
#include "cli_runner.h"
#include "command_texts.h"
#include "log_manager.h"
#include "packet_cmd.h"
#include "simulated_camera.h"
#include "simulated_camera_bus.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
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
        // The CLI keeps a log file of its own beside the window's.
        QVERIFY(QFileInfo(LogManager::instance()->currentFilePath()).fileName().startsWith("Kestrane-cli_"));
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
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code"); // 1 refused, 2 the command line is wrong
        QTest::addColumn<QString>("message");
        const QString wu = "RV-K310A-WU";
        QTest::newRow("unknown key") << wu << QStringList{"set", "0", "NoSuchKey", "1"} << 1 << "unknown parameter: NoSuchKey";
        QTest::newRow("bad value") << wu << QStringList{"set", "0", "Luminance", "abc"} << 1 << "VALUE must be a JSON value";
        QTest::newRow("out of range") << wu << QStringList{"set", "0", "Luminance", "101"} << 1 << "out of range for Luminance";
        QTest::newRow("negative value") << wu << QStringList{"set", "0", "Luminance", "-5"} << 1 << "value -5 out of range";
        QTest::newRow("text value") << wu << QStringList{"set", "0", "Luminance", "\"7\""} << 1 << "must be an integer";
        QTest::newRow("not a code") << "RV-T782-KB" << QStringList{"set", "0", "lvdsFreq", "0"} << 1 << "out of range for lvdsFreq";
        QTest::newRow("ptz word") << wu << QStringList{"ptz", "0", "Jump"} << 1 << "PTZ command must be one of";
        QTest::newRow("bad json") << wu << QStringList{"raw", "0", "{oops"} << 1 << "JSON must be an object";
        QTest::newRow("bad index") << wu << QStringList{"get", "x"} << 2 << "invalid camera index: x";
        QTest::newRow("no such camera") << wu << QStringList{"get", "4"} << 1 << "no camera with index 4";
        QTest::newRow("unknown command") << wu << QStringList{"dance"} << 2 << "unknown command: dance";
        QTest::newRow("arity") << wu << QStringList{"ptz", "0"} << 2 << "usage:";
        QTest::newRow("unknown option") << wu << QStringList{"--dance", "list"} << 2 << "dance";
        QTest::newRow("unknown serial") << wu << QStringList{"--serial", "SN-NONE", "get"} << 1 << "no camera with serial SN-NONE";
        QTest::newRow("preset word") << wu << QStringList{"preset", "0", "jump", "1"} << 1 << "preset action must be call, set or delete";
        QTest::newRow("preset number") << wu << QStringList{"preset", "0", "set", "0"} << 1 << "preset number must be 1 to 255";
        QTest::newRow("import missing") << wu << QStringList{"import", "0", "/nonexistent/x.config"} << 1 << "cannot open";
        QTest::newRow("import not config") << wu << QStringList{"import", "0", QFINDTESTDATA("test_cli.cpp")} << 1
                                           << "is not a camera configuration file";
        QTest::newRow("upgrade missing") << wu << QStringList{"upgrade", "0", "/nonexistent/fw.dat"} << 1 << "cannot open";
    }
    // Every check happens before anything is sent, as through the control API.
    void failuresAreOneLineErrors()
    {
        QFETCH(QString, model);
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, message);
        std::unique_ptr<SimulatedCameraBus> bus(SimulatedCameraBus::install({model}, 0x2E7E));
        const Result r = cli(args);
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.startsWith("kestrane-cli: error: ") && r.err.contains(message), qPrintable(r.err));
        QCOMPARE(r.err.count('\n'), 1);
        for (const auto &request : bus->cameraAt(0)->receivedRequests())
            QVERIFY(request.cmd.isEmpty() || request.cmd.startsWith("ReqGet"));
        HidBackend::setActive(nullptr);
    }

    // The arrows' directions: "Up" is what the user sees as up on every model, "Left"
    // on the pan-reversed ones too; "raw:" sends the camera's own word.
    void ptzDirectionsFollowThePicture_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("sent");
        QTest::newRow("up, any model") << "RV-T782-KB" << "Up" << "Down";
        QTest::newRow("down") << "RV-K310A-WU" << "Down" << "Up";
        QTest::newRow("left, reversed pan") << "RV-K310A-WU" << "Left" << "Right";
        QTest::newRow("left, plain pan") << "RV-T782-KB" << "Left" << "Left";
        QTest::newRow("raw") << "RV-K310A-WU" << "raw:Left" << "Left";
        QTest::newRow("zoom") << "RV-K310A-WU" << "ZoomTele" << "ZoomTele";
    }
    void ptzDirectionsFollowThePicture()
    {
        QFETCH(QString, model);
        QFETCH(QString, command);
        QFETCH(QString, sent);
        std::unique_ptr<SimulatedCameraBus> bus(SimulatedCameraBus::install({model}, 0x2E7E));
        QCOMPARE(cli({"ptz", "0", command}).code, 0);
        QCOMPARE(bus->cameraAt(0)->lastRequest().payload, CommandTexts::ptzCtrl(sent));
        HidBackend::setActive(nullptr);
    }

    // --serial picks the camera; list --json; presets; a record exported from one
    // camera and imported into another arrives whole.
    void serialPresetsAndRecordRoundTrip()
    {
        std::unique_ptr<SimulatedCameraBus> bus(SimulatedCameraBus::install({"RV-K310A-WU", "RV-K310A-WU"}, 0x2E7E));
        SimulatedCamera *first = bus->cameraAt(0);
        SimulatedCamera *second = bus->cameraAt(1);
        Result r = cli({"list", "--json"});
        QCOMPARE(r.code, 0);
        const QJsonArray list = QJsonDocument::fromJson(r.out.toUtf8()).array();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list[1].toObject().value("serial").toString(), second->serial());
        QCOMPARE(list[1].toObject().value("buildDate").toString(), second->buildDate());

        QCOMPARE(cli({"--serial", second->serial(), "preset", "set", "4"}).code, 0);
        QCOMPARE(second->lastRequest().payload, CommandTexts::presetCtrl("Set", 4));
        QCOMPARE(cli({"--serial", second->serial(), "preset", "call", "4"}).code, 0);
        QCOMPARE(cli({"preset", "1", "delete", "4"}).code, 0);
        QCOMPARE(second->lastRequest().payload, CommandTexts::presetCtrl("Del", 4));
        for (const auto &request : first->receivedRequests())
            QCOMPARE(request.cmd, QString()); // identity requests only: they carry no text

        QTemporaryDir dir;
        const QString file = dir.filePath("cam.config");
        QCOMPARE(cli({"set", "0", "Luminance", "61"}).code, 0);
        QCOMPARE(cli({"set", "0", "language", "0"}).code, 0);
        r = cli({"--serial", first->serial(), "export", file});
        QCOMPARE(r.code, 0);
        QCOMPARE(QFileInfo(file).size(), qint64(3084));
        QVERIFY(second->videoParam("Luminance") != 61);
        second->clearReceived();
        r = cli({"import", "1", file});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(second->videoParam("Luminance"), 61);
        QCOMPARE(second->setting("language"), 0);
        QStringList cmds;
        for (const auto &request : second->receivedRequests())
            cmds << request.cmd;
        QVERIFY(cmds.contains("ReqSetHSVHueLut") && cmds.contains("ReqSetHSVStaLut"));

        // A value no control can send refuses the whole record before anything is sent.
        CameraConfigFile::ReadResult patched = CameraConfigFile::read(file);
        patched.params[CameraParams::Brightness] = 99999;
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(CameraConfigFile::encode(patched.params));
        out.close();
        second->clearReceived();
        r = cli({"import", "1", file});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("value 99999 out of range for Luminance"), qPrintable(r.err));
        for (const auto &request : second->receivedRequests())
            QVERIFY2(request.cmd.isEmpty() || request.cmd.startsWith("ReqGet"), qPrintable(request.cmd));
        HidBackend::setActive(nullptr);
    }

    // The upgrade succeeds only when the camera comes back with another build date.
    void upgradeVerifiesBuildDate_data()
    {
        QTest::addColumn<bool>("takes");
        QTest::newRow("new firmware") << true;
        QTest::newRow("old firmware") << false;
    }
    void upgradeVerifiesBuildDate()
    {
        QFETCH(bool, takes);
        std::unique_ptr<SimulatedCameraBus> bus(SimulatedCameraBus::install({"RV-K310A-WU"}, 0x2E7E));
        SimulatedCamera *camera = bus->cameraAt(0);
        camera->upgrade().setFlashMs(0);
        camera->setReturnDelayMs(200);
        camera->setUpgradeTakes(takes);
        QTemporaryDir dir;
        QFile firmware(dir.filePath("fw.dat"));
        QVERIFY(firmware.open(QIODevice::WriteOnly));
        firmware.write(QByteArray(1500000, 'f'));
        firmware.close();
        const Result r = cli({"upgrade", "0", firmware.fileName()});
        QCOMPARE(camera->reboots(), 1);
        if (takes) {
            QVERIFY2(r.code == 0, qPrintable(r.err));
            QVERIFY(r.out.contains("upgraded: build date 2024-06-18 -> " + camera->buildDate()));
        } else {
            QCOMPARE(r.code, 1);
            QVERIFY(r.err.contains("the build date did not change (2024-06-18)"));
        }
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
