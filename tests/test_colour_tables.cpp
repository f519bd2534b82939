#include "camera_window.h"
#include "colour_page.h"
#include "colour_picker.h"
#include "colour_tables.h"
#include "command_texts.h"
#include "hid_manager.h"
#include "log_capture.h"
#include "packet_cmd.h"
#include "palette_label.h"
#include "panel_camera_context.h"
#include "ptz_area.h"
#include "sim_fixture.h"
#include "widget.h"
#include "widget_rv_k310a_lnq.h"
#include "widget_rv_k310a_wp_befa.h"

#include <QApplication>
#include <QDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidgetItem>

namespace {
// A camera link that answers every request from a script and remembers what was sent.
struct ScriptedLink {
    QList<QPair<quint32, QByteArray>> sent;
    QList<QByteArray> replies; // taken in order; an empty entry is a silent camera
    bool sendResult = true;
    bool guardOpen = true;

    ColourTables::Link link()
    {
        ColourTables::Link l;
        l.send = [this](quint32 cmdId, const QByteArray &text, char *reply, int capacity) {
            sent.append({cmdId, text});
            if (reply && !replies.isEmpty()) {
                const QByteArray r = replies.takeFirst().left(capacity - 1);
                memcpy(reply, r.constData(), size_t(r.size()));
                reply[r.size()] = '\0';
            }
            return sendResult;
        };
        l.sendEnabled = [this] { return guardOpen; };
        return l;
    }
};

QByteArray tableReply(const char *member, int entries, int value = 7, int result = 0)
{
    QJsonArray a;
    for (int i = 0; i < entries; ++i)
        a.append(value + i);
    QJsonObject content{{"nResult", result}, {QLatin1String(member), a}};
    return QJsonDocument(QJsonObject{{"Content", content}}).toJson(QJsonDocument::Compact);
}

HsvTable ramp(int from)
{
    HsvTable t;
    for (int i = 0; i < HsvTable::kPoints; ++i)
        t[i] = from + i;
    return t;
}

QJsonObject tableContent(const char *member, const HsvTable &t)
{
    QJsonArray a;
    for (int v : t.values)
        a.append(v);
    return QJsonObject{{QLatin1String(member), a}};
}

QList<SimulatedCamera::ReceivedRequest> requests(SimulatedCamera *camera, const QString &cmd)
{
    QList<SimulatedCamera::ReceivedRequest> found;
    for (const SimulatedCamera::ReceivedRequest &r : camera->receivedRequests())
        if (r.cmd == cmd)
            found << r;
    return found;
}

void mouse(QWidget *w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// Drags one point of a label to a height and lets go.
void drag(PaletteLabel *label, int index, int y)
{
    const QPoint start = label->pointPosition(index);
    mouse(label, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    mouse(label, QEvent::MouseMove, QPoint(start.x(), y), Qt::NoButton, Qt::LeftButton);
    mouse(label, QEvent::MouseButtonRelease, QPoint(start.x(), y), Qt::LeftButton, Qt::NoButton);
}

// A stand-in for the preview window: a top-level widget showing three colour bands.
class FakePreview : public QWidget {
public:
    FakePreview()
    {
        setGeometry(700, 100, 300, 100);
    }
    static QColor band(int i)
    {
        static const QColor colours[] = {QColor::fromHsv(0, 255, 255).toRgb(), QColor::fromHsv(28, 255, 255).toRgb(),
                                         QColor(128, 128, 128)};
        return colours[i];
    }
    QPoint bandCentre(int i) const { return mapToGlobal(QPoint(50 + 100 * i, 50)); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        for (int i = 0; i < 3; ++i)
            p.fillRect(QRect(100 * i, 0, 100, 100), band(i));
    }
};

struct Panel {
    SimFixture sim;
    SimulatedCamera *camera;
    std::unique_ptr<Widget> w;
    explicit Panel(const QString &model = "RV-K310A-WU")
    {
        camera = sim.add(model, "Cam", "SN123");
        camera->state().setHueTable(tableContent("HSV_Hue", ramp(-10)));
        camera->state().setSatTable(tableContent("HSV_Sta", ramp(100)));
        w = std::make_unique<Widget>();
        w->onDeviceDoubleClicked(w->deviceItem(0), 0);
        camera->clearReceived();
    }
    ColourPage *page() const { return w->colourPage(); }
};

// A K310A model panel with a simulated camera of its model, its dialog open, point 3
// highlighted on its page and dialog editors; its preview opens when asked.
struct ModelPanelRig {
    explicit ModelPanelRig(bool lnq)
        : camera(sim.add(lnq ? "RV-K310A-LNQ" : "RV-K310A-WP-BEFA", "Cam", "SN1"))
    {
        manager.openDevice(HIDManager().enumerateDevices(SimFixture::kVendor).first().path);
        panel.reset(lnq ? static_cast<K310aPanel *>(new widget_RV_K310A_LNQ) : new widget_RV_K310A_WP_BEFA);
        panel->setPreviewAccess({[this] { (preview = std::make_unique<CameraWindow>("Cam-SN1"))->show(); },
                                 [this] { return preview.get(); }});
        panel->buildUi();
        panel->setDevice(&manager, 0);
        panel->refresshDeviceData(); // opens the send guard
        page = panel->colourPage();
        page->showPaletteDialog();
        page->onColorPicked(QColor::fromHsv(45, 255, 255));
        labels = {page->hueLabel(), page->satLabel(), page->dialogHueLabel(), page->dialogSatLabel()};
        camera->clearReceived();
    }
    SimFixture sim;
    SimulatedCamera *camera;
    HIDManager manager;
    std::unique_ptr<CameraWindow> preview;
    std::unique_ptr<K310aPanel> panel;
    ColourPage *page = nullptr;
    QList<PaletteLabel *> labels; // page hue, page saturation, dialog hue, dialog saturation
};
} // namespace

class TestColourTables : public QObject {
    Q_OBJECT
private slots:
    // ---- reading --------------------------------------------------------------------

    void readingStoresBothTablesAndTellsTheEditors()
    {
        ScriptedLink camera;
        camera.replies = {tableReply("HSV_Hue", 24, -5), tableReply("HSV_Sta", 24, 70)};
        ColourTables tables(camera.link());
        QSignalSpy read(&tables, &ColourTables::tableRead);
        QVERIFY(tables.readHsvTables());
        QCOMPARE(read.count(), 2);
        QCOMPARE(tables.table(HsvKind::Hue), ramp(-5));
        QCOMPARE(tables.table(HsvKind::Saturation), ramp(70));
        QCOMPARE(camera.sent.size(), 2);
        QCOMPARE(camera.sent[0], qMakePair(quint32(CmdGetParam), CommandTexts::getHsvHueLut()));
        QCOMPARE(camera.sent[1], qMakePair(quint32(CmdGetParam), CommandTexts::getHsvStaLut()));
    }

    void badRepliesLeaveTheTableAsItWas_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("endsActivation");
        QTest::addColumn<QString>("logLine");
        QTest::newRow("23 entries") << tableReply("HSV_Hue", 23) << false
                                    << "HSV_Hue数组大小错误，期望24，实际: 23";
        QTest::newRow("25 entries") << tableReply("HSV_Hue", 25) << false
                                    << "HSV_Hue数组大小错误，期望24，实际: 25";
        QTest::newRow("no member") << tableReply("HSV_Sta", 24) << false << "JSON中未找到HSV_Hue字段";
        QTest::newRow("negative result") << tableReply("HSV_Hue", 24, 1, -1) << true
                                         << "获取HSV色度失败，nResult: -1";
        QTest::newRow("not JSON") << QByteArray("{\"Content\":") << true << "原始数据:";
        QTest::newRow("silent camera") << QByteArray() << true << "JSON解析错误:";
        QTest::newRow("not an object") << QByteArray("[1,2,3]") << false << QString();
    }
    void badRepliesLeaveTheTableAsItWas()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, endsActivation);
        QFETCH(QString, logLine);
        for (auto mode : {ColourTables::ReadMode::Refresh, ColourTables::ReadMode::Activation}) {
            LogCapture log;
            ScriptedLink camera;
            camera.replies = {reply, tableReply("HSV_Sta", 24, 70)};
            ColourTables tables(camera.link());
            tables.setTable(HsvKind::Hue, ramp(1));
            QSignalSpy read(&tables, &ColourTables::tableRead);
            const bool activation = mode == ColourTables::ReadMode::Activation;
            // A failure that ends an activation does not go on to the saturation table;
            // a refresh reads it all the same.
            const bool stops = activation && endsActivation;
            QCOMPARE(tables.readHsvTables(mode), !stops);
            QCOMPARE(tables.table(HsvKind::Hue), ramp(1));
            QCOMPARE(camera.sent.size(), stops ? 1 : 2);
            QCOMPARE(read.count(), stops ? 0 : 1);
            if (!logLine.isEmpty())
                QCOMPARE(log.contains(logLine), activation);
            if (!stops)
                QCOMPARE(log.contains("成功获取24个HSV色度值: [70,71,72,"), activation);
            if (!activation)
                QVERIFY(!log.contains("HSV"));
        }
    }

    void activationReadsTablesExceptForTheT782()
    {
        for (const QString model : {"RV-K310A-WU", "RV-T782-KB", "RV-T782-KB-BEFA"}) {
            LogCapture log;
            Panel panel(model);
            const bool reads = model == "RV-K310A-WU";
            panel.w->onDeviceDoubleClicked(panel.w->deviceItem(0), 0);
            QCOMPARE(requests(panel.camera, "ReqGetHSVHueLut").size(), reads ? 1 : 0);
            QCOMPARE(requests(panel.camera, "ReqGetHSVStaLut").size(), reads ? 1 : 0);
            if (reads) {
                QCOMPARE(panel.page()->hueLabel()->values(), ramp(-10).toList());
                QCOMPARE(panel.page()->satLabel()->values(), ramp(100).toList());
                QVERIFY(log.contains("成功获取24个HSV色度值: [-10,-9,-8,"));
            }
        }
    }

    void activationStopsWhenTheTablesFail()
    {
        SimFixture sim;
        SimulatedCamera *camera = sim.add("RV-K310A-WU", "Cam", "SN123");
        Widget w;
        // The parameters and settings read fine; the hue table reply is broken.
        camera->setReplyOverride("ReqGetHSVHueLut", "{\"Cmd\":\"ReqGetHSVHueLut\",\"Content\":{\x01,]");
        LogCapture log;
        w.onDeviceDoubleClicked(w.deviceItem(0), 0);
        QCOMPARE(requests(camera, "ReqGetHSVStaLut").size(), 0);
        QVERIFY(log.contains("JSON解析错误:"));
        QVERIFY(log.contains("错误位置:"));
        QVERIFY(!w.ptzPanel()->isVisibleTo(&w));
        QVERIFY(!w.builtInPage()->isVisibleTo(&w));
        QCOMPARE(w.currentIndex(), 0);
    }

    // ---- sending and the yellow/orange/ruddy refresh ---------------------------------

    void sendingObeysTheGuard()
    {
        ScriptedLink camera;
        ColourTables tables(camera.link());
        QVERIFY(tables.sendSaturationTable(ramp(3)));
        QCOMPARE(camera.sent.size(), 1);
        QCOMPARE(camera.sent[0], qMakePair(quint32(CmdJson), CommandTexts::setHsvStaLut(ramp(3).toList())));
        camera.guardOpen = false;
        QVERIFY(!tables.sendHueTable(ramp(3)));
        QCOMPARE(camera.sent.size(), 1);
    }

    void yellowOrangeRuddyRefreshOutcomes_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("sendResult");
        QTest::addColumn<QString>("logLine");
        QTest::newRow("ok") << QByteArray(R"({"Content":{"nResult":0,"VideoParam":{"u8Yellow":61}}})") << true
                            << "[refreshYellowOrangeRuddy] 黄色、橙色、红润参数更新成功";
        QTest::newRow("send failed") << QByteArray() << false << "[refreshYellowOrangeRuddy] 发送命令失败";
        QTest::newRow("empty") << QByteArray() << true << "[refreshYellowOrangeRuddy] 设备返回数据为空";
        QTest::newRow("not JSON") << QByteArray("{") << true << "[refreshYellowOrangeRuddy] JSON解析错误:";
        QTest::newRow("array") << QByteArray("[]") << true << "[refreshYellowOrangeRuddy] JSON数据不是对象格式";
        QTest::newRow("no content") << QByteArray("{}") << true << "[refreshYellowOrangeRuddy] JSON数据缺少Content字段";
        QTest::newRow("failed") << QByteArray(R"({"Content":{"nResult":-2}})") << true
                                << "[refreshYellowOrangeRuddy] 设备返回错误码: -2";
        QTest::newRow("no params") << QByteArray(R"({"Content":{"nResult":0}})") << true
                                   << "[refreshYellowOrangeRuddy] JSON数据缺少VideoParam字段";
    }
    void yellowOrangeRuddyRefreshOutcomes()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, sendResult);
        QFETCH(QString, logLine);
        LogCapture log;
        ScriptedLink camera;
        camera.replies = {reply};
        camera.sendResult = sendResult;
        ColourTables tables(camera.link());
        QSignalSpy read(&tables, &ColourTables::yellowOrangeRuddyRead);
        tables.refreshYellowOrangeRuddy();
        QCOMPARE(camera.sent.value(0), qMakePair(quint32(CmdGetParam), CommandTexts::getVideoParam()));
        QVERIFY2(log.contains(logLine), qPrintable(log.text()));
        QCOMPARE(log.count("[refreshYellowOrangeRuddy]"), 1);
        QCOMPARE(read.count(), QTest::currentDataTag() == QByteArray("ok") ? 1 : 0);
        if (read.count())
            QCOMPARE(read.first().first().toJsonObject().value("u8Yellow").toInt(), 61);
    }

    void tableRefreshTimerReadsOnce()
    {
        ScriptedLink camera;
        ColourTables tables(camera.link());
        QCOMPARE(tables.tableRefreshTimer()->interval(), 800);
        QVERIFY(tables.tableRefreshTimer()->isSingleShot());
        tables.tableRefreshTimer()->start();
        tables.tableRefreshTimer()->start();
        QTRY_COMPARE(camera.sent.size(), 2); // hue and saturation, once
        QTest::qWait(100);
        QCOMPARE(camera.sent.size(), 2);
    }

    // ---- editing on the page and in the dialog ---------------------------------------

    void draggingASaturationPointSendsOnceAndHighlightsIt()
    {
        Panel panel;
        ColourPage *page = panel.page();
        page->showPaletteDialog();
        PaletteLabel *sat = page->satLabel();
        drag(sat, 5, 0);
        const QList<SimulatedCamera::ReceivedRequest> sets = requests(panel.camera, "ReqSetHSVStaLut");
        QCOMPARE(sets.size(), 1);
        HsvTable expected = ramp(100);
        expected[5] = 255;
        QCOMPARE(sets[0].payload, CommandTexts::setHsvStaLut(expected.toList()));
        QCOMPARE(panel.camera->state().satTable(), expected.toList());
        QCOMPARE(page->highlightIndices(), QList<int>{5});
        for (PaletteLabel *label : {page->hueLabel(), page->satLabel(), page->dialogHueLabel(), page->dialogSatLabel()})
            QCOMPARE(label->highlights(), QList<int>{5});
        QCOMPARE(page->pickLook(), ColourPage::PickLook::NoColour);
        // The camera's yellow, orange and ruddy values are read back shortly after.
        QTRY_COMPARE_WITH_TIMEOUT(requests(panel.camera, "ReqGetVideoParam").size(), 1, 3000);
    }

    void dialogEditsReachTheCameraAndThePage()
    {
        Panel panel;
        ColourPage *page = panel.page();
        page->showPaletteDialog();
        QVERIFY(page->paletteDialog()->isVisible());
        QCOMPARE(page->paletteDialog()->windowTitle(), QString("调色盘"));
        QCOMPARE(page->dialogHueLabel()->values(), ramp(-10).toList());
        QCOMPARE(page->dialogHueLabel()->size(), QSize(480, 150));

        drag(page->dialogHueLabel(), 3, 0);
        QCOMPARE(page->hueLabel()->values().at(3), 64);
        QCOMPARE(page->hueLabel()->highlights(), QList<int>{3});
        QCOMPARE(requests(panel.camera, "ReqSetHSVHueLut").size(), 1);
        QCOMPARE(panel.camera->state().hueTable().at(3), 64);

        drag(page->dialogSatLabel(), 8, 150);
        QCOMPARE(panel.camera->state().satTable().at(8), 0);
        QCOMPARE(page->satLabel()->values().at(8), 0);
        QCOMPARE(page->highlightIndices(), QList<int>{8});
        QCOMPARE(page->dialogColorPickButton()->text(), QString("吸取颜色"));
        // No yellow/orange/ruddy read follows an edit in the dialog.
        QTest::qWait(1000);
        QCOMPARE(requests(panel.camera, "ReqGetVideoParam").size(), 0);
    }

    void tableSendsObeyThePanelsGuard()
    {
        Panel panel;
        panel.w->cameraContext()->setSendEnabled(false);
        drag(panel.page()->satLabel(), 5, 0);
        panel.w->resetHueTable();
        QVERIFY(requests(panel.camera, "ReqSetHSVStaLut").isEmpty());
        QVERIFY(requests(panel.camera, "ReqSetHSVHueLut").isEmpty());
        panel.w->cameraContext()->setSendEnabled(true);
        drag(panel.page()->satLabel(), 6, 0);
        QCOMPARE(requests(panel.camera, "ReqSetHSVStaLut").size(), 1);
    }

    // ---- resets ---------------------------------------------------------------------

    void resetShowsTheDefaultsInTheDialogToo()
    {
        Panel panel;
        ColourPage *page = panel.page();
        page->showPaletteDialog();
        drag(page->dialogHueLabel(), 3, 0);
        panel.w->resetHueTable(); // what the dialog's reset button does
        QVector<int> expected = HsvKindInfo::of(HsvKind::Hue).defaults.toList();
        QCOMPARE(page->dialogHueLabel()->values(), expected);
        drag(page->dialogHueLabel(), 7, 0); // the next edit starts from the defaults
        expected[7] = 64;
        QCOMPARE(panel.camera->state().hueTable(), expected);
    }

    void resetSendsTheDefaultTable()
    {
        for (HsvKind kind : {HsvKind::Hue, HsvKind::Saturation}) {
            Panel panel;
            const HsvKindInfo &info = HsvKindInfo::of(kind);
            panel.page()->highlightPointsForColor(Qt::red);
            panel.sim.answer = QMessageBox::Ok;
            LogCapture log;
            if (kind == HsvKind::Hue)
                panel.w->resetHueTable();
            else
                panel.w->resetSaturationTable();

            QCOMPARE(panel.sim.boxes.size(), 2);
            const MessageBoxRequest &ask = panel.sim.boxes[0];
            QCOMPARE(ask.kind, MessageBoxRequest::Styled);
            QCOMPARE(ask.title, QString::fromUtf8(info.resetTitle));
            QCOMPARE(ask.text, QString::fromUtf8(info.resetQuestion));
            QCOMPARE(ask.buttons, QStringList({"确定", "取消"}));
            QCOMPARE(ask.defaultButton, QString("取消"));
            QCOMPARE(panel.sim.boxes[1].text, QString::fromUtf8(info.resetDone));
            QVERIFY(log.contains(QString::fromUtf8(info.resetLog)));

            const QString cmd = kind == HsvKind::Hue ? "ReqSetHSVHueLut" : "ReqSetHSVStaLut";
            const auto sets = requests(panel.camera, cmd);
            QCOMPARE(sets.size(), 1);
            const QVector<int> defaults = info.defaults.toList();
            QCOMPARE(sets[0].payload, kind == HsvKind::Hue ? CommandTexts::setHsvHueLut(defaults)
                                                           : CommandTexts::setHsvStaLut(defaults));
            QCOMPARE(panel.camera->receivedRequests().first().cmd, cmd);
            const QVector<int> onCamera = kind == HsvKind::Hue ? panel.camera->state().hueTable()
                                                                : panel.camera->state().satTable();
            QCOMPARE(onCamera, defaults);
            QCOMPARE(panel.w->colourTables()->table(kind), info.defaults);
            PaletteLabel *label = kind == HsvKind::Hue ? panel.page()->hueLabel() : panel.page()->satLabel();
            QCOMPARE(label->values(), defaults);
            QVERIFY(panel.page()->highlightIndices().isEmpty());
            QVERIFY(panel.page()->hueLabel()->highlights().isEmpty());
            QTRY_COMPARE_WITH_TIMEOUT(requests(panel.camera, "ReqGetVideoParam").size(), 1, 3000);
        }
    }

    void cancellingAResetChangesNothing()
    {
        Panel panel;
        panel.sim.answer = QMessageBox::Cancel;
        panel.w->resetHueTable();
        panel.sim.answer = MessageBoxes::kCloseWithoutButton;
        panel.w->resetSaturationTable();
        QCOMPARE(panel.sim.boxes.size(), 2);
        QTest::qWait(1000);
        QVERIFY(panel.camera->receivedRequests().isEmpty());
        QCOMPARE(panel.page()->hueLabel()->values(), ramp(-10).toList());
        QCOMPARE(panel.w->colourTables()->table(HsvKind::Saturation), ramp(100));
    }

    // ---- the K310A panels' own rules --------------------------------------------------

    void modelPanelEditsMoveTheHighlights()
    {
        const QString kept = "点击了已高亮的点 3 ，保持所有高亮点";
        struct Case { bool lnq; int label, point; QList<int> page, dialog; QString record; };
        // Label 5 lets go of a page saturation point without a drag step before.
        for (const Case &c : {Case{true, 0, 3, {3}, {3}, kept}, Case{true, 1, 7, {7}, {7}, ""},
                              Case{true, 5, 7, {3}, {3}, ""}, Case{true, 3, 3, {3}, {3}, kept},
                              Case{false, 1, 7, {7}, {3}, "点击了非高亮点 7 ，清除之前的高亮，高亮当前点"},
                              Case{false, 1, 3, {3}, {3}, kept}, Case{false, 3, 7, {7}, {7}, ""}}) {
            ModelPanelRig rig(c.lnq);
            LogCapture log;
            c.label == 5 ? rig.page->satLabel()->logicalClicked(c.point, 200)
                         : drag(rig.labels[c.label], c.point, 0);
            for (int i = 0; i < 4; ++i)
                QCOMPARE(rig.labels[i]->highlights(), i < 2 ? c.page : c.dialog);
            QCOMPARE(log.contains(c.record.isEmpty() ? "点击了" : c.record), !c.record.isEmpty());
            QCOMPARE(requests(rig.camera, c.label % 2 ? "ReqSetHSVStaLut" : "ReqSetHSVHueLut").size(), 1);
        }
    }

    // A saturation reset, then the dialog's pick button without a preview and with the link down.
    void modelPanelResetAndPickingStart()
    {
        for (const bool lnq : {true, false}) {
            LogCapture log;
            ModelPanelRig rig(lnq);
            QVERIFY(log.contains("RGB: 255, 191, 0\n十六进制: #FFBF00\nHSV: H=45°, S=255%, V=255%\n最接近色度点索引: 3"));
            rig.labels[3]->setValue(5, 1);
            rig.page->resetSaturationTable();
            QCOMPARE(rig.sim.boxes.size(), lnq ? 1 : 2); // the question; a closing notice on one panel
            QVERIFY(log.contains(lnq ? "[INFO] [User] 重置饱和度参数..." : "[General] 重置饱和度参数..."));
            QCOMPARE(rig.labels[3]->values(), HsvKindInfo::of(HsvKind::Saturation).defaults.toList());
            // The yellow/orange/ruddy refresh 800 ms later, on the lens camera's panel with the parameters.
            QVERIFY(requests(rig.camera, "ReqGetVideoParam").isEmpty());
            QTRY_COMPARE_WITH_TIMEOUT(requests(rig.camera, "ReqGetVideoParam").size(), lnq ? 2 : 1, 3000);
            QCOMPARE(requests(rig.camera, "ReqGetSetting").size(), int(lnq));

            rig.sim.boxes.clear();
            rig.sim.answer = 0; // "打开视频预览"
            rig.camera->setFault(SimulatedCamera::Fault::MalformedJson);
            rig.page->dialogColorPickButton()->click();
            QCOMPARE(rig.sim.boxes.value(1).title, lnq ? QString("连接失败") : QString()); // after "提示"
            QVERIFY(!rig.page->colorPickButton()->isChecked());
            QVERIFY(!rig.page->dialogColorPickButton()->isChecked());
            QCOMPARE(bool(rig.preview), !lnq);
            rig.page->colorPickButton()->click(); // from the preview, when it opened
            QCOMPARE(rig.page->isColorPicking(), !lnq);
        }
    }

    // ---- picking --------------------------------------------------------------------

    void pickedHuesHighlightTheirPoints_data()
    {
        QTest::addColumn<int>("hue");
        QTest::addColumn<QList<int>>("points");
        QTest::newRow("0") << 0 << QList<int>{0};
        QTest::newRow("1") << 1 << QList<int>{0, 23};
        QTest::newRow("16") << 16 << QList<int>{0, 1};
        QTest::newRow("22") << 22 << QList<int>{1};
        QTest::newRow("28") << 28 << QList<int>{2, 3};
        QTest::newRow("359") << 359 << QList<int>{0, 1};
        QTest::newRow("180") << 180 << QList<int>{12};
        QTest::newRow("352") << 352 << QList<int>{23};
        QTest::newRow("353") << 353 << QList<int>{0};
    }
    void pickedHuesHighlightTheirPoints()
    {
        QFETCH(int, hue);
        QFETCH(QList<int>, points);
        QCOMPARE(ColourPicker::pointsForColour(QColor::fromHsv(hue, 200, 200)), points);
        Panel panel;
        panel.w->onColorPicked(QColor::fromHsv(hue, 255, 255));
        QCOMPARE(panel.page()->highlightIndices(), points);
        QCOMPARE(panel.page()->hueLabel()->highlights(), points);
        QCOMPARE(panel.page()->satLabel()->highlights(), points);
    }

    void greyHasNoPoint()
    {
        QCOMPARE(Widget::nearestHueIndex(QColor(90, 90, 90)), -1);
        QCOMPARE(Widget::nearestHueIndex(QColor()), -1);
        QCOMPARE(Widget::nearestHueIndex(QColor::fromHsv(352, 255, 255)), 23); // 23.47
        QCOMPARE(Widget::nearestHueIndex(QColor::fromHsv(353, 255, 255)), 0);  // 23.53 rounds to 24, which is point 0
        QCOMPARE(Widget::nearestHueIndex(QColor::fromHsv(337, 255, 255)), 22); // 22.47
        QCOMPARE(Widget::nearestHueIndex(QColor::fromHsv(338, 255, 255)), 23); // 22.53
        Panel panel;
        panel.w->onColorPicked(QColor::fromHsv(180, 255, 255));
        panel.w->onColorPicked(Qt::black);
        QCOMPARE(panel.page()->highlightIndices(), QList<int>{12}); // the previous highlights stay
        QCOMPARE(panel.page()->pickedColor(), QColor(Qt::black));
    }

    void pickingWithoutAPreviewOffersToOpenOne()
    {
        Panel panel;
        ColourPage *page = panel.page();
        panel.sim.answer = 1; // "取消"
        page->colorPickButton()->click();
        QCOMPARE(panel.sim.boxes.size(), 1);
        const MessageBoxRequest &box = panel.sim.boxes[0];
        QCOMPARE(box.title, QString("提示"));
        QCOMPARE(box.text, QString("取色功能仅可在本软件视频预览窗口内拾取画面颜色\n请打开视频预览后再使用取色器"));
        QCOMPARE(box.buttons, QStringList({"打开视频预览", "取消"}));
        QCOMPARE(box.defaultButton, QString("取消"));
        QVERIFY(!page->isColorPicking());
        QVERIFY(!page->colorPickButton()->isChecked());

        // From the dialog as well; its button ends unchecked with its plain text.
        page->showPaletteDialog();
        page->dialogColorPickButton()->click();
        QVERIFY(!page->dialogColorPickButton()->isChecked());
        QCOMPARE(page->dialogColorPickButton()->text(), QString("吸取颜色"));
        QVERIFY(!page->isColorPicking());
    }

    void pickingFromThePreview()
    {
        Panel panel;
        ColourPage *page = panel.page();
        FakePreview preview;
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        page->picker()->setPreviewLookup([&preview] { return &preview; });
        page->picker()->setSampler([&preview](const QPoint &pos) { return ColourPicker::sampleWidget(&preview, pos); });
        QCOMPARE(ColourPicker::sampleWidget(&preview, preview.bandCentre(1)), FakePreview::band(1));

        // A press outside the preview goes on and picking continues.
        page->colorPickButton()->click();
        QVERIFY(page->isColorPicking());
        QCOMPARE(page->colorPickButton()->text(), QString("取色中"));
        QCOMPARE(page->pickLook(), ColourPage::PickLook::Picking);
        QTest::mouseClick(page->hueLabel(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(page->isColorPicking());
        QVERIFY(requests(panel.camera, "ReqSetHSVHueLut").isEmpty());

        // The pointer turns into a cross over the preview and back outside it.
        QTest::mouseMove(&preview, QPoint(150, 50));
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);

        // A press on the orange band picks it.
        QTest::mousePress(&preview, Qt::LeftButton, {}, preview.mapFromGlobal(preview.bandCentre(1)));
        QVERIFY(!page->isColorPicking());
        QCOMPARE(page->pickedColor(), FakePreview::band(1));
        QCOMPARE(page->highlightIndices(), QList<int>({2, 3}));
        QCOMPARE(page->pickLook(), ColourPage::PickLook::Picked);
        QVERIFY(!page->colorPickButton()->isChecked());
        QCOMPARE(page->colorPickButton()->text(), QString("吸取颜色"));
        QVERIFY(!QGuiApplication::overrideCursor());

        // The enlarged dialog takes the highlights when it opens.
        page->showPaletteDialog();
        QCOMPARE(page->dialogHueLabel()->highlights(), QList<int>({2, 3}));

        // Escape ends picking without a colour.
        page->colorPickButton()->click();
        QVERIFY(page->isColorPicking());
        QVERIFY(page->highlightIndices().isEmpty());
        QVERIFY(page->dialogHueLabel()->highlights().isEmpty());
        QTest::keyClick(&preview, Qt::Key_Escape);
        QVERIFY(!page->isColorPicking());
        QVERIFY(!page->pickedColor().isValid());
        QCOMPARE(page->pickLook(), ColourPage::PickLook::NoColour);

        // A right click ends it too; grey counts as picked but highlights nothing.
        page->colorPickButton()->click();
        QTest::mousePress(&preview, Qt::RightButton, {}, QPoint(10, 10));
        QVERIFY(!page->isColorPicking());
        page->colorPickButton()->click();
        QTest::mousePress(&preview, Qt::LeftButton, {}, preview.mapFromGlobal(preview.bandCentre(2)));
        QCOMPARE(page->pickedColor(), FakePreview::band(2));
        QVERIFY(page->highlightIndices().isEmpty());
        QCOMPARE(page->pickLook(), ColourPage::PickLook::Picked);

        // Picked from the enlarged dialog: its button ends picking and its labels show
        // the points too.
        page->dialogColorPickButton()->click();
        QVERIFY(page->isColorPicking());
        QCOMPARE(page->dialogColorPickButton()->text(), QString("取色中"));
        QTest::mousePress(&preview, Qt::LeftButton, {}, preview.mapFromGlobal(preview.bandCentre(1)));
        QVERIFY(!page->isColorPicking());
        QVERIFY(!page->dialogColorPickButton()->isChecked());
        QCOMPARE(page->dialogColorPickButton()->text(), QString("吸取颜色"));
        QCOMPARE(page->dialogHueLabel()->highlights(), QList<int>({2, 3}));
        QCOMPARE(page->dialogSatLabel()->highlights(), QList<int>({2, 3}));
    }
};

QTEST_MAIN(TestColourTables)
#include "test_colour_tables.moc"
