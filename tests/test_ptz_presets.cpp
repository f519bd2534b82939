#include "log_capture.h"
#include "model_name_dialog.h"
#include "preset_shortcuts.h"
#include "ptz_area.h"
#include "ptz_commands.h"
#include "preset_store.h"
#include "shortcut_dialog.h"
#include "sim_fixture.h"
#include "simulated_clock.h"
#include "widget.h"

#include <QFile>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTreeWidgetItem>

namespace {
QByteArray ptzText(const char *cmd)
{
    return QByteArray(R"({"Cmd":"ReqPtzCtrl","Content":{"PtzCmd":")") + cmd + R"("}})";
}

QByteArray presetText(const char *cmd, int id)
{
    const QByteArray n = QByteArray::number(id);
    return QByteArray(R"({"Cmd": "ReqPresetCtrl","Content" : {"PresetCmd": ")") + cmd + R"(","PresetID" : )" + n +
           R"(,"PresetName" : "Preset)" + n + R"("}})";
}

// The PTZ and preset requests a camera received, oldest first, as sent.
QList<QByteArray> ptzRequests(SimulatedCamera *camera)
{
    QList<QByteArray> texts;
    for (const SimulatedCamera::ReceivedRequest &r : camera->receivedRequests())
        if (r.cmd == "ReqPtzCtrl" || r.cmd == "ReqPresetCtrl")
            texts << r.payload;
    return texts;
}

void activate(Widget &w, int slot, SimulatedCamera *camera)
{
    w.onDeviceDoubleClicked(w.deviceItem(slot), 0);
    QCOMPARE(w.currentIndex(), slot);
    camera->clearReceived();
}

template <typename T> T *child(Widget &w, const char *name)
{
    return w.ptzPanel()->findChild<T *>(QString::fromLatin1(name));
}

void pressAndRelease(QPushButton *button, qint64 heldMs = 0)
{
    QVERIFY(button);
    button->pressed();
    SimulatedClock::advance(heldMs);
    button->released();
}

QAction *menuAction(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

QStringList actionTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *action : menu->actions())
        texts << action->text();
    return texts;
}

bool sameIcon(const QIcon &a, const char *file)
{
    return a.pixmap(24, 24).toImage() == QIcon(QStringLiteral(":/icons/resources/icons/") + file).pixmap(24, 24).toImage();
}

// Answers the shortcut dialog with a key sequence and "确定", or "取消" when empty.
struct ShortcutAnswer {
    explicit ShortcutAnswer(const QKeySequence *sequence, bool cancel = false)
    {
        ShortcutDialog::setTestDriver([sequence, cancel, this](ShortcutDialog &dialog) {
            titles << dialog.windowTitle();
            dialog.editor()->setKeySequence(*sequence);
            (cancel ? dialog.cancelButton() : dialog.okButton())->click();
        });
    }
    ~ShortcutAnswer() { ShortcutDialog::setTestDriver({}); }
    QStringList titles;
};
} // namespace

class TestPtzPresets : public QObject {
    Q_OBJECT
private slots:
    void directionPadDrivesTheCamera()
    {
        SimFixture sim;
        SimulatedCamera *camera = sim.add("RV-K310A-WU", "Desk", "SN001"); // series B1, pan swapped
        Widget w;
        activate(w, 0, camera);
        QVERIFY(w.ptzPanel()->showsFullPanel());

        // Up tilts the other way: "Down", then "Stop"; the head really moves and stops.
        const double tilt0 = camera->ptzPosition().tilt;
        pressAndRelease(child<QPushButton>(w, "ptzUpButton"), 500);
        QCOMPARE(ptzRequests(camera), QList<QByteArray>({ptzText("Down"), ptzText("Stop")}));
        const double tilt1 = camera->ptzPosition().tilt;
        QVERIFY2(tilt1 < tilt0 - 15, qPrintable(QString::number(tilt1)));
        SimulatedClock::advance(500);
        QCOMPARE(camera->ptzPosition().tilt, tilt1);

        camera->clearReceived();
        pressAndRelease(child<QPushButton>(w, "ptzDownButton"));
        pressAndRelease(child<QPushButton>(w, "ptzLeftButton"), 300);
        const double pan = camera->ptzPosition().pan;
        QVERIFY2(pan > 10, qPrintable(QString::number(pan))); // this model swaps left and right
        pressAndRelease(child<QPushButton>(w, "ptzRightButton"));
        child<QPushButton>(w, "ptzHomeButton")->click();
        QCOMPARE(ptzRequests(camera), QList<QByteArray>({ptzText("Up"), ptzText("Stop"), ptzText("Right"),
                                                         ptzText("Stop"), ptzText("Left"), ptzText("Stop"),
                                                         ptzText("Gohome")}));
        SimulatedClock::advance(10000);
        QCOMPARE(camera->ptzPosition().pan, 0.0);
        QCOMPARE(camera->ptzPosition().tilt, 0.0);
    }

