// Firmware upgrade: the firmware directory file, the whole run against a simulated
// camera through the panel's button, and every way a run can end, with a scripted
// camera link where the simulated camera cannot produce the situation.
#include "file_dialogs.h"
#include "video_inputs.h"
#include "param_control.h"
#include "builtin_param_pages.h"
#include "firmware_upgrade.h"
#include "log_capture.h"
#include "packet_cmd.h"
#include "sim_fixture.h"
#include "simulated_clock.h"
#include "widget.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <cstring>
#include <memory>

namespace {
constexpr int kMiB = 1048576;

QByteArray firmware(int size)
{
    QByteArray data(size, '\0');
    quint32 x = 0x12345678u;
    for (int i = 0; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        data[i] = char(x >> 24);
    }
    return data;
}

QString writeFile(const QString &dir, const QString &name, const QByteArray &data)
{
    const QString path = QDir(dir).filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        return QString();
    return path;
}

QByteArray statusReply(int status, int progress)
{
    return QJsonDocument(QJsonObject{{"UpdateStatus", status}, {"Progress", progress}, {"Content", QJsonObject{{"nResult", 0}}}})
        .toJson(QJsonDocument::Compact);
}

QList<SimulatedCamera::ReceivedRequest> requests(SimulatedCamera *camera, quint32 cmdId)
{
    QList<SimulatedCamera::ReceivedRequest> found;
    for (const SimulatedCamera::ReceivedRequest &r : camera->receivedRequests())
        if (r.cmdId == cmdId)
            found << r;
    return found;
}

QStringList boxTexts(const QList<MessageBoxRequest> &boxes)
{
    QStringList texts;
    for (const MessageBoxRequest &b : boxes)
        texts << b.title + "/" + b.text;
    return texts;
}

// The control panel on one simulated camera, with the file dialog answered and the
// poll wait turned into a step of the cameras' clock.
struct Panel {
    SimFixture sim;
    SimulatedCamera *camera;
    std::unique_ptr<Widget> w;
    QString chosenFile;
    QList<FileDialogs::Request> dialogs;
    QStringList labels;
    QList<int> values;
    int sleeps = 0;

    explicit Panel(const QString &model = "RV-K310A-WU")
    {
        camera = sim.add(model, "Cam", "SN123");
        FileDialogs::setTestResponder([this](const FileDialogs::Request &r) {
            dialogs << r;
            return chosenFile;
        });
        w = std::make_unique<Widget>();
        w->onDeviceDoubleClicked(w->deviceItem(0), 0);
        camera->clearReceived();
        upgrade()->setSleeper([this](int ms) {
            ++sleeps;
            SimulatedClock::advance(ms);
        });
        QObject::connect(upgrade(), &FirmwareUpgrade::stageChanged, upgrade(), [this](const QString &label) {
            labels << label;
            values << (upgrade()->upgradeDialog() ? upgrade()->upgradeDialog()->value() : -1);
        });
    }
    ~Panel() { FileDialogs::setTestResponder({}); }
    FirmwareUpgrade *upgrade() const { return w->firmwareUpgrade(); }
};

// A camera link answering from a script; an empty reply entry fails the exchange.
struct ScriptedCamera {
    QList<QPair<quint32, int>> sent; // packet id and length of each exchange
    QList<QByteArray> dataReplies;
    QList<QByteArray> statusReplies;
    QByteArray repeatStatus;            // answers every status query once the list is used up
    QByteArray requestReply = R"({"Content":{"nResult":0}})";
    QByteArray rebootReply = R"({"Content":{"nResult":0}})";
    QList<bool> holds; // other traffic held back, released
    int stops = 0;
    int starts = 0;
    int refreshes = 0;

    static bool fill(const QByteArray &r, char *reply, int capacity)
    {
        if (r.isEmpty())
            return false;
        const QByteArray text = r.left(capacity - 1);
        memcpy(reply, text.constData(), size_t(text.size()));
        reply[text.size()] = '\0';
        return true;
    }

