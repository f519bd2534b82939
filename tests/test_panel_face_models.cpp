#include "ai_model_area.h"
#include "face_model_test_kit.h"
#include "camera_window.h"
#include "collection_tip_dialog.h"
#include "face_collection_overlay.h"
#include "face_model_flow.h"
#include "log_capture.h"
#include "model_name_dialog.h"
#include "model_panels.h"
#include "mouse_events.h"
#include "preview_dialogs.h"
#include "sim_fixture.h"
#include "simulated_video.h"
#include "widget.h"
#include "widget_rv_k310a_lnq.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

// The AI model area of the K310A model panels against simulated cameras: the panel's
// own list, enabling by lens, and a collection started from the panel running in the
// preview, while the built-in pages' area stays as it was.
class TestPanelFaceModels : public QObject {
    Q_OBJECT

    struct Rig {
        Rig(SimFixture &sim, const char *model, int lens) : camera(sim.add(model, "Cam", "SN12345")) {
            SimulatedVideo::install(sim.bus());
            camera->state().setVideoParamValue("u8LensType", lens);
            camera->faceModels().clear();
            camera->faceModels().setCaptureMs(0);
            camera->faceModels().addModel(3, "north");
            camera->faceModels().addModel(7, "desk");
            w = FaceModelTestKit::activateFirstCamera();
            flow = w->activeModelPanel() ? w->activeModelPanel()->faceModels() : nullptr;
        }
        QStringList received(const QString &cmd) const { return FaceModelTestKit::received(camera, cmd); }
        QStringList items() const { return FaceModelTestKit::items(flow->area()->combo()); }
        // The built-in pages' flow has seen nothing of the panel's camera.
        bool builtInUntouched() const {
            return w->faceModels()->area()->combo()->count() == 0 && w->faceModels()->collectionModelId() == -1 &&
                   !w->faceModels()->collectionDialog();
        }
        SimulatedCamera *camera;
        std::unique_ptr<Widget> w;
        FaceModelFlow *flow = nullptr;
    };

    QStringList m_names;

private slots:
    void initTestCase() { ModelPanels::install(); }
    void init() { FaceModelTestKit::install(&m_names); }
    void cleanup() { FaceModelTestKit::uninstall(); }

    void listAndEnableFollowThePanel_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("lens");
        QTest::addColumn<QString>("enable");
        QTest::newRow("WP-BEFA") << "RV-K310A-WP-BEFA" << 1
                                 << R"({"Cmd":"ReqSetEnabledFaceModeId","Content":{"FaceModeId":7}})";
        QTest::newRow("LNQ standard") << "RV-K310A-LNQ" << 1
                                      << R"({"Cmd":"ReqSetEnabledFaceModeId","Content":{"FaceModeId":7}})";
        QTest::newRow("LNQ portrait") << "RV-K310A-LNQ" << 2
                                      << R"({"Cmd":"ReqSetEnabledPortraitModeId","Content":{"PortraitModeId":7}})";
    }
    void listAndEnableFollowThePanel() {
        QFETCH(QString, model);
        QFETCH(int, lens);
        QFETCH(QString, enable);
        SimFixture sim;
        Rig r(sim, qPrintable(model), lens);
        QVERIFY(r.flow);
        // Every apply of the panel asks for the lists; they land in the panel's area.
        QTRY_COMPARE(r.items(), QStringList({"north:3", "desk:7"}));
        QTRY_VERIFY(!r.received("ReqGetEnabledFaceIds").isEmpty());
        r.camera->clearReceived();
        r.flow->area()->combo()->setCurrentIndex(1);
        r.flow->area()->enableButton()->click();
        QCOMPARE(r.received("ReqSetFaceFocusTrain"),
                 QStringList{R"({"Cmd":"ReqSetFaceFocusTrain","Content":{"Type":"select","ID":7}})"});
        QCOMPARE(r.received(enable.section('"', 3, 3)), QStringList{enable});
        QVERIFY(r.flow->modelEnabled());
        QVERIFY(r.builtInUntouched());
    }

    // Recorded from the panel: the preview opens, the camera's statuses reach it, the
    // success names the model through the panel; a collection ended by closing the
    // preview takes only its own item away.
    void collectionFromThePanel_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("fail");
        QTest::newRow("LNQ success") << "RV-K310A-LNQ" << false;
        QTest::newRow("WP-BEFA failure") << "RV-K310A-WP-BEFA" << true;
    }
    void collectionFromThePanel() {
        QFETCH(QString, model);
        QFETCH(bool, fail);
        LogCapture log;
        SimFixture sim;
        Rig r(sim, qPrintable(model), 1);
        QTRY_COMPARE(r.items(), QStringList({"north:3", "desk:7"}));
        m_names = QStringList{"访客"};
        QSignalSpy started(r.w.get(), &Widget::startFaceDataCollection);
        r.flow->area()->addButton()->click();
        QCOMPARE(r.items(), QStringList({"north:3", "desk:7", "访客:8"}));
        QVERIFY(r.flow->collectionDialog());
        r.flow->collectionDialog()->confirmButton()->click();
        QCOMPARE(started.value(0).value(0).toInt(), 8);
        QVERIFY(r.w->previewToggle()->isChecked());
        QTRY_VERIFY(r.w->cameraWindow() && r.w->cameraWindow()->faceCollection()->panel());
        FaceCollectionOverlay *overlay = r.w->cameraWindow()->faceCollection();
        QCOMPARE(overlay->faceModelId(), 8);
        if (fail) {
            r.w->cameraWindow()->close();
            QCOMPARE(r.items(), QStringList({"north:3", "desk:7"}));
            QVERIFY(r.received("ReqSetFaceIdName").isEmpty());
        } else {
            overlay->startButton()->click();
            QTRY_VERIFY_WITH_TIMEOUT(overlay->finished(), 5000);
            QVERIFY(!r.received("ReqSetFaceFocusTrain").filter("\"Type\":\"run\",\"ID\":8").isEmpty());
            QTRY_COMPARE(r.camera->faceModels().names(), QStringList({"north", "desk", "访客"}));
            const QString command = R"({"Cmd":"ReqSetFaceIdName","Content":{"ID":8,"Name":"访客"}})";
            QCOMPARE(r.received("ReqSetFaceIdName"), QStringList{command});
            QVERIFY(log.contains("on face collection success - " + command)); // readable
            QTRY_COMPARE(r.items(), QStringList({"north:3", "desk:7", "访客:8"}));
        }
        QCOMPARE(r.flow->collectionModelId(), -1);
        QVERIFY(r.builtInUntouched());
    }

    // The lens camera's warm tip moves with its title bar and lets no key through.
    void lnqWarmTipHoldsInput() {
        SimFixture sim;
        Rig r(sim, "RV-K310A-LNQ", 1);
        QTRY_COMPARE(r.items(), QStringList({"north:3", "desk:7"}));
        m_names = QStringList{"guest"};
        r.flow->area()->addButton()->click();
        CollectionTipDialog *tip = r.flow->collectionDialog();
        const QPoint before = tip->pos();
        MouseEvents::drag(tip->titleBar(), QPoint(60, 20), QPoint(160, 70));
        QCOMPARE(tip->pos(), before + QPoint(100, 50));
        QTest::keyClick(tip->confirmButton(), Qt::Key_Space);
        QVERIFY(tip->isVisible());
    }
};

QTEST_MAIN(TestPanelFaceModels)
#include "test_panel_face_models.moc"