    void heldButtonThatDisappearsStopsItsDrive()
    {
        SimFixture sim;
        SimulatedCamera *first = sim.add("RV-K310A-WU", "One", "SN001");
        SimulatedCamera *second = sim.add("RV-K310A-WU", "Two", "SN002");
        Widget w;
        activate(w, 0, first);

        // Another camera is opened while the left arrow is held: the first camera stops.
        child<QPushButton>(w, "ptzLeftButton")->pressed();
        second->clearReceived();
        activate(w, 1, second);
        QCOMPARE(ptzRequests(first), QList<QByteArray>({ptzText("Right"), ptzText("Stop")}));
        QVERIFY(!first->ptz().isMoving(SimulatedClock::nowMs()));
        QVERIFY(ptzRequests(second).isEmpty());

        // The area is hidden (a refresh starts) while zoom is held.
        child<QPushButton>(w, "zoomPlusButton")->pressed();
        w.ptzPanel()->show();
        w.show();
        w.handleRefresh();
        QCOMPARE(ptzRequests(second), QList<QByteArray>({ptzText("ZoomTele"), ptzText("ZoomStop")}));

        // A normal release leaves nothing to stop.
        QVERIFY(!w.ptzPanel()->commands()->driveRunning());
    }

    void panSwapFollowsTheModel()
    {
        SimFixture sim;
        SimulatedCamera *swapped = sim.add("RV-K311E-FZ", "Fz", "SN001");
        SimulatedCamera *plain = sim.add("RV-K310A-WP", "Wp", "SN002");
        Widget w;
        PtzCommands *ptz = w.ptzPanel()->commands();

        activate(w, 0, swapped);
        ptz->onPTLeftPressed();
        ptz->onPTLeftReleased();
        ptz->onPTRightPressed();
        ptz->onPTRightReleased();
        QCOMPARE(ptzRequests(swapped),
                 QList<QByteArray>({ptzText("Right"), ptzText("Stop"), ptzText("Left"), ptzText("Stop")}));

        activate(w, 1, plain);
        ptz->onPTLeftPressed();
        ptz->onPTRightPressed();
        QCOMPARE(ptzRequests(plain), QList<QByteArray>({ptzText("Left"), ptzText("Right")}));
        QCOMPARE(ptzRequests(swapped).size(), 4); // nothing went to the other camera
    }

