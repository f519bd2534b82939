// The check over every window state a user can reach, in one language (the first
// argument: zh or en; Chinese without one): the real windows against simulated
// cameras, each state checked by WindowCheck (clipped text, contrast, covered text,
// windows off the screen), and the sources read for file dialogs and message boxes
// made outside the dialog factory. It prints "N states × M widgets, K violations" and
// every violation with the path of its screenshot; any violation not on the allow-list
// fails it. KESTRANE_STATE_SHOTS=DIR keeps a picture of every state.
#include "camera_window.h"
#include "collapsible_group.h"
#include "collection_tip_dialog.h"
#include "colour_page.h"
#include "dialog_inspector.h"
#include "face_collection_overlay.h"
#include "face_model_flow.h"
#include "ai_model_area.h"
#include "app_paths.h"
#include "device_selection_window.h"
#include "device_slot_strip.h"
#include "hid_manager.h"
#include "message_boxes.h"
#include "model_panel.h"
#include "model_panels.h"
#include "palette_control_panel.h"
#include "palette_page.h"
#include "polar_palette_widget.h"
#include "panel_camera_context.h"
#include "preset_shortcuts.h"
#include "preview_lut_settings.h"
#include "shortcut_dialog.h"
#include "simulated_camera.h"
#include "simulated_camera_bus.h"
#include "simulated_video.h"
#include "source_check.h"
#include "startup_window.h"
#include "ui_language.h"
#include "unselected_device_window.h"
#include "widget.h"
#include "window_check.h"
#include "window_state_allowances.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <QSet>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <cmath>
#include <cstdio>
#include <memory>

