// The user interface in English and in Chinese: with the English translation loaded no
// window shows a Chinese character, while the log stays Chinese; without it every text
// shows as written.
#include "camera_window.h"
#include "collapsible_group.h"
#include "collection_tip_dialog.h"
#include "device_selection_window.h"
#include "face_collection_overlay.h"
#include "log_capture.h"
#include "model_name_dialog.h"
#include "model_panel.h"
#include "model_panels.h"
#include "shortcut_dialog.h"
#include "sim_fixture.h"
#include "simulated_video.h"
#include "startup_window.h"
#include "ui_language.h"
#include "unselected_device_window.h"
#include "widget.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QResource>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

namespace {
bool hasHan(const QString &text)
{
    for (const char32_t c : text.toUcs4())
        if (QChar::script(c) == QChar::Script_Han)
            return true;
    return false;
}

// Every text a window can show, shown now or once a group opens, a mode changes or a
// menu pops up: its title, and of each widget in it the text, tool tip, combo items,
// menu entries and list items.
QStringList windowTexts(QWidget *window)
{
    QStringList texts{window->windowTitle()};
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *w : widgets) {
        texts << w->toolTip();
        if (auto *label = qobject_cast<QLabel *>(w))
            texts << label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            texts << button->text();
        else if (auto *combo = qobject_cast<QComboBox *>(w))
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
        else if (auto *menu = qobject_cast<QMenu *>(w))
            for (const QAction *action : menu->actions())
                texts << action->text();
        else if (auto *tree = qobject_cast<QTreeWidget *>(w))
            for (QTreeWidgetItemIterator it(tree); *it; ++it)
                texts << (*it)->text(0) << (*it)->toolTip(0);
    }
    texts.removeAll(QString());
    return texts;
}

QStringList boxTexts(const QList<MessageBoxRequest> &boxes)
{
    QStringList texts;
    for (const MessageBoxRequest &box : boxes)
        texts << box.title << box.text << box.buttons;
    return texts;
}
} // namespace

class TestUiLanguage : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ModelPanels::install(); }
    void cleanup()
    {
        UiLanguage::remove();
        SimulatedVideo::uninstall();
    }

    void systemAndOptionChooseTheLanguage_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("language");
        QTest::newRow("Chinese system") << "" << "zh_CN" << int(UiLanguage::Chinese);
        QTest::newRow("Taiwanese system") << "" << "zh_TW" << int(UiLanguage::Chinese);
        QTest::newRow("no language") << "" << "C" << int(UiLanguage::Chinese);
        QTest::newRow("English system") << "" << "en_US" << int(UiLanguage::English);
        QTest::newRow("German system") << "" << "de_DE" << int(UiLanguage::English);
        QTest::newRow("--lang en") << "en" << "zh_CN" << int(UiLanguage::English);
        QTest::newRow("--lang zh") << "zh" << "de_DE" << int(UiLanguage::Chinese);
    }
    void systemAndOptionChooseTheLanguage()
    {
        QFETCH(QString, code);
        QFETCH(QString, locale);
        QFETCH(int, language);
        QCOMPARE(int(UiLanguage::choose(code, QLocale(locale))), language);
    }

    void windowsShowTheChosenLanguage_data()
    {
        QTest::addColumn<bool>("english");
        QTest::newRow("English") << true;
        QTest::newRow("Chinese") << false;
    }
    void windowsShowTheChosenLanguage()
    {
        QFETCH(bool, english);
        if (english)
            QVERIFY(UiLanguage::install(UiLanguage::English));
        LogCapture log;
        SimFixture sim;
        QStringList texts;

        // The start-up windows, no camera attached.
        {
            StartupWindow boot;
            DeviceSelectionWindow selection;
            UnselectedDeviceWindow missing(QStringLiteral("D1"));
            texts << windowTexts(&boot) << windowTexts(&selection) << windowTexts(&missing);
            StartupWindow::setQuitHandler([] {});
        }

        // The control panel with one camera of the built-in pages and two with a model
        // panel; the preview with its face collection overlay; the dialogs of the PTZ
        // and face-model areas; the boxes of a table reset.
        sim.add("RV-K310A-WU");
        sim.add("RV-K310A-LNQ");
        sim.add("RV-T782-KB");
        SimulatedVideo::install(sim.bus());
        Widget panel;
        panel.show();
        QSignalSpy refreshed(&panel, &Widget::deviceListRefreshed);
        QVERIFY(refreshed.wait(5000));
        QTRY_VERIFY(panel.deviceItem(2));
        panel.onDeviceDoubleClicked(panel.deviceItem(0), 0);
        texts << windowTexts(&panel);
        panel.resetHueTable();
        QCOMPARE(sim.boxes.size(), 2); // the question, then the notice
        texts << boxTexts(sim.boxes);

        panel.previewToggle()->click();
        CameraWindow *preview = panel.cameraWindow();
        QVERIFY(preview);
        FaceCollectionOverlay::Timings quick;
        quick.tickMs = 10;
        FaceCollectionOverlay::setTimings(quick);
        preview->showFaceCollectionPanel();
        preview->onStartCollectionClicked();
        QTRY_VERIFY(preview->faceCollection()->promptLabel() &&
                    preview->faceCollection()->promptLabel()->isVisible());
        texts << windowTexts(preview);
        FaceCollectionOverlay::setTimings({});
        preview->close();

        ShortcutDialog shortcut(1);
        ModelNameDialog name;
        CollectionTipDialog tip;
        texts << windowTexts(&shortcut) << windowTexts(&name) << windowTexts(&tip);

        for (int index : {1, 2}) {
            panel.onDeviceDoubleClicked(panel.deviceItem(index), 0);
            QVERIFY(panel.activeModelPanel());
            texts << windowTexts(panel.activeModelPanel());
        }

        // The pictures with text have English variants.
        for (const char *picture : {"boot_kestrane", "Unselected_Series_D", "PTZ_background"}) {
            const QString path = QStringLiteral(":/icons/resources/icons/%1.png").arg(QLatin1String(picture));
            QCOMPARE(QResource(path).size() != QResource(path, QLocale(QLocale::Chinese)).size(), english);
        }
        if (english) {
            for (const QString &text : texts)
                QVERIFY2(!hasHan(text), qPrintable(text));
            QVERIFY(texts.contains(QStringLiteral("Config")));
            QVERIFY(texts.contains(QStringLiteral("Focus mode:")));
            QVERIFY(log.contains(QStringLiteral("重置色度参数...")));
            return;
        }
        QVERIFY(!log.text().isEmpty());
        for (const char *expected : {"连接设备", "请选择您的设备进行连接", "A系列", "参数配置", "所有设备", "图像调节",
                                     "自动曝光", "预置位1", "增加", "重置色度", "确定", "取消", "摄像头预览",
                                     "AI人脸数据采集", "取消", "请按下快捷键组合:", "请输入模型名称", "温馨提示",
                                     "镜头选择", "人脸追焦", "聚焦模式:", "TOF通道:", "快门优先"})
            QVERIFY2(texts.contains(QString::fromUtf8(expected)), expected);
    }
};

QTEST_MAIN(TestUiLanguage)
#include "test_ui_language.moc"
