// Fault drills: the real control panel against simulated cameras that misbehave in
// the middle of each flow. For every drill: no crash (the suite runs under the
// sanitizers), no GUI stall beyond the tool's own time-outs, nothing sent to a camera
// the user did not address, no file left half-written, and once the cameras behave
// again the next refresh lists them all and the addressed camera answers.
// Each drill prints the longest time the GUI thread was kept from its event loop.
#include "camera_config_file.h"
#include "camera_window.h"
#include "device_rename_editor.h"
#include "device_sender.h"
#include "file_dialogs.h"
#include "firmware_upgrade.h"
#include "gui_stall_meter.h"
#include "packet_cmd.h"
#include "sim_fixture.h"
#include "simulated_clock.h"
#include "simulated_video.h"
#include "widget.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using Fault = SimulatedCamera::Fault;
Q_DECLARE_METATYPE(SimulatedCamera::Fault)

namespace {
const QStringList kModels = {"RV-K310A-WU", "RV-T782-KB", "RV-K311E-FZ", "RV-K310A-WU"};

int countCmd(SimulatedCamera *cam, const QString &cmd)
{
    int n = 0;
    for (const auto &r : cam->receivedRequests())
        n += r.cmd == cmd;
    return n;
}

// Requests each camera has received so far, leaving out the identity queries every
// refresh sends to all of them.
QList<int> received(const QList<SimulatedCamera *> &cameras)
{
    QList<int> counts;
    for (SimulatedCamera *c : cameras) {
        int n = 0;
        for (const auto &r : c->receivedRequests())
            n += r.cmdId != CmdGetDeviceInfo;
        counts << n;
    }
    return counts;
}
} // namespace

class TestFaultDrills : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<SimFixture> m_sim;
    QList<SimulatedCamera *> m_cameras;
    std::unique_ptr<Widget> m_panel;

    void setUpCameras(int count)
    {
        m_sim = std::make_unique<SimFixture>();
        m_sim->answer = QMessageBox::Ok;
        m_cameras.clear();
        for (int i = 0; i < count; ++i) {
            SimulatedCamera *c = m_sim->add(kModels[i], QStringLiteral("Cam%1").arg(i), QStringLiteral("SN00%1").arg(i));
            c->setReturnDelayMs(200);
            m_cameras << c;
        }
        m_panel = std::make_unique<Widget>();
        m_panel->show();
        waitForList();
        QCOMPARE(m_panel->connectedCount(), count);
    }

    void waitForList()
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_panel->refreshButton()->isEnabled(), 15000);
    }

    void activate(int slot)
    {
        QTreeWidgetItem *item = m_panel->deviceItem(slot);
        QVERIFY(item);
        m_panel->onDeviceDoubleClicked(item, 0);
    }

    static void report(const char *drill, GuiStallMeter &meter)
    {
        std::printf("DRILL %-38s longest GUI stall %6lld ms, in total %6lld ms\n", drill,
                    static_cast<long long>(meter.longestMs()), static_cast<long long>(meter.totalMs()));
        std::fflush(stdout);
    }

    // Every camera well and back, one refresh: all listed, and `slot` answers again.
    void recovers(int slot)
    {
        for (SimulatedCamera *c : m_cameras) {
            c->setFault(Fault::None);
            c->plugIn();
        }
        SimulatedClock::advance(10000);
        waitForList();
        m_panel->handleRefresh();
        waitForList();
        QCOMPARE(m_panel->connectedCount(), int(m_cameras.size()));
        SimulatedCamera *cam = m_cameras[slot];
        const int before = countCmd(cam, "ReqGetVideoParam");
        activate(slot);
        QCOMPARE(m_panel->currentIndex(), slot);
        QCOMPARE(countCmd(cam, "ReqGetVideoParam"), before + 1);
        QVERIFY(m_panel->builtInPage()->isVisible() || panelKindForModel(cam->model()) != PanelKind::BuiltIn);
        // No half-written file beside the executable: only the tool's own files.
        for (const QString &name : QDir(m_sim->appDir()).entryList(QDir::Files))
            QVERIFY2(name == "device_names.ini" || name == "update_path.ini", qPrintable(name));
    }

    void tearDown()
    {
        m_panel.reset();
        SimulatedVideo::uninstall();
        FileDialogs::setTestResponder({});
        m_cameras.clear();
        m_sim.reset();
    }