    void zoomAndFocusOnBothLayouts()
    {
        SimFixture sim;
        SimulatedCamera *b1 = sim.add("RV-K310A-WU-BEFA", "B", "SN001");
        SimulatedCamera *a1 = sim.add("RV-K310A-WP", "A", "SN002");
        Widget w;
        const QList<QByteArray> expected = {ptzText("ZoomTele"),  ptzText("ZoomStop"), ptzText("ZoomWide"),
                                            ptzText("ZoomStop"),  ptzText("FocusNear"), ptzText("FocusStop"),
                                            ptzText("FocusFar"), ptzText("FocusStop")};
        for (auto [slot, camera] : {std::pair{0, b1}, std::pair{1, a1}}) {
            activate(w, slot, camera);
            const double zoom0 = camera->ptzPosition().zoom;
            pressAndRelease(child<QPushButton>(w, "zoomPlusButton"), 1000);
            QVERIFY(camera->ptzPosition().zoom > zoom0 + 20);
            QCOMPARE(child<QPushButton>(w, "zoomPlusButton")->text(), QString("变焦+"));
            pressAndRelease(child<QPushButton>(w, "zoomMinusButton"));
            QCOMPARE(child<QPushButton>(w, "focusPlusButton")->text(), QString("聚焦+"));
            pressAndRelease(child<QPushButton>(w, "focusPlusButton"));
            pressAndRelease(child<QPushButton>(w, "focusMinusButton"));
            QCOMPARE(ptzRequests(camera), expected);
        }
    }

    void commandsObeyTheGuardAndNeedACamera()
    {
        QList<QByteArray> sent;
        int index = -1;
        bool open = true;
        const QString model = "RV-K310A-WP";
        PtzCommands ptz({[&](int i, const QByteArray &t) {
                             sent << QByteArray::number(i) + " " + t;
                             return true;
                         },
                         &index, &model, &open});
        LogCapture log;
        ptz.onPTUpPressed();
        QVERIFY(sent.isEmpty()); // no camera active; the slot still logs
        QVERIFY(log.contains("pt Up Pressed"));

        index = 2;
        open = false;
        QVERIFY(!ptz.sendPtzCommand("Stop"));
        ptz.onPresetActionTriggered(1, "add");
        QVERIFY(sent.isEmpty());

        open = true;
        ptz.onPresetActionTriggered(1, "rename"); // unknown words send nothing
        ptz.onPresetActionTriggered(3, "delete");
        ptz.onSpeedChanged(7);
        QCOMPARE(sent, QList<QByteArray>({"2 " + presetText("Del", 4)}));
        QVERIFY(log.contains("Preset 3 action: \"delete\""));
        QVERIFY(log.contains("[PRESET_CMD] device: 2 command: \"Del\" id: 4"));
        QVERIFY(log.contains("Speed changed to: 7"));
    }

    void presetsStoreAndRecallPositions()
    {
        SimFixture sim;
        SimulatedCamera *camera = sim.add("RV-K310A-WU", "Desk", "SN001");
        Widget w;
        activate(w, 0, camera);
        auto *preset1 = child<QPushButton>(w, "presetButton1");
        QVERIFY(preset1 && preset1->menu());
        QCOMPARE(actionTexts(preset1->menu()), QStringList({"增加", "调用", "删除", "快捷键", "命名", "记住名称和快捷键"}));
        for (QAction *action : preset1->menu()->actions())
            QCOMPARE(action->property("presetId").toInt(), 1);

        pressAndRelease(child<QPushButton>(w, "ptzRightButton"), 500);
        const SimulatedPtz::Position stored = camera->ptzPosition();
        QVERIFY(stored.pan < -20);
        menuAction(preset1->menu(), "增加")->trigger();
        QVERIFY(camera->ptz().presets().contains(2));

        child<QPushButton>(w, "ptzHomeButton")->click();
        SimulatedClock::advance(10000);
        QCOMPARE(camera->ptzPosition().pan, 0.0);
        menuAction(preset1->menu(), "调用")->trigger();
        SimulatedClock::advance(10000);
        QCOMPARE(camera->ptzPosition().pan, stored.pan);
        menuAction(preset1->menu(), "删除")->trigger();
        QVERIFY(!camera->ptz().presets().contains(2));

        menuAction(child<QPushButton>(w, "presetButton3")->menu(), "增加")->trigger();
        QCOMPARE(ptzRequests(camera),
                 QList<QByteArray>({ptzText("Left"), ptzText("Stop"), presetText("Set", 2), ptzText("Gohome"),
                                    presetText("Call", 2), presetText("Del", 2), presetText("Set", 4)}));
    }

