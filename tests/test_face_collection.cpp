#include "collection_verdict_dialog.h"
#include "face_collection_overlay.h"
#include "preview_dialogs.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

// The collection overlay on a bare host window, on a fast clock: every command it
// would send to the camera is recorded, statuses are fed by hand.
class TestFaceCollection : public QObject {
    Q_OBJECT

    static constexpr int kTick = 10;
    QWidget *m_host = nullptr;
    FaceCollectionOverlay *m_overlay = nullptr;
    QStringList m_sent;
    QStringList m_dialogTitles;
    QString m_dialogButton; // the caption the dialog responder clicks
    bool m_promptShownBehindDialog = false;

    int count(const QString &needle) const {
        int n = 0;
        for (const QString &c : m_sent)
            n += c.contains(needle) ? 1 : 0;
        return n;
    }
    int runs() const { return count("\"Type\":\"run\""); }
    int polls() const { return count("ReqGetFaceFocusTrain"); }
    QString indicatorColour(int step) const {
        const QString style = m_overlay->stepLabel(step)->styleSheet();
        for (const char *c : {"#4CAF50", "#f44336", "#1e90ff", "#333333"})
            if (style.contains(c))
                return c;
        return style;
    }

private slots:
    void init() {
        FaceCollectionOverlay::setTimings({kTick, 30 * kTick, 2 * kTick, 2 * kTick, 5});
        m_host = new QWidget;
        m_host->resize(1200, 900);
        m_host->show();
        m_overlay = new FaceCollectionOverlay(m_host);
        m_overlay->setFaceModelId(8);
        m_sent.clear();
        m_dialogTitles.clear();
        m_dialogButton.clear();
        m_promptShownBehindDialog = false;
        connect(m_overlay, &FaceCollectionOverlay::commandReady, this, [this](const QString &c) { m_sent << c; });
        PreviewDialogs::setDialogResponder([this](QDialog *dialog) {
            m_dialogTitles << dialog->windowTitle();
            m_promptShownBehindDialog = m_overlay->promptLabel() && m_overlay->promptLabel()->isVisible();
            auto *verdict = qobject_cast<CollectionVerdictDialog *>(dialog);
            for (QPushButton *b : verdict->buttons())
                if (b->text() == m_dialogButton)
                    b->click();
            return dialog->result();
        });
        m_overlay->showPanel();
    }
    void cleanup() {
        PreviewDialogs::setDialogResponder(nullptr);
        delete m_host;
    }

