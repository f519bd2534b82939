#include "ai_model_area.h"
#include "face_model_test_kit.h"
#include "camera_window.h"
#include "collection_tip_dialog.h"
#include "face_collection_overlay.h"
#include "face_model_flow.h"
#include "message_boxes.h"
#include "model_name_dialog.h"
#include "preview_controller.h"
#include "preview_dialogs.h"
#include "sim_fixture.h"
#include "simulated_clock.h"
#include "simulated_video.h"
#include "widget.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

// The AI model area of the built-in pages against a simulated camera: the list, the
// enable button, recording a model through the warm tip and the preview's collection,
// naming it, and what happens to the list when a collection fails or is abandoned.
class TestFaceModels : public QObject {
    Q_OBJECT

    struct Rig {
        explicit Rig(SimFixture &sim) : camera(sim.add("RV-K310A-WU", "Cam", "SN001")) {
            SimulatedVideo::install(sim.bus());
            camera->faceModels().clear();
            camera->faceModels().setCaptureMs(0);
            w = FaceModelTestKit::activateFirstCamera();
            flow = w->faceModels();
            combo = flow->area()->combo();
        }
        QStringList received(const QString &cmd) const { return FaceModelTestKit::received(camera, cmd); }
        QStringList items() const { return FaceModelTestKit::items(combo); }
        SimulatedCamera *camera;
        std::unique_ptr<Widget> w;
        FaceModelFlow *flow = nullptr;
        QComboBox *combo = nullptr;
    };

    QStringList m_names; // answers of the name dialog, in order; "" cancels when exhausted

private slots:
    void init() { FaceModelTestKit::install(&m_names); }
    void cleanup() { FaceModelTestKit::uninstall(); }

    void listAndEnabledState_data() {
        QTest::addColumn<int>("enabledId");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("button");
        QTest::newRow("7") << 7 << 2 << "模型启用中";
        QTest::newRow("0") << 0 << 0 << "模型启用";
        QTest::newRow("9") << 9 << 0 << "模型启用中";
    }
    void listAndEnabledState() {
        QFETCH(int, enabledId);
        QFETCH(int, current);
        QFETCH(QString, button);
        SimFixture sim;
        Rig r(sim);
        r.camera->setReplyOverride("ReqGetFaceIDs", R"({"Content":{"nResult":0,"FaceIDs":[3,0,7]}})");
        r.camera->setReplyOverride("ReqGetFaceNames", R"({"Content":{"nResult":0,"FaceNames":["north","","desk"]}})");
        r.camera->setReplyOverride("ReqGetEnabledFaceIds",
                                   QString(R"({"Content":{"nResult":0,"EnabledFaceId":%1}})").arg(enabledId).toUtf8());
        r.camera->clearReceived();
        r.flow->requestFaceModels();
        r.flow->setFaceNames({"north", "", "desk"}); // names known before the ids in this order
        r.flow->requestFaceModels();
        QCOMPARE(r.items(), QStringList({"north:3", "002:2", "desk:7"}));
        QTRY_VERIFY(!r.received("ReqGetEnabledFaceIds").isEmpty());
        QCOMPARE(r.combo->currentIndex(), current);
        QCOMPARE(r.flow->area()->enableButton()->text(), button);
        QCOMPARE(r.flow->modelEnabled(), enabledId != 0);
    }

    void idZeroNeverAddressesAnotherModel() {
        SimFixture sim;
        Rig r(sim);
        r.camera->setReplyOverride("ReqGetFaceIDs", R"({"Content":{"nResult":0,"FaceIDs":[0,1]}})");
        r.flow->requestFaceModels();
        QCOMPARE(r.flow->models().collisions(), QList<int>{0});
        r.combo->setCurrentIndex(0);
        r.camera->clearReceived();
        sim.boxes.clear();
        r.flow->onModelEnableClicked();
        r.flow->onDeleteModelClicked();
        QVERIFY(r.received("ReqSetFaceFocusTrain").isEmpty());
        QVERIFY(r.received("ReqDeleteFocusID").isEmpty());
        QCOMPARE(sim.boxes.size(), 2);
        QCOMPARE(r.flow->models().newModelId(), 2);
    }