    void compactBarPresetSubmenus()
    {
        SimFixture sim;
        SimulatedCamera *camera = sim.add("RV-T782-KB", "Room", "SN001");
        Widget w;
        activate(w, 0, camera);
        auto *preset = child<QPushButton>(w, "compactPresetButton");
        QVERIFY(preset && preset->menu());
        QCOMPARE(preset->text(), QString("预置位"));
        QStringList titles;
        for (QAction *action : preset->menu()->actions()) {
            titles << action->text();
            QCOMPARE(actionTexts(action->menu()), QStringList({"增加", "调用", "删除", "快捷键", "命名", "记住名称和快捷键"}));
        }
        QCOMPARE(titles, QStringList({"1", "2", "3"}));
        menuAction(preset->menu()->actions()[2]->menu(), "增加")->trigger();
        menuAction(preset->menu()->actions()[0]->menu(), "调用")->trigger();
        QCOMPARE(ptzRequests(camera), QList<QByteArray>({presetText("Set", 4), presetText("Call", 2)}));
    }

    void speedRowIsLocal()
    {
        SimFixture sim;
        SimulatedCamera *camera = sim.add("RV-K310A-WU", "Desk", "SN001");
        Widget w;
        activate(w, 0, camera);
        auto *slider = child<QSlider>(w, "ptzSpeedSlider");
        auto *edit = child<QLineEdit>(w, "ptzSpeedEdit");
        QCOMPARE(slider->value(), 5);
        QCOMPARE(edit->text(), QString("5"));

        LogCapture log;
        slider->setValue(8);
        QCOMPARE(edit->text(), QString("8"));
        QVERIFY(log.contains("Speed changed to: 8"));
        for (const char *typed : {"12", "0", "x"}) {
            edit->setText(typed);
            emit edit->editingFinished();
            QCOMPARE(slider->value(), 8);
        }
        edit->setText("3");
        emit edit->editingFinished();
        QCOMPARE(slider->value(), 3);
        QVERIFY(camera->receivedRequests().isEmpty());
    }