    void verdicts_data() {
        QTest::addColumn<QStringList>("statuses");
        QTest::addColumn<QString>("colours");
        QTest::addColumn<bool>("success");
        QTest::newRow("3 of 4") << QStringList{"finish", "finish", "error", "finish"}
                                << "#4CAF50 #4CAF50 #f44336 #4CAF50" << true;
        QTest::newRow("2 of 4") << QStringList{"finish", "error", "error", "finish"}
                                << "#4CAF50 #f44336 #f44336 #4CAF50" << false;
    }
    void verdicts() {
        QFETCH(QStringList, statuses);
        QFETCH(QString, colours);
        QFETCH(bool, success);
        QSignalSpy succeeded(m_overlay, &FaceCollectionOverlay::succeeded);
        QSignalSpy failed(m_overlay, &FaceCollectionOverlay::failed);
        QSignalSpy closing(m_overlay, &FaceCollectionOverlay::closeRequested);
        m_dialogButton = success ? "重启设备" : "取消";
        m_host->resize(1140, 680); // the preview's usual picture area: the prompt comes near the digit
        m_overlay->startButton()->click();
        QCOMPARE(m_sent.value(0), QString(R"({"Cmd":"ReqSetFaceFocusTrain","Content":{"Type":"start","ID":8}})"));
        for (int i = 0; i < statuses.size(); ++i) {
            QTRY_COMPARE_WITH_TIMEOUT(runs(), i + 1, 50 * kTick);
            QVERIFY(m_overlay->pollTimer()->isActive());
            m_overlay->handleStatus(statuses[i]);
            if (i == 1)
                QCOMPARE(m_overlay->promptLabel()->text(),
                         QString("第2次数据采集%1，即将进行第3组数据采集").arg(statuses[1] == "finish" ? "成功" : "失败"));
            if (i < statuses.size() - 1) {
                // The step's result stays up over the next countdown without covering it.
                QTRY_VERIFY_WITH_TIMEOUT(m_overlay->countdownLabel()->isVisible(), 50 * kTick);
                QVERIFY(m_overlay->promptLabel()->isVisible());
                QVERIFY(!m_overlay->promptLabel()->geometry().intersects(m_overlay->countdownLabel()->geometry()));
                QCOMPARE(m_overlay->promptLabel()->height(), m_overlay->promptLabel()->heightForWidth(
                                                                 m_overlay->promptLabel()->width()));
            }
        }
        QStringList shown;
        for (int i = 0; i < 4; ++i)
            shown << indicatorColour(i);
        QCOMPARE(shown.join(' '), colours);
        QCOMPARE(m_dialogTitles, QStringList{success ? "采集成功" : "采集失败"});
        QVERIFY(!m_promptShownBehindDialog);
        QCOMPARE(succeeded.count(), success ? 1 : 0);
        QCOMPARE(failed.count(), success ? 0 : 1);
        QCOMPARE(closing.count(), 1);
        QCOMPARE(m_overlay->finished(), success);
        QCOMPARE(m_overlay->startButton()->text(), QString(success ? "完成" : "取消")); // the window closes
        QCOMPARE(m_sent.last().contains("ReqSetManualRebootSet"), success);
        QCOMPARE(runs(), 4);
        QVERIFY(!m_overlay->pollTimer()->isActive());
    }

    void retryAfterFailureStartsOver() {
        m_dialogButton = "重试";
        m_overlay->startButton()->click();
        for (const char *s : {"error", "error", "finish", "finish"}) {
            QTRY_VERIFY_WITH_TIMEOUT(m_overlay->pollTimer() && m_overlay->pollTimer()->isActive(), 50 * kTick);
            m_overlay->handleStatus(s);
        }
        QCOMPARE(m_dialogTitles, QStringList{"采集失败"});
        QCOMPARE(m_overlay->startButton()->text(), QString("开始"));
        QCOMPARE(m_overlay->promptLabel()->text(), QString("请人物移动到距离相机60cm正前方"));
        QCOMPARE(m_overlay->promptLabel()->y(), FaceCollectionOverlay::promptY(FaceCollectionOverlay::Placement::Low, 900));
        QVERIFY(!m_overlay->running());
    }

    void cancelDuringCountdownSendsStopAndNoRun() {
        m_overlay->startButton()->click();
        QTest::qWait(kTick + kTick / 2);
        QVERIFY(m_overlay->countdownLabel()->isVisible());
        m_overlay->startButton()->click();
        QVERIFY(!m_overlay->countdownLabel()->isVisible());
        QCOMPARE(m_overlay->startButton()->text(), QString("继续"));
        QTest::qWait(6 * kTick);
        QCOMPARE(m_sent.size(), 2);
        QVERIFY(m_sent[1].contains("\"Type\":\"stop\",\"ID\":8"));
        QCOMPARE(runs(), 0);
    }

    void cancelAndRestartSendsOneRunPerStep() {
        m_overlay->startButton()->click();
        QTest::qWait(kTick + kTick / 2);
        m_overlay->startButton()->click(); // cancel
        m_overlay->startButton()->click(); // start again at once
        QCOMPARE(count("\"Type\":\"start\""), 2);
        for (int i = 0; i < 4; ++i) {
            QTRY_COMPARE_WITH_TIMEOUT(runs(), i + 1, 50 * kTick);
            QTest::qWait(3 * kTick); // a leftover countdown of the first start would fire here
            QCOMPARE(runs(), i + 1);
            m_overlay->handleStatus("finish");
        }
        QTest::qWait(6 * kTick);
        QCOMPARE(runs(), 4);
    }

