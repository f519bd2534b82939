#include "camera_config_file.h"
#include "cli_runner.h"
#include "control_api_endpoint.h"
#include "control_api_server.h"
#include "control_api_settings.h"
#include "panel_api_backend.h"
#include "param_page_set.h"
#include "builtin_param_pages.h"
#include "packet_cmd.h"
#include "preset_shortcuts.h"
#include "ptz_area.h"
#include "sim_fixture.h"
#include "firmware_upgrade.h"
#include "log_capture.h"
#include "simulated_clock.h"
#include "watchdog.h"
#include "startup_window.h"
#include "device_selection_window.h"
#include "widget.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>
#include <QTextStream>

namespace {
struct Answer {
    int status = 0;
    QJsonObject body;
    QByteArray retryAfter;
};

// The control panel with two simulated cameras and the API serving it on a free port
// of 127.0.0.1.
struct Rig {
    SimFixture sim;
    SimulatedCamera *desk = sim.add("RV-K310A-WU", "Desk", "SN/001");
    SimulatedCamera *hall = sim.add("RV-K310A-WU", "Hall", "SN002");
    Widget panel;
    ControlApiServer server{std::make_unique<PanelApiBackend>([this] { return &panel; })};
    QNetworkAccessManager network;

    Rig()
    {
        network.setProxy(QNetworkProxy::NoProxy);
        ControlApiSettings settings;
        settings.port = 0;
        QString error;
        if (!server.start(settings, &error))
            qFatal("%s", qPrintable(error));
    }

    QNetworkReply *send(const QByteArray &verb, const QString &path, const QByteArray &body = QByteArray(),
                        const QByteArray &token = QByteArray())
    {
        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server.port()).arg(path)));
        if (!token.isEmpty())
            request.setRawHeader("Authorization", "Bearer " + token);
        return network.sendCustomRequest(request, verb, body);
    }
    static Answer wait(QNetworkReply *reply)
    {
        if (!reply->isFinished()) {
            QSignalSpy finished(reply, &QNetworkReply::finished);
            finished.wait(60000);
        }
        Answer answer{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                      QJsonDocument::fromJson(reply->readAll()).object(), reply->rawHeader("Retry-After")};
        reply->deleteLater();
        return answer;
    }
    Answer call(const QByteArray &verb, const QString &path, const QByteArray &body = QByteArray())
    {
        return wait(send(verb, path, body));
    }
};

QStringList commands(SimulatedCamera *camera)
{
    QStringList texts;
    for (const SimulatedCamera::ReceivedRequest &r : camera->receivedRequests())
        texts << (r.cmd.isEmpty() ? QString::number(r.cmdId) : r.text());
    return texts;
}
} // namespace

class TestControlApi : public QObject {
    Q_OBJECT
private slots:
    void init();
    void requestsAreCheckedBeforeAnythingIsSent_data();
    void requestsAreCheckedBeforeAnythingIsSent();
    void valuesProfilesAndSelection();
    void requestMidRefreshWaitsForIt();
    void tokenGuardsOtherAddresses();
    void cliHandsOffToTheGui();
    void upgradeHoldsTheApiAndRestartsTheUpgradedCamera();
    void severalSeriesAreAnsweredAtOnce();

private:
    std::unique_ptr<Rig> m_tableRig; // one panel for all rows of the table
};

void TestControlApi::init()
{
    if (QByteArray(QTest::currentTestFunction()) != "requestsAreCheckedBeforeAnythingIsSent")
        m_tableRig.reset();
}

