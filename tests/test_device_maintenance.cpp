#include "command_texts.h"
#include "device_maintenance.h"
#include "device_name_store.h"
#include "device_rename_editor.h"
#include "device_slot_strip.h"
#include "log_capture.h"
#include "packet_cmd.h"
#include "param_control.h"
#include "builtin_param_pages.h"
#include "debounced_param_sender.h"
#include "sim_fixture.h"
#include "simulated_clock.h"
#include "widget.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidgetItem>

namespace {
const char *const kModel = "RV-K310A-WU"; // served by the control panel's own pages
const char *const kKey = "B1-345";        // its series and the serial's last three characters

QByteArray defaultsText(int n) {
    return QByteArray("{\"Cmd\":\"ReqSetDefaultParam\",\"wCmdId\":40001093,\"Content\":{\"ChanNum\":0,"
                      "\"eDefaultParamCfg\":") +
           QByteArray::number(n) + "}}";
}

QList<SimulatedCamera::ReceivedRequest> requestsOf(SimulatedCamera *cam, quint32 cmdId) {
    QList<SimulatedCamera::ReceivedRequest> out;
    for (const auto &r : cam->receivedRequests())
        if (r.cmdId == cmdId)
            out << r;
    return out;
}

int countCmd(SimulatedCamera *cam, const QString &cmd) {
    int n = 0;
    for (const auto &r : cam->receivedRequests())
        n += r.cmd == cmd;
    return n;
}

QList<MessageBoxRequest> boxesTitled(const SimFixture &sim, const QString &title) {
    QList<MessageBoxRequest> out;
    for (const MessageBoxRequest &b : sim.boxes)
        if (b.title == title)
            out << b;
    return out;
}

// The list the user sees: the first refresh has finished.
void waitForList(Widget &w) {
    if (w.refreshButton()->isEnabled())
        return;
    QSignalSpy refreshed(&w, &Widget::deviceListRefreshed);
    QVERIFY(refreshed.wait(3000));
}

void select(Widget &w, int slot) {
    w.onDeviceDoubleClicked(w.deviceItem(slot), 0);
    QCOMPARE(w.currentIndex(), slot);
}

QString storedName(const SimFixture &sim, const QString &key) {
    QSettings ini(sim.appDir() + "/device_names.ini", QSettings::IniFormat);
    return ini.value("DeviceNames/" + key).toString();
}

void typeName(QLineEdit *editor, const QString &text) {
    editor->selectAll();
    editor->insert(text);
}
} // namespace

class TestDeviceMaintenance : public QObject {
    Q_OBJECT
private slots:
    // ---- the reset menu and its three actions --------------------------------------

    void resetMenuOffersTheThreeActions() {
        SimFixture sim;
        sim.add(kModel, "Cam", "SN12345");
        Widget w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QSignalSpy refreshed(&w, &Widget::deviceListRefreshed);
        QVERIFY(refreshed.wait(3000));
        w.resetButton()->click();
        QMenu *menu = w.maintenance()->resetMenu();
        QTRY_VERIFY(menu->isVisible());
        QStringList texts;
        for (QAction *a : menu->actions())
            texts << a->text();
        QCOMPARE(texts, QStringList({"重启设备", "重置图像", "恢复出厂设置"}));
        QVERIFY(menu->styleSheet().contains("#262a2d"));
        const QPoint corner = w.resetButton()->mapToGlobal(QPoint(0, w.resetButton()->height()));
        QCOMPARE(menu->pos(), corner);
        menu->hide();
    }