    void statusPollingEndsAndFailsTheStep() {
        m_overlay->startButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(runs(), 1, 50 * kTick);
        QTRY_COMPARE_WITH_TIMEOUT(m_overlay->stepResult(0), int(FaceCollectionOverlay::Failure), 50 * kTick);
        QCOMPARE(polls(), 5);
        QCOMPARE(m_overlay->currentStep(), 1);
        QVERIFY(m_overlay->promptLabel()->text().startsWith("第1次数据采集失败"));
        QTRY_COMPARE_WITH_TIMEOUT(runs(), 2, 50 * kTick); // the collection goes on
    }

    void placements_data() {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("middle");
        QTest::addColumn<int>("low");
        QTest::newRow("1500") << 1500 << 250 << 250 << 300;
        QTest::newRow("900") << 900 << 230 << 220 << 280;
        QTest::newRow("small") << 480 << 230 << 220 << 280;
    }
    void placements() {
        QFETCH(int, height);
        QFETCH(int, high);
        QFETCH(int, middle);
        QFETCH(int, low);
        using P = FaceCollectionOverlay::Placement;
        QCOMPARE(FaceCollectionOverlay::promptY(P::High, height), high);
        QCOMPARE(FaceCollectionOverlay::promptY(P::Middle, height), middle);
        QCOMPARE(FaceCollectionOverlay::promptY(P::Low, height), low);
        m_host->resize(1500, height);
        m_overlay->startButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(runs(), 1, 50 * kTick);
        QLabel *prompt = m_overlay->promptLabel();
        QCOMPARE(prompt->text(), QString("请人物移动到距离相机60cm正前方，请确保录入时画面只有一个人，"
                                         "人脸需正对摄像头，录入过程保持静止"));
        QCOMPARE(prompt->y(), high);
        QCOMPARE(prompt->x(), (1500 - prompt->width()) / 2);
        QTRY_COMPARE_WITH_TIMEOUT(prompt->text(), QString("数据采集中"), 50 * kTick);
        QCOMPARE(prompt->y(), middle);
        QCOMPARE(prompt->x(), (1500 - prompt->width()) / 2);
    }

    void panelCloseThenButtonCancelsFirst() {
        QSignalSpy failed(m_overlay, &FaceCollectionOverlay::failed);
        m_overlay->startButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(runs(), 1, 50 * kTick);
        m_overlay->panelCloseButton()->click();
        QCOMPARE(failed.count(), 1);
        QVERIFY(!m_overlay->panel()->isVisible());
        QCOMPARE(m_overlay->startButton()->text(), QString("开始"));
        QCOMPARE(count("\"Type\":\"stop\""), 0);
        m_overlay->showPanel();
        m_overlay->startButton()->click();
        QCOMPARE(count("\"Type\":\"stop\""), 1);
        QCOMPARE(m_overlay->promptLabel()->text(), QString("采集已取消"));
        QCOMPARE(m_overlay->startButton()->text(), QString("继续"));
        m_overlay->startButton()->click();
        QCOMPARE(count("\"Type\":\"start\""), 2);
    }

    void stopDoneWhileCapturing() {
        m_overlay->startButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(runs(), 1, 50 * kTick);
        const QString prompt = m_overlay->promptLabel()->text();
        m_overlay->handleStatus("stop_done");
        QVERIFY(!m_overlay->pollTimer()->isActive());
        QCOMPARE(m_overlay->startButton()->text(), QString("继续"));
        QCOMPARE(m_overlay->promptLabel()->text(), prompt);
        const int before = polls();
        QTest::qWait(6 * kTick);
        QCOMPARE(polls(), before);
        // Unknown and progress statuses are only logged.
        m_overlay->handleStatus("run_done");
        m_overlay->handleStatus(QString(300, QChar(0x4e00)));
        QCOMPARE(m_overlay->stepResult(0), int(FaceCollectionOverlay::None));
    }
};

QTEST_MAIN(TestFaceCollection)
#include "test_face_collection.moc"
