#include "application_entry.h"

#include "build_config.h"
#include "cjk_font_check.h"
#include "command_line_options.h"
#include "control_services.h"
#include "device_models.h"
#include "hover_refresh.h"
#include "log_manager.h"
#include "model_panels.h"
#include "palette_page.h"
#include "preview_lut_settings.h"
#include "simulated_camera_bus.h"
#include "simulated_video.h"
#include "startup_window.h"
#include "single_instance.h"
#include "termination_signals.h"
#include "tray_icon.h"
#include "ui_language.h"

#include <QApplication>
#include <QPointer>
#include <QIcon>
#include <QLocale>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace {
void startupRecord(LogLevel level, const QString &message)
{
    LogManager::instance()->log(level, "Startup", message);
}

} // namespace

int ApplicationEntry::run(int argc, char *argv[])
{
    // The command line is read before the application object exists, so that --help,
    // --version and mistakes are answered without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLineOptions options = CommandLineOptions::parse(arguments);
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "kestrane: %s\n%s", qPrintable(options.error), qPrintable(options.helpText));
        return 2;
    }
    if (options.helpRequested || options.versionRequested) {
        std::fprintf(stdout, "%s", options.helpRequested ? qPrintable(options.helpText) : "kestrane " KESTRANE_VERSION "\n");
        return 0;
    }

    // Every other argument goes to the application object, which takes Qt's own options
    // out of its list; the log records the line as it was given.
    QApplication app(argc, argv);
    HoverRefresh::install();
    // SIGTERM and SIGINT end the program as closing its window does.
    const TerminationSignals termination([] { QCoreApplication::exit(0); });
    QGuiApplication::setDesktopFileName(QStringLiteral(KESTRANE_APP_ID));
    QCoreApplication::setOrganizationName(QStringLiteral("Kestrane")); // where the user settings live
    QCoreApplication::setApplicationName(QStringLiteral("kestrane"));
    UiLanguage::install(UiLanguage::choose(options.language, QLocale::system()));

    // One instance per user: a later start hands its arguments to the running one and
    // ends. Simulated cameras belong to their run, so a simulating start runs beside.
    SingleInstance instance(SingleInstance::defaultName());
    if (!options.simulate) {
        switch (instance.claim(arguments)) {
        case SingleInstance::Claim::First:
            break;
        case SingleInstance::Claim::HandedOver:
            return 0;
        case SingleInstance::Claim::Unreachable:
            std::fprintf(stderr, "kestrane: another Kestrane of this user runs but does not answer\n");
            return 1;
        }
    }

    const std::unique_ptr<StartupWindow> window = start(options, arguments);
    ControlServices *services = window->findChild<ControlServices *>();
    TrayIcon tray(window.get(), services);
    tray.addSwitch({QStringLiteral("VISCA"), [services] { return services->viscaRunning(); },
                    [services](bool on) {
                        if (!on)
                            services->stopVisca();
                        return !on || services->startVisca();
                    }});
    tray.addSwitch({QStringLiteral("OSC"), [services] { return services->oscRunning(); },
                    [services](bool on) {
                        if (!on)
                            services->stopOsc();
                        return !on || services->startOsc();
                    }});
    if (TrayIcon::available())
        QApplication::setQuitOnLastWindowClosed(false); // the tray quits, or the windows' own buttons
    if (options.tray)
        tray.startHidden();
    QObject::connect(&instance, &SingleInstance::startedAgain, &tray, [&tray](const QStringList &again) {
        const CommandLineOptions wanted = CommandLineOptions::parse(again);
        if (!wanted.lutFile.isEmpty())
            PreviewLutSettings::set(true, wanted.lutFile);
        tray.showWindow();
    });
    // Logging out ends the tool as closing it does: files written, announcements taken back.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [] { QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); }); });
    return app.exec();
}

std::unique_ptr<StartupWindow> ApplicationEntry::start(const CommandLineOptions &options,
                                                       const QStringList &arguments)
{
    QGuiApplication::setWindowIcon(QIcon(":/icons/resources/icons/qv_logo.ico"));

    LogManager *log = LogManager::instance();
    Q_UNUSED(log);
    startupRecord(INFO, QStringLiteral("初始化日志管理器..."));
    startupRecord(INFO, QStringLiteral("应用程序启动 - 进程ID: %1").arg(QCoreApplication::applicationPid()));
    startupRecord(INFO, QStringLiteral("命令行参数: %1").arg(arguments.join(' ')));
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect();
    startupRecord(DEBUG, QStringLiteral("主屏幕分辨率: %1x%2").arg(screen.width()).arg(screen.height()));

    setCameraVendorId(options.vendorId);
    PreviewLutSettings::set(options.lutButton, options.lutFile);
    PalettePage::setPlacedInPanel(options.palettePage);
    ModelPanels::install();
    if (options.simulate)
        SimulatedVideo::install(SimulatedCameraBus::install(options.simulatedModels, options.vendorId));

    startupRecord(INFO, QStringLiteral("创建启动窗口..."));
    auto window = std::make_unique<StartupWindow>();
    if (QScreen *primary = QGuiApplication::primaryScreen())
        window->move(primary->geometry().center() - window->rect().center());
    window->show();
    auto *services = new ControlServices(window.get(), options.apiPort, window.get());
    services->setRemoteOptions(options.visca, options.viscaBind, options.oscPort);
    services->startConfigured();
    CjkFontCheck::warnIfMissing();
    startupRecord(INFO, QStringLiteral("启动窗口已显示，应用程序进入主事件循环"));
    return window;
}
