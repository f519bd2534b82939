#include "collapsible_group.h"
#include "command_texts.h"
#include "log_capture.h"
#include "message_boxes.h"
#include "mouse_events.h"
#include "palette_control_panel.h"
#include "palette_page.h"
#include "panel_camera_context.h"
#include "polar_palette_widget.h"
#include "sim_rig.h"

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace MouseEvents;

namespace {
const QByteArray kPrefix =
    "{\"Cmd\":\"ReqSetPaletteData\",\"wCmdId\":40001090,\"Content\":{\"ChanNum\":0,\"PaletteData\":[";
}

// The palette page on a panel context whose camera is a simulated RV-T782-KB.
class TestPalettePage : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QList<SimulatedCamera::ReceivedRequest> uploads(SimulatedCamera *camera) const {
        QList<SimulatedCamera::ReceivedRequest> found;
        for (const auto &r : camera->receivedRequests())
            if (r.cmd == QLatin1String("ReqSetPaletteData"))
                found << r;
        return found;
    }

private slots:
    void initTestCase() {
        QDir::setCurrent(m_dir.path()); // the hex file of every conversion lands here
        MessageBoxes::setTestResponder([](const MessageBoxRequest &) { return int(QMessageBox::Ok); });
    }

    void everyFinishedEditUploadsTheTableIntact() {
        LogCapture log;
        SimRig rig({"RV-T782-KB"});
        PanelCameraContext context{PanelCameraContext::Style{}};
        context.setDevice(rig.managers[0].get(), 0);
        context.setSendEnabled(true);
        PalettePage page(&context);
        page.resize(800, 700);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        SimulatedCamera *camera = rig.camera(0);
        PolarPaletteWidget *palette = page.paletteWidget();

        // A drag uploads once, on release.
        const ControlPoint p = palette->controlPoints().at(12 * 12 + 11);
        const QPoint from(qRound(p.x), qRound(p.y));
        press(palette, from);
        move(palette, from + QPoint(0, 20));
        move(palette, from + QPoint(0, 40));
        QCOMPARE(uploads(camera).size(), 0);
        release(palette, from + QPoint(0, 40));
        QCOMPARE(uploads(camera).size(), 1);
        const auto upload = uploads(camera).first();
        const QByteArray text = CommandTexts::paletteData(palette->hisiTable());
        QCOMPARE(upload.payloadSize, int(text.size()));
        QCOMPARE(upload.payload, text);
        QCOMPARE(upload.packets, int((text.size() + 999) / 1000));
        QVERIFY(upload.packets > 1);
        QCOMPARE(camera->state().paletteTable(), palette->hisiTable());
        QVERIFY(palette->hisiTable()[0][1 + 17 * 16 + 16] != 0u); // the colours went along
        QVERIFY(log.contains(QStringLiteral("发送调色盘数据，数据大小: %1").arg(text.size())));

        // Each button of the column that changes the palette uploads once, then asks.
        const QList<QPushButton *> buttons = page.controlPanel()->findChildren<QPushButton *>();
        buttons.at(0)->click(); // 随机调整
        QCOMPARE(uploads(camera).size(), 2);
        const QString after = log.text();
        QVERIFY(after.lastIndexOf(QStringLiteral("调色盘数据已发送到设备")) <
                after.lastIndexOf(QStringLiteral("随机调整请求")));
        buttons.at(1)->click(); // 重置
        QCOMPARE(uploads(camera).size(), 3);
        QVERIFY(log.contains(QStringLiteral("重置请求")));
        // An untouched palette: seventeen header-only rows.
        const QByteArray zero = uploads(camera).last().payload;
        QCOMPARE(zero.size(), 11258);
        QVERIFY(zero.startsWith(kPrefix));
        QVERIFY(zero.endsWith("]}}"));
        for (int r = 0; r < 17; ++r) {
            QList<quint32> row(324, 0u);
            row[0] = quint32(r) << 24;
            QCOMPARE(camera->state().paletteTable().at(r), row);
        }
        buttons.at(2)->click(); // 生成3D LUT
        buttons.at(3)->click(); // 转换为17×324
        QCOMPARE(uploads(camera).size(), 3);
        QVERIFY(log.contains(QStringLiteral("生成3D LUT请求")) &&
                log.contains(QStringLiteral("转换格式请求")));
    }

    void theGuardAndTheLimitsHoldTheUploadBack() {
        SimRig rig({"RV-T782-KB"});
        PanelCameraContext context{PanelCameraContext::Style{}};
        context.setDevice(rig.managers[0].get(), 0);
        PalettePage page(&context);
        SimulatedCamera *camera = rig.camera(0);
        HisiTable big(20, QList<quint32>(400, 4294967295u));

        QVERIFY(!page.sendPaletteData(big)); // guard closed: nothing at all
        page.paletteWidget()->applyRandomAdjustment();
        QCOMPARE(uploads(camera).size(), 0);

        context.setSendEnabled(true);
        QVERIFY(!page.sendPaletteData(HisiTable()));
        QCOMPARE(uploads(camera).size(), 0);
        QVERIFY(page.sendPaletteData(big));
        QCOMPARE(uploads(camera).size(), 1);
        QCOMPARE(camera->state().paletteTable(), HisiTable(17, QList<quint32>(324, 4294967295u)));
        QVERIFY(uploads(camera).first().payloadSize < PalettePage::kMaxUploadBytes);

        // A camera that has gone: the palette keeps its state and the next edit tries again.
        camera->unplug();
        QVERIFY(!page.sendPaletteData(big));
        camera->plugIn();
    }

    void theGroupHoldsThePage() {
        PanelCameraContext context{PanelCameraContext::Style{}};
        PalettePage *page = nullptr;
        std::unique_ptr<CollapsibleGroup> group(PalettePage::createGroup(&context, &page));
        QVERIFY(page);
        QCOMPARE(group->title(), QStringLiteral("调色盘"));
        QVERIFY(group->isAncestorOf(page));
        QVERIFY(!PalettePage::placedInPanel());
    }
};

QTEST_MAIN(TestPalettePage)
#include "test_palette_page.moc"
