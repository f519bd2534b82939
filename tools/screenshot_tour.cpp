// Renders the tool's windows with simulated cameras into PNG files, for the
// documentation: boot window, series selection, not-connected window, control panel,
// preview, AI face-model area, face data collection in the preview, the preview's LUT
// file dialog and boxes, palette page,
// the model panels, and the menus, dialogs and boxes a new user meets first
// (configuration menu, export dialog and notice, information box after a table
// reset, colour temperature in manual white balance, the preset shortcut dialog).
// Usage: screenshot_tour OUTPUT_DIR [en]
// With "en" the windows are in English and the main ones are written as NAME-en.png
// (every picture with KESTRANE_TOUR_ALL set).
#include "application_entry.h"
#include "device_selection_window.h"
#include "device_models.h"
#include "log_manager.h"
#include "message_boxes.h"
#include "model_panel.h"
#include "model_panels.h"
#include "simulated_camera.h"
#include "simulated_camera_bus.h"
#include "simulated_video.h"
#include "builtin_param_pages.h"
#include "camera_window.h"
#include "collapsible_group.h"
#include "face_collection_overlay.h"
#include "param_control.h"
#include "hid_manager.h"
#include "palette_control_panel.h"
#include "palette_page.h"
#include "panel_camera_context.h"
#include "file_dialogs.h"
#include "palette_label.h"
#include "model_name_dialog.h"
#include "preset_shortcuts.h"
#include "startup_window.h"
#include "ui_language.h"
#include "unselected_device_window.h"
#include "widget.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

#include <cstdio>

namespace {
// The pictures of this run: file name suffix, and the names written (all when empty).
QString g_suffix;
QStringList g_only;

// Where the picture `name` goes; empty when this run does not write it.
QString shotPath(const QString &out, const QString &name)
{
    if (!g_only.isEmpty() && !g_only.contains(name))
        return QString();
    return out + "/" + name + g_suffix + ".png";
}

void waitMs(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

template <typename Condition> void waitFor(Condition done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
}

// Rounded windows are translucent: show them on the dark desktop they are meant for.
bool saveOnDesktop(const QPixmap &shot, const QString &path)
{
    if (path.isEmpty())
        return true;
    QImage canvas(shot.size() + QSize(40, 40), QImage::Format_RGB32);
    canvas.fill(QColor("#2b2f36"));
    QPainter p(&canvas);
    p.drawPixmap(20, 20, shot);
    p.end();
    const bool ok = canvas.save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

bool save(QWidget *w, const QString &path)
{
    return saveOnDesktop(w->grab(), path);
}

// A widget on the dark ground the control panel shows it on, for a part of a page that
// may lie outside the scrolled view.
bool saveOnPanelGround(QWidget *w, const QString &path)
{
    QPixmap shot(w->size());
    shot.fill(QColor("#10121a"));
    w->render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
    return saveOnDesktop(shot, path);
}

// A part of a window, as it shows inside the window (the visible part only).
bool savePart(QWidget *window, QWidget *part, const QString &path, QRect visible = QRect())
{
    QRect area(part->mapTo(window, QPoint()), part->size());
    if (!visible.isNull())
        area &= visible;
    return saveOnDesktop(window->grab(area), path);
}

// A popup (menu) over the window it belongs to, as the user sees both.
bool saveWithPopup(QWidget *window, QWidget *popup, const QString &path)
{
    QPixmap shot = window->grab();
    QPainter p(&shot);
    p.drawPixmap(popup->mapToGlobal(QPoint()) - window->mapToGlobal(QPoint()), popup->grab());
    p.end();
    return saveOnDesktop(shot, path);
}

// Runs `trigger`, which opens modal windows one after the other; each one is handed
// to the next handler once it has been shown for a moment. A handler closes its window.
bool runWithModals(const std::function<void()> &trigger, QList<std::function<void(QWidget *)>> handlers)
{
    QPointer<QWidget> last;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == last || handlers.isEmpty())
            return;
        last = modal;
        poll.stop();
        waitMs(400);
        handlers.takeFirst()(modal);
        poll.start();
    });
    poll.start();
    trigger();
    return handlers.isEmpty();
}