void TestControlApi::requestsAreCheckedBeforeAnythingIsSent_data()
{
    QTest::addColumn<QByteArray>("verb");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("result"); // error text part, or the request the camera got

    const QString params = "/api/v1/cameras/SN%2F001/params";
    const QString ptz = "/api/v1/cameras/SN%2F001/ptz";
    const QString preset = "/api/v1/cameras/SN%2F001/preset";
    QTest::newRow("set") << QByteArray("POST") << params << QByteArray(R"({"key":"Luminance","value":70})") << 200
                         << R"("VideoParam":{"Luminance":70})";
    QTest::newRow("set a setting") << QByteArray("POST") << params << QByteArray(R"({"key":"language","value":1})")
                                   << 200 << R"({"Cmd":"ReqSetSetting","Content":{"language":1}})";
    // The desk camera pans the other way round than its words say; every model tilts so.
    QTest::newRow("ptz left") << QByteArray("POST") << ptz << QByteArray(R"({"command":"Left","speed":3})") << 200
                              << R"("PtzCmd":"Right")";
    QTest::newRow("ptz up") << QByteArray("POST") << ptz << QByteArray(R"({"command":"Up"})") << 200
                            << R"("PtzCmd":"Down")";
    QTest::newRow("ptz raw") << QByteArray("POST") << ptz << QByteArray(R"({"command":"Left","raw":true})") << 200
                             << R"("PtzCmd":"Left")";
    QTest::newRow("ptz speed") << QByteArray("POST") << ptz << QByteArray(R"({"command":"Left","speed":12})") << 400
                               << "speed must be";
    QTest::newRow("stop for a time") << QByteArray("POST") << ptz
                                     << QByteArray(R"({"command":"Stop","durationMs":500})") << 400 << "goes with a move";
    QTest::newRow("delta") << QByteArray("POST") << params << QByteArray(R"({"key":"Luminance","delta":-5})") << 200
                           << R"("VideoParam":{"Luminance":)";
    QTest::newRow("value and delta") << QByteArray("POST") << params
                                     << QByteArray(R"({"key":"Luminance","value":5,"delta":5})") << 400 << "either";
    QTest::newRow("no active camera") << QByteArray("POST") << "/api/v1/cameras/active/ptz"
                                      << QByteArray(R"({"command":"Stop"})") << 404 << "no camera is active";
    QTest::newRow("preset") << QByteArray("POST") << preset << QByteArray(R"({"action":"set","preset":3})") << 200
                            << R"("PresetCmd": "Set","PresetID" : 3)";
    QTest::newRow("bad JSON") << QByteArray("POST") << params << QByteArray(R"({"key":"Lumi)") << 400 << "not JSON";
    QTest::newRow("not an object") << QByteArray("POST") << params << QByteArray("[1]") << 400 << "JSON object";
    QTest::newRow("unknown member") << QByteArray("POST") << params
                                    << QByteArray(R"({"key":"Luminance","value":1,"speed":2})") << 400
                                    << "unknown member: speed";
    QTest::newRow("missing member") << QByteArray("POST") << params << QByteArray(R"({"key":"Luminance"})") << 400
                                    << "missing member: value";
    QTest::newRow("unknown key") << QByteArray("POST") << params << QByteArray(R"({"key":"Nope","value":1})")
                                 << 400 << "unknown parameter: Nope";
    QTest::newRow("out of range") << QByteArray("POST") << params
                                  << QByteArray(R"({"key":"Luminance","value":101})") << 400 << "out of range";
    QTest::newRow("not a code") << QByteArray("POST") << params
                                << QByteArray(R"({"key":"uiMShutterSpeed","value":7777})") << 400 << "out of range";
    QTest::newRow("fraction") << QByteArray("POST") << params << QByteArray(R"({"key":"Luminance","value":1.5})")
                              << 400 << "integer";
    QTest::newRow("text value") << QByteArray("POST") << params << QByteArray(R"({"key":"Luminance","value":"7"})")
                                << 400 << "integer";
    QTest::newRow("ptz word") << QByteArray("POST") << ptz << QByteArray(R"({"command":"Spin"})") << 400
                              << "command must be";
    QTest::newRow("preset 0") << QByteArray("POST") << preset << QByteArray(R"({"action":"call","preset":0})")
                              << 400 << "preset must be";
    QTest::newRow("preset word") << QByteArray("POST") << preset << QByteArray(R"({"action":"add","preset":2})")
                                 << 400 << "action must be";
    QTest::newRow("profile") << QByteArray("POST") << "/api/v1/cameras/SN%2F001/profile"
                             << QByteArray(R"({"config":"wN4SNA=="})") << 400 << "configuration file";
    QTest::newRow("unknown camera") << QByteArray("POST") << "/api/v1/cameras/SN001/ptz"
                                    << QByteArray(R"({"command":"Left"})") << 404 << "no camera with serial SN001";
    QTest::newRow("method") << QByteArray("DELETE") << ptz << QByteArray() << 405 << "method";
    QTest::newRow("path") << QByteArray("GET") << "/api/v2/cameras" << QByteArray() << 404 << "/api/v1";
    QTest::newRow("body too large") << QByteArray("POST") << ptz << QByteArray(70 * 1024, ' ') << 413 << "large";
}