    // Names: empty reopens, a camera name is refused, the same name in another case with
    // quotes and a backslash is accepted; the new model gets the largest ID + 1, runs
    // its collection in the preview against the camera and keeps its name.
    void recordNewModelEndToEnd() {
        SimFixture sim;
        Rig r(sim);
        r.camera->faceModels().addModel(3, "north");
        r.camera->faceModels().addModel(7, "desk");
        r.camera->faceModels().select(7);
        r.camera->faceModels().setFaceModeId(7);
        r.camera->faceModels().setStepOutcomes({"finish", "finish", "error", "finish"});
        r.flow->requestFaceModels();
        QTRY_VERIFY(r.flow->modelEnabled());
        r.camera->clearReceived();
        sim.boxes.clear();

        const QString name = QStringLiteral("North \"N\" \\ 1");
        m_names = QStringList{"  ", "north", name};
        r.flow->onAddModelClicked();
        QCOMPARE(sim.boxes.size(), 1);
        QCOMPARE(sim.boxes[0].text, QString("模型已存在，请勿重复添加"));
        QCOMPARE(r.items(), QStringList({"north:3", "desk:7", name + ":8"}));
        QCOMPARE(r.combo->currentIndex(), 2);
        // The model does not exist in the camera yet: nothing enables it.
        QVERIFY(r.received("ReqSetFaceFocusTrain").isEmpty());
        QVERIFY(r.received("ReqSetEnabledFaceModeId").isEmpty());

        QSignalSpy started(r.w.get(), &Widget::startFaceDataCollection);
        QVERIFY(r.flow->collectionDialog());
        r.flow->collectionDialog()->confirmButton()->click();
        QCOMPARE(started.value(0).value(0).toInt(), 8);
        QVERIFY(r.w->previewToggle()->isChecked());
        QTRY_VERIFY(r.w->cameraWindow() && r.w->cameraWindow()->faceCollection()->panel());
        FaceCollectionOverlay *overlay = r.w->cameraWindow()->faceCollection();
        QCOMPARE(overlay->faceModelId(), 8);
        overlay->startButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(overlay->finished(), 5000);
        QCOMPARE(r.received("ReqSetFaceFocusTrain").filter("\"Type\":\"run\",\"ID\":8").size(), 4);
        QTRY_COMPARE(r.camera->faceModels().names(), QStringList({"north", "desk", name}));
        QCOMPARE(r.received("ReqSetFaceIdName"),
                 QStringList{QStringLiteral("{\"Cmd\":\"ReqSetFaceIdName\",\"Content\":{\"ID\":8,\"Name\":\"North \\\"N\\\" \\\\ 1\"}}")});
        QTRY_COMPARE(r.items(), QStringList({"north:3", "desk:7", name + ":8"}));
        QVERIFY(!r.flow->hasPendingFaceName());
    }

    void abandonedOrFailedCollectionsRemoveOnlyTheirOwnItem() {
        SimFixture sim;
        Rig r(sim);
        r.camera->faceModels().addModel(3, "north");
        r.flow->requestFaceModels();
        // Abandoned at the warm tip: the new item goes, and so does its pending name.
        m_names = QStringList{"desk"};
        r.flow->onAddModelClicked();
        QCOMPARE(r.items(), QStringList({"north:3", "desk:4"}));
        r.flow->collectionDialog()->cancelButton()->click();
        QCOMPARE(r.items(), QStringList({"north:3"}));
        QVERIFY(!r.flow->hasPendingFaceName());
        QCOMPARE(r.flow->collectionModelId(), -1);

        // Much later the preview opens and closes: it reports a failure; nothing goes.
        r.w->previewToggle()->click();
        QTRY_VERIFY(r.w->cameraWindow());
        r.w->cameraWindow()->close();
        QTRY_VERIFY(!r.w->cameraWindow());
        QCOMPARE(r.items(), QStringList({"north:3"}));
        r.flow->onFaceCollectionSucceeded(); // a stray success renames nothing
        QVERIFY(r.received("ReqSetFaceIdName").isEmpty());

        // Started, then the preview closed mid-way: the new item goes, north stays.
        m_names = QStringList{"desk"};
        r.flow->onAddModelClicked();
        r.flow->collectionDialog()->confirmButton()->click();
        QTRY_VERIFY(r.w->cameraWindow() && r.w->cameraWindow()->faceCollection()->panel());
        r.flow->requestFaceModels(); // a list arriving meanwhile keeps the new item
        QCOMPARE(r.items(), QStringList({"north:3", "desk:4"}));
        r.w->cameraWindow()->close();
        QCOMPARE(r.items(), QStringList({"north:3"}));
        QVERIFY(r.received("ReqSetFaceIdName").isEmpty());
    }