// Saves a modal window, then closes it with the button of the given caption (or
// rejects it when there is none).
std::function<void(QWidget *)> saveAndClose(bool &ok, const QString &path, const QString &button = QString())
{
    return [&ok, path, button](QWidget *modal) {
        if (!path.isEmpty())
            ok &= save(modal, path);
        for (QPushButton *b : modal->findChildren<QPushButton *>()) {
            if (!button.isEmpty() && b->text() == button) {
                b->click();
                return;
            }
        }
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
    };
}

// A part of the panel's scrolling page, scrolled so that `focus` shows.
bool saveScrolledPart(Widget &panel, QWidget *part, QWidget *focus, const QString &path)
{
    auto *scroll = qobject_cast<QScrollArea *>(panel.builtInPage());
    if (!scroll || !part)
        return false;
    scroll->ensureWidgetVisible(focus, 0, focus == part ? 10 : 200);
    waitMs(200);
    return savePart(&panel, part, path, QRect(scroll->viewport()->mapTo(&panel, QPoint()), scroll->viewport()->size()));
}

// The states of the control panel a new user meets in the first minutes.
bool tourPanelDialogs(Widget &panel, const QString &out)
{
    bool ok = true;
    panel.configButton()->click();
    waitMs(400);
    if (QWidget *menu = QApplication::activePopupWidget()) {
        ok &= saveWithPopup(&panel, menu, shotPath(out, "config-menu"));
        menu->close();
    } else {
        ok = false;
    }

    // A neutral starting folder, so the picture shows no machine's paths.
    QDir home(QDir::tempPath() + "/相机配置");
    QSettings().setValue("LastConfigPath", home.path());
    const bool madeHome = !home.exists() && home.mkpath(".");
    ok &= runWithModals([&] { panel.exportCameraConfig(); }, {saveAndClose(ok, shotPath(out, "export-dialog"))});

    const QString longPath = home.path() + "/二楼东侧大会议室/讲台上方的云台摄像机/2024年冬季备份/camera.config";
    QDir().mkpath(QFileInfo(longPath).absolutePath());
    FileDialogs::setTestResponder([&](const FileDialogs::Request &) { return longPath; });
    ok &= runWithModals([&] { panel.exportCameraConfig(); }, {saveAndClose(ok, shotPath(out, "export-notice"))});
    FileDialogs::setTestResponder(nullptr);
    if (madeHome)
        home.removeRecursively();

    ok &= runWithModals([&] { panel.resetHueTable(); },
                        {saveAndClose(ok, shotPath(out, "reset-question"), MessageBoxes::tr("确定")), saveAndClose(ok, shotPath(out, "reset-info-box"))});

    if (ParamControl *balance = panel.paramPages()->control("eWBMode")) {
        balance->setValue(0); // 手动
        waitMs(300);
        ParamControl *temperature = panel.paramPages()->control("u32CTNum");
        ok &= temperature && saveScrolledPart(panel, temperature->slider.slider->parentWidget(),
                                              temperature->slider.slider, shotPath(out, "colour-temperature"));
    } else {
        ok = false;
    }

    if (QWidget *colour = panel.colourPage()->hueLabel()) {
        panel.colourPage()->highlightPointsForColor(QColor(255, 0, 0));
        waitMs(200);
        ok &= saveScrolledPart(panel, colour->parentWidget(), colour->parentWidget(), shotPath(out, "colour-page"));
    }

    ok &= runWithModals([&] { panel.ptzPanel()->shortcuts()->onSetShortcut(1); },
                        {saveAndClose(ok, shotPath(out, "shortcut-dialog"))});

    // The second preset named and bound, its menu open.
    ok &= runWithModals([&] { panel.ptzPanel()->shortcuts()->onNamePreset(2); },
                        {[&ok, &out](QWidget *modal) {
                            auto *dialog = qobject_cast<ModelNameDialog *>(modal);
                            if (!dialog) {
                                ok = false;
                                return;
                            }
                            dialog->edit()->setText(QStringLiteral("讲台"));
                            ok &= save(modal, shotPath(out, "preset-name-dialog"));
                            dialog->okButton()->click();
                        }});
    panel.ptzPanel()->shortcuts()->onShortcutSet(2, QKeySequence(QStringLiteral("Ctrl+2")));
    if (auto *button = panel.ptzPanel()->findChild<QPushButton *>(QStringLiteral("presetButton2"))) {
        button->menu()->popup(button->mapToGlobal(QPoint(0, button->height())));
        waitMs(400);
        ok &= saveWithPopup(&panel, button->menu(), shotPath(out, "preset-menu"));
        button->menu()->close();
    } else {
        ok = false;
    }
    return ok;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool english = argc > 2 && QString::fromLocal8Bit(argv[2]) == QLatin1String("en");
    UiLanguage::install(english ? UiLanguage::English : UiLanguage::Chinese);
    if (english) {
        g_suffix = QStringLiteral("-en");
        if (qEnvironmentVariableIsEmpty("KESTRANE_TOUR_ALL"))
            g_only = QStringList{"control-panel", "preview", "face-collection", "panel-lnq", "panel-t782"};
    }
    // Settings of the tour stay in a folder of its own.
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");
    QDir().mkpath(out);
    LogManager::setInitialConsoleOutput(false);
    bool ok = true;

    // Two cameras: nothing opens by itself, so the boot window and the choice stay.
    SimulatedCameraBus *bus = SimulatedCameraBus::install({"RV-K310A-WU", "RV-T782-KB"}, cameraVendorId());
    {
        StartupWindow boot;
        boot.show();
        waitMs(1500);
        ok &= save(&boot, shotPath(out, "boot-window"));
        boot.onConnectClicked();
        waitMs(300);
        ok &= save(boot.selectionWindow(), shotPath(out, "series-selection"));
        boot.onDeviceSelected("D1");
        waitMs(2500);
        if (boot.unselectedWindow())
            ok &= save(boot.unselectedWindow(), shotPath(out, "not-connected"));
        else
            ok = false;
        StartupWindow::setQuitHandler([] {});
    }
    HidBackend::setActive(nullptr);
    delete bus;

    // Four cameras of four series in the control panel, the first one active, then its
    // live preview.
    bus = SimulatedCameraBus::install({"RV-K310A-WU", "RV-T782-KB", "RV-N906-PX", "RV-K310A-LNQ"}, cameraVendorId());
    SimulatedVideo::install(bus);
    {
        Widget panel;
        panel.move(100, 100);
        panel.show();
        waitMs(2000);
        panel.activateSeriesDevice("B1");
        waitMs(800);
        ok &= save(&panel, shotPath(out, "control-panel"));
        ok &= tourPanelDialogs(panel, out);
        panel.previewToggle()->click();
        waitMs(1500);
        if (CameraWindow *preview = panel.cameraWindow())
            ok &= save(preview, shotPath(out, "preview"));
        else
            ok = false;

        // "人脸追焦" shows the AI model area with the camera's models.
        panel.paramPages()->control(QStringLiteral("ucFocusMode"))->combo->setCurrentIndex(2);
        waitMs(500);
        ok &= saveOnPanelGround(panel.paramPages()->aiModelArea()->parentWidget(), shotPath(out, "face-models"));

        // A collection in the preview: the first step done, the second one counting down.
        if (CameraWindow *preview = panel.cameraWindow()) {
            preview->setFaceModelId(3);
            preview->showFaceCollectionPanel();
            preview->onStartCollectionClicked();
            FaceCollectionOverlay *overlay = preview->faceCollection();
            waitFor([overlay] { return overlay->runSent(); }, 8000);
            waitMs(500);
            preview->handleFaceCollectionStatus(QStringLiteral("finish"));
            waitFor([overlay] { return overlay->countdownLabel()->isVisible(); }, 5000);
            waitMs(200);
            ok &= save(preview, shotPath(out, "face-collection"));
        } else {
            ok = false;
        }

        // The preview's LUT: the file dialog, the boxes of a loaded and of a refused cube.
        if (CameraWindow *preview = panel.cameraWindow()) {
            QDir folder(QDir::tempPath() + "/LUT");
            const bool madeFolder = !folder.exists() && folder.mkpath(".");
            writeText(folder.filePath("warm.cube"), "LUT_3D_SIZE 2\n0 0 0\n1 0.1 0\n0 0.9 0\n1 1 0\n"
                                                    "0 0 0.8\n1 0 0.8\n0 0.9 0.8\n1 0.95 0.8\n");
            writeText(folder.filePath("broken.cube"), "LUT_3D_SIZE 33\n0 0 0\n");
            // The chooser over the folder of cubes, answered by the tour.
            FileDialogs::setTestResponder([&](const FileDialogs::Request &request) {
                QFileDialog *dialog = FileDialogs::createDialog(request.kind, request.parent, request.caption,
                                                                folder.path(), request.filter, request.styleSheet);
                dialog->show();
                waitMs(800);
                ok &= save(dialog, shotPath(out, "lut-dialog"));
                delete dialog;
                return QString();
            });
            preview->onLoadLUTClicked();
            for (const char *file : {"warm", "broken"}) {
                FileDialogs::setTestResponder(
                    [&](const FileDialogs::Request &) { return folder.filePath(file + QStringLiteral(".cube")); });
                ok &= runWithModals([&] { preview->onLoadLUTClicked(); },
                                    {saveAndClose(ok, shotPath(out, file == QLatin1String("warm") ? "lut-loaded" : "lut-refused"))});
            }
            FileDialogs::setTestResponder(nullptr);
            if (madeFolder)
                folder.removeRecursively();
        }
    }
    SimulatedVideo::uninstall();
    HidBackend::setActive(nullptr);
    delete bus;

    // The palette page of an RV-T782-KB camera after a random adjustment, in its
    // group as --palette-page shows it.
    bus = SimulatedCameraBus::install({"RV-T782-KB"}, cameraVendorId());
    {
        HIDManager manager;
        manager.openDevice(bus->cameraAt(0)->path());
        PanelCameraContext context{PanelCameraContext::Style{}};
        context.setDevice(&manager, 0);
        context.setSendEnabled(true);
        QWidget column;
        column.setObjectName(QStringLiteral("column"));
        column.setStyleSheet(QStringLiteral("QWidget#column { background-color: #1e1e1e; }"));
        auto *layout = new QVBoxLayout(&column);
        PalettePage *page = nullptr;
        CollapsibleGroup *group = PalettePage::createGroup(&context, &page);
        group->setCollapsed(false);
        layout->addWidget(group);
        column.resize(740, 580);
        column.show();
        waitMs(500);
        page->controlPanel()->onRandomAdjustment();
        waitMs(300);
        ok &= save(&column, shotPath(out, "palette-page"));
    }
    HidBackend::setActive(nullptr);
    delete bus;

    // Each model panel with a simulated camera of its model, its first groups open.
    ModelPanels::install();
    const struct {
        const char *model;
        const char *file;
        const char *context; // of the group titles
        QStringList open;
    } panels[] = {
        {"RV-K310A-WP-BEFA", "panel-wp-befa", "K310aPanel", {"图像调节", "视频调整"}},
        {"RV-K310A-LNQ", "panel-lnq", "K310aPanel", {"对焦", "调色盘"}},
        {"RV-T782-KB-BEFA", "panel-t782", "widget_RV_T782_KB_BEFA", {"曝光调整", "聚焦设置", "设置"}},
    };
    for (const auto &shot : panels) {
        bus = SimulatedCameraBus::install({shot.model}, cameraVendorId());
        {
            Widget panel;
            panel.resize(420, 1000);
            panel.show();
            waitMs(2000);
            panel.onDeviceDoubleClicked(panel.deviceItem(0), 0);
            if (ModelPanel *model = panel.activeModelPanel()) {
                QStringList open;
                for (const QString &title : shot.open)
                    open << QCoreApplication::translate(shot.context, title.toUtf8().constData());
                for (CollapsibleGroup *group : model->findChildren<CollapsibleGroup *>())
                    group->setCollapsed(!open.contains(group->title()));
                waitMs(600);
                ok &= save(&panel, shotPath(out, shot.file));
            } else {
                ok = false;
            }
        }
        HidBackend::setActive(nullptr);
        delete bus;
    }
    return ok ? 0 : 1;
}