    FirmwareUpgrade::Link link()
    {
        FirmwareUpgrade::Link l;
        l.sendCmd = [this](quint32 cmdId, const void *, int length, char *reply, int capacity) {
            sent.append({cmdId, length});
            if (cmdId == CmdUpgradeRequest)
                return fill(requestReply, reply, capacity);
            if (cmdId == CmdReboot)
                return fill(rebootReply, reply, capacity);
            if (!statusReplies.isEmpty())
                return fill(statusReplies.takeFirst(), reply, capacity);
            return fill(repeatStatus, reply, capacity);
        };
        l.sendData = [this](quint32 cmdId, const char *, int length, char *reply, int capacity) {
            sent.append({cmdId, length});
            return fill(dataReplies.isEmpty() ? QByteArray() : dataReplies.takeFirst(), reply, capacity);
        };
        l.stopDetection = [this] { ++stops; };
        l.startDetection = [this] { ++starts; };
        l.refreshDevices = [this] { ++refreshes; };
        l.holdTraffic = [this](bool hold) { holds << hold; };
        return l;
    }
    int count(quint32 cmdId) const
    {
        int n = 0;
        for (const auto &s : sent)
            n += s.first == cmdId;
        return n;
    }
};

// A scripted run: the boxes it showed are in `sim.boxes` (no camera needed).
struct ScriptedRun {
    SimFixture sim; // answers the boxes, provides an application directory
    ScriptedCamera camera;
    QWidget panel;
    std::unique_ptr<FirmwareUpgrade> upgrade;
    int sleeps = 0;
    ScriptedRun()
    {
        upgrade = std::make_unique<FirmwareUpgrade>(camera.link(), &panel);
        upgrade->setParent(nullptr);
        upgrade->setSleeper([this](int) { ++sleeps; });
    }
};
} // namespace

