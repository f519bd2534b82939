#include "tray_icon.h"

#include "autostart.h"
#include "control_services.h"
#include "log_manager.h"
#include "message_boxes.h"
#include "startup_window.h"
#include "widget.h"

#ifdef KESTRANE_CONTROL_API
#include "control_request_queue.h"
#endif

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QSettings>
#include <QSystemTrayIcon>

namespace {
const char *const kKeepRunningKey = "Background/KeepRunning";

std::optional<bool> &availableOverride()
{
    static std::optional<bool> value;
    return value;
}

void trayRecord(LogLevel level, const QString &message)
{
    LogManager::instance()->log(level, "Startup", QStringLiteral("[Tray] ") + message);
}
} // namespace

TrayIcon::TrayIcon(StartupWindow *window, ControlServices *services, QObject *parent)
    : QObject(parent), m_window(window), m_services(services), m_menu(new QMenu)
{
    connect(m_menu, &QMenu::aboutToShow, this, &TrayIcon::rebuildMenu);
    connect(window, &StartupWindow::controlPanelOpened, this, &TrayIcon::panelOpened);
    rebuildMenu();
    if (!available())
        return;
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_icon = new QSystemTrayIcon(QGuiApplication::windowIcon(), this);
        m_icon->setToolTip(QStringLiteral("Kestrane"));
        m_icon->setContextMenu(m_menu);
        connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                showWindow();
        });
        m_icon->show();
    }
}

TrayIcon::~TrayIcon()
{
    delete m_menu;
}

bool TrayIcon::available()
{
    return availableOverride().value_or(QSystemTrayIcon::isSystemTrayAvailable());
}

void TrayIcon::setAvailableOverride(std::optional<bool> available)
{
    availableOverride() = available;
}

bool TrayIcon::keepRunning()
{
    return QSettings().value(QLatin1String(kKeepRunningKey), false).toBool();
}

void TrayIcon::setKeepRunning(bool keep)
{
    QSettings().setValue(QLatin1String(kKeepRunningKey), keep);
}

void TrayIcon::addSwitch(const Switch &entry)
{
    m_switches << entry;
    rebuildMenu();
}

void TrayIcon::startHidden()
{
    if (!available())
        return; // nowhere to come back from: the windows show as usual
    m_hidden = true;
    if (m_window)
        m_window->hide();
}

void TrayIcon::panelOpened(Widget *panel)
{
    panel->installEventFilter(this);
    if (m_hidden)
        QMetaObject::invokeMethod(panel, &QWidget::hide, Qt::QueuedConnection);
}

// Closing the panel hides it while the tool keeps running in the tray.
bool TrayIcon::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Close && available() && keepRunning() && m_window &&
        watched == m_window->controlPanel()) {
        event->ignore();
        m_window->controlPanel()->hide();
        trayRecord(INFO, QStringLiteral("the panel was closed; the tool keeps running in the tray"));
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void TrayIcon::showWindow()
{
    m_hidden = false;
    if (!m_window)
        return;
    QWidget *shown = m_window->controlPanel();
    if (!shown)
        shown = m_window;
    shown->showNormal();
    shown->raise();
    shown->activateWindow();
}

void TrayIcon::rebuildMenu()
{
    m_menu->clear();
    m_menu->addAction(tr("打开面板"), this, &TrayIcon::showWindow);
    addCameras();
    m_menu->addSeparator();
    if (m_services && m_services->apiBuilt()) {
        QAction *api = m_menu->addAction(tr("控制API"));
        api->setCheckable(true);
        api->setChecked(m_services->apiRunning());
        connect(api, &QAction::toggled, this, [this](bool on) {
            QString error;
            if (on && !m_services->startApi(&error))
                MessageBoxes::warning(nullptr, tr("控制API"), tr("控制API无法启动：%1").arg(error));
            else if (!on)
                m_services->stopApi();
        });
    }
    for (const Switch &entry : std::as_const(m_switches)) {
        QAction *action = m_menu->addAction(entry.label);
        action->setCheckable(true);
        action->setChecked(entry.running && entry.running());
        connect(action, &QAction::toggled, this, [entry, label = entry.label](bool on) {
            if (entry.set && !entry.set(on))
                MessageBoxes::warning(nullptr, label, tr("%1无法切换，详情见日志").arg(label));
        });
    }
    m_menu->addSeparator();
    QAction *keep = m_menu->addAction(tr("关闭窗口后继续运行"));
    keep->setCheckable(true);
    keep->setChecked(keepRunning());
    connect(keep, &QAction::toggled, this, &TrayIcon::setKeepRunning);
    if (Autostart::supported()) {
        QAction *login = m_menu->addAction(tr("登录时启动"));
        login->setCheckable(true);
        login->setChecked(Autostart::enabled());
        connect(login, &QAction::toggled, this, [](bool on) {
            QString error;
            if (!Autostart::setEnabled(on, &error))
                MessageBoxes::warning(nullptr, tr("登录时启动"), error);
        });
    }
    m_menu->addSeparator();
    m_menu->addAction(tr("退出"), this, [] { QCoreApplication::exit(0); });
}

// Each listed camera with the presets the user named: choosing one calls it, through
// the same way in as the control API.
void TrayIcon::addCameras()
{
    Widget *panel = m_window ? m_window->controlPanel() : nullptr;
#ifdef KESTRANE_CONTROL_API
    ControlRequestQueue *requests = m_services ? m_services->requests() : nullptr;
    if (!panel || !requests)
        return;
    for (const ControlApiBackend::Camera &camera : requests->backend()->cameras()) {
        const QString title = camera.entry.deviceName.isEmpty()
                                  ? camera.entry.serial
                                  : QStringLiteral("%1 (%2)").arg(camera.entry.deviceName, camera.entry.serial);
        QMenu *cameraMenu = m_menu->addMenu(title);
        if (const QString ports = m_services->viscaPorts(camera.entry.serial); !ports.isEmpty()) {
            cameraMenu->addAction(ports)->setEnabled(false);
            cameraMenu->addSeparator();
        }
        const QMap<int, QString> names = requests->backend()->presetNames(camera);
        if (names.isEmpty())
            cameraMenu->addAction(tr("没有命名的预置位"))->setEnabled(false);
        for (auto it = names.cbegin(); it != names.cend(); ++it) {
            const QString serial = camera.entry.serial;
            const int preset = it.key();
            cameraMenu->addAction(it.value(), this, [this, serial, preset] { callPreset(serial, preset); });
        }
    }
#else
    Q_UNUSED(panel);
#endif
}

void TrayIcon::callPreset(const QString &serial, int preset)
{
#ifdef KESTRANE_CONTROL_API
    ControlRequestQueue::Request request;
    request.method = "POST";
    request.path = QStringList{QStringLiteral("api"), QStringLiteral("v1"), QStringLiteral("cameras"), serial,
                               QStringLiteral("preset")};
    request.body = QJsonDocument(QJsonObject{{QStringLiteral("action"), QStringLiteral("call")},
                                             {QStringLiteral("preset"), preset}})
                       .toJson(QJsonDocument::Compact);
    m_services->requests()->submit(request, [serial, preset](const ControlRequestQueue::Reply &reply) {
        if (reply.status != 200)
            trayRecord(WARNING, QStringLiteral("preset %1 of %2 not called: %3")
                                    .arg(preset)
                                    .arg(serial, reply.body.value(QStringLiteral("error")).toString()));
    });
#else
    Q_UNUSED(serial);
    Q_UNUSED(preset);
#endif
}
