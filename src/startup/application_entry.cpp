#include "application_entry.h"

#include "build_config.h"
#include "cjk_font_check.h"
#include "command_line_options.h"
#include "control_api_settings.h"
#include "device_models.h"
#include "log_manager.h"
#include "model_panels.h"
#include "palette_page.h"
#include "preview_lut_settings.h"
#include "simulated_camera_bus.h"
#include "simulated_video.h"
#include "startup_window.h"
#include "termination_signals.h"
#include "ui_language.h"

#ifdef KESTRANE_CONTROL_API
#include "control_api_server.h"
#include "panel_api_backend.h"
#include "widget.h"

#include <QJsonArray>
#include <QJsonObject>
#endif

#include <QApplication>
#include <QPointer>
#include <QIcon>
#include <QLocale>
#include <QScreen>

#include <cstdio>

namespace {
void startupRecord(LogLevel level, const QString &message)
{
    LogManager::instance()->log(level, "Startup", message);
}

// The local control API, when the command line or the settings ask for it. It serves
// the control panel once that is open; the window owns it.
void startControlApi(const CommandLineOptions &options, StartupWindow *window)
{
    ControlApiSettings settings = ControlApiSettings::load();
    if (options.apiPort != 0) {
        settings.enabled = true;
        settings.port = options.apiPort;
    }
    if (!settings.enabled)
        return;
#ifdef KESTRANE_CONTROL_API
    const QPointer<StartupWindow> owner(window);
    auto *server = new ControlApiServer(
        std::make_unique<PanelApiBackend>(
            [owner]() -> Widget * { return owner ? owner->controlPanel() : nullptr; },
            [owner] { return owner && !owner->controlPanel() && owner->isChoosingSeries(); }),
        window);
    QString error;
    if (!server->start(settings, &error)) {
        startupRecord(CRITICAL, QStringLiteral("[API] the control API is not served: %1").arg(error));
        delete server;
        return;
    }
    // What the panel changes by itself reaches the event stream too.
    QObject::connect(window, &StartupWindow::controlPanelOpened, server, [server](Widget *panel) {
        QObject::connect(panel, &Widget::activeCameraChanged, server, [server](const QString &serial) {
            server->publish(QJsonObject{{QStringLiteral("event"), QStringLiteral("selection")},
                                        {QStringLiteral("serial"), serial}});
        });
        QObject::connect(panel, &Widget::deviceListRefreshed, server, [server, panel] {
            QJsonArray serials;
            for (const auto &listed : panel->listedCameras())
                serials.append(listed.second.serial);
            server->publish(QJsonObject{{QStringLiteral("event"), QStringLiteral("connection")},
                                        {QStringLiteral("serials"), serials}});
        });
    });
#else
    Q_UNUSED(window);
    startupRecord(WARNING, QStringLiteral("[API] this build has no control API (built without KESTRANE_CONTROL_API)"));
#endif
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
    // SIGTERM and SIGINT end the program as closing its window does.
    const TerminationSignals termination([] { QCoreApplication::exit(0); });
    QGuiApplication::setDesktopFileName(QStringLiteral(KESTRANE_APP_ID));
    QCoreApplication::setOrganizationName(QStringLiteral("Kestrane")); // where the user settings live
    QCoreApplication::setApplicationName(QStringLiteral("kestrane"));
    UiLanguage::install(UiLanguage::choose(options.language, QLocale::system()));
    const std::unique_ptr<StartupWindow> window = start(options, arguments);
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
    startControlApi(options, window.get());
    CjkFontCheck::warnIfMissing();
    startupRecord(INFO, QStringLiteral("启动窗口已显示，应用程序进入主事件循环"));
    return window;
}