namespace {
QString g_language = QStringLiteral("zh");

// A text of the user interface in the language of the run.
QString ui(const char *chinese, const char *english)
{
    return g_language == QLatin1String("en") ? QString::fromUtf8(english) : QString::fromUtf8(chinese);
}

// A simulated bus of cameras, the HID backend while it lives, with video inputs.
class Bus {
public:
    explicit Bus(const QStringList &models) : m_bus(new SimulatedCameraBus(cameraVendorId()))
    {
        for (const QString &model : models)
            m_bus->addCamera(model);
        HidBackend::setActive(m_bus.get());
        SimulatedVideo::install(m_bus.get());
    }
    ~Bus()
    {
        SimulatedVideo::uninstall();
        HidBackend::setActive(nullptr);
    }
    SimulatedCamera *camera(int i) const { return m_bus->cameraAt(i); }
    SimulatedCameraBus *bus() const { return m_bus.get(); }

private:
    std::unique_ptr<SimulatedCameraBus> m_bus;
};

// The control panel as the start-up shows it: centred, listed, `slot` activated.
std::unique_ptr<Widget> openPanel(int slot = 0)
{
    auto panel = std::make_unique<Widget>();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    panel->move(screen.center() - QPoint(panel->width() / 2, panel->height() / 2));
    QSignalSpy listed(panel.get(), &Widget::deviceListRefreshed);
    panel->show();
    listed.wait(8000);
    if (slot >= 0 && panel->deviceItem(slot))
        panel->onDeviceDoubleClicked(panel->deviceItem(slot), 0);
    return panel;
}

void unfoldAll(QWidget *root)
{
    for (CollapsibleGroup *group : root->findChildren<CollapsibleGroup *>())
        group->setCollapsed(false);
}

// The x at which each open group's captioned sliders and combos start, one per group
// when they are aligned.
QStringList controlColumns(QWidget *root)
{
    QStringList out;
    for (CollapsibleGroup *group : root->findChildren<CollapsibleGroup *>()) {
        QSet<int> xs;
        for (QWidget *w : group->findChildren<QWidget *>()) {
            if (!(qobject_cast<QSlider *>(w) || qobject_cast<QComboBox *>(w)) || !w->isVisibleTo(group) ||
                w->height() < 2)
                continue;
            const QRect at(w->mapTo(group, QPoint()), w->size());
            for (QLabel *caption : group->findChildren<QLabel *>()) {
                const QRect c(caption->mapTo(group, QPoint()), caption->size());
                if (caption->isVisibleTo(group) && !caption->text().isEmpty() && c.right() < at.left() && c.bottom() >= at.top() &&
                    c.top() <= at.bottom())
                    xs.insert(at.left());
            }
        }
        if (xs.size() > 1)
            out << group->title();
    }
    return out;
}

// Picks the item with this text in the first combo of `root` that has one.
bool chooseItem(QWidget *root, const QString &text)
{
    for (QComboBox *combo : root->findChildren<QComboBox *>()) {
        const int i = combo->findText(text);
        if (i >= 0) {
            combo->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
}

// A 2×2×2 cube that swaps red and blue.
QByteArray swapCube()
{
    QByteArray text = "TITLE \"swap\"\nLUT_3D_SIZE 2\n";
    for (int b = 0; b < 2; ++b)
        for (int g = 0; g < 2; ++g)
            for (int r = 0; r < 2; ++r)
                text += QByteArray::number(b) + ' ' + QByteArray::number(g) + ' ' + QByteArray::number(r) + '\n';
    return text;
}
} // namespace

class TestWindowStates : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<WindowCheck> m_check;
    std::unique_ptr<DialogInspector> m_dialogs;
    int m_failuresBefore = 0;

    QString folder() const { return m_dir.filePath(QStringLiteral("files")); }
    QString state(const QString &name) const { return g_language + QLatin1Char('/') + name; }

    void inspect(const QString &name, QWidget *window, bool popups = false)
    {
        m_dialogs->setState(state(name));
        m_check->inspect(state(name), window);
        if (popups)
            m_check->inspectPopups(state(name), window);
    }
    // The popup the last action opened, checked and closed.
    void inspectActivePopup(const QString &name)
    {
        QWidget *popup = QApplication::activePopupWidget();
        QVERIFY2(popup, qPrintable(name));
        inspect(name, popup);
        popup->close();
    }
    void at(const QString &name) { m_dialogs->setState(state(name)); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(UiLanguage::install(g_language == QLatin1String("en") ? UiLanguage::English : UiLanguage::Chinese));
        AppPaths::setApplicationDirOverride(m_dir.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.filePath(QStringLiteral("settings")));
        QDir().mkpath(folder());
        QSettings().setValue(QStringLiteral("LastConfigPath"), folder());
        QDir::setCurrent(folder());
        writeFile(folder() + QStringLiteral("/camera.config"), QByteArray(3084, '\0'));
        writeFile(folder() + QStringLiteral("/swap_red_blue.cube"), swapCube());
        writeFile(folder() + QStringLiteral("/broken.cube"), "LUT_3D_SIZE 33\n0 0 0\n");
        writeFile(folder() + QStringLiteral("/color_adjustment.json"), "{}");
        ModelPanels::install();
        FaceCollectionOverlay::setTimings({300, 300, 100, 200, 50});

        const QString shots = qEnvironmentVariable("KESTRANE_STATE_SHOTS");
        m_check = std::make_unique<WindowCheck>(
            shots.isEmpty() ? QDir::temp().filePath(QStringLiteral("kestrane-window-states-") + g_language) : shots,
            WindowStateAllowances::list());
        m_check->setShotAll(!shots.isEmpty());
        m_dialogs = std::make_unique<DialogInspector>(m_check.get());
        m_dialogs->setFolder(folder());
    }

    void init() { m_failuresBefore = m_check->failures(); }

    // Each case fails on the violations it found itself.
    void cleanup()
    {
        HidBackend::setActive(nullptr);
        if (m_check->failures() > m_failuresBefore) {
            QStringList lines;
            const QList<WindowCheck::Violation> all = m_check->violations();
            for (const WindowCheck::Violation &v : all)
                if (v.allowedBecause.isEmpty())
                    lines << QStringLiteral("[%1] %2 | %3 | \"%4\" | %5 | %6")
                                 .arg(WindowCheck::ruleName(v.rule), v.state, v.widget, v.text, v.detail, v.shot);
            QFAIL(qPrintable(QStringLiteral("%1 violation(s):\n%2")
                                 .arg(m_check->failures() - m_failuresBefore)
                                 .arg(lines.mid(m_failuresBefore).join(QLatin1Char('\n')))));
        }
    }

    void cleanupTestCase()
    {
        std::printf("%s\n", qPrintable(m_check->report(g_language)));
        std::fflush(stdout);
        m_dialogs.reset();
    }

    // The boot window, the series selection and the window that reports a missing
    // camera.
    void startupWindows()
    {
        Bus bus({QStringLiteral("RV-K310A-WU"), QStringLiteral("RV-T782-KB")});
        StartupWindow::setQuitHandler([] {});
        StartupWindow boot;
        boot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&boot));
        QTest::qWait(1200);
        inspect(QStringLiteral("boot window"), &boot);
        boot.onConnectClicked();
        QTRY_VERIFY(boot.selectionWindow() && boot.selectionWindow()->isVisible());
        inspect(QStringLiteral("series selection"), boot.selectionWindow(), true);
        boot.onDeviceSelected(QStringLiteral("D1"));
        QTRY_VERIFY_WITH_TIMEOUT(boot.unselectedWindow() && boot.unselectedWindow()->isVisible(), 8000);
        inspect(QStringLiteral("not connected"), boot.unselectedWindow());
    }

    // The control panel of a camera with the built-in pages (series B1: the full PTZ
    // panel), every group open, and the menus, dialogs and boxes of its buttons.
    void builtInPanel()
    {
        Bus bus({QStringLiteral("RV-K310A-WU"), QStringLiteral("RV-T782-KB"), QStringLiteral("RV-N906-PX"),
                 QStringLiteral("RV-K310A-LNQ")});
        std::unique_ptr<Widget> panel = openPanel(-1);
        inspect(QStringLiteral("panel, no camera chosen"), panel.get());
        panel->activateSeriesDevice(QStringLiteral("B1"));
        QTRY_VERIFY(panel->builtInPage()->isVisible());
        unfoldAll(panel->builtInPage());
        inspect(QStringLiteral("built-in pages"), panel.get(), true);
        QVERIFY2(controlColumns(panel->builtInPage()).isEmpty(),
                 qPrintable(controlColumns(panel->builtInPage()).join(", ")));

        // Face tracking shows the AI model area with the camera's models.
        QVERIFY(chooseItem(panel->builtInPage(), ui("人脸追焦", "Face tracking")));
        QTRY_VERIFY(panel->faceModels()->area()->combo()->count() > 0);
        inspect(QStringLiteral("built-in pages, AI model area"), panel.get(), true);

        // Recording a model: its name, then the warm tip.
        m_dialogs->nameAnswer = QStringLiteral("Podium guest speaker");
        at(QStringLiteral("record model"));
        panel->faceModels()->onAddModelClicked();
        QVERIFY(panel->faceModels()->collectionDialog());
        QVERIFY(QTest::qWaitForWindowExposed(panel->faceModels()->collectionDialog()));
        inspect(QStringLiteral("record model / warm tip"), panel->faceModels()->collectionDialog());
        panel->faceModels()->collectionDialog()->cancelButton()->click();
        m_dialogs->nameAnswer.clear();

        at(QStringLiteral("delete model"));
        panel->faceModels()->onDeleteModelClicked();
        QPointer<QWidget> progress;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && w != panel.get() && qobject_cast<QDialog *>(w))
                inspect(QStringLiteral("delete model / progress"), progress = w);
        QTRY_VERIFY_WITH_TIMEOUT(!progress || !progress->isVisible(), FaceModelFlow::kDeleteCheckDelayMs + 3000);

        // The menus and boxes of the action row.
        panel->configButton()->click();
        inspectActivePopup(QStringLiteral("config menu"));
        m_dialogs->fileAnswer = folder() + QStringLiteral("/exported.config");
        at(QStringLiteral("export"));
        panel->exportCameraConfig();
        m_dialogs->fileAnswer.clear();
        at(QStringLiteral("import"));
        panel->importCameraConfig();
        panel->showDeviceResetMenu();
        inspectActivePopup(QStringLiteral("reset menu"));
        at(QStringLiteral("restart question"));
        panel->onRebootClicked();
        at(QStringLiteral("image reset question"));
        panel->onImageResetClicked();
        at(QStringLiteral("factory reset question"));
        panel->onFactoryResetClicked();
        at(QStringLiteral("firmware"));
        panel->onFirmwareUpgradeClicked();

        // Colour tables: a reset with its report, the enlarged window, picking without
        // a preview.
        m_dialogs->boxAnswer = QMessageBox::Ok;
        at(QStringLiteral("hue reset"));
        panel->resetHueTable();
        m_dialogs->boxAnswer = MessageBoxes::kCloseWithoutButton;
        panel->showPaletteDialog();
        QVERIFY(QTest::qWaitForWindowExposed(panel->colourPage()->paletteDialog()));
        inspect(QStringLiteral("enlarged colour tables"), panel->colourPage()->paletteDialog());
        panel->colourPage()->paletteDialog()->hide();
        at(QStringLiteral("pick without preview"));
        panel->startColorPicking();

        // Presets: the shortcut dialog, a refused and a conflicting shortcut, a long
        // name with a long shortcut on the button and in the menus.
        PresetShortcuts *presets = panel->ptzPanel()->shortcuts();
        at(QStringLiteral("preset shortcut"));
        presets->onSetShortcut(1);
        presets->onShortcutSet(2, QKeySequence());
        presets->onShortcutSet(1, QKeySequence(QStringLiteral("Ctrl+1")));
        at(QStringLiteral("preset shortcut conflict"));
        presets->onShortcutSet(2, QKeySequence(QStringLiteral("Ctrl+1")));
        m_dialogs->nameAnswer = QStringLiteral("Podium Left Wide");
        at(QStringLiteral("preset name"));
        presets->onNamePreset(2);
        m_dialogs->nameAnswer.clear();
        presets->onShortcutSet(2, QKeySequence(QStringLiteral("Ctrl+Shift+F2")));
        inspect(QStringLiteral("named preset with shortcut"), panel.get(), true);

        // Renaming the camera in place.
        panel->beginDeviceRename(panel->currentIndex());
        inspect(QStringLiteral("camera rename"), panel.get());
        panel->finishDeviceRename();
    }

    // Each model panel with a camera of its model, every group open (the palette page
    // too, as --palette-page places it), its AI model area where it has one.
    void modelPanels_data()
    {
        QTest::addColumn<QString>("model");
        QTest::newRow("WP-BEFA") << QStringLiteral("RV-K310A-WP-BEFA");
        QTest::newRow("LNQ") << QStringLiteral("RV-K310A-LNQ");
        QTest::newRow("T782") << QStringLiteral("RV-T782-KB");
    }
    void modelPanels()
    {
        QFETCH(QString, model);
        PalettePage::setPlacedInPanel(true);
        Bus bus({model});
        std::unique_ptr<Widget> panel = openPanel();
        ModelPanel *modelPanel = panel->activeModelPanel();
        QVERIFY(modelPanel);
        inspect(model + QStringLiteral(", groups folded"), panel.get(), true);
        unfoldAll(modelPanel);
        inspect(model, panel.get(), true);
        QVERIFY2(controlColumns(modelPanel).isEmpty(), qPrintable(controlColumns(modelPanel).join(", ")));
        if (FaceModelFlow *faces = modelPanel->faceModels()) {
            QVERIFY(chooseItem(modelPanel, ui("人脸追焦", "Face tracking")));
            QTRY_VERIFY(faces->area()->combo()->count() > 0);
            inspect(model + QStringLiteral(", AI model area"), panel.get(), true);
        }
        if (auto *palette = modelPanel->findChild<PalettePage *>()) {
            // The mouse wheel over the palette scrolls the panel.
            QScrollBar *bar = modelPanel->scrollArea()->verticalScrollBar();
            modelPanel->scrollArea()->ensureWidgetVisible(palette->paletteWidget(), 0, 0);
            QTest::qWait(50);
            const int before = bar->value();
            QWidget *wheel = palette->paletteWidget();
            const QPoint middle = wheel->rect().center();
            QWheelEvent turn(middle, wheel->mapToGlobal(middle), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                             Qt::NoScrollPhase, false);
            QApplication::sendEvent(wheel, &turn);
            QVERIFY2(bar->value() != before, "the mouse wheel over the palette does not scroll");
            palette->controlPanel()->onRandomAdjustment();
            inspect(model + QStringLiteral(", palette after a random adjustment"), panel.get());
            m_dialogs->fileAnswer.clear();
            at(model + QStringLiteral(", palette save"));
            palette->controlPanel()->onSave();
            at(model + QStringLiteral(", palette load"));
            m_dialogs->fileAnswer = folder() + QStringLiteral("/color_adjustment.json");
            palette->controlPanel()->onLoad();
            m_dialogs->fileAnswer.clear();
        }
        PalettePage::setPlacedInPanel(false);
    }

    // The palette page on its own, wide, after a random adjustment.
    void palettePage()
    {
        Bus bus({QStringLiteral("RV-T782-KB")});
        HIDManager manager;
        QVERIFY(manager.openDevice(bus.camera(0)->path()));
        PanelCameraContext context{PanelCameraContext::Style{}};
        context.setDevice(&manager, 0);
        context.setSendEnabled(true);
        QWidget column;
        auto *layout = new QVBoxLayout(&column);
        PalettePage *page = nullptr;
        CollapsibleGroup *group = PalettePage::createGroup(&context, &page);
        group->setCollapsed(false);
        layout->addWidget(group);
        column.setStyleSheet(QStringLiteral("background-color: #1e1e1e;"));
        column.resize(740, 700);
        column.show();
        QVERIFY(QTest::qWaitForWindowExposed(&column));
        inspect(QStringLiteral("palette page"), &column);
        // Each angle caption names the hue drawn at its angle.
        PolarPaletteWidget *wheel = page->paletteWidget();
        const QImage drawn = wheel->grab().toImage();
        int named = 0;
        for (const PolarPaletteWidget::Caption &caption : wheel->captions()) {
            if (!caption.text.startsWith(QLatin1String("H=")))
                continue;
            // A little off the caption's own grid line.
            const QPointF towards = QPointF(caption.rect.center()) - wheel->centre();
            const double angle = std::atan2(towards.y(), towards.x()) + 0.06;
            const QPointF inside = wheel->centre() + 0.85 * wheel->radius() * QPointF(std::cos(angle), std::sin(angle));
            const int hue = QColor(drawn.pixel(inside.toPoint())).hsvHue();
            const int said = caption.text.mid(2).chopped(1).toInt();
            const int apart = qAbs(hue - said) % 360;
            QVERIFY2(qMin(apart, 360 - apart) <= 8, qPrintable(caption.text + QStringLiteral(" over hue %1").arg(hue)));
            ++named;
        }
        QCOMPARE(named, 8);
        page->controlPanel()->onRandomAdjustment();
        inspect(QStringLiteral("palette page after a random adjustment"), &column);
    }

    // The preview without and with a LUT (loaded, refused), its LUT menu, and colour
    // picking from it.
    void preview()
    {
        PreviewLutSettings::set(true, QString());
        Bus bus({QStringLiteral("RV-K310A-WU")});
        std::unique_ptr<Widget> panel = openPanel();
        panel->previewToggle()->click();
        QTRY_VERIFY(panel->cameraWindow() && panel->cameraWindow()->framesShown() > 2);
        CameraWindow *preview = panel->cameraWindow();
        inspect(QStringLiteral("preview"), preview);
        m_dialogs->fileAnswer = folder() + QStringLiteral("/swap_red_blue.cube");
        at(QStringLiteral("preview, LUT loaded"));
        preview->lutButton()->click();
        QVERIFY(preview->lutEnabled());
        const int framesBefore = preview->framesShown();
        QTRY_VERIFY(preview->framesShown() > framesBefore + 1);
        inspect(QStringLiteral("preview with a LUT"), preview, true);
        m_dialogs->fileAnswer = folder() + QStringLiteral("/broken.cube");
        at(QStringLiteral("preview, LUT refused"));
        preview->onLoadLUTClicked();
        m_dialogs->fileAnswer.clear();
        at(QStringLiteral("picking"));
        panel->startColorPicking();
        inspect(QStringLiteral("picking, panel"), panel.get());
        inspect(QStringLiteral("picking, preview"), preview);
        panel->stopColorPicking();
        preview->close();
        PreviewLutSettings::set(false, QString());
    }

    // The face data collection in the preview, step by step: the panel, each countdown
    // with the prompt of the step before, the verdicts, a cancel.
    void faceCollection()
    {
        Bus bus({QStringLiteral("RV-K310A-WU")});
        std::unique_ptr<Widget> panel = openPanel();
        panel->previewToggle()->click();
        QTRY_VERIFY(panel->cameraWindow() && panel->cameraWindow()->framesShown() > 0);
        CameraWindow *preview = panel->cameraWindow();
        FaceCollectionOverlay *overlay = preview->faceCollection();
        preview->setFaceModelId(3);
        preview->showFaceCollectionPanel();
        inspect(QStringLiteral("collection panel"), preview);
        // A failing run, retried from its verdict; then a run with one failed step,
        // its states checked up to the second countdown, and both verdicts.
        for (bool succeeds : {false, true}) {
            const QString run = succeeds ? QStringLiteral("collection") : QStringLiteral("failing collection");
            m_dialogs->dialogDriver = [this](QDialog &dialog) {
                for (QPushButton *button : dialog.findChildren<QPushButton *>())
                    if (button->text() == ui("重试", "Retry")) {
                        button->click();
                        return;
                    }
                dialog.reject();
            };
            preview->onStartCollectionClicked();
            QTRY_VERIFY(overlay->countdownLabel() && overlay->countdownLabel()->isVisible());
            if (succeeds)
                inspect(run + QStringLiteral(", countdown of step 1"), preview);
            QTRY_VERIFY(overlay->runSent());
            if (succeeds)
                inspect(run + QStringLiteral(", step 1 prompt"), preview);
            for (int step = 0; step < FaceCollectionOverlay::kSteps; ++step) {
                at(run + QStringLiteral(", verdict"));
                const bool fine = succeeds ? step != 2 : step == 0;
                preview->handleFaceCollectionStatus(fine ? QStringLiteral("finish") : QStringLiteral("error"));
                if (step + 1 == FaceCollectionOverlay::kSteps)
                    break;
                QTRY_VERIFY(overlay->countdownLabel()->isVisible());
                if (succeeds && step == 0) // with the first step's verdict above it
                    inspect(run + QStringLiteral(", countdown of step 2"), preview);
                QTRY_VERIFY(!overlay->countdownLabel()->isVisible() && overlay->runSent());
            }
            m_dialogs->dialogDriver = nullptr;
            inspect(run + QStringLiteral(", over"), preview);
        }
    }

    // A camera restarting at the user's request, and the panel without any camera.
    void restartAndNoCamera()
    {
        {
            Bus bus({QStringLiteral("RV-K310A-WU")});
            bus.camera(0)->setReturnDelayMs(2500);
            std::unique_ptr<Widget> panel = openPanel();
            m_dialogs->boxAnswer = QMessageBox::Ok;
            at(QStringLiteral("restart"));
            panel->onRebootClicked();
            m_dialogs->boxAnswer = MessageBoxes::kCloseWithoutButton;
            QTRY_VERIFY_WITH_TIMEOUT(panel->connectedCount() == 0 && !panel->isRefreshing(), 8000);
            inspect(QStringLiteral("restarting"), panel.get());
            QTRY_VERIFY_WITH_TIMEOUT(panel->currentIndex() >= 0 && panel->connectedCount() == 1, 15000);
            inspect(QStringLiteral("restarted"), panel.get());
        }
        Bus none({});
        std::unique_ptr<Widget> panel = openPanel(-1);
        inspect(QStringLiteral("no camera"), panel.get());
    }

    // Every file dialog and message box comes from the dialog factory.
    void sourcesUseTheDialogFactory()
    {
        const QList<SourceCheck::Finding> findings = SourceCheck::strayDialogs(QStringLiteral(KESTRANE_SOURCE_DIR));
        for (const SourceCheck::Finding &f : findings)
            m_check->addStrayDialog(QStringLiteral("%1:%2").arg(f.file).arg(f.line), f.text);
        // The reader itself sees through comments and strings.
        QCOMPARE(SourceCheck::strayLines(QStringLiteral("QMessageBox box(this);\n// new QFileDialog\n"
                                                        "auto s = \"QMessageBox::warning(\";\n"
                                                        "QFileDialog::getOpenFileName(this);\nQMessageBox::Ok;")),
                 QList<int>({1, 4}));
    }
};

int main(int argc, char *argv[])
{
    QList<char *> args;
    for (int i = 0; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (i > 0 && (arg == "zh" || arg == "en"))
            g_language = QString::fromLatin1(arg);
        else
            args << argv[i];
    }
    // A desktop screen of 1920 × 1080 for the offscreen platform.
    QTemporaryDir screenDir;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen") {
        const QString config = screenDir.filePath(QStringLiteral("screen.json"));
        writeFile(config, R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1920, "height": 1080,
                             "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    }
    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    TestWindowStates test;
    int count = int(args.size());
    return QTest::qExec(&test, count, args.data());
}

#include "test_window_states.moc"