    void cancelSendsNothing() {
        SimFixture sim;
        SimulatedCamera *cam = sim.add(kModel, "Cam", "SN12345");
        Widget w;
        select(w, 0);
        cam->clearReceived();
        sim.answer = QMessageBox::Cancel;
        w.onRebootClicked();
        w.onImageResetClicked();
        w.onFactoryResetClicked();
        QTest::qWait(50);
        QVERIFY(cam->receivedRequests().isEmpty());
        QCOMPARE(sim.boxes.size(), 3);
        const QStringList titles{"重启设备", "重置图像", "恢复出厂设置"};
        const QStringList texts{"确定要重启设备吗?",
                                "确定要恢复图像默认设置吗?\n此操作将同时重置调色盘设置。",
                                "确定要恢复出厂设置吗?\n此操作将清除所有自定义设置!\n同时会重置调色盘设置。"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(sim.boxes[i].kind, MessageBoxRequest::Styled);
            QCOMPARE(sim.boxes[i].title, titles[i]);
            QCOMPARE(sim.boxes[i].text, texts[i]);
            QCOMPARE(sim.boxes[i].buttons, QStringList({"确定", "取消"}));
            QCOMPARE(sim.boxes[i].defaultButton, QString("取消"));
        }
        // Closing a confirmation is no consent either.
        sim.answer = MessageBoxes::kCloseWithoutButton;
        w.onFactoryResetClicked();
        QVERIFY(cam->receivedRequests().isEmpty());
    }

    void restartSendsAnEmptyRebootAndTheListRecovers() {
        SimFixture sim;
        SimulatedCamera *cam = sim.add(kModel, "Cam", "SN12345");
        cam->setReturnDelayMs(60000); // brought back below by the camera's clock
        LogCapture log;
        Widget w;
        w.show();
        waitForList(w);
        select(w, 0);
        w.onPtzToggleClicked();
        // Where the header stands: whatever the page below shows, it stays there.
        const QPoint header = w.ptzToggle()->mapTo(&w, QPoint());
        cam->clearReceived();
        w.onRebootClicked();
        const auto reboots = requestsOf(cam, CmdReboot);
        QCOMPARE(reboots.size(), 1);
        QCOMPARE(reboots[0].payloadSize, 0);
        QVERIFY(log.contains("发送设备重启命令..."));
        QCOMPARE(boxesTitled(sim, "重启设备").size(), 1); // the confirmation only
        QTRY_COMPARE(cam->reboots(), 1);

        // The connection watcher sees the camera leave and come back and lists it again;
        // meanwhile the panel says it is restarting.
        QTRY_VERIFY_WITH_TIMEOUT(w.deviceItem(0) == nullptr && w.refreshButton()->isEnabled(), 8000);
        QCOMPARE(w.noCameraLabel()->text(), QString(Widget::kRestartingText));
        QVERIFY(!w.noCameraLabel()->isHidden());
        QCOMPARE(w.ptzToggle()->mapTo(&w, QPoint()), header);
        QVERIFY(w.noCameraLabel()->mapTo(&w, QPoint()).y() < w.height() / 4);
        QVERIFY(!w.ptzToggle()->isChecked());
        SimulatedClock::advance(60000);
        QTRY_VERIFY_WITH_TIMEOUT(w.deviceItem(0) != nullptr, 8000);
        QCOMPARE(w.slotStrip()->label(0)->text(), QString(kKey));
        QVERIFY(w.slotStrip()->button(0)->isEnabled());
        // The same camera is selected again, with its PTZ area as it was.
        QTRY_COMPARE(w.currentSerial(), QString("SN12345"));
        QCOMPARE(w.currentIndex(), 0);
        QVERIFY(w.ptzToggle()->isChecked());
        QVERIFY(!w.ptzPanel()->isHidden());
        QVERIFY(w.noCameraLabel()->isHidden());
    }