    void shortcutBindingRules()
    {
        SimFixture sim;
        SimulatedCamera *camera = sim.add("RV-K310A-WU", "Desk", "SN001");
        Widget w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        activate(w, 0, camera);
        auto *preset1 = child<QPushButton>(w, "presetButton1");
        auto *preset2 = child<QPushButton>(w, "presetButton2");
        PresetShortcuts *shortcuts = w.ptzPanel()->shortcuts();

        QKeySequence sequence("Ctrl+1");
        ShortcutAnswer answer(&sequence);
        menuAction(preset1->menu(), "快捷键")->trigger();
        QCOMPARE(answer.titles, QStringList({"设置快捷键 - 预置位 1"}));
        QCOMPARE(preset1->text(), QString("预置位1 (Ctrl+1)"));
        QCOMPARE(preset1->toolTip(), QString("快捷键: Ctrl+1"));

        // The same sequence on another preset is refused; preset 2 stays unbound.
        menuAction(preset2->menu(), "快捷键")->trigger();
        QCOMPARE(sim.boxes.size(), 1);
        QCOMPARE(sim.boxes[0].title, QString("快捷键冲突"));
        QCOMPARE(sim.boxes[0].text, QString("该快捷键已被预置位 1 使用"));
        QVERIFY(shortcuts->shortcut(2).isEmpty());
        QCOMPARE(preset2->text(), QString("预置位2"));

        // Rebinding preset 1 frees Ctrl+1 and replaces the label's parenthesis.
        sequence = QKeySequence("Ctrl+2");
        menuAction(preset1->menu(), "快捷键")->trigger();
        QCOMPARE(preset1->text(), QString("预置位1 (Ctrl+2)"));
        QTest::keyClick(&w, Qt::Key_2, Qt::ControlModifier);
        QTest::keyClick(&w, Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(ptzRequests(camera), QList<QByteArray>({presetText("Call", 2)}));

        sequence = QKeySequence("Ctrl+1");
        menuAction(preset2->menu(), "快捷键")->trigger();
        QCOMPARE(sim.boxes.size(), 1);
        QCOMPARE(preset2->text(), QString("预置位2 (Ctrl+1)"));
        QTest::keyClick(&w, Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(ptzRequests(camera).last(), presetText("Call", 3));

        // Binding a preset to its own sequence again is no conflict.
        shortcuts->onShortcutSet(2, QKeySequence("Ctrl+1"));
        QCOMPARE(sim.boxes.size(), 1);

        // An empty sequence is refused.
        sequence = QKeySequence();
        menuAction(preset1->menu(), "快捷键")->trigger();
        QCOMPARE(sim.boxes.size(), 2);
        QCOMPARE(sim.boxes[1].title, QString("无效快捷键"));
        QCOMPARE(sim.boxes[1].text, QString("请设置有效的快捷键组合"));
        QCOMPARE(shortcuts->shortcut(1), QKeySequence("Ctrl+2"));
    }

    // A bare Enter or Escape answers the dialog; with a modifier it is recorded.
    void shortcutDialogAnswersOnEnterAndEscape_data()
    {
        QTest::addColumn<QList<QKeyCombination>>("typed");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("chosen"); // "-" when nothing is chosen
        const auto ctrlShiftF2 = QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_F2);
        QTest::newRow("chord, Return") << QList<QKeyCombination>{ctrlShiftF2, Qt::Key_Return} << int(QDialog::Accepted)
                                       << "Ctrl+Shift+F2";
        QTest::newRow("chord, keypad Enter")
            << QList<QKeyCombination>{ctrlShiftF2, QKeyCombination(Qt::KeypadModifier, Qt::Key_Enter)}
            << int(QDialog::Accepted) << "Ctrl+Shift+F2";
        QTest::newRow("two chords, Return")
            << QList<QKeyCombination>{Qt::ControlModifier | Qt::Key_K, Qt::ControlModifier | Qt::Key_S, Qt::Key_Return}
            << int(QDialog::Accepted) << "Ctrl+K, Ctrl+S";
        QTest::newRow("Ctrl+Return is a chord")
            << QList<QKeyCombination>{Qt::ControlModifier | Qt::Key_Return, Qt::Key_Return} << int(QDialog::Accepted)
            << "Ctrl+Return";
        QTest::newRow("chord, Escape") << QList<QKeyCombination>{ctrlShiftF2, Qt::Key_Escape} << int(QDialog::Rejected)
                                       << "-";
        QTest::newRow("Return alone") << QList<QKeyCombination>{Qt::Key_Return} << int(QDialog::Accepted) << "";
    }
    void shortcutDialogAnswersOnEnterAndEscape()
    {
        QFETCH(QList<QKeyCombination>, typed);
        QFETCH(int, result);
        QFETCH(QString, chosen);
        ShortcutDialog dialog(1);
        QStringList emitted;
        connect(&dialog, &ShortcutDialog::shortcutChosen, this, [&](int, const QKeySequence &sequence) {
            emitted << sequence.toString(QKeySequence::PortableText);
        });
        dialog.show();
        for (const QKeyCombination &key : typed)
            QTest::keyClick(dialog.editor(), key.key(), key.keyboardModifiers());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), result);
        QCOMPARE(emitted, chosen == "-" ? QStringList() : QStringList{chosen});
    }