class TestFirmwareUpgrade : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("QT_QPA_PLATFORM", "offscreen"); }

    // ---- firmware directory ---------------------------------------------------------

    void firmwareDirectoryIsRememberedBesideTheExecutable()
    {
        SimFixture sim;
        QCOMPARE(FirmwareUpgrade::loadFirmwareDir(), sim.appDir()); // nothing saved yet

        QTemporaryDir other;
        FirmwareUpgrade::saveFirmwareDir(other.path());
        QCOMPARE(FirmwareUpgrade::loadFirmwareDir(), other.path());
        QSettings ini(QDir(sim.appDir()).filePath("update_path.ini"), QSettings::IniFormat);
        QCOMPARE(ini.value("FirmwarePath").toString(), other.path());

        FirmwareUpgrade::saveFirmwareDir(other.path() + "/deleted");
        QCOMPARE(FirmwareUpgrade::loadFirmwareDir(), sim.appDir());
    }

    // ---- the whole run on a simulated camera ----------------------------------------

    void buttonUpgradesTheCameraInMegabyteBlocksAndRestartsIt_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("restart clicked") << 0; // the box's only button
        QTest::newRow("box closed") << MessageBoxes::kCloseWithoutButton;
    }
    void buttonUpgradesTheCameraInMegabyteBlocksAndRestartsIt()
    {
        QFETCH(int, answer);
        LogCapture log;
        Panel p;
        p.sim.answer = answer;
        p.camera->upgrade().setFlashMs(3000);
        QTemporaryDir files;
        const QByteArray data = firmware(2 * kMiB + kMiB / 2);
        p.chosenFile = writeFile(files.path(), "fw.dat", data);
        p.upgrade()->setRebootDelays(0, 0);
        QSignalSpy refreshed(p.w.get(), &Widget::deviceListRefreshed);

        p.w->upgradeButton()->click();

        // The chooser: its texts, the directory it opened in, the directory remembered.
        QCOMPARE(p.dialogs.size(), 1);
        QCOMPARE(p.dialogs[0].caption, QString("选择固件文件"));
        QCOMPARE(p.dialogs[0].filter, QString("固件文件 (*.dat)"));
        QCOMPARE(p.dialogs[0].directory, p.sim.appDir());
        QVERIFY(!p.dialogs[0].styleSheet.isEmpty());
        QCOMPARE(FirmwareUpgrade::loadFirmwareDir(), files.path());

        // What the camera got: the request, three blocks in 1000-byte packets, status
        // queries and the restart, in this order.
        const auto all = p.camera->receivedRequests();
        QVERIFY(all.size() >= 5);
        QCOMPARE(all[0].cmdId, quint32(CmdUpgradeRequest));
        QCOMPARE(all[0].payload, QByteArray("{\"FileType\": 2, \"FileSize\": 2621440}"));
        const QList<int> sizes{kMiB, kMiB, kMiB / 2};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(all[1 + i].cmdId, quint32(CmdUpgradeData));
            QCOMPARE(all[1 + i].payloadSize, sizes[i]);
            QCOMPARE(all[1 + i].packets, (sizes[i] + 999) / 1000);
        }
        QCOMPARE(p.camera->upgrade().image(), data);
        for (int i = 4; i < all.size() - 1; ++i)
            QCOMPARE(all[i].cmdId, quint32(CmdGetUpgradeStatus));
        QCOMPARE(all.last().cmdId, quint32(CmdReboot));
        QCOMPARE(all.last().payloadSize, 0);
        // Flashing takes three camera seconds: three waits, four queries.
        QCOMPARE(requests(p.camera, CmdGetUpgradeStatus).size(), 4);
        QCOMPARE(p.sleeps, 3);

        // What the user saw.
        QCOMPARE(p.labels.mid(0, 5), (QStringList{"正在请求升级...", "正在发送固件数据...", "已发送: 1 / 2 MB (20%)",
                                                  "已发送: 2 / 2 MB (40%)", "已发送: 2 / 2 MB (50%)"}));
        QCOMPARE(p.labels[5], QString("等待升级完成..."));
        QCOMPARE(p.labels.last(), QString("升级中... (100%)"));
        QCOMPARE(p.values.last(), 100);
        QVERIFY(!p.upgrade()->upgradeDialog());
        QCOMPARE(p.sim.boxes.size(), 1);
        const MessageBoxRequest &box = p.sim.boxes[0];
        QCOMPARE(box.title, QString("升级完成"));
        QCOMPARE(box.text, QString("固件升级已完成，请点击重启按钮重启设备"));
        QCOMPARE(box.buttons, QStringList{"重启"});
        QCOMPARE(box.defaultButton, QString("重启"));

        QVERIFY(log.contains("请求升级成功 1048576"));
        QVERIFY(log.contains("请求升级成功 524288"));
        QVERIFY(log.contains("升级状态: 2"));
        QVERIFY(log.contains("发送设备重启命令..."));

        // The camera restarts into the new image and the list is read again.
        QTRY_COMPARE_WITH_TIMEOUT(p.camera->reboots(), 1, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(refreshed.count() >= 1, 5000);
    }

    // After the restart the camera is identified again and its build date compared.
    void buildDateIsCheckedAfterTheRestart_data()
    {
        QTest::addColumn<bool>("takes");
        QTest::newRow("new firmware") << true;
        QTest::newRow("old firmware") << false;
    }
    void buildDateIsCheckedAfterTheRestart()
    {
        QFETCH(bool, takes);
        Panel p;
        p.camera->upgrade().setFlashMs(0);
        p.camera->setReturnDelayMs(100);
        p.camera->setUpgradeTakes(takes);
        p.upgrade()->setRebootDelays(300, 0);
        QSignalSpy verified(p.upgrade(), &FirmwareUpgrade::firmwareVerified);
        QTemporaryDir files;
        QCOMPARE(p.upgrade()->startFirmwareUpgrade(writeFile(files.path(), "fw.dat", firmware(5000))),
                 FirmwareUpgrade::Outcome::Rebooting);
        QVERIFY(p.upgrade()->verificationPending());
        QTRY_COMPARE_WITH_TIMEOUT(verified.count(), 1, 10000);
        QCOMPARE(verified.first().first().toBool(), takes);
        const QString notice = boxTexts(p.sim.boxes).last();
        QVERIFY2(notice.startsWith(takes ? "固件校验/固件已更新: 版本日期 2024-06-18 → " : "固件校验/固件版本日期未改变 (2024-06-18)"),
                 qPrintable(notice));
    }

    void pollingWaitsForTheCameraInRealTime()
    {
        Panel p;
        p.upgrade()->setSleeper([](int ms) { QThread::msleep(quint64(ms)); });
        p.camera->upgrade().setFlashMs(1200);
        QTemporaryDir files;
        QElapsedTimer t;
        t.start();
        QCOMPARE(p.upgrade()->startFirmwareUpgrade(writeFile(files.path(), "fw.dat", firmware(5000))),
                 FirmwareUpgrade::Outcome::Rebooting);
        QVERIFY(t.elapsed() >= 1000);
        QCOMPARE(requests(p.camera, CmdGetUpgradeStatus).size(), 3); // 0 s, 1 s, 2 s
        QCOMPARE(requests(p.camera, CmdReboot).size(), 1);
    }

    void cancellingTheFileChooserDoesNothing()
    {
        Panel p;
        p.chosenFile.clear();
        p.w->upgradeButton()->click();
        QCOMPARE(p.dialogs.size(), 1);
        QVERIFY(p.camera->receivedRequests().isEmpty());
        QVERIFY(p.sim.boxes.isEmpty());
        QVERIFY(p.labels.isEmpty());
        QVERIFY(!QFile::exists(QDir(p.sim.appDir()).filePath("update_path.ini")));
    }

    // ---- cancelling -----------------------------------------------------------------

    void cancellingAfterTheFirstBlockStopsBeforeTheSecond()
    {
        Panel p;
        QObject::connect(p.upgrade(), &FirmwareUpgrade::stageChanged, p.upgrade(), [&p](const QString &label) {
            if (label.startsWith("已发送: 1"))
                p.upgrade()->upgradeDialog()->cancel();
        });
        QTemporaryDir files;
        const auto outcome = p.upgrade()->startFirmwareUpgrade(writeFile(files.path(), "fw.dat", firmware(3 * kMiB)));
        QCOMPARE(outcome, FirmwareUpgrade::Outcome::Cancelled);
        QCOMPARE(requests(p.camera, CmdUpgradeData).size(), 1);
        QCOMPARE(requests(p.camera, CmdGetUpgradeStatus).size(), 0);
        QCOMPARE(requests(p.camera, CmdReboot).size(), 0);
        QCOMPARE(boxTexts(p.sim.boxes), QStringList{"升级结果/升级已取消"});
        QVERIFY(!p.upgrade()->upgradeDialog());
    }

    void cancellingWhilePollingLeavesTheCameraAlone()
    {
        Panel p;
        p.camera->upgrade().setFlashMs(60000);
        QObject::connect(p.upgrade(), &FirmwareUpgrade::stageChanged, p.upgrade(), [&p](const QString &label) {
            if (label.startsWith("升级中"))
                p.upgrade()->upgradeDialog()->cancel();
        });
        QTemporaryDir files;
        const auto outcome = p.upgrade()->startFirmwareUpgrade(writeFile(files.path(), "fw.dat", firmware(4000)));
        QCOMPARE(outcome, FirmwareUpgrade::Outcome::Unfinished);
        QCOMPARE(requests(p.camera, CmdGetUpgradeStatus).size(), 1);
        QCOMPARE(requests(p.camera, CmdReboot).size(), 0);
        QCOMPARE(boxTexts(p.sim.boxes), QStringList{"升级结果/升级未完成"});
    }

    // Ways out half-way (the file shrinks after the first block, the user cancels after
    // the last one) leave the cameras free.
    void runsEndingHalfWayFreeTheCameras()
    {
        for (const bool shrink : {true, false}) {
            Panel p;
            QTemporaryDir files;
            const QString path = writeFile(files.path(), "fw.dat", firmware(3 * kMiB));
            const auto shrinkOrCancel = [&](const QString &label) {
                if (label.startsWith(shrink ? "已发送: 1 /" : "已发送: 3 /"))
                    shrink ? void(QFile::resize(path, kMiB)) : p.upgrade()->upgradeDialog()->cancel();
            };
            QObject::connect(p.upgrade(), &FirmwareUpgrade::stageChanged, p.upgrade(), shrinkOrCancel);
            QCOMPARE(p.upgrade()->startFirmwareUpgrade(path),
                     shrink ? FirmwareUpgrade::Outcome::Failed : FirmwareUpgrade::Outcome::Cancelled);
            QCOMPARE(boxTexts(p.sim.boxes),
                     QStringList{shrink ? "升级失败/读取固件文件失败" : "升级结果/升级已取消"});
            QCOMPARE(requests(p.camera, CmdUpgradeData).size(), shrink ? 1 : 3);
            QCOMPARE(requests(p.camera, CmdGetUpgradeStatus).size(), 0);
            QVERIFY(p.w->sendVideoParam("Luminance", "61"));
        }
    }

    // From the request to the end of the run the camera gets the upgrade's requests
    // only: the preview's orientation probe, a slider's pending value, the colour
    // tables' re-read and a device-list refresh all wait for the end or are refused.
    void nothingElseReachesTheCameraWhileTheRunLasts()
    {
        Panel p("RV-K311E-FZ"); // built-in pages, answers the orientation probe
        VideoInputs::setProvider([] { return QList<VideoInput>{{"id-a", "Cam-123", false}}; });
        p.w->show();
        p.w->previewToggle()->click();
        QVERIFY(p.w->preview()->directionTimer());
        p.upgrade()->setSleeper([](int ms) { QThread::msleep(quint64(ms)); });
        p.camera->upgrade().setFlashMs(60000);
        QSignalSpy refreshed(p.w.get(), &Widget::deviceListRefreshed);
        // A second into polling a refresh is asked for, and the user cancels.
        const auto refreshAndCancel = [&p](const QString &label) {
            if (label.startsWith("升级中") && requests(p.camera, CmdGetUpgradeStatus).size() == 2) {
                p.w->handleRefresh();
                p.upgrade()->upgradeDialog()->cancel();
            }
        };
        QObject::connect(p.upgrade(), &FirmwareUpgrade::stageChanged, p.upgrade(), refreshAndCancel);
        // Just before: a slider moved (sent 100 ms later), a tone (tables re-read 800 ms later).
        p.w->paramPages()->control("Luminance")->slider.slider->setValue(20);
        p.w->paramPages()->control("u8Yellow")->slider.slider->setValue(5);
        p.camera->clearReceived();
        LogCapture log;
        QTemporaryDir files;
        QCOMPARE(p.upgrade()->startFirmwareUpgrade(writeFile(files.path(), "fw.dat", firmware(4000))),
                 FirmwareUpgrade::Outcome::Unfinished);
        for (const SimulatedCamera::ReceivedRequest &r : p.camera->receivedRequests())
            QVERIFY2(r.cmdId == CmdUpgradeRequest || r.cmdId == CmdUpgradeData ||
                         r.cmdId == CmdGetUpgradeStatus,
                     qPrintable(QString::number(r.cmdId) + " " + r.text()));
        QCOMPARE(requests(p.camera, CmdGetUpgradeStatus).size(), 2);
        QVERIFY(log.contains("固件升级进行中，设备0的命令40001089未发送")); // the tables' re-read
        QCOMPARE(refreshed.count(), 0);
        // Then the held value goes out, the probe runs again, the list is refreshed.
        QVERIFY(p.w->preview()->directionTimer()->isActive());
        QTRY_COMPARE(p.camera->videoParam("Luminance"), 70);
        QTRY_COMPARE_WITH_TIMEOUT(refreshed.count(), 1, 5000);
        VideoInputs::setProvider({});
    }

    // ---- failures on the simulated camera -------------------------------------------

    void cameraFaultsStopTheRun_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<bool>("afterFirstBlock");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<int>("blocks");
        QTest::newRow("refused request") << int(SimulatedCamera::Fault::NegativeResult) << false
                                         << QStringList{"请求升级/请求升级失败", "升级失败/请求升级失败"} << 0;
        QTest::newRow("silent camera") << int(SimulatedCamera::Fault::Silent) << false
                                       << QStringList{"请求升级/请求升级失败", "升级失败/请求升级失败"} << 0;
        QTest::newRow("silent after a block") << int(SimulatedCamera::Fault::Silent) << true
                                              << QStringList{"请求升级/发送固件失败", "升级失败/发送固件数据失败"} << 2;
        QTest::newRow("garbled block reply") << int(SimulatedCamera::Fault::MalformedJson) << true
                                             << QStringList{"升级失败/发送固件数据失败"} << 2;
    }
    void cameraFaultsStopTheRun()
    {
        QFETCH(int, fault);
        QFETCH(bool, afterFirstBlock);
        QFETCH(QStringList, boxes);
        QFETCH(int, blocks);
        Panel p;
        if (afterFirstBlock) {
            QObject::connect(p.upgrade(), &FirmwareUpgrade::stageChanged, p.upgrade(), [&](const QString &label) {
                if (label.startsWith("已发送: 1"))
                    p.camera->setFault(SimulatedCamera::Fault(fault));
            });
        } else {
            p.camera->setFault(SimulatedCamera::Fault(fault));
        }
        QTemporaryDir files;
        const auto outcome = p.upgrade()->startFirmwareUpgrade(writeFile(files.path(), "fw.dat", firmware(3 * kMiB)));
        QCOMPARE(outcome, FirmwareUpgrade::Outcome::Failed);
        QCOMPARE(boxTexts(p.sim.boxes), boxes);
        QCOMPARE(requests(p.camera, CmdUpgradeData).size(), blocks);
        QCOMPARE(requests(p.camera, CmdGetUpgradeStatus).size(), 0);
        QCOMPARE(requests(p.camera, CmdReboot).size(), 0);
        QVERIFY(!p.upgrade()->upgradeDialog());
    }

    // ---- failures and edges with a scripted camera ----------------------------------

    void filesThatCannotBeSentAreRefusedBeforeAnythingIsSent_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("box");
        QTest::newRow("missing") << "missing" << "错误/无法打开固件文件";
        QTest::newRow("directory") << "directory" << "错误/无法打开固件文件";
        QTest::newRow("empty") << "empty" << "错误/固件文件为空";
        QTest::newRow("2 GiB") << "huge" << "错误/固件文件过大";
    }
    void filesThatCannotBeSentAreRefusedBeforeAnythingIsSent()
    {
        QFETCH(QString, kind);
        QFETCH(QString, box);
        ScriptedRun run;
        QTemporaryDir files;
        QString path = QDir(files.path()).filePath("fw.dat");
        if (kind == "directory") {
            path = files.path();
        } else if (kind == "empty") {
            writeFile(files.path(), "fw.dat", QByteArray());
        } else if (kind == "huge") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            if (!f.resize(qint64(FirmwareUpgrade::kMaxFileSize) + 1))
                QSKIP("no sparse files here");
        }
        QCOMPARE(run.upgrade->startFirmwareUpgrade(path), FirmwareUpgrade::Outcome::Failed);
        QCOMPARE(boxTexts(run.sim.boxes), QStringList{box});
        QVERIFY(run.camera.sent.isEmpty());
        QCOMPARE(run.camera.stops, 1);
        QCOMPARE(run.camera.starts, 1);
        QVERIFY(!run.upgrade->upgradeDialog());
    }

    void exchangeFailuresShowBothBoxes_data()
    {
        QTest::addColumn<QByteArray>("requestReply");
        QTest::addColumn<QList<QByteArray>>("dataReplies");
        QTest::addColumn<QList<QByteArray>>("statusReplies");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("record");
        const QByteArray busy = statusReply(1, 50);
        QTest::newRow("request fails") << QByteArray() << QList<QByteArray>{} << QList<QByteArray>{}
                                       << QStringList{"请求升级/请求升级失败", "升级失败/请求升级失败"} << QString();
        QTest::newRow("request refused") << QByteArray(R"({"Content":{"nResult":-1}})") << QList<QByteArray>{}
                                         << QList<QByteArray>{}
                                         << QStringList{"请求升级/请求升级失败", "升级失败/请求升级失败"} << QString();
        QTest::newRow("block fails") << QByteArray("{}") << QList<QByteArray>{} << QList<QByteArray>{}
                                     << QStringList{"请求升级/发送固件失败", "升级失败/发送固件数据失败"} << QString();
        QTest::newRow("block reply not JSON")
            << QByteArray("{}") << QList<QByteArray>{"{oops"} << QList<QByteArray>{}
            << QStringList{"升级失败/发送固件数据失败"} << QString("JSON解析错误:");
        QTest::newRow("block reply not an object")
            << QByteArray("{}") << QList<QByteArray>{"[1,2]"} << QList<QByteArray>{}
            << QStringList{"升级失败/发送固件数据失败"} << QString("升级发数据返回内容解析失败");
        QTest::newRow("block refused")
            << QByteArray("{}")
            << QList<QByteArray>{R"({"UpdateStatus":1,"Progress":10,"Content":{"nResult":-3}})"}
            << QList<QByteArray>{} << QStringList{"升级失败/发送固件数据失败"} << QString("nResult: -3");
        QTest::newRow("status refused")
            << QByteArray("{}") << QList<QByteArray>{busy}
            << QList<QByteArray>{R"({"UpdateStatus":1,"Progress":60,"Content":{"nResult":-2}})"}
            << QStringList{"升级失败/获取升级状态失败"} << QString("nResult: -2");
        QTest::newRow("status fails") << QByteArray("{}") << QList<QByteArray>{busy} << QList<QByteArray>{}
                                      << QStringList{"请求升级/获取状态失败", "升级失败/获取升级状态失败"} << QString();
        QTest::newRow("status not an object")
            << QByteArray("{}") << QList<QByteArray>{busy} << QList<QByteArray>{"[3]"}
            << QStringList{"升级失败/获取升级状态失败"} << QString("获取升级状态返回内容解析失败");
    }
    void exchangeFailuresShowBothBoxes()
    {
        QFETCH(QByteArray, requestReply);
        QFETCH(QList<QByteArray>, dataReplies);
        QFETCH(QList<QByteArray>, statusReplies);
        QFETCH(QStringList, boxes);
        QFETCH(QString, record);
        LogCapture log;
        ScriptedRun run;
        run.camera.requestReply = requestReply;
        run.camera.dataReplies = dataReplies;
        run.camera.statusReplies = statusReplies;
        QTemporaryDir files;
        QCOMPARE(run.upgrade->startFirmwareUpgrade(writeFile(files.path(), "fw.dat", firmware(100))),
                 FirmwareUpgrade::Outcome::Failed);
        QCOMPARE(boxTexts(run.sim.boxes), boxes);
        QCOMPARE(run.camera.count(CmdReboot), 0);
        QCOMPARE(run.camera.starts, 1);
        QCOMPARE(run.camera.holds, QList<bool>({true, false}));
        QVERIFY(!run.upgrade->upgradeDialog());
        if (!record.isEmpty())
            QVERIFY2(log.contains(record), qPrintable(log.text()));
    }

    void cameraThatNeverCompletesIsAskedAtMost301Times()
    {
        ScriptedRun run;
        run.camera.dataReplies = {statusReply(1, 50)};
        run.camera.repeatStatus = statusReply(1, 77);
        QTemporaryDir files;
        QCOMPARE(run.upgrade->startFirmwareUpgrade(writeFile(files.path(), "fw.dat", firmware(100))),
                 FirmwareUpgrade::Outcome::Failed);
        QCOMPARE(run.camera.count(CmdGetUpgradeStatus), 301);
        QCOMPARE(run.sleeps, 301);
        QCOMPARE(boxTexts(run.sim.boxes), QStringList{"升级失败/升级超时"});
        QCOMPARE(run.camera.count(CmdReboot), 0);
        QCOMPARE(run.camera.starts, 1);
    }

    void completionWithTheLastBlockSkipsPolling()
    {
        ScriptedRun run;
        run.camera.dataReplies = {statusReply(1, 25), statusReply(2, 100)};
        QTemporaryDir files;
        QCOMPARE(run.upgrade->startFirmwareUpgrade(writeFile(files.path(), "fw.dat", firmware(kMiB + 1))),
                 FirmwareUpgrade::Outcome::Rebooting);
        QCOMPARE(run.camera.count(CmdUpgradeData), 2);
        QCOMPARE(run.camera.count(CmdGetUpgradeStatus), 0);
        QCOMPARE(run.camera.count(CmdReboot), 1);
        QCOMPARE(run.sim.boxes.size(), 1);
        QCOMPARE(run.sim.boxes[0].title, QString("升级完成"));
        QCOMPARE(run.camera.stops, 1);
        QCOMPARE(run.camera.starts, 1);
    }

    void progressDialogIsWindowModalAndBlocksASecondRun()
    {
        ScriptedRun run;
        run.camera.dataReplies = {statusReply(2, 100)};
        QTemporaryDir files;
        const QString path = writeFile(files.path(), "fw.dat", firmware(10));
        bool checked = false;
        QObject::connect(run.upgrade.get(), &FirmwareUpgrade::stageChanged, run.upgrade.get(), [&](const QString &) {
            if (checked)
                return;
            checked = true;
            QProgressDialog *dialog = run.upgrade->upgradeDialog();
            QVERIFY(dialog);
            QCOMPARE(dialog->parentWidget(), &run.panel);
            QCOMPARE(dialog->windowModality(), Qt::WindowModal);
            QCOMPARE(dialog->minimum(), 0);
            QCOMPARE(dialog->maximum(), 100);
            QVERIFY(!dialog->autoReset());
            QVERIFY(!dialog->autoClose());
            QCOMPARE(dialog->labelText(), QString("正在请求升级..."));
            QStringList captions;
            for (QPushButton *b : dialog->findChildren<QPushButton *>())
                captions << b->text();
            QCOMPARE(captions, QStringList{"取消"});
            QCOMPARE(run.camera.stops, 1);
            QCOMPARE(run.camera.starts, 0);
            QCOMPARE(run.upgrade->startFirmwareUpgrade(path), FirmwareUpgrade::Outcome::Busy);
        });
        QCOMPARE(run.upgrade->startFirmwareUpgrade(path), FirmwareUpgrade::Outcome::Rebooting);
        QVERIFY(checked);
        QCOMPARE(run.camera.count(CmdUpgradeRequest), 1);
        QCOMPARE(run.camera.stops, 1);
        QCOMPARE(run.camera.starts, 1);
    }

    void restartRefreshesTheListAndClosesThePreview()
    {
        ScriptedRun run;
        run.camera.dataReplies = {statusReply(2, 100)};
        QWidget preview;
        preview.show();
        FirmwareUpgrade::Link link = run.camera.link();
        link.previewWindow = [&preview]() -> QWidget * { return &preview; };
        FirmwareUpgrade upgrade(link, &run.panel);
        upgrade.setRebootDelays(30, 10);
        QTemporaryDir files;
        QCOMPARE(upgrade.startFirmwareUpgrade(writeFile(files.path(), "fw.dat", firmware(10))),
                 FirmwareUpgrade::Outcome::Rebooting);
        QCOMPARE(run.camera.refreshes, 0);
        QVERIFY(preview.isVisible());
        QTRY_VERIFY(!preview.isVisible());
        QTRY_COMPARE(run.camera.refreshes, 1);
    }

    void restartFailureIsReportedWithoutRefresh_data()
    {
        QTest::addColumn<QByteArray>("rebootReply");
        QTest::newRow("no answer") << QByteArray();
        QTest::newRow("refused") << QByteArray(R"({"Content":{"nResult":-1}})");
    }
    void restartFailureIsReportedWithoutRefresh()
    {
        QFETCH(QByteArray, rebootReply);
        ScriptedRun run;
        run.camera.dataReplies = {statusReply(2, 100)};
        run.camera.rebootReply = rebootReply;
        run.upgrade->setRebootDelays(0, 0);
        QTemporaryDir files;
        QCOMPARE(run.upgrade->startFirmwareUpgrade(writeFile(files.path(), "fw.dat", firmware(10))),
                 FirmwareUpgrade::Outcome::RebootFailed);
        QCOMPARE(boxTexts(run.sim.boxes), (QStringList{"升级完成/固件升级已完成，请点击重启按钮重启设备", "重启设备/设备重启失败"}));
        QTest::qWait(50);
        QCOMPARE(run.camera.refreshes, 0);
        QCOMPARE(run.camera.starts, 1);
    }
};

QTEST_MAIN(TestFirmwareUpgrade)
#include "test_firmware_upgrade.moc"
