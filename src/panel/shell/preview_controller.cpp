#include "preview_controller.h"

#include "camera_window.h"
#include "command_texts.h"
#include "device_sender.h"
#include "message_boxes.h"
#include "packet_cmd.h"
#include "panel_camera_context.h"

#include <QDebug>
#include <QGuiApplication>
#include <QIcon>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace {
QIcon toggleIcon(const char *name) {
    return QIcon(QStringLiteral(":/icons/resources/icons/") + QLatin1String(name));
}
} // namespace

PreviewController::PreviewController(const Host &host, QObject *parent) : QObject(parent), m_host(host) {}

PreviewController::~PreviewController() {
    // The window is top-level and not owned by the panel; it goes with it.
    if (m_cameraWindow) {
        m_cameraWindow->disconnect(this);
        delete m_cameraWindow;
    }
}

CameraWindow *PreviewController::cameraWindow() const {
    return m_cameraWindow.data();
}

void PreviewController::onToggleClicked() {
    QPushButton *toggle = m_host.toggle;
    if (!toggle->isChecked()) {
        toggle->setIcon(toggleIcon("collapse.png"));
        close();
        return;
    }
    // Without a selected camera there is nothing to test the link of.
    if (!hasSelection())
        return;
    if (!m_host.testConnection()) {
        MessageBoxes::warning(nullptr, tr("连接失败"), tr("设备连接失败，请刷新设备后重新连接"));
        return;
    }
    toggle->setIcon(toggleIcon("expand.png"));
    openOnActiveCamera(Forwarding::Plain);
}

bool PreviewController::hasSelection() {
    if (m_host.camera->deviceIndex() != -1)
        return true;
    MessageBoxes::information(m_host.window, tr("提示"), tr("请先选择一个设备"));
    resetToggle();
    return false;
}

void PreviewController::openForFaceModels() {
    m_host.toggle->setChecked(true);
    m_host.toggle->setIcon(toggleIcon("expand.png"));
    openOnActiveCamera(Forwarding::ResendFocusMode);
}

void PreviewController::openOnActiveCamera(Forwarding forwarding) {
    if (!hasSelection())
        return;
    const int index = m_host.camera->deviceIndex();
    if (m_host.isListed(index)) {
        open(forwarding);
        return;
    }
    MessageBoxes::warning(m_host.window, tr("错误"),
                          tr("设备%1未连接\n请确保设备已正确连接").arg(index + 1));
    resetToggle();
}

void PreviewController::open(Forwarding forwarding) {
    const QString input = m_host.chooseVideoInput();
    if (m_cameraWindow)
        m_cameraWindow->openCameraById(input);
    else
        createWindow(input, forwarding);
    m_cameraWindow->show();
    m_cameraWindowOpen = true;
    if (!m_directionTimer)
        startDirectionProbe();
    placeBesideToggle();
}

void PreviewController::createWindow(const QString &input, Forwarding forwarding) {
    m_cameraWindow = new CameraWindow(input);
    m_cameraWindow->setLandscape(m_host.isLandscape());
    connect(m_cameraWindow, &CameraWindow::windowClosed, this, &PreviewController::onWindowClosed);
    // A closed window goes later; by then a new one may have taken its place.
    connect(m_cameraWindow, &QObject::destroyed, this, [this, window = m_cameraWindow.data()] {
        if (m_cameraWindow && m_cameraWindow != window)
            return;
        onWindowClosed();
        stopDirectionProbe();
    });
    connect(m_cameraWindow, &CameraWindow::sendFaceCollectionCommand, this,
            [this, forwarding](const QString &command) { forward(command, forwarding); });
    connect(m_cameraWindow, &CameraWindow::faceDataCollectionSuccess, this,
            &PreviewController::faceDataCollectionSuccess);
    connect(m_cameraWindow, &CameraWindow::faceDataCollectionFailed, this,
            &PreviewController::faceDataCollectionFailed);
}