    // A long name gives way to the shortcut and leaves the other buttons their labels.
    void longPresetNamesAreElidedBeforeTheirShortcut()
    {
        SimFixture sim;
        SimulatedCamera *b1 = sim.add("RV-K310A-WU", "Desk", "SN001");
        SimulatedCamera *c5 = sim.add("RV-T782-KB", "Room", "SN002");
        Widget w;
        w.show();
        activate(w, 0, b1);
        PresetShortcuts *shortcuts = w.ptzPanel()->shortcuts();
        const QString name = "Conference Room Left Wide";
        shortcuts->setPresetName(2, name);
        shortcuts->onShortcutSet(2, QKeySequence("Ctrl+Shift+F2"));
        shortcuts->onShortcutSet(1, QKeySequence("Ctrl+1"));
        QCoreApplication::processEvents();
        auto *button = child<QPushButton>(w, "presetButton2");
        const QString shown = button->text();
        QVERIFY2(shown.endsWith(" (Ctrl+Shift+F2)") && shown.contains("…") && shown.startsWith("Con"),
                 qPrintable(shown));
        QVERIFY(button->toolTip().contains(name + " (Ctrl+Shift+F2)"));
        QVERIFY(button->toolTip().contains("快捷键: Ctrl+Shift+F2"));
        QVERIFY(button->fontMetrics().horizontalAdvance(shown) < button->width() - 12);
        int right = 0;
        for (int n : {1, 2, 3}) {
            auto *each = child<QPushButton>(w, qPrintable(QString("presetButton%1").arg(n)));
            QVERIFY(each->x() >= right);
            right = each->geometry().right();
            QVERIFY(right < each->parentWidget()->width());
            if (n != 2) // the neighbours keep their shortcut readable
                QVERIFY2(each->text().endsWith(n == 1 ? "(Ctrl+1)" : "3"), qPrintable(each->text()));
        }

        // The compact bar's menu names the preset and its shortcut as the button did.
        activate(w, 1, c5);
        QStringList titles;
        for (QAction *action : child<QPushButton>(w, "compactPresetButton")->menu()->actions())
            titles << action->text();
        QCOMPARE(titles, QStringList({"1 (Ctrl+1)", "2 " + name + " (Ctrl+Shift+F2)", "3"}));
        shortcuts->onShortcutSet(3, QKeySequence("Ctrl+3"));
        QCOMPARE(child<QPushButton>(w, "compactPresetButton")->menu()->actions().at(2)->text(),
                 QString("3 (Ctrl+3)"));
    }

    void shortcutsOutliveRebuilds()
    {
        SimFixture sim;
        SimulatedCamera *b1 = sim.add("RV-K310A-WU", "Desk", "SN001");
        SimulatedCamera *c5 = sim.add("RV-T782-KB", "Room", "SN002");
        Widget w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        activate(w, 0, b1);
        PresetShortcuts *shortcuts = w.ptzPanel()->shortcuts();
        shortcuts->onShortcutSet(3, QKeySequence("Ctrl+3"));
        QCOMPARE(child<QPushButton>(w, "presetButton3")->text(), QString("预置位3 (Ctrl+3)"));

        // Cancelling the dialog binds nothing.
        QKeySequence sequence("Ctrl+5");
        {
            ShortcutAnswer cancel(&sequence, true);
            shortcuts->onSetShortcut(1);
        }
        QVERIFY(shortcuts->shortcut(1).isEmpty());

        activate(w, 1, c5);
        QVERIFY(!w.ptzPanel()->showsFullPanel());
        QVERIFY(!child<QPushButton>(w, "presetButton3"));
        QVERIFY(!shortcuts->presetButton(3));
        shortcuts->onShortcutSet(1, QKeySequence("Ctrl+4"));
        QCOMPARE(child<QPushButton>(w, "compactPresetButton")->text(), QString("预置位"));
        QTest::keyClick(&w, Qt::Key_3, Qt::ControlModifier);
        QTest::keyClick(&w, Qt::Key_4, Qt::ControlModifier);
        QCOMPARE(ptzRequests(c5), QList<QByteArray>({presetText("Call", 4), presetText("Call", 2)}));

        // Back on the full panel the buttons show their bindings again, and they work.
        activate(w, 0, b1);
        QCOMPARE(child<QPushButton>(w, "presetButton3")->text(), QString("预置位3 (Ctrl+3)"));
        QCOMPARE(child<QPushButton>(w, "presetButton3")->toolTip(), QString("快捷键: Ctrl+3"));
        QCOMPARE(child<QPushButton>(w, "presetButton1")->text(), QString("预置位1 (Ctrl+4)"));
        QTest::keyClick(&w, Qt::Key_3, Qt::ControlModifier);
        QCOMPARE(ptzRequests(b1), QList<QByteArray>({presetText("Call", 4)}));
    }