// Over a real socket: good requests reach the camera through the panel's sender,
// bad ones are answered 4xx with a JSON error and send nothing.
void TestControlApi::requestsAreCheckedBeforeAnythingIsSent()
{
    QFETCH(QByteArray, verb);
    QFETCH(QString, path);
    QFETCH(QByteArray, body);
    QFETCH(int, status);
    QFETCH(QString, result);
    if (!m_tableRig)
        m_tableRig = std::make_unique<Rig>();
    Rig &rig = *m_tableRig;
    QTRY_VERIFY_WITH_TIMEOUT(!rig.panel.isBusy(), 10000);
    rig.desk->clearReceived();
    rig.hall->clearReceived();

    const Answer answer = rig.call(verb, path, body);
    QCOMPARE(answer.status, status);
    if (status == 200) {
        QCOMPARE(answer.body.value("ok").toBool(), true);
        const QStringList sent = commands(rig.desk);
        QVERIFY(!sent.isEmpty());
        QVERIFY2(sent.last().contains(result), qPrintable(sent.last()));
        for (const QString &before : sent.mid(0, sent.size() - 1)) // a step reads the value first
            QVERIFY2(!before.contains("ReqSet"), qPrintable(before));
    } else {
        QVERIFY2(answer.body.value("error").toString().contains(result),
                 qPrintable(answer.body.value("error").toString()));
        QVERIFY(commands(rig.desk).isEmpty());
    }
    QVERIFY(commands(rig.hall).isEmpty());
}

