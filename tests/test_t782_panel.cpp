#include "camera_config_file.h"
#include "collapsible_group.h"
#include "debounced_param_sender.h"
#include "file_dialogs.h"
#include "model_panels.h"
#include "packet_cmd.h"
#include "palette_page.h"
#include "param_control.h"
#include "param_page_set.h"
#include "sim_fixture.h"
#include "sim_requests.h"
#include "widget.h"
#include "widget_rv_t782_kb_befa.h"

#include <QComboBox>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QFocusEvent>
#include <QApplication>
#include <QTest>

#include <memory>

using SimRequests::countCmd;
using SimRequests::sentParams;

// One simulated RV-T782-KB camera and one control panel for all cases; each case
// starts from the camera's own record shown on the panel.
class TestT782Panel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        ModelPanels::install();
        m_sim = std::make_unique<SimFixture>();
        m_cam = m_sim->add("RV-T782-KB", "Cam", "SN782");
        m_cam->setReturnDelayMs(50);
        m_w = std::make_unique<Widget>();
        if (!m_w->refreshButton()->isEnabled()) {
            QSignalSpy refreshed(m_w.get(), &Widget::deviceListRefreshed);
            QVERIFY(refreshed.wait(5000));
        }
        m_w->onDeviceDoubleClicked(m_w->deviceItem(0), 0);
        m_panel = qobject_cast<widget_RV_T782_KB_BEFA *>(m_w->activeModelPanel());
        QVERIFY(m_panel);
        QWidget *box = m_w->findChild<QWidget *>("rv_t782_kb_befa_container");
        QVERIFY(box && !box->isHidden());
        QCOMPARE(m_panel->pages()->keys().size(), 39);
        m_record = m_panel->camera()->params();
        m_record[52] = m_cam->setting("lvdsFreq"); // as the panel's own reading stores it
    }
    void init()
    {
        m_panel->applyParams(m_record, false);
        m_cam->clearReceived();
    }
    void cleanupTestCase()
    {
        m_w.reset();
        m_sim.reset();
    }

    void rowsSendTheirCodes_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("face priority") << "ucFocusMode" << 0 << QStringList{"ucFocusMode=3", "u32AIFocus=1"};
        QTest::newRow("TOF") << "ucFocusMode" << 1 << QStringList{"ucFocusMode=3", "u32AIFocus=0"};
        QTest::newRow("one-shot") << "ucFocusMode" << 4 << QStringList{"ucFocusMode=2", "u32AIFocus=0"};
        QTest::newRow("1/140") << "uiMShutterSpeed" << 4 << QStringList{"uiMShutterSpeed=31"};
        QTest::newRow("1/4000") << "uiMShutterSpeed" << 18 << QStringList{"uiMShutterSpeed=25"};
        QTest::newRow("area top") << "ucAFArea" << 1 << QStringList{"ucAFArea=2"};
        QTest::newRow("exposure area") << "ucAEWeightLevel" << 2 << QStringList{"ucAEWeightLevel=3"};
        QTest::newRow("wb once") << "eWBMode" << 2 << QStringList{"eWBMode=3"};
        QTest::newRow("shutter priority") << "eExposureMode" << 2 << QStringList{"eExposureMode=2"};
        QTest::newRow("near limit") << "ucFocusDistanceMin" << 4 << QStringList{"ucFocusDistanceMin=4"};
        QTest::newRow("laser range") << "nMaxValDistance" << 3 << QStringList{"nMaxValDistance=3"};
        QTest::newRow("digital zoom") << "ucDigitalZoom" << 1 << QStringList{"ucDigitalZoom=1"};
        QTest::newRow("mirror h") << "bHorzInvert" << 1 << QStringList{"bHorzInvert=1"};
        QTest::newRow("compensation") << "BExpCPS" << 60 << QStringList{"BExpCPS=10"};
        QTest::newRow("2D NR") << "uc2DNR" << 70 << QStringList{"uc2DNR=70"};
        QTest::newRow("colour temperature") << "u32CTNum" << 56 << QStringList{"u32CTNum=5600"};
    }
    void rowsSendTheirCodes()
    {
        QFETCH(QString, key);
        QFETCH(int, shown);
        QFETCH(QStringList, sent);
        ParamControl *c = m_panel->pages()->control(key);
        QVERIFY(c);
        if (c->value() == shown) {
            c->setValue(shown == 0 ? 1 : 0);
            QTest::qWait(DebouncedParamSender::kDefaultIntervalMs + 50);
            m_cam->clearReceived();
        }
        c->setValue(shown);
        QTRY_COMPARE(sentParams(m_cam), sent);
        for (const QString &pair : sent) {
            const QString k = pair.section('=', 0, 0);
            const int v = m_cam->state().hasSetting(k) ? m_cam->setting(k) : m_cam->videoParam(k);
            QCOMPARE(v, pair.section('=', 1).toInt());
        }
    }

    void boxesShowTheirOwnText()
    {
        m_panel->pages()->control("BExpCPS")->setValue(30);
        QCOMPARE(m_panel->pages()->control("BExpCPS")->slider.lineEdit->text(), QString("-20"));
        m_panel->pages()->control("u32CTNum")->setValue(56);
        QCOMPARE(m_panel->pages()->control("u32CTNum")->slider.lineEdit->text(), QString("+5600K"));
        QTRY_COMPARE(sentParams(m_cam), (QStringList{"BExpCPS=-20", "u32CTNum=5600"}));

        // Leaving a box as it was shown changes nothing; what is typed is a slider value,
        // and the box keeps its own display afterwards.
        struct Typed {
            const char *key;
            const char *typed; // nullptr: focus in and out without typing
            const char *shown;
            int value;
        };
        const Typed typed[] = {{"BExpCPS", nullptr, "-20", 30}, {"u32CTNum", nullptr, "+5600K", 56},
                               {"u32CTNum", "56", "+5600K", 56}, {"u32CTNum", "70", "+7000K", 70},
                               {"BExpCPS", "60", "10", 60}};
        for (const Typed &t : typed) {
            ParamControl *c = m_panel->pages()->control(t.key);
            QLineEdit *edit = c->slider.lineEdit;
            if (t.typed) {
                edit->selectAll();
                edit->del();
                QTest::keyClicks(edit, t.typed);
            }
            QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
            QApplication::sendEvent(edit, &focusOut);
            QCOMPARE(edit->text(), QString(t.shown));
            QCOMPARE(c->slider.slider->value(), t.value);
        }
        QTRY_COMPARE(sentParams(m_cam).mid(2), (QStringList{"u32CTNum=7000", "BExpCPS=10"}));
    }

    void tofChannelSendsEveryStepAsASetting()
    {
        ParamControl *tof = m_panel->pages()->control("lvdsFreq");
        QCOMPARE(tof->value(), 21); // the camera reports 100
        tof->slider.slider->setValue(22);
        tof->slider.slider->setValue(23);
        QCOMPARE(sentParams(m_cam), (QStringList{"lvdsFreq=101", "lvdsFreq=102"}));
        QCOMPARE(countCmd(m_cam, "ReqSetSetting"), 2);
    }

    void gainEditsTheValueOfTheExposureMode()
    {
        ParamControl *mode = m_panel->pages()->control("eExposureMode");
        ParamControl *gain = m_panel->pages()->control("ucAutoGainLimit");
        mode->setValue(1);
        m_cam->clearReceived();
        gain->setValue(40);
        QTRY_COMPARE(sentParams(m_cam), QStringList{"ucManualGain=40"});
        mode->setValue(0);
        QCOMPARE(gain->value(), m_record[26]);
        QVERIFY(m_panel->pages()->control("BExpCPS")->isRowVisible());
        QTest::qWait(DebouncedParamSender::kDefaultIntervalMs + 50);
        QCOMPARE(sentParams(m_cam), (QStringList{"ucManualGain=40", "eExposureMode=0"}));
        gain->setValue(33);
        QTRY_COMPARE(sentParams(m_cam).last(), QString("ucAutoGainLimit=33"));
        mode->setValue(1);
        QCOMPARE(gain->value(), 40);
        // Shutter priority: compensation and iris hidden, shutter and backlight shown.
        mode->setValue(2);
        QVERIFY(!m_panel->pages()->control("BExpCPS")->isRowVisible());
        QVERIFY(!m_panel->pages()->control("ucManualIris")->isRowVisible());
        QVERIFY(m_panel->pages()->control("uiMShutterSpeed")->isRowVisible());
        QVERIFY(m_panel->pages()->control("bBacklightCompensation")->isRowVisible());
    }

    void applyShowsTheRecord_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QList<int>>("slotValues"); // slot, value pairs
        QTest::addColumn<int>("shown");             // -2: unchanged
        QTest::newRow("face priority") << "ucFocusMode" << QList<int>{50, 3, 59, 1} << 0;
        QTest::newRow("TOF") << "ucFocusMode" << QList<int>{50, 3, 59, 0} << 1;
        QTest::newRow("manual + AI: unchanged") << "ucFocusMode" << QList<int>{50, 0, 59, 1} << -2;
        QTest::newRow("TOF reported 102") << "lvdsFreq" << QList<int>{52, 102} << 23;
        QTest::newRow("TOF channel 5") << "lvdsFreq" << QList<int>{52, 5} << 5;
        QTest::newRow("TOF 500 clamped") << "lvdsFreq" << QList<int>{52, 500} << 32;
        QTest::newRow("TOF 0 clamped") << "lvdsFreq" << QList<int>{52, 0} << 1;
        QTest::newRow("wb 30 unselected") << "eWBMode" << QList<int>{33, 30} << -1;
        QTest::newRow("wb once") << "eWBMode" << QList<int>{33, 3} << 2;
        QTest::newRow("AF area 2") << "ucAFArea" << QList<int>{54, 2} << 1;
        QTest::newRow("AF area 1 unchanged") << "ucAFArea" << QList<int>{54, 1} << -2;
        QTest::newRow("shutter 8 unchanged") << "uiMShutterSpeed" << QList<int>{24, 8} << -2;
        QTest::newRow("shutter 31") << "uiMShutterSpeed" << QList<int>{24, 31} << 4;
        QTest::newRow("iris 254") << "ucManualIris" << QList<int>{25, 254} << 0;
        QTest::newRow("scene 3") << "eSceneMode" << QList<int>{74, 3} << 1;
        QTest::newRow("manual gain") << "ucAutoGainLimit" << QList<int>{21, 1, 27, 77} << 77;
        QTest::newRow("compensation") << "BExpCPS" << QList<int>{22, -20} << 30;
    }
    void applyShowsTheRecord()
    {
        QFETCH(QString, key);
        QFETCH(QList<int>, slotValues);
        QFETCH(int, shown);
        ParamControl *c = m_panel->pages()->control(key);
        const int before = c->value();
        CameraParams record = m_record;
        for (int i = 0; i + 1 < slotValues.size(); i += 2)
            record[slotValues[i]] = slotValues[i + 1];
        m_panel->applyParams(record, false);
        QCOMPARE(c->value(), shown == -2 ? before : shown);
        // Shown, never sent back (nor re-read after the scene).
        QTest::qWait(DebouncedParamSender::kDefaultIntervalMs + 50);
        QCOMPARE(m_cam->receivedRequests().size(), 0);
    }

    void nearLimitItemsAreCentimetres()
    {
        QComboBox *near = m_panel->pages()->control("ucFocusDistanceMin")->combo;
        QStringList items;
        for (int i = 0; i < near->count(); ++i)
            items << near->itemText(i);
        QCOMPARE(items, (QStringList{"30cm", "40cm", "50cm", "60cm", "70cm", "80cm"}));
    }

    void sceneChangeRereadsThroughThePanel()
    {
        m_panel->pages()->control("eSceneMode")->setValue(1);
        QCOMPARE(sentParams(m_cam), QStringList{"eSceneMode=3"});
        QCOMPARE(countCmd(m_cam, "ReqGetVideoParam"), 1);
        QCOMPARE(countCmd(m_cam, "ReqGetSetting"), 1);
        // The camera's scene 3 look is on the panel.
        QCOMPARE(m_panel->pages()->control("Contrast")->value(), m_cam->videoParam("Contrast"));
    }

    void exportImportRoundTrip()
    {
        ParamPageSet *pages = m_panel->pages();
        pages->control("ucFocusMode")->setValue(0);
        pages->control("lvdsFreq")->setValue(25);
        pages->control("ucFocusDistanceMin")->setValue(5);
        pages->control("Luminance")->setValue(70);
        const QString file = m_sim->appDir() + "/t782.config";
        FileDialogs::setTestResponder([file](const FileDialogs::Request &) { return file; });
        m_w->exportCameraConfig();
        const CameraConfigFile::ReadResult read = CameraConfigFile::read(file);
        QCOMPARE(read.status, CameraConfigFile::Status::Ok);
        QCOMPARE(read.params[50], 3);
        QCOMPARE(read.params[59], 1);
        QCOMPARE(read.params[52], 104);
        QCOMPARE(read.params[55], 5);
        QCOMPARE(read.params[11], 70); // collected even before the debounced send

        m_panel->applyParams(m_record, false);
        m_cam->clearReceived();
        m_w->importCameraConfig();
        FileDialogs::setTestResponder({});
        QCOMPARE(pages->control("ucFocusMode")->value(), 0);
        QCOMPARE(pages->control("lvdsFreq")->value(), 25);
        QCOMPARE(pages->control("Luminance")->value(), 70);
        QTRY_VERIFY(sentParams(m_cam).contains("Luminance=70"));
        const QStringList sent = sentParams(m_cam);
        for (const char *pair : {"ucFocusMode=3", "u32AIFocus=1", "lvdsFreq=104", "ucFocusDistanceMin=5",
                                 "eExposureMode=0", "eWBMode=1", "eSceneMode=1"})
            QVERIFY2(sent.contains(pair), pair);
        QCOMPARE(m_cam->videoParam("Luminance"), 70);
    }

    // An export keeps what no control can show: a record of values outside every list
    // and range goes out again as it came, but for the slot the user moved.
    void exportKeepsWhatTheControlsCannotShow()
    {
        CameraParams odd;
        for (int slot = 0; slot < CameraParams::kSlotCount; ++slot)
            odd[slot] = 1000 + 7 * slot;
        odd[25] = 254; // iris shown as F1.5
        odd[50] = 0;   // a focus pair without an item
        odd[59] = 1;
        QString path = m_sim->appDir() + "/odd.config";
        QFile in(path);
        QVERIFY(in.open(QIODevice::WriteOnly));
        in.write(CameraConfigFile::encode(odd));
        in.close();
        FileDialogs::setTestResponder([&path](const FileDialogs::Request &) { return path; });
        m_w->importCameraConfig();
        m_panel->pages()->control("Luminance")->setValue(42);
        path += ".out";
        m_w->exportCameraConfig();
        FileDialogs::setTestResponder({});
        odd[11] = 42;
        QCOMPARE(CameraConfigFile::read(path).params.toBytes().toHex(' '), odd.toBytes().toHex(' '));
    }