    void rememberedNamesAndShortcutsSurviveARestart()
    {
        SimFixture sim;
        SimulatedCamera *b1 = sim.add("RV-K310A-WU", "Desk", "SN/001");
        SimulatedCamera *other = sim.add("RV-K310A-WU", "Hall", "SN002");
        ModelNameDialog::setTestDriver([](ModelNameDialog &dialog) {
            QCOMPARE(dialog.windowTitle(), QString("预置位命名"));
            dialog.edit()->setText("  Door (east)  ");
            dialog.okButton()->click();
        });
        auto restart = [&](std::unique_ptr<Widget> &w) {
            w.reset();
            w = std::make_unique<Widget>();
            w->show();
            w->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(w.get()));
        };
        std::unique_ptr<Widget> w;
        restart(w);
        activate(*w, 0, b1);
        QMenu *menu2 = child<QPushButton>(*w, "presetButton2")->menu();
        PresetShortcuts *shortcuts = w->ptzPanel()->shortcuts();
        menuAction(menu2, "命名")->trigger();
        shortcuts->onShortcutSet(2, QKeySequence("Ctrl+2"));
        QCOMPARE(child<QPushButton>(*w, "presetButton2")->text(), QString("Door (east) (Ctrl+2)"));
        emit menu2->aboutToShow();
        QVERIFY(!menuAction(menu2, "记住名称和快捷键")->isChecked());

        // Session-only by default: a restart forgets both.
        restart(w);
        activate(*w, 0, b1);
        QCOMPARE(child<QPushButton>(*w, "presetButton2")->text(), QString("预置位2"));
        QVERIFY(w->ptzPanel()->shortcuts()->shortcuts().isEmpty());

        // Remembered: stored whole, restored for this camera only.
        menu2 = child<QPushButton>(*w, "presetButton2")->menu();
        menuAction(menu2, "命名")->trigger();
        menuAction(menu2, "记住名称和快捷键")->trigger();
        w->ptzPanel()->shortcuts()->onShortcutSet(2, QKeySequence("Ctrl+2"));
        QVERIFY(QFile::exists(PresetStore::dir() + "/SN_001.json"));
        restart(w);
        activate(*w, 0, b1);
        emit child<QPushButton>(*w, "presetButton2")->menu()->aboutToShow();
        QVERIFY(menuAction(child<QPushButton>(*w, "presetButton2")->menu(), "记住名称和快捷键")->isChecked());
        QCOMPARE(child<QPushButton>(*w, "presetButton2")->text(), QString("Door (east) (Ctrl+2)"));
        QTest::keyClick(w.get(), Qt::Key_2, Qt::ControlModifier);
        QCOMPARE(ptzRequests(b1), QList<QByteArray>({presetText("Call", 3)}));

        // Another camera has the session's own bindings, which come back after a
        // remembered camera was shown.
        activate(*w, 1, other);
        QCOMPARE(child<QPushButton>(*w, "presetButton2")->text(), QString("预置位2"));
        QTest::keyClick(w.get(), Qt::Key_2, Qt::ControlModifier);
        QVERIFY(ptzRequests(other).isEmpty());
        w->ptzPanel()->shortcuts()->onShortcutSet(1, QKeySequence("Ctrl+5"));
        activate(*w, 0, b1);
        QCOMPARE(child<QPushButton>(*w, "presetButton1")->text(), QString("预置位1"));
        activate(*w, 1, other);
        QCOMPARE(child<QPushButton>(*w, "presetButton1")->text(), QString("预置位1 (Ctrl+5)"));

        // Turning it off removes the file (the bindings stay for the session).
        activate(*w, 0, b1);
        menu2 = child<QPushButton>(*w, "presetButton2")->menu();
        emit menu2->aboutToShow();
        menuAction(menu2, "记住名称和快捷键")->trigger();
        QVERIFY(!PresetStore::remembered("SN/001"));
        QCOMPARE(child<QPushButton>(*w, "presetButton2")->text(), QString("Door (east) (Ctrl+2)"));