// Reading back, the panel following a value sent to its camera, profiles from one
// camera to another, and selecting a camera.
void TestControlApi::valuesProfilesAndSelection()
{
    Rig rig;
    QTRY_VERIFY_WITH_TIMEOUT(!rig.panel.isBusy(), 10000);
    const Answer list = rig.call("GET", "/api/v1/cameras");
    QCOMPARE(list.status, 200);
    QCOMPARE(list.body.value("cameras").toArray().size(), 2);
    QCOMPARE(list.body.value("cameras")[1].toObject()["serial"].toString(), QString("SN002"));
    QCOMPARE(rig.panel.currentSerial(), QString());

    QCOMPARE(rig.call("POST", "/api/v1/cameras/SN002/select").status, 200);
    QCOMPARE(rig.panel.currentSerial(), QString("SN002"));
    QNetworkReply *events = rig.send("GET", "/api/v1/events");
    QByteArray stream;
    connect(events, &QNetworkReply::readyRead, this, [&] { stream += events->readAll(); });
    QTRY_COMPARE(events->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
    QCOMPARE(rig.call("POST", "/api/v1/cameras/SN002/params", R"({"key":"Luminance","value":80})").status, 200);
    QTRY_VERIFY(stream.contains(R"(data: {"event":"parameter","key":"Luminance","serial":"SN002","value":80})"));
    events->abort();
    events->deleteLater();
    QCOMPARE(rig.panel.paramPages()->pages()->control("Luminance")->value(), 30);
    QCOMPARE(rig.call("GET", "/api/v1/cameras/SN002/params/Luminance").body,
             QJsonObject({{"key", "Luminance"}, {"value", 80}}));
    QCOMPARE(rig.call("GET", "/api/v1/cameras/SN002/params").body["VideoParam"].toObject()["Luminance"].toInt(), 80);

    const Answer exported = rig.call("GET", "/api/v1/cameras/SN002/profile");
    QCOMPARE(exported.status, 200);
    CameraParams record;
    QCOMPARE(CameraConfigFile::decode(QByteArray::fromBase64(exported.body["config"].toString().toLatin1()), record),
             CameraConfigFile::Status::Ok);
    QCOMPARE(record[CameraParams::Brightness], 80);
    rig.desk->clearReceived();
    const QByteArray import = QJsonDocument(exported.body).toJson(); // as exported, "serial" included
    QCOMPARE(rig.call("POST", "/api/v1/cameras/SN%2F001/profile", import).status, 200);
    QCOMPARE(rig.desk->videoParam("Luminance"), 80);
    QCOMPARE(rig.desk->overlappingRequests(), 0);

    // A patched profile is refused whole, before anything is set.
    record[CameraParams::Brightness] = 99999;
    rig.desk->clearReceived();
    const Answer refused = rig.call("POST", "/api/v1/cameras/SN%2F001/profile",
                                    QJsonDocument(QJsonObject{{"config", QString::fromLatin1(CameraConfigFile::encode(record).toBase64())}}).toJson());
    QCOMPARE(refused.status, 400);
    QVERIFY2(refused.body["error"].toString().contains("value 99999 out of range for Luminance"),
             qPrintable(refused.body["error"].toString()));
    for (const QString &command : commands(rig.desk))
        QVERIFY2(!command.contains("ReqSet"), qPrintable(command));

    // The active camera by its alias; a timed move stops by itself; a step from the
    // value the panel shows; named presets.
    QCOMPARE(rig.call("GET", "/api/v1/cameras/active").body["serial"].toString(), QString("SN002"));
    rig.hall->clearReceived();
    QCOMPARE(rig.call("POST", "/api/v1/cameras/active/ptz", R"({"command":"ZoomTele","durationMs":100})").status, 200);
    QTRY_COMPARE(commands(rig.hall).value(1), QString(R"({"Cmd":"ReqPtzCtrl","Content":{"PtzCmd":"ZoomStop"}})"));
    rig.hall->clearReceived();
    QCOMPARE(rig.call("POST", "/api/v1/cameras/active/params", R"({"key":"Luminance","delta":30})").body["value"].toInt(), 100);
    QCOMPARE(commands(rig.hall).size(), 1); // read from the panel, clamped to the range
    QCOMPARE(rig.call("GET", "/api/v1/cameras/active/params/Luminance").body["value"].toInt(), 100);
    QCOMPARE(commands(rig.hall).size(), 1);
    {
        // The camera's long replies come in pieces: a piece is no JSON error.
        LogCapture log;
        QCOMPARE(rig.call("GET", "/api/v1/cameras/active/params/Luminance?fresh=1").body["value"].toInt(), 100);
        QVERIFY(commands(rig.hall).size() > 1);
        QVERIFY(log.contains("[RECEIVED] Raw JSON data"));
        QVERIFY2(!log.contains("JSON解析错误"), qPrintable(log.text().right(2000)));
    }
    rig.panel.ptzPanel()->shortcuts()->setPresetName(1, "Pulpit");
    QCOMPARE(rig.call("GET", "/api/v1/cameras/active/presets").body["presets"].toArray(),
             QJsonArray({QJsonObject{{"preset", 2}, {"name", "Pulpit"}}}));
}

// Requests that arrive while the panel refreshes wait for the refresh to end; the
// camera sees whole exchanges, the refresh's first.
void TestControlApi::requestMidRefreshWaitsForIt()
{
    Rig rig;
    QTRY_VERIFY_WITH_TIMEOUT(!rig.panel.isBusy(), 10000);
    bool refreshed = false;
    connect(&rig.panel, &Widget::deviceListRefreshed, this, [&] { refreshed = true; });
    rig.desk->clearReceived();
    rig.panel.refreshButton()->click();
    QVERIFY(rig.panel.isRefreshing());
    QNetworkReply *reply = rig.send("POST", "/api/v1/cameras/SN%2F001/ptz", R"({"command":"Up"})");
    bool answeredAfterRefresh = false;
    connect(reply, &QNetworkReply::finished, this, [&] { answeredAfterRefresh = refreshed; });
    // A client that gives up while waiting gets nothing sent for it.
    QNetworkReply *gone = rig.send("POST", "/api/v1/cameras/SN%2F001/ptz", R"({"command":"Down"})");
    QTRY_VERIFY(rig.server.waiting() == 2);
    gone->abort();
    gone->deleteLater();
    QCOMPARE(Rig::wait(reply).status, 200);
    QVERIFY(answeredAfterRefresh);
    QCOMPARE(commands(rig.desk), QStringList({QString::number(CmdGetDeviceInfo), R"({"Cmd":"ReqPtzCtrl","Content":{"PtzCmd":"Down"}})"}));
    QCOMPARE(rig.desk->overlappingRequests(), 0);
}

// Off loopback the API needs its token; web pages are refused everywhere.
void TestControlApi::tokenGuardsOtherAddresses()
{
    Rig rig;
    for (const auto &[name, value] : {std::pair<QByteArray, QByteArray>{"Origin", "http://example.org"},
                                      {"Host", "cameras.example.org:8723"}}) {
        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1/api/v1").arg(rig.server.port())));
        request.setRawHeader(name, value);
        QCOMPARE(Rig::wait(rig.network.get(request)).status, 403);
    }

    ControlApiServer open(std::make_unique<PanelApiBackend>([&rig] { return &rig.panel; }));
    ControlApiSettings settings;
    settings.address = "0.0.0.0";
    settings.port = 0;
    QString error;
    QVERIFY(!open.start(settings, &error));
    QVERIFY2(error.contains("Token"), qPrintable(error));

    settings.token = "s3cret-s3cret-16";
    ControlApiServer guarded(std::make_unique<PanelApiBackend>([&rig] { return &rig.panel; }));
    QVERIFY2(guarded.start(settings, &error), qPrintable(error));
    const auto status = [&](const QByteArray &token) {
        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1/api/v1").arg(guarded.port())));
        if (!token.isEmpty())
            request.setRawHeader("Authorization", token);
        return Rig::wait(rig.network.get(request)).status;
    };
    QCOMPARE(status(""), 401);
    QCOMPARE(status("Bearer s3cret-s3cret-1"), 401);
    QCOMPARE(status("Bearer s3cret-s3cret-16"), 200);
}

// With the GUI serving the API, kestrane-cli goes through it and opens nothing
// itself; what only it does directly is refused.
void TestControlApi::cliHandsOffToTheGui()
{
    Rig rig;
    QTRY_VERIFY_WITH_TIMEOUT(!rig.panel.isBusy(), 10000);
    QVERIFY(ControlApiEndpoint::read().has_value());
    rig.desk->clearReceived();
    rig.hall->clearReceived();
    const QString file = rig.sim.appDir() + "/hall.config";
    const auto cli = [](const QStringList &args, QString *output = nullptr) {
        QString out, err;
        QTextStream o(&out), e(&err);
        const int code = CliRunner::run(QStringList{"kestrane-cli"} + args, o, e);
        o.flush();
        e.flush();
        if (output)
            *output = out + err;
        return code;
    };
    QString output;
    QCOMPARE(cli({"--json", "list"}, &output), 0);
    QCOMPARE(QJsonDocument::fromJson(output.toUtf8()).array()[0].toObject()["serial"].toString(), QString("SN/001"));
    QCOMPARE(cli({"set", "0", "Contrast", "61"}), 0);
    QCOMPARE(cli({"--serial", "SN/001", "preset", "set", "2"}), 0);
    QCOMPARE(cli({"--serial", "SN002", "export", file}), 0);
    QCOMPARE(QFile(file).size(), qint64(CameraConfigFile::kFileSize));
    QCOMPARE(cli({"import", "0", file}), 0);
    QCOMPARE(cli({"set", "0", "Contrast", "500"}, &output), 1);
    QVERIFY2(output.contains("control panel: value 500 out of range"), qPrintable(output));
    QCOMPARE(cli({"raw", "0", "{}"}, &output), 1);
    QVERIFY2(output.contains("control API"), qPrintable(output));

    QVERIFY(commands(rig.desk).contains(R"({"Cmd":"ReqSetVideoParam","wCmdId":40001090,"Content":{"ChanNum":0,"VideoParam":{"Contrast":61}}})"));
    QVERIFY(commands(rig.desk).contains(R"({"Cmd": "ReqPresetCtrl","Content" : {"PresetCmd": "Set","PresetID" : 2,"PresetName" : "Preset2"}})"));
    // The CLI never asked a camera for its identity: it opened none.
    QVERIFY(!commands(rig.desk).contains(QString::number(CmdGetDeviceInfo)));
    QVERIFY(!commands(rig.hall).contains(QString::number(CmdGetDeviceInfo)));
    QCOMPARE(rig.desk->overlappingRequests() + rig.hall->overlappingRequests(), 0);
}


// While a firmware upgrade's restart prompt is open, what would reach a camera or
// change the selection is refused at once; the restart goes to the upgraded camera;
// the check's notice, asked for while the restarted camera's identity is read, waits
// until the read is over, so a refresh in its loop cannot close the connection under
// the read.
void TestControlApi::upgradeHoldsTheApiAndRestartsTheUpgradedCamera()
{
    Watchdog watchdog(120000);
    Rig rig;
    QTRY_VERIFY_WITH_TIMEOUT(!rig.panel.isBusy(), 10000);
    QVERIFY(rig.panel.activateCamera("SN/001"));
    FirmwareUpgrade *upgrade = rig.panel.firmwareUpgrade();
    upgrade->setSleeper([](int ms) { SimulatedClock::advance(ms); });
    upgrade->setRebootDelays(300, 0);
    rig.desk->upgrade().setFlashMs(0);
    rig.desk->setReturnDelayMs(100);
    rig.hall->clearReceived();

    QList<Answer> duringPrompt;
    bool noticeShown = false;
    MessageBoxes::setTestResponder([&](const MessageBoxRequest &box) {
        if (box.hasButton("重启")) {
            duringPrompt << rig.call("POST", "/api/v1/cameras/SN002/select")
                         << rig.call("POST", "/api/v1/cameras/SN002/params", R"({"key":"Luminance","value":80})")
                         << rig.call("GET", "/api/v1/cameras");
            return box.buttonIndex("重启");
        }
        if (box.kind == MessageBoxRequest::TimedNotice) {
            // The user lets the notice run out while the device list refreshes.
            noticeShown = true;
            rig.panel.handleRefresh();
            QTest::qWait(50);
        }
        return int(QMessageBox::Ok);
    });
    QTemporaryDir files;
    const QString path = files.path() + "/fw.dat";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(5000, 'f')) == 5000);
    file.close();
    QCOMPARE(upgrade->startFirmwareUpgrade(path), FirmwareUpgrade::Outcome::Rebooting);

    QCOMPARE(duringPrompt.size(), 3);
    for (int i : {0, 1}) {
        QCOMPARE(duringPrompt[i].status, 503);
        QVERIFY(!duringPrompt[i].retryAfter.isEmpty());
    }
    QCOMPARE(duringPrompt[2].status, 200);
    QCOMPARE(rig.panel.currentSerial(), QString("SN/001"));
    QVERIFY(commands(rig.hall).isEmpty());
    QVERIFY(commands(rig.desk).contains(QString::number(CmdReboot)));
    QTRY_VERIFY_WITH_TIMEOUT(noticeShown, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(!upgrade->isUpgrading() && !rig.panel.isBusy(), 20000);
    QCOMPARE(rig.call("POST", "/api/v1/cameras/SN002/select").status, 200);
}