private slots:
    void cleanup() { tearDown(); }

    // One camera of four misbehaves while the user activates it.
    void activation_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::newRow("silent") << Fault::Silent;
        QTest::newRow("garbage") << Fault::Garbage;
        QTest::newRow("malformed JSON") << Fault::MalformedJson;
        QTest::newRow("negative nResult") << Fault::NegativeResult;
        QTest::newRow("endless packets") << Fault::Endless;
        QTest::newRow("oversized length") << Fault::OversizedLength;
        QTest::newRow("unplugged mid-exchange") << Fault::DisconnectMidReply;
        QTest::newRow("late replies") << Fault::Slow;
        QTest::newRow("write errors") << Fault::WriteError;
    }
    void activation()
    {
        QFETCH(Fault, fault);
        setUpCameras(4);
        SimulatedCamera *odd = m_cameras[2];
        odd->setSlowReplyMs(DeviceSender::kReadTimeoutMs + 500);
        odd->setFault(fault);
        const QList<int> before = received(m_cameras);
        GuiStallMeter meter;
        activate(2);
        const qint64 stall = meter.longestMs();
        report(qPrintable(QStringLiteral("activation: ") + QTest::currentDataTag()), meter);
        // One time-out at most: a camera that does not answer ends the activation.
        QVERIFY2(stall < DeviceSender::kReadTimeoutMs + 2000, qPrintable(QString::number(stall)));
        const QList<int> after = received(m_cameras);
        for (int i : {0, 1, 3})
            QCOMPARE(after[i], before[i]);
        recovers(2);
    }

    // Refresh while one of four cameras misbehaves: the others are still listed.
    void refresh_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::newRow("silent") << Fault::Silent;
        QTest::newRow("garbage") << Fault::Garbage;
        QTest::newRow("endless packets") << Fault::Endless;
        QTest::newRow("unplugged mid-exchange") << Fault::DisconnectMidReply;
        QTest::newRow("late replies") << Fault::Slow;
    }
    void refresh()
    {
        QFETCH(Fault, fault);
        setUpCameras(4);
        activate(0);
        SimulatedCamera *odd = m_cameras[3];
        odd->setSlowReplyMs(DeviceSender::kReadTimeoutMs + 500);
        odd->setFault(fault);
        GuiStallMeter meter;
        m_panel->handleRefresh();
        const qint64 stall = meter.longestMs();
        waitForList();
        report(qPrintable(QStringLiteral("refresh: ") + QTest::currentDataTag()), meter);
        QVERIFY2(stall < DeviceSender::kReadTimeoutMs + 4000, qPrintable(QString::number(stall)));
        for (int slot : {0, 1, 2})
            QVERIFY(m_panel->deviceItem(slot));
        recovers(0);
    }

    // The user changes a setting on the active camera; the camera refuses everything.
    void negativeResultOnEverySend()
    {
        setUpCameras(2);
        activate(1);
        m_cameras[1]->setFault(Fault::NegativeResult);
        const QList<int> before = received(m_cameras);
        GuiStallMeter meter;
        m_panel->sendVideoParam("Luminance", "70");
        m_panel->refreshCameraParams(1);
        m_panel->onImageResetClicked();
        report("negative nResult on every send", meter);
        QCOMPARE(received(m_cameras)[0], before[0]);
        QVERIFY(received(m_cameras)[1] > before[1]);
        recovers(1);
    }

    // A camera reboots (the reset menu's restart) while its preview is open.
    void rebootWithPreviewOpen()
    {
        setUpCameras(2);
        SimulatedVideo::install(m_sim->bus());
        activate(0);
        m_panel->previewToggle()->click();
        QTRY_VERIFY(m_panel->cameraWindow() && m_panel->cameraWindow()->isVisible());
        const int other = received(m_cameras)[1];
        GuiStallMeter meter;
        m_cameras[0]->setReturnDelayMs(1500);
        m_panel->onRebootClicked();
        QTRY_COMPARE_WITH_TIMEOUT(m_cameras[0]->reboots(), 1, 5000);
        // The orientation probe keeps running against a camera that is away.
        QTest::qWait(2500);
        report("reboot with the preview open", meter);
        QVERIFY(meter.longestMs() < DeviceSender::kReadTimeoutMs + 2000);
        QCOMPARE(received(m_cameras)[1], other);
        recovers(0);
    }

    // The camera falls silent while its preview is open: the orientation probe must
    // not keep the window frozen, one time-out after another.
    void silentWithPreviewOpen()
    {
        setUpCameras(2);
        SimulatedVideo::install(m_sim->bus());
        activate(0);
        m_panel->previewToggle()->click();
        QTRY_VERIFY(m_panel->cameraWindow() && m_panel->cameraWindow()->isVisible());
        const int other = received(m_cameras)[1];
        GuiStallMeter meter;
        m_cameras[0]->setFault(Fault::Silent);
        const int probes = countCmd(m_cameras[0], "ReqGetDeviceDirection");
        QTest::qWait(8000);
        report("silent with the preview open (8 s)", meter);
        // After the first time-out the probes leave the camera alone. (The stall total
        // also holds the preview's own painting, which varies with the machine.)
        QVERIFY(countCmd(m_cameras[0], "ReqGetDeviceDirection") - probes <= 1);
        QVERIFY2(meter.longestMs() < DeviceSender::kReadTimeoutMs + 2000, qPrintable(QString::number(meter.longestMs())));
        QCOMPARE(received(m_cameras)[1], other);
        m_panel->previewToggle()->click();
        recovers(0);
    }

    // The camera falls silent, then the user imports a configuration file: every
    // changed value is sent to it.
    void silentDuringImport()
    {
        setUpCameras(2);
        activate(1);
        CameraParams record = m_panel->cameraParams();
        for (int s = 0; s < CameraParams::kSlotCount; ++s)
            record[s] += s % 3 == 0 ? 1 : 0;
        QTemporaryDir files;
        const QString file = files.filePath("drill.config");
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(CameraConfigFile::encode(record));
        }
        FileDialogs::setTestResponder([file](const FileDialogs::Request &) { return file; });
        m_cameras[1]->setFault(Fault::Silent);
        const QList<int> before = received(m_cameras);
        GuiStallMeter meter;
        m_panel->importCameraConfig();
        QTest::qWait(500); // the debounced sends
        report("silent during a configuration import", meter);
        // One time-out, then the rest of the import is not sent to the silent camera.
        QCOMPARE(received(m_cameras)[1], before[1] + 1);
        QVERIFY2(meter.totalMs() < DeviceSender::kReadTimeoutMs + 2000, qPrintable(QString::number(meter.totalMs())));
        QCOMPARE(received(m_cameras)[0], before[0]);
        recovers(1);
    }

    // The user renames one camera and goes on with another while the renamed one
    // restarts: only the renamed camera is told, and the other stays controllable.
    void renameThenAnotherIsActive()
    {
        setUpCameras(2);
        m_cameras[1]->setReturnDelayMs(1500);
        activate(1);
        const QList<int> before = received(m_cameras);
        GuiStallMeter meter;
        m_panel->beginDeviceRename(1);
        QLineEdit *editor = m_panel->renameEditor()->editor();
        QVERIFY(editor);
        editor->setText(QStringLiteral("讲台"));
        m_panel->finishDeviceRename();
        QCOMPARE(received(m_cameras)[0], before[0]);
        QCOMPARE(received(m_cameras)[1], before[1] + 1);
        activate(0);
        QCOMPARE(m_panel->currentIndex(), 0);
        QVERIFY(m_panel->sendVideoParam("Luminance", "60"));
        QCOMPARE(m_cameras[0]->videoParam("Luminance"), 60);
        QTRY_VERIFY_WITH_TIMEOUT(m_cameras[1]->deviceName() == QStringLiteral("讲台"), 5000);
        report("rename, then another camera active", meter);
        QCOMPARE(received(m_cameras)[1], before[1] + 1);
        recovers(1);
    }

    // The camera leaves the bus in the middle of a firmware upload and comes back.
    void unplugMidUpgrade()
    {
        setUpCameras(2);
        activate(1);
        QTemporaryDir files;
        const QString firmware = files.filePath("fw.dat");
        {
            QFile f(firmware);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(3 * FirmwareUpgrade::kBlockSize / 2, 'F'));
        }
        FileDialogs::setTestResponder([firmware](const FileDialogs::Request &) { return firmware; });
        FirmwareUpgrade *upgrade = m_panel->firmwareUpgrade();
        upgrade->setSleeper([](int) {});
        bool unplugged = false;
        connect(upgrade, &FirmwareUpgrade::stageChanged, this, [&] {
            if (!unplugged) {
                unplugged = true;
                m_cameras[1]->unplug(300);
            }
        });
        const QList<int> before = received(m_cameras);
        GuiStallMeter meter;
        m_panel->onFirmwareUpgradeClicked();
        report("unplugged mid-upgrade", meter);
        QVERIFY(unplugged);
        QCOMPARE(received(m_cameras)[0], before[0]);
        QVERIFY(!m_sim->boxes.isEmpty()); // the user is told
        recovers(1);
    }
};

QTEST_MAIN(TestFaultDrills)
#include "test_fault_drills.moc"