private:
    std::unique_ptr<SimFixture> m_sim;
    SimulatedCamera *m_cam = nullptr;
    std::unique_ptr<Widget> m_w;
    widget_RV_T782_KB_BEFA *m_panel = nullptr;
    CameraParams m_record;

private slots:

    void resets_data()
    {
        QTest::addColumn<bool>("factory");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QList<int>>("configs");
        QTest::newRow("image") << false << false << QList<int>{1, 35, 36};
        QTest::newRow("factory refused") << true << true << QList<int>{255};
        QTest::newRow("factory") << true << false << QList<int>{255, 35, 36};
    }
    void resets()
    {
        QFETCH(bool, factory);
        QFETCH(bool, refused);
        QFETCH(QList<int>, configs);
        m_sim->boxes.clear();
        if (refused)
            m_cam->setFault(SimulatedCamera::Fault::NegativeResult);
        if (factory)
            m_w->onFactoryResetClicked();
        else
            m_w->onImageResetClicked();
        m_cam->setFault(SimulatedCamera::Fault::None);
        QList<int> sent;
        for (const auto &r : m_cam->receivedRequests())
            if (r.cmd == "ReqSetDefaultParam")
                sent << QJsonDocument::fromJson(r.payload)["Content"]["eDefaultParamCfg"].toInt();
        QCOMPARE(sent, configs);
        if (refused)
            QCOMPARE(m_sim->boxes.last().text, QString("恢复出厂设置失败"));
        if (!factory)
            QCOMPARE(countCmd(m_cam, "ReqGetVideoParam"), 1); // the re-read
    }
};

QTEST_MAIN(TestT782Panel)
#include "test_t782_panel.moc"
