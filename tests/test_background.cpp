// The tool in the background: one instance per user, start at login, and the tray's
// menu driving the panel.
#include "autostart.h"
#include "control_services.h"
#include "preset_shortcuts.h"
#include "ptz_area.h"
#include "sim_fixture.h"
#include "single_instance.h"
#include "startup_window.h"
#include "tray_icon.h"
#include "widget.h"

#include "device_slot_strip.h"

#include <QAction>
#include <QDir>
#include <QPushButton>
#include <QSettings>
#include <QTcpServer>
#include <QUdpSocket>
#include <QFile>
#include <QLocalSocket>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
QAction *findAction(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == text)
            return action;
        if (action->menu())
            if (QAction *inner = findAction(action->menu(), text))
                return inner;
    }
    return nullptr;
}
} // namespace

class TestBackground : public QObject {
    Q_OBJECT
private slots:
    // A later start hands its arguments over; what is not a message is dropped; the
    // claim is free again once the first instance ends.
    void oneInstancePerUser()
    {
        const QString name = QStringLiteral("kestrane-test-%1").arg(QCoreApplication::applicationPid());
        auto first = std::make_unique<SingleInstance>(name);
        QCOMPARE(first->claim({"kestrane"}), SingleInstance::Claim::First);
        QSignalSpy again(first.get(), &SingleInstance::startedAgain);

        QLocalSocket hostile;
        hostile.connectToServer(name);
        QVERIFY(hostile.waitForConnected(2000));
        hostile.write(QByteArray("\xff\xff\xff\xff", 4) + QByteArray(64, 'x')); // a 4 GiB message
        QTRY_COMPARE(hostile.state(), QLocalSocket::UnconnectedState);

        // The second instance waits for the first one's answer, which needs this
        // thread's event loop: it runs on a thread of its own.
        SingleInstance::Claim claimed = SingleInstance::Claim::First;
        std::unique_ptr<QThread> later(QThread::create([&] {
            SingleInstance second(name);
            claimed = second.claim({"kestrane", "--lut", "/tmp/look.cube"});
        }));
        later->start();
        QTRY_VERIFY(later->isFinished());
        QCOMPARE(claimed, SingleInstance::Claim::HandedOver);
        QCOMPARE(again.size(), 1);
        QCOMPARE(again[0][0].toStringList(), QStringList({"kestrane", "--lut", "/tmp/look.cube"}));

        first.reset();
        SingleInstance third(name);
        QCOMPARE(third.claim({"kestrane"}), SingleInstance::Claim::First);
    }

    void startAtLogin()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        QString error;
        QVERIFY2(Autostart::setEnabled(true, &error), qPrintable(error));
        QVERIFY(Autostart::enabled());
        QFile entry(Autostart::desktopEntryPath());
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QByteArray text = entry.readAll();
        QVERIFY(text.startsWith("[Desktop Entry]\nType=Application\n"));
        QVERIFY2(text.contains(QCoreApplication::applicationFilePath().toUtf8() + " --tray\n"), text.constData());
        QVERIFY(Autostart::setEnabled(false, &error));
        QVERIFY(!Autostart::enabled());
        QCOMPARE(Autostart::desktopEntry("/opt/my tools/kestrane").split('\n')[4],
                 QByteArray(R"(Exec="/opt/my tools/kestrane" --tray)"));
        qunsetenv("XDG_CONFIG_HOME");
    }

    // With a tray: the panel's named presets are called from the menu, closing the
    // panel hides it while the tool keeps running, and the menu brings it back.
    void trayDrivesThePanel()
    {
        SimFixture sim;
        SimulatedCamera *camera = sim.add("RV-K310A-WU", "Desk", "SN001");
        TrayIcon::setAvailableOverride(true);
        StartupWindow boot;
        ControlServices services(&boot, 0);
        TrayIcon tray(&boot, &services);
        boot.show();
        QTRY_VERIFY_WITH_TIMEOUT(boot.controlPanel() && boot.controlPanel()->currentSerial() == "SN001", 15000);
        Widget *panel = boot.controlPanel();
        panel->ptzPanel()->shortcuts()->setPresetName(1, "Pulpit");

        tray.rebuildMenu();
        QAction *pulpit = findAction(tray.menu(), "Pulpit");
        QVERIFY(pulpit);
        camera->clearReceived();
        pulpit->trigger();
        QTRY_VERIFY(!camera->receivedRequests().isEmpty());
        QCOMPARE(camera->lastRequest().cmd, QString("ReqPresetCtrl"));
        QVERIFY(camera->lastRequest().text().contains(R"("PresetID" : 2)"));

        // VISCA's ports show in the camera's tool tip and its menu while VISCA runs.
        QUdpSocket udp;
        QTcpServer tcp;
        QVERIFY(udp.bind(QHostAddress::LocalHost, 0) && tcp.listen(QHostAddress::LocalHost, 0));
        const QString ports = QString("VISCA: UDP %1, TCP %2").arg(udp.localPort()).arg(tcp.serverPort());
        {
            QSettings ini(QDir(sim.appDir()).filePath("visca.ini"), QSettings::IniFormat);
            ini.setValue("Cameras/1/Serial", "SN001");
            ini.setValue("Cameras/1/Udp", udp.localPort());
            ini.setValue("Cameras/1/Tcp", tcp.serverPort());
            ini.setValue("Cameras/size", 1);
        }
        udp.close();
        tcp.close();
        QVERIFY(services.startVisca());
        QVERIFY2(panel->slotStrip()->button(0)->toolTip().endsWith("\n" + ports), qPrintable(panel->slotStrip()->button(0)->toolTip()));
        tray.rebuildMenu();
        QVERIFY(findAction(tray.menu(), ports));
        services.stopVisca();
        QVERIFY(!panel->slotStrip()->button(0)->toolTip().contains("VISCA"));

        TrayIcon::setKeepRunning(true);
        panel->close();
        QCOMPARE(boot.controlPanel(), panel);
        QVERIFY(!panel->isVisible());
        findAction(tray.menu(), tray.tr("打开面板"))->trigger();
        QVERIFY(panel->isVisible());
        TrayIcon::setKeepRunning(false);
        TrayIcon::setAvailableOverride(std::nullopt);
        QObject::disconnect(panel, &QObject::destroyed, &boot, nullptr);
        delete panel;
    }
};

QTEST_MAIN(TestBackground)
#include "test_background.moc"