        // Stored files are read within bounds: stray entries are dropped, a damaged
        // file restores nothing.
        const QList<QPair<QByteArray, QString>> files = {
            {"{\"names\": {\"1\": 5, \"999\": \"x\", \"0\": \"y\", \"2\": \" ok \", \"3\": \"" +
                 QByteArray(40, 'n') + "\"}, \"shortcuts\": {\"1\": \"Ctrl+7\", \"2\": \"Ctrl+7\", \"3\": 7}}",
             "ok|" + QString(PresetStore::kMaxNameLength, 'n') + "|Ctrl+7"},
            {"{\"names\": {\"2\": \"ok\"}, \"shortcuts\": {\"1\": \"Ctrl+Shift+F2, Return\"}}",
             "ok||Ctrl+Shift+F2"}, // the Return that confirmed the dialog, kept by an older version
            {"{\"names\": {\"1\": \"x\"}, \"shortcuts\": [", ""},
        };
        for (const auto &[image, expected] : files) {
            QFile file(PresetStore::filePath("SN002"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(image);
            file.close();
            const std::optional<PresetStore::Book> book = PresetStore::load("SN002");
            QCOMPARE(bool(book), !expected.isEmpty());
            if (book)
                QCOMPARE(book->names.value(2) + "|" + book->names.value(3) + "|" +
                             book->shortcuts.value(1).toString(QKeySequence::PortableText),
                         expected);
            activate(*w, 1, other);
            QCOMPARE(child<QPushButton>(*w, "presetButton2")->text(), book ? QString("ok") : QString("预置位2"));
        }
        ModelNameDialog::setTestDriver({});
    }

    void areaFollowsTheSeriesAndTheToggle()
    {
        SimFixture sim;
        SimulatedCamera *a1 = sim.add("RV-K310A-WP", "A", "SN001");
        SimulatedCamera *b1 = sim.add("RV-K310A-WU", "B", "SN002");
        Widget w;
        PtzArea *area = w.ptzPanel();
        QVERIFY(area->showsFullPanel()); // before any camera is chosen
        QVERIFY(area->isHidden());

        activate(w, 0, a1);
        QVERIFY(!area->showsFullPanel());
        QVERIFY(child<QWidget>(w, "ptzCompactBar"));
        QVERIFY(!child<QWidget>(w, "ptzFullPanel"));
        QVERIFY(!child<QPushButton>(w, "ptzUpButton"));
        QVERIFY(!child<QSlider>(w, "ptzSpeedSlider"));
        QCOMPARE(child<QWidget>(w, "ptzCompactBar")->size(), QSize(360, 100));
        QVERIFY(!area->isHidden());
        QVERIFY(w.ptzToggle()->isChecked());
        QVERIFY(sameIcon(w.ptzToggle()->icon(), "ptz_on.png"));

        activate(w, 1, b1);
        QVERIFY(area->showsFullPanel());
        QVERIFY(!child<QWidget>(w, "ptzCompactBar"));
        for (int n = 1; n <= 3; ++n) {
            auto *button = child<QPushButton>(w, qPrintable(QString("presetButton%1").arg(n)));
            QCOMPARE(button->text(), QString("预置位%1").arg(n));
            QCOMPARE(button->property("presetId").toInt(), n);
            QCOMPARE(area->shortcuts()->presetButton(n), button);
        }

        w.ptzToggle()->click();
        QVERIFY(area->isHidden());
        QVERIFY(!w.ptzToggle()->isChecked());
        QVERIFY(sameIcon(w.ptzToggle()->icon(), "ptz.png"));
        w.ptzToggle()->click();
        QVERIFY(!area->isHidden());
        QVERIFY(w.ptzToggle()->isChecked());
        QVERIFY(sameIcon(w.ptzToggle()->icon(), "ptz_on.png"));
    }
};

QTEST_MAIN(TestPtzPresets)
#include "test_ptz_presets.moc"