    void failedRestartSaysSo() {
        SimFixture sim;
        SimulatedCamera *cam = sim.add(kModel, "Cam", "SN12345");
        Widget w;
        select(w, 0);
        cam->setFault(SimulatedCamera::Fault::Silent);
        w.onRebootClicked();
        const auto boxes = boxesTitled(sim, "重启设备");
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[1].text, QString("设备重启失败"));
        QCOMPARE(cam->reboots(), 0);
    }

    void imageResetOnTheBuiltInPages() {
        SimFixture sim;
        SimulatedCamera *cam = sim.add(kModel, "Cam", "SN12345");
        LogCapture log;
        Widget w;
        select(w, 0);
        // Move the tone sliders off neutral first, as a user would.
        ParamControl *yellow = w.paramPages()->control("u8Yellow");
        ParamControl *white = w.paramPages()->control("u8White");
        QVERIFY(yellow && white);
        yellow->setValue(20);
        white->setValue(-10);
        QTRY_COMPARE(cam->videoParam("u8Yellow"), 70);
        QTRY_COMPARE(cam->videoParam("u8White"), 40);
        QTest::qWait(DebouncedParamSender::kDefaultIntervalMs * 2);
        cam->clearReceived();

        w.onImageResetClicked();
        QVERIFY(log.contains("重置图像参数..."));
        const auto defaults = requestsOf(cam, CmdSetDefaultParam);
        QCOMPARE(defaults.size(), 1);
        QCOMPARE(defaults[0].payload, defaultsText(1));
        QCOMPARE(countCmd(cam, "ReqSetHSVHueLut") + countCmd(cam, "ReqSetHSVStaLut"), 2);
        QCOMPARE(yellow->value(), 0);
        QCOMPARE(white->value(), 0);
        QCOMPARE(w.cameraParams()[43], 50);
        QCOMPARE(w.cameraParams()[47], 50);
        QCOMPARE(w.cameraParams()[81], -3);  // first entry of the default hue table
        QCOMPARE(w.cameraParams()[105], 56); // ... and of the saturation table
        // The five sliders are shown, not sent.
        QTest::qWait(DebouncedParamSender::kDefaultIntervalMs * 3);
        for (const auto &r : cam->receivedRequests())
            QVERIFY2(!r.text().contains("u8Yellow") && !r.text().contains("u8White"), qPrintable(r.text()));
        // The camera is read again 500 ms later, the tables 800 ms later.
        QCOMPARE(countCmd(cam, "ReqGetVideoParam"), 0);
        QTRY_VERIFY_WITH_TIMEOUT(countCmd(cam, "ReqGetVideoParam") >= 1, 2000);
        QTRY_VERIFY_WITH_TIMEOUT(countCmd(cam, "ReqGetHSVStaLut") >= 1, 2000);
        QCOMPARE(cam->videoParam("u8Yellow"), 50);
    }

    void factoryResetOnTheBuiltInPages() {
        SimFixture sim;
        SimulatedCamera *cam = sim.add(kModel, "Cam", "SN12345");
        cam->setReturnDelayMs(60000); // stays away for the rest of the test
        LogCapture log;
        Widget w;
        select(w, 0);
        cam->clearReceived();
        w.onFactoryResetClicked();
        QVERIFY(log.contains("执行恢复出厂设置..."));
        const auto defaults = requestsOf(cam, CmdSetDefaultParam);
        QCOMPARE(defaults.size(), 1);
        QCOMPARE(defaults[0].payload, defaultsText(255));
        QCOMPARE(countCmd(cam, "ReqSetHSVHueLut") + countCmd(cam, "ReqSetHSVStaLut"), 2);
        QVERIFY(boxesTitled(sim, "恢复出厂设置").size() == 1);
        // The notice comes three seconds later and closes itself after one.
        QTRY_VERIFY_WITH_TIMEOUT(boxesTitled(sim, "恢复出厂设置").size() == 2, 5000);
        const MessageBoxRequest notice = boxesTitled(sim, "恢复出厂设置")[1];
        QCOMPARE(notice.kind, MessageBoxRequest::TimedNotice);
        QCOMPARE(notice.text, QString("设备已恢复出厂设置并正在重启，请稍后重新连接设备"));
        QCOMPARE(notice.timeoutMs, 1000);
    }

    void refusedFactoryResetIsNotAnnounced() {
        SimFixture sim;
        SimulatedCamera *cam = sim.add(kModel, "Cam", "SN12345");
        Widget w;
        select(w, 0);
        cam->setFault(SimulatedCamera::Fault::NegativeResult);
        cam->clearReceived();
        w.onFactoryResetClicked();
        const auto boxes = boxesTitled(sim, "恢复出厂设置");
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[1].kind, MessageBoxRequest::Styled);
        QCOMPARE(boxes[1].text, QString("恢复出厂设置失败"));
        QCOMPARE(countCmd(cam, "ReqSetHSVHueLut"), 0);
        QTest::qWait(DeviceMaintenance::kFactoryNoticeDelayMs + 300);
        QCOMPARE(boxesTitled(sim, "恢复出厂设置").size(), 2);
    }

    void lensPanelCameraResetsItsTablesByCommand() {
        SimFixture sim;
        SimulatedCamera *cam = sim.add("RV-T782-KB", "Room", "AB777");
        cam->setReturnDelayMs(60000);
        Widget w;
        select(w, 0);
        QCOMPARE(w.panelKind(), PanelKind::T782);
        cam->clearReceived();
        w.onImageResetClicked();
        auto defaults = requestsOf(cam, CmdSetDefaultParam);
        QCOMPARE(defaults.size(), 3);
        QCOMPARE(defaults[0].payload, defaultsText(1));
        QCOMPARE(defaults[1].payload, defaultsText(35));
        QCOMPARE(defaults[2].payload, defaultsText(36));
        QVERIFY(countCmd(cam, "ReqGetVideoParam") >= 1); // read back at once

        cam->clearReceived();
        w.onFactoryResetClicked();
        defaults = requestsOf(cam, CmdSetDefaultParam);
        QCOMPARE(defaults.size(), 3);
        QCOMPARE(defaults[0].payload, defaultsText(255));
        QCOMPARE(defaults[1].payload, defaultsText(35));
        QCOMPARE(defaults[2].payload, defaultsText(36));
        QTRY_VERIFY_WITH_TIMEOUT(boxesTitled(sim, "恢复出厂设置").size() == 2, 5000);
    }

    // ---- language -----------------------------------------------------------------

    void languageIsAnOrdinarySetting() {
        SimFixture sim;
        SimulatedCamera *cam = sim.add(kModel, "Cam", "SN12345");
        Widget w;
        select(w, 0);
        ParamControl *language = w.paramPages()->control("language");
        QVERIFY(language && language->combo);
        QCOMPARE(language->combo->itemText(0), QString("ENG"));
        QCOMPARE(language->combo->itemText(1), QString("中文"));
        QCOMPARE(language->value(), cam->setting("language")); // read with the other settings

        const int other = 1 - language->value();
        cam->clearReceived();
        language->combo->setCurrentIndex(other);
        QTRY_COMPARE(cam->setting("language"), other);
        QCOMPARE(cam->lastRequest().text(),
                 QString("{\"Cmd\":\"ReqSetSetting\",\"Content\":{\"language\":%1}}").arg(other));
        // The tool's own texts stay as they are.
        QCOMPARE(w.resetButton()->text(), QString("设备重置"));
    }

    // ---- names --------------------------------------------------------------------

    void renameInPlaceTellsTheCameraAndRemembersTheName() {
        SimFixture sim;
        SimulatedCamera *cam = sim.add(kModel, "Cam", "SN12345");
        cam->setBuildDate("2024");
        cam->setReturnDelayMs(60000); // brought back below by the camera's clock
        LogCapture log;
        const QString name = QString::fromUtf8("会议\"室\"\\1");
        {
            Widget w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            waitForList(w);
            select(w, 0);
            QLabel *label = w.slotStrip()->label(0);
            QCOMPARE(label->text(), QString(kKey));
            QTest::mouseDClick(label, Qt::LeftButton);
            QLineEdit *editor = w.renameEditor()->editor();
            QVERIFY(editor);
            QCOMPARE(editor->text(), QString(kKey));
            QCOMPARE(editor->selectedText(), QString(kKey));
            QVERIFY(!label->isVisible());
            QCOMPARE(editor->geometry(), label->geometry());
            QCOMPARE(w.renameEditor()->renameIndex(), 0);
            QCOMPARE(w.renameEditor()->renameKey(), QString(kKey));
            cam->clearReceived();

            typeName(editor, "  " + name + " ");
            QTest::keyClick(editor, Qt::Key_Return);
            QVERIFY(!w.renameEditor()->isActive());
            QCOMPARE(w.renameEditor()->renameIndex(), -1);
            QVERIFY(label->isVisible());
            QCOMPARE(label->text(), name);
            QCOMPARE(w.deviceItem(0)->text(0), name + "-345-2024");
            QCOMPARE(storedName(sim, kKey), name);

            const auto sent = requestsOf(cam, CmdSetDeviceName);
            QCOMPARE(sent.size(), 1);
            const QByteArray expected = QByteArray("{\"DeviceName\": \"") +
                                        QString::fromUtf8("会议\\\"室\\\"\\\\1").toUtf8() +
                                        QByteArray("\"}") + QByteArray(1, '\0');
            QCOMPARE(sent[0].payload, expected);
            QCOMPARE(sent[0].payloadSize, expected.size());
            QVERIFY(log.contains("[SEND] DeviceName command:"));
            QVERIFY(log.contains("的名称已修改为:"));
            const auto notices = boxesTitled(sim, "提示");
            QCOMPARE(notices.size(), 1);
            QCOMPARE(notices[0].kind, MessageBoxRequest::TimedNotice);
            QCOMPARE(notices[0].text, QString("设备名称修改成功，设备正在重启"));
            QCOMPARE(notices[0].timeoutMs, 1500);
            QCOMPARE(cam->deviceName(), name);

            // The camera restarts to take the name: the refresh two seconds later finds
            // it gone, and the connection watcher lists it again when it is back.
            QSignalSpy refreshed(&w, &Widget::deviceListRefreshed);
            QVERIFY(refreshed.wait(5000));
            QVERIFY(w.deviceItem(0) == nullptr);
            SimulatedClock::advance(60000);
            QTRY_VERIFY_WITH_TIMEOUT(w.deviceItem(0) != nullptr, 8000);
            QCOMPARE(w.slotStrip()->label(0)->text(), name);
            QCOMPARE(w.deviceItem(0)->text(0), name + "-345-2024");
        }
        // A new panel takes the name from the file.
        cam->setDeviceName("Cam");
        Widget again;
        QCOMPARE(again.deviceNames().value(kKey), name);
        QCOMPARE(again.slotStrip()->label(0)->text(), name);
    }

    void renameIsCommittedByAClickElsewhere() {
        SimFixture sim;
        SimulatedCamera *cam = sim.add(kModel, "Cam", "SN12345");
        cam->setReturnDelayMs(60000);
        Widget w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        select(w, 0);
        w.beginDeviceRename(0);
        QLineEdit *editor = w.renameEditor()->editor();
        QVERIFY(editor);
        typeName(editor, "讲台");
        // A click into the editor keeps it open.
        QTest::mouseClick(editor, Qt::LeftButton);
        QVERIFY(w.renameEditor()->isActive());
        // A right click elsewhere does not commit either.
        QTest::mouseClick(w.deviceListArea(), Qt::RightButton, {}, QPoint(5, 5));
        QVERIFY(w.renameEditor()->isActive());
        QTest::mouseClick(w.deviceListArea(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!w.renameEditor()->isActive());
        QCOMPARE(w.slotStrip()->label(0)->text(), QString("讲台"));
        QCOMPARE(requestsOf(cam, CmdSetDeviceName).size(), 1);
        QCOMPARE(storedName(sim, kKey), QString("讲台"));
    }

    void escapeBlanksAndTheSameTextChangeNothing() {
        SimFixture sim;
        SimulatedCamera *cam = sim.add(kModel, "Cam", "SN12345");
        Widget w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        select(w, 0);
        cam->clearReceived();
        QLabel *label = w.slotStrip()->label(0);

        const QStringList attempts{"讲台", "   ", kKey};
        for (int i = 0; i < attempts.size(); ++i) {
            w.beginDeviceRename(0);
            QLineEdit *editor = w.renameEditor()->editor();
            QVERIFY(editor);
            typeName(editor, attempts[i]);
            QTest::keyClick(editor, i == 0 ? Qt::Key_Escape : Qt::Key_Enter);
            QVERIFY(!w.renameEditor()->isActive());
            QCOMPARE(w.renameEditor()->renameIndex(), -1);
            QVERIFY(label->isVisible());
            QCOMPARE(label->text(), QString(kKey));
        }
        QVERIFY(requestsOf(cam, CmdSetDeviceName).isEmpty());
        QVERIFY(sim.boxes.isEmpty());
        QVERIFY(w.deviceNames().isEmpty());
        QVERIFY(!QFile::exists(sim.appDir() + "/device_names.ini"));
        QTRY_VERIFY(w.findChild<QLineEdit *>("deviceRenameEditor") == nullptr); // the editor is gone
    }

    void startingASecondRenameCommitsTheFirst() {
        SimFixture sim;
        SimulatedCamera *first = sim.add(kModel, "Cam", "SN12345");
        SimulatedCamera *second = sim.add(kModel, "Desk", "XY987");
        first->setReturnDelayMs(60000);
        second->setReturnDelayMs(60000);
        Widget w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        select(w, 0);

        // Only the selected camera's name can be edited.
        QTest::mouseDClick(w.slotStrip()->label(1), Qt::LeftButton);
        QVERIFY(!w.renameEditor()->isActive());

        w.beginDeviceRename(0);
        typeName(w.renameEditor()->editor(), "Left");
        // The other camera gets selected (as the list does) and renamed while the first
        // editor is still open.
        w.onDeviceDoubleClicked(w.deviceItem(1), 0);
        w.beginDeviceRename(1);
        QCOMPARE(requestsOf(first, CmdSetDeviceName).size(), 1);
        QCOMPARE(w.slotStrip()->label(0)->text(), QString("Left"));
        QVERIFY(w.slotStrip()->label(0)->isVisible());
        QVERIFY(w.renameEditor()->isActive());
        QCOMPARE(w.renameEditor()->renameIndex(), 1);
        QCOMPARE(w.renameEditor()->renameKey(), QString("B1-987"));
        typeName(w.renameEditor()->editor(), "Right");
        w.finishDeviceRename();
        QCOMPARE(requestsOf(second, CmdSetDeviceName).size(), 1);
        QCOMPARE(storedName(sim, kKey), QString("Left"));
        QCOMPARE(storedName(sim, "B1-987"), QString("Right"));
        QVERIFY(requestsOf(second, CmdSetDeviceName)[0].payload.startsWith("{\"DeviceName\": \"Right\"}"));
    }

    void refusedAndFailedNamesAreReported() {
        SimFixture sim;
        SimulatedCamera *cam = sim.add(kModel, "Cam", "SN12345");
        Widget w;
        select(w, 0);
        const auto commit = [&w](const QString &name) {
            if (!w.renameEditor()->isActive())
                w.beginDeviceRename(0);
            typeName(w.renameEditor()->editor(), name);
            QTest::keyClick(w.renameEditor()->editor(), Qt::Key_Return);
        };
        // One byte more than a camera takes (three a character): refused, the editor stays.
        const QString tooLong(CommandTexts::kMaxDeviceNameBytes / 3 + 1, QChar(0x8BB2));
        commit(tooLong);
        QCOMPARE(sim.boxes.value(0).text,
                 QString("设备名称过长，请输入较短的名称（最多63字节，一个汉字占3字节）"));
        QCOMPARE(w.renameEditor()->editor()->text(), tooLong);
        QVERIFY(requestsOf(cam, CmdSetDeviceName).isEmpty() && w.deviceNames().isEmpty());
        // A request that fails in any way is reported; the tool keeps the name it was given.
        using F = SimulatedCamera::Fault;
        for (const F fault : {F::WriteError, F::NegativeResult, F::Silent}) {
            cam->setFault(fault);
            commit(QString::number(int(fault)));
            QCOMPARE(sim.boxes.last().text, QString("设备名称修改失败，新名称仅保存在本软件中"));
            QCOMPARE(storedName(sim, kKey), QString::number(int(fault)));
        }
        QCOMPARE(cam->reboots(), 0);
        // The longest name a camera takes goes through, and the camera takes it.
        cam->setFault(F::None);
        w.cameraContext()->sender().forgetUnanswered();
        commit(tooLong.left(tooLong.size() - 1));
        QCOMPARE(cam->deviceName(), tooLong.left(tooLong.size() - 1));
        QCOMPARE(sim.boxes.last().text, QString("设备名称修改成功，设备正在重启"));
        // The command buffer takes far more than that, whole.
        const int room = DeviceMaintenance::kNameBufferSize - int(qstrlen("{\"DeviceName\": \"\"}")) - 1;
        QCOMPARE(DeviceMaintenance::nameCommand(QString(room, QChar('y'))).size(),
                 DeviceMaintenance::kNameBufferSize);
        QVERIFY(DeviceMaintenance::nameCommand(QString(room + 1, QChar('y'))).isEmpty());
    }

    void refreshCancelsAnOpenRename() {
        SimFixture sim;
        SimulatedCamera *first = sim.add(kModel, "Cam", "SN12345");
        Widget w;
        select(w, 0);
        w.beginDeviceRename(0);
        typeName(w.renameEditor()->editor(), "Left");
        // The first camera goes; another one is listed in its slot.
        sim.bus()->removeCamera(first);
        SimulatedCamera *second = sim.add(kModel, "Desk", "XY987");
        w.handleRefresh();
        w.finishDeviceRename();
        QVERIFY(requestsOf(second, CmdSetDeviceName).isEmpty() && w.deviceNames().isEmpty());
    }

    void namesWithSeparatorsInTheKeyReadBack() {
        SimFixture sim;
        const QMap<QString, QString> names{
            {"B1-a/b", "左"}, {"B1-\\45", "右"}, {"B1-%2F", "中"}, {"星瞳1-345", "讲台"}};
        DeviceNameStore::save(names);
        QCOMPARE(DeviceNameStore::load(), names);
    }

    void closingWithoutNamesLeavesTheFileAlone() {
        SimFixture sim;
        sim.add(kModel, "Cam", "SN12345");
        {
            QSettings ini(sim.appDir() + "/device_names.ini", QSettings::IniFormat);
            ini.setValue("DeviceNames/C5-777", QString("讲台"));
        }
        {
            Widget w;
            QCOMPARE(w.deviceNames().value("C5-777"), QString("讲台"));
            w.setDeviceNames({});
            w.close();
        }
        QCOMPARE(storedName(sim, "C5-777"), QString("讲台"));
        {
            // With names, closing writes the map as it stands.
            Widget w;
            w.setDeviceNames({{kKey, "Left"}});
            w.close();
        }
        QCOMPARE(storedName(sim, kKey), QString("Left"));
        QCOMPARE(storedName(sim, "C5-777"), QString());
    }
};

QTEST_MAIN(TestDeviceMaintenance)
#include "test_device_maintenance.moc"