void PreviewController::close() {
    if (m_cameraWindow && m_cameraWindowOpen) {
        m_cameraWindow->close();
        m_cameraWindowOpen = false;
        stopDirectionProbe();
    }
}

void PreviewController::followActiveCamera() {
    if (!m_cameraWindow || !m_cameraWindowOpen)
        return;
    m_cameraWindow->openCameraById(m_host.chooseVideoInput());
    if (m_cameraWindow->isVisible()) {
        m_host.toggle->setChecked(true);
        m_host.toggle->setIcon(toggleIcon("expand.png"));
    }
}

void PreviewController::setLandscape(bool landscape) {
    if (m_cameraWindow)
        m_cameraWindow->setLandscape(landscape);
}

void PreviewController::onWindowClosed() {
    resetToggle();
    m_cameraWindowOpen = false;
    m_cameraWindow = nullptr;
}

void PreviewController::resetToggle() {
    m_host.toggle->setChecked(false);
    m_host.toggle->setIcon(toggleIcon("collapse.png"));
}

// ---------------------------------------------------------------------------------------
// Orientation probe

void PreviewController::startDirectionProbe() {
    if (!m_host.canProbe(m_host.camera->deviceIndex()))
        return;
    m_directionTimer = new QTimer(this);
    m_directionTimer->setInterval(kDirectionProbeIntervalMs);
    connect(m_directionTimer, &QTimer::timeout, this, &PreviewController::probeActiveCamera);
    probeActiveCamera();
    if (!m_probePaused)
        m_directionTimer->start();
}

void PreviewController::setProbePaused(bool paused)
{
    m_probePaused = paused;
    if (!m_directionTimer)
        return;
    if (paused)
        m_directionTimer->stop();
    else
        m_directionTimer->start();
}

void PreviewController::stopDirectionProbe() {
    if (!m_directionTimer)
        return;
    m_directionTimer->stop();
    m_directionTimer->deleteLater();
    m_directionTimer = nullptr;
}

void PreviewController::probeActiveCamera() {
    if (m_probePaused)
        return;
    m_host.probe(m_host.camera->deviceIndex());
}

// ---------------------------------------------------------------------------------------
// Placement

void PreviewController::placeBesideToggle() {
    QPushButton *toggle = m_host.toggle;
    const QPoint anchor = toggle->mapToGlobal(toggle->rect().topRight());
    QScreen *screen = toggle->screen() ? toggle->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QSize size = m_cameraWindow->size();
    int x = anchor.x() + 10;
    int y = anchor.y();
    if (x + size.width() > available.right())
        x = available.right() - size.width();
    if (y + size.height() > available.bottom())
        y = available.bottom() - size.height();
    m_cameraWindow->move(x, y);
}

// ---------------------------------------------------------------------------------------
// Commands from the preview

void PreviewController::forward(const QString &command, Forwarding forwarding) {
    qDebug() << "Send face collection command:" << command;
    PanelCameraContext *camera = m_host.camera;
    if (command.contains(QLatin1String("ReqSetManualRebootSet"))) {
        QByteArray reply(DeviceSender::kReplyBufferSize, '\0');
        if (!camera->sendCmd(CmdReboot, nullptr, 0, reply.data()))
            MessageBoxes::showStyledMessageBox(m_host.window, tr("重启设备"),
                                               tr("设备重启失败"));
        else if (m_host.restarting)
            m_host.restarting(camera->deviceIndex()); // shown again when it is back
        return;
    }
    const QByteArray text = command.toUtf8();
    camera->sendCmd(CmdJson, text.constData(), int(text.size()), nullptr);
    if (forwarding != Forwarding::ResendFocusMode || !command.contains(QLatin1String("\"Type\":\"start\"")) ||
        !m_focusModeCode)
        return;
    const int code = m_focusModeCode();
    if (code < 0)
        return;
    const QByteArray focus = CommandTexts::setFocusMode(code);
    camera->sendCmd(CmdSetVideoParam, focus.constData(), int(focus.size()), nullptr);
}