// With cameras of several series the panel opens only when the user chooses one: the
// API says so at once instead of letting requests wait for it.
void TestControlApi::severalSeriesAreAnsweredAtOnce()
{
    SimFixture sim;
    sim.add("RV-K310A-WU", "Bee", "SN001");
    sim.add("RV-T782-KB", "Sea", "SN002");
    StartupWindow boot;
    const auto backend = [&boot] {
        return std::make_unique<PanelApiBackend>([&boot] { return boot.controlPanel(); },
                                                 [&boot] { return boot.isChoosingSeries(); });
    };
    ControlApiServer server(backend());
    ControlApiSettings settings;
    settings.port = 0;
    QString error;
    QVERIFY2(server.start(settings, &error), qPrintable(error));
    boot.show();
    QTRY_VERIFY_WITH_TIMEOUT(boot.isChoosingSeries(), 10000);
    QNetworkAccessManager network;
    network.setProxy(QNetworkProxy::NoProxy);
    QElapsedTimer answeredIn;
    answeredIn.start();
    const Answer answer = Rig::wait(network.sendCustomRequest(
        QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/api/v1/cameras/SN001/ptz").arg(server.port()))), "POST",
        R"({"command":"Stop"})"));
    QCOMPARE(answer.status, 503);
    QVERIFY2(answer.body["error"].toString().contains("series selection"), qPrintable(answer.body["error"].toString()));
    QVERIFY(!answer.retryAfter.isEmpty());
    QVERIFY(answeredIn.elapsed() < ControlApiServer::kMaxWaitMs / 2);
    boot.onConnectClicked();
    emit boot.selectionWindow()->deviceSelected("C5");
    QTRY_VERIFY(boot.controlPanel() != nullptr);
    QVERIFY(!boot.isChoosingSeries());
    Widget *panel = boot.controlPanel();
    QObject::disconnect(panel, &QObject::destroyed, &boot, nullptr); // the test goes on
    delete panel;
}


QTEST_MAIN(TestControlApi)
#include "test_control_api.moc"