    // A recording given up shows the model shown before; a finished one shows itself.
    void comboShowsThePreviousOrTheRecordedModel_data() {
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("shown");
        QTest::newRow("abandoned at the warm tip") << "tip" << "desk";
        QTest::newRow("preview closed mid-way") << "close" << "desk";
        QTest::newRow("finished") << "finish" << "cat";
    }
    void comboShowsThePreviousOrTheRecordedModel() {
        QFETCH(QString, end);
        QFETCH(QString, shown);
        SimFixture sim;
        Rig r(sim);
        r.camera->faceModels().addModel(3, "north");
        r.camera->faceModels().addModel(7, "desk");
        r.flow->requestFaceModels();
        QTRY_COMPARE(r.items(), QStringList({"north:3", "desk:7"}));
        r.combo->setCurrentIndex(1);

        m_names = QStringList{"cat"};
        r.flow->onAddModelClicked();
        QCOMPARE(r.combo->currentText(), QString("cat"));
        if (end == "tip") {
            r.flow->collectionDialog()->cancelButton()->click();
        } else {
            r.flow->collectionDialog()->confirmButton()->click();
            QTRY_VERIFY(r.w->cameraWindow() && r.w->cameraWindow()->faceCollection()->panel());
            FaceCollectionOverlay *overlay = r.w->cameraWindow()->faceCollection();
            PreviewDialogs::setDialogResponder([](QDialog *dialog) {
                for (QPushButton *button : dialog->findChildren<QPushButton *>())
                    if (button->text() == "重启设备")
                        button->click();
                return dialog->result();
            });
            if (end == "close") // the last capture never ends: the preview closes mid-way
                r.camera->faceModels().setStepScript({{}, {}, {}, {QStringLiteral("silent"), -1}});
            overlay->startButton()->click();
            if (end == "close") {
                // The camera lists the unfinished model without a name.
                QTRY_COMPARE(r.camera->faceModels().stepsRun(), 3);
                r.camera->faceModels().addModel(8, QString());
                r.flow->requestFaceModels();
                r.w->cameraWindow()->close();
            } else {
                // The success closes the preview (and its overlay) with the restart.
                QTRY_COMPARE_WITH_TIMEOUT(r.items(), QStringList({"north:3", "desk:7", "cat:8"}), 5000);
                // The recording ends with a restart: the camera is shown again once back.
                QTRY_COMPARE_WITH_TIMEOUT(r.camera->reboots(), 1, 5000);
                QTRY_VERIFY_WITH_TIMEOUT(r.w->currentIndex() < 0, 8000);
                SimulatedClock::advance(SimulatedCamera::kDefaultReturnDelayMs);
                QTRY_COMPARE_WITH_TIMEOUT(r.w->currentSerial(), QString("SN001"), 8000);
            }
        }
        QTRY_COMPARE(r.combo->currentText(), shown);
    }

    void statusesOfAnotherCameraAreIgnored() {
        SimFixture sim;
        Rig r(sim);
        r.w->previewToggle()->click();
        QTRY_VERIFY(r.w->cameraWindow());
        r.w->cameraWindow()->showFaceCollectionPanel();
        FaceCollectionOverlay *overlay = r.w->cameraWindow()->faceCollection();
        r.flow->handleCollectionStatus("error", 1);
        QTest::qWait(20);
        QCOMPARE(overlay->stepResult(0), int(FaceCollectionOverlay::None));
        r.flow->handleCollectionStatus("error", 0);
        QTRY_COMPARE(overlay->stepResult(0), int(FaceCollectionOverlay::Failure));
    }

    void deleteReportsWhatTheCameraLists_data() {
        QTest::addColumn<bool>("refused");
        QTest::newRow("deleted") << false;
        QTest::newRow("refused") << true;
    }
    void deleteReportsWhatTheCameraLists() {
        QFETCH(bool, refused);
        SimFixture sim;
        Rig r(sim);
        r.camera->faceModels().addModel(3, "north");
        r.camera->faceModels().addModel(7, "desk");
        if (refused)
            r.camera->setReplyOverride("ReqDeleteFocusID", R"({"Content":{"nResult":-1}})");
        r.flow->requestFaceModels();
        r.combo->setCurrentIndex(1);
        sim.boxes.clear();
        r.flow->onDeleteModelClicked();
        QCOMPARE(r.received("ReqDeleteFocusID"), QStringList{R"({"Cmd":"ReqDeleteFocusID","Content":{"ID":7}})"});
        QTRY_COMPARE_WITH_TIMEOUT(sim.boxes.size(), 1, 4000);
        QCOMPARE(sim.boxes[0].text, QString(refused ? "删除模型失败" : "删除模型成功"));
        QCOMPARE(r.items(), refused ? QStringList({"north:3", "desk:7"}) : QStringList({"north:3"}));
    }

    // The camera's enabled-ID report on the list read after a deletion may come while
    // the box is open; the button shows it afterwards.
    void enabledReportDuringTheDeleteBoxStands() {
        SimFixture sim;
        Rig r(sim);
        r.camera->faceModels().addModel(3, "north");
        r.camera->faceModels().addModel(7, "desk");
        r.camera->faceModels().select(7);
        r.camera->faceModels().setFaceModeId(7);
        r.flow->requestFaceModels();
        QTRY_VERIFY(r.flow->modelEnabled());
        MessageBoxes::setTestResponder([&r](const MessageBoxRequest &) {
            const qsizetype seen = r.received("ReqGetEnabledFaceIds").size();
            (void)QTest::qWaitFor([&] { return r.received("ReqGetEnabledFaceIds").size() > seen; }, 1000);
            return int(QMessageBox::Ok);
        });
        r.flow->area()->selectQuietly(0); // north goes, desk stays enabled
        r.flow->onDeleteModelClicked();
        QTRY_COMPARE_WITH_TIMEOUT(r.items(), QStringList{"desk:7"}, 4000);
        QCOMPARE(r.flow->area()->enableButton()->text(), QString("模型启用中"));
    }
};

QTEST_MAIN(TestFaceModels)
#include "test_face_models.moc"
