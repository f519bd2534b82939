#include "startup_window.h"

#include "device_models.h"
#include "device_selection_window.h"
#include "log_manager.h"
#include "unselected_device_window.h"
#include "widget.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {
void userLog(const QString &message)
{
    LogManager::instance()->log(INFO, "User", message);
}
void deviceLog(LogLevel level, const QString &message)
{
    LogManager::instance()->log(level, "Device", message);
}

const char *const kTitleButtonStyle =
    "QPushButton { background: transparent; border: none; border-radius: 8px; padding: 6px; }"
    "QPushButton:hover { background-color: #1b89ef; padding: 8px; }"
    "QPushButton:pressed { background-color: #0a79df; padding: 6px; }";
const char *const kConnectStyle =
    "QPushButton { background-color: white; color: #404040; border: none; border-radius: 25px; "
    "font-size: 16px; font-weight: bold; padding: 8px 16px; }"
    "QPushButton:hover { background-color: #1b89ef; color: white; }"
    "QPushButton:pressed { background-color: #0a79df; color: white; }";
std::function<void()> &quitHandler()
{
    static std::function<void()> handler;
    return handler;
}
} // namespace

void StartupWindow::setQuitHandler(std::function<void()> handler)
{
    quitHandler() = std::move(handler);
}

void StartupWindow::quitApplication()
{
    if (quitHandler())
        quitHandler()();
    else
        QCoreApplication::quit();
}

StartupWindow::StartupWindow(QWidget *parent) : QWidget(parent), m_dragger(this)
{
    setWindowTitle("ORVANTE Camera Tool");
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setMinimumSize(400, 800);
    setMaximumWidth(400);
    resize(400, 800);

    if (!m_bootImage.load(":/icons/resources/icons/boot_kestrane.png"))
        LogManager::instance()->log(WARNING, "Error", QStringLiteral("启动背景图片加载失败: boot_kestrane.png"));

    m_selectionWindow = new DeviceSelectionWindow(this);
    m_selectionWindow->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    m_selectionWindow->setAttribute(Qt::WA_TranslucentBackground);
    m_selectionWindow->hide();

    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setInterval(kScanIntervalMs);
    connect(m_refreshTimer, &QTimer::timeout, this, &StartupWindow::onRefreshTimeout);

    // A control panel that is never shown: it scans, and only when this window asks.
    m_detector = new Widget;
    m_detector->setWindowFlags(Qt::WindowFlags());
    m_detector->setAttribute(Qt::WA_DontShowOnScreen);
    m_detector->setVisible(false);
    m_detector->stopDeviceDetection();

    buildLayout();
    connect(m_connectButton, &QPushButton::clicked, this, &StartupWindow::onConnectClicked);
    connect(m_selectionWindow, &DeviceSelectionWindow::deviceSelected, this, &StartupWindow::onDeviceSelected);
    connect(m_selectionWindow, &DeviceSelectionWindow::cancelClicked, this, &StartupWindow::onDeviceSelectionCanceled);
    connect(m_minimizeButton, &QPushButton::clicked, this, &StartupWindow::onMinimizeClicked);
    connect(m_closeButton, &QPushButton::clicked, this, &StartupWindow::onCloseClicked);

    m_overlay = new QWidget(this);
    m_overlay->setAttribute(Qt::WA_StyledBackground);
    m_overlay->setStyleSheet("background-color: rgba(0, 0, 0, 0.7);border-radius: 15px;");
    m_overlay->setGeometry(rect());
    m_overlay->hide();
    m_overlayContent = new QWidget(m_overlay);
    m_overlayContent->setStyleSheet("background-color: transparent;");
    m_overlayContent->setGeometry(m_overlay->rect());
    m_overlayContent->installEventFilter(this);

    QTimer::singleShot(500, this, &StartupWindow::startAutoRefresh);
    LogManager::instance()->log(INFO, "Startup", QStringLiteral("启动窗口初始化完成"));
}

StartupWindow::~StartupWindow()
{
    delete m_refreshTimer;
    m_refreshTimer = nullptr;
    delete m_detector;
    delete m_selectionWindow;
    delete m_unselectedWindow;
    LogManager::instance()->log(INFO, "Startup", QStringLiteral("启动窗口已销毁"));
}

QPixmap StartupWindow::loadTitleIcon(const QString &path, int size)
{
    QPixmap pixmap(path);
    if (!pixmap.isNull())
        return pixmap.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    LogManager::instance()->log(WARNING, "Error", QStringLiteral("无法加载图标: %1").arg(path));
    QPixmap replacement(size, size);
    replacement.fill(Qt::transparent);
    QPainter painter(&replacement);
    painter.setPen(Qt::white);
    painter.setFont(QFont("Arial", size / 2));
    const QString text = path.contains("minimize") ? "-" : path.contains("close") ? QStringLiteral("×") : QString();
    painter.drawText(replacement.rect(), Qt::AlignCenter, text);
    return replacement;
}

void StartupWindow::buildLayout()
{
    m_mainLayout = new QVBoxLayout(this);
    m_mainLayout->setContentsMargins(20, 20, 20, 60);
    m_mainLayout->setSpacing(0);
    m_topLayout = new QHBoxLayout;
    m_topLayout->setContentsMargins(0, 0, 0, 0);
    m_topLayout->setSpacing(5);
    m_topLayout->addStretch();
    m_minimizeButton = new QPushButton(this);
    m_closeButton = new QPushButton(this);
    const std::pair<QPushButton *, const char *> buttons[] = {
        {m_minimizeButton, ":/icons/resources/icons/minimize.png"}, {m_closeButton, ":/icons/resources/icons/close.png"}};
    for (const auto &[button, path] : buttons) {
        button->setFixedSize(30, 30);
        button->setIcon(QIcon(loadTitleIcon(path, 18)));
        button->setIconSize(QSize(18, 18));
        button->setStyleSheet(kTitleButtonStyle);
        m_topLayout->addWidget(button);
    }
    m_minimizeButton->setStyleSheet(QString(kTitleButtonStyle) + "QPushButton { margin-right: 5px; }");
    m_mainLayout->addLayout(m_topLayout);
    m_mainLayout->addStretch(0);
    m_mainLayout->addStretch(40);
    auto *connectRow = new QHBoxLayout;
    connectRow->addStretch();
    m_connectButton = new QPushButton(tr("连接设备"), this);
    m_connectButton->setFixedSize(220, 50);
    m_connectButton->setCursor(Qt::PointingHandCursor);
    m_connectButton->setStyleSheet(kConnectStyle);
    connectRow->addWidget(m_connectButton);
    connectRow->addStretch();
    m_mainLayout->addLayout(connectRow);
    m_mainLayout->addStretch(3);
}

void StartupWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath clip;
    clip.addRoundedRect(rect(), m_cornerRadius, m_cornerRadius);
    painter.setClipPath(clip);
    if (m_bootImage.isNull()) {
        painter.fillRect(rect(), QColor("#10121a"));
    } else {
        painter.drawPixmap(rect(), m_bootImage);
        painter.fillRect(rect(), QColor(0, 0, 0, 30));
    }
    painter.setClipping(false);
    painter.setPen(QPen(QColor(255, 255, 255, 30), 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(rect(), m_cornerRadius, m_cornerRadius);
}

// The whole window moves it, unless the dimming layer is up. All three events are
// accepted.
void StartupWindow::mousePressEvent(QMouseEvent *event)
{
    m_dragger.press(event, !m_overlay->isVisible());
    event->accept();
}

void StartupWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_overlay->isVisible())
        m_dragger.move(event);
    event->accept();
}

void StartupWindow::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragger.release(event);
    event->accept();
}

void StartupWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_overlay) {
        m_overlay->setGeometry(rect());
        m_overlayContent->setGeometry(m_overlay->rect());
    }
    if (m_selectionWindow && m_selectionWindow->isVisible())
        centreOnPrimaryScreen(m_selectionWindow);
    if (m_unselectedWindow && m_unselectedWindow->isVisible())
        centreOnPrimaryScreen(m_unselectedWindow);
}

void StartupWindow::centreOnPrimaryScreen(QWidget *window)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    window->move(screen->geometry().center() - window->rect().center());
}

QString StartupWindow::cleanedSeries(const QString &series)
{
    return QString(series).remove('"').trimmed();
}

bool StartupWindow::anyMatches(const QStringList &detected, const QString &series)
{
    for (const QString &name : detected)
        if (seriesMatches(series, name))
            return true;
    return false;
}

int StartupWindow::refreshInterval() const
{
    return m_refreshTimer->interval();
}

bool StartupWindow::isRefreshing() const
{
    return m_refreshTimer->isActive();
}

// ---------------------------------------------------------------------------------------
// Scanning

void StartupWindow::startAutoRefresh()
{
    m_refreshTimer->start();
    // Like every scan queued below, the first one is dropped if scanning has stopped by
    // then: while the user chooses a series no scan may run or open a panel.
    QTimer::singleShot(100, this, [this] {
        if (m_refreshTimer->isActive())
            onRefreshTimeout();
    });
    deviceLog(INFO, QStringLiteral("开始自动刷新设备列表，间隔3秒"));
}

void StartupWindow::stopAutoRefresh()
{
    if (!m_refreshTimer)
        return;
    m_refreshTimer->stop();
    deviceLog(INFO, QStringLiteral("停止自动刷新设备列表"));
}

void StartupWindow::onRefreshTimeout()
{
    if (m_unselectedWindow && m_unselectedWindow->isVisible())
        m_refreshTimer->setInterval(kWaitingVisibleIntervalMs);
    if (!m_detector)
        return;
    deviceLog(DEBUG, QStringLiteral("执行定时设备刷新..."));
    QTimer::singleShot(0, m_detector, [this] {
        if (!m_refreshTimer->isActive())
            return;
        m_detector->handleRefresh();
        QTimer::singleShot(500, this, [this] {
            if (m_refreshTimer->isActive())
                evaluateScan();
        });
    });
}

void StartupWindow::evaluateScan()
{
    if (!m_detector)
        return;
    const QStringList detected = m_detector->connectedDeviceSeries();
    deviceLog(INFO, QStringLiteral("当前检测到的设备列表: %1").arg(detected.join(", ")));
    deviceLog(DEBUG, QStringLiteral("当前选择的设备系列: %1").arg(m_selectedSeries));
    if (!m_selectedSeries.isEmpty()) {
        if (anyMatches(detected, m_selectedSeries)) {
            stopAutoRefresh();
            openControlPanel(m_selectedSeries);
            if (m_unselectedWindow && m_unselectedWindow->isVisible()) {
                m_unselectedWindow->hide();
                m_overlay->hide();
            }
        }
    } else if (detected.size() == 1) {
        deviceLog(INFO, QStringLiteral("检测到单台设备，自动选择: %1").arg(detected.first()));
        stopAutoRefresh();
        openControlPanel(detected.first());
    } else if (detected.size() > 1) {
        deviceLog(INFO, QStringLiteral("检测到多台设备，不进行自动选择"));
    }
    m_severalSeries = m_selectedSeries.isEmpty() && detected.size() > 1;
}

void StartupWindow::checkDeviceMatch(const QString &selectedSeries)
{
    const QString series = cleanedSeries(selectedSeries);
    stopAutoRefresh();
    m_selectedSeries = series;
    if (!m_detector)
        return;
    const QStringList detected = m_detector->connectedDeviceSeries();
    userLog(QStringLiteral("快速检查设备匹配 - 选择的设备: %1").arg(series));
    deviceLog(INFO, QStringLiteral("当前检测到的设备: %1").arg(detected.join(", ")));
    if (anyMatches(detected, series)) {
        openControlPanel(series);
        return;
    }
    deviceLog(INFO, QStringLiteral("设备未匹配，开始刷新设备列表..."));
    QTimer::singleShot(0, m_detector, [this] {
        m_detector->handleRefresh();
        QTimer::singleShot(300, this, &StartupWindow::recheckAfterRefresh);
    });
}

void StartupWindow::recheckAfterRefresh()
{
    const QStringList detected = m_detector->connectedDeviceSeries();
    deviceLog(INFO, QStringLiteral("刷新后检查设备匹配 - 选择的设备: %1").arg(m_selectedSeries));
    deviceLog(INFO, QStringLiteral("刷新后检测到的设备: %1").arg(detected.join(", ")));
    if (anyMatches(detected, m_selectedSeries)) {
        openControlPanel(m_selectedSeries);
        return;
    }
    showUnselectedWindow(m_selectedSeries);
    m_refreshTimer->setInterval(kWaitingIntervalMs);
    startAutoRefresh();
}

// ---------------------------------------------------------------------------------------
// Windows

void StartupWindow::raiseOverlay()
{
    m_overlay->show();
    m_overlay->raise();
    m_minimizeButton->raise();
    m_closeButton->raise();
    raise();
}

void StartupWindow::showSelection()
{
    raiseOverlay();
    centreOnPrimaryScreen(m_selectionWindow);
    m_selectionWindow->show();
    m_selectionWindow->raise();
    m_selectionWindow->activateWindow();
    userLog(QStringLiteral("显示设备选择窗口"));
}

void StartupWindow::showUnselectedWindow(const QString &seriesText)
{
    const QString series = cleanedSeries(seriesText);
    stopAutoRefresh();
    raiseOverlay();
    delete m_unselectedWindow;
    m_unselectedWindow = new UnselectedDeviceWindow(series, this);
    m_unselectedWindow->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    m_unselectedWindow->setAttribute(Qt::WA_TranslucentBackground);
    connect(m_unselectedWindow, &UnselectedDeviceWindow::returnClicked, this,
            &StartupWindow::onUnselectedDeviceReturnClicked);
    connect(m_unselectedWindow, &UnselectedDeviceWindow::closeClicked, this,
            &StartupWindow::onUnselectedDeviceCloseClicked);
    centreOnPrimaryScreen(m_unselectedWindow);
    m_unselectedWindow->show();
    m_unselectedWindow->raise();
    m_unselectedWindow->activateWindow();
    deviceLog(INFO, QStringLiteral("显示未选中设备窗口，设备系列: %1").arg(series));
}

void StartupWindow::onConnectClicked()
{
    stopAutoRefresh();
    showSelection();
    userLog(QStringLiteral("用户点击连接设备按钮"));
}

void StartupWindow::onDeviceSelected(const QString &series)
{
    stopAutoRefresh();
    m_selectedSeries.clear();
    m_selectedSeries = series;
    checkDeviceMatch(series);
    userLog(QStringLiteral("用户选择设备: %1").arg(series));
}

void StartupWindow::onDeviceSelectionCanceled()
{
    stopAutoRefresh();
    m_selectedSeries.clear();
    m_overlay->hide();
    m_selectionWindow->hide();
    m_refreshTimer->setInterval(kScanIntervalMs);
    startAutoRefresh();
    userLog(QStringLiteral("用户取消设备选择"));
}

void StartupWindow::onUnselectedDeviceReturnClicked()
{
    stopAutoRefresh();
    if (m_unselectedWindow)
        m_unselectedWindow->hide();
    showSelection();
    userLog(QStringLiteral("用户点击未选中设备窗口的返回按钮"));
}

void StartupWindow::onUnselectedDeviceCloseClicked()
{
    stopAutoRefresh();
    m_selectedSeries.clear();
    if (m_unselectedWindow)
        m_unselectedWindow->hide();
    m_overlay->hide();
    m_selectionWindow->hide();
    m_refreshTimer->setInterval(kScanIntervalMs);
    startAutoRefresh();
    userLog(QStringLiteral("用户关闭未选中设备窗口"));
}

void StartupWindow::onMinimizeClicked()
{
    showMinimized();
    userLog(QStringLiteral("用户最小化窗口"));
}

void StartupWindow::onCloseClicked()
{
    stopAutoRefresh();
    userLog(QStringLiteral("用户关闭应用程序"));
    quitApplication();
}

void StartupWindow::openControlPanel(const QString &seriesText)
{
    if (m_panelOpened) {
        deviceLog(INFO, QStringLiteral("控制面板已打开，忽略重复调用"));
        return;
    }
    m_panelOpened = true;
    const QString series = cleanedSeries(seriesText);
    userLog(QStringLiteral("清理后的设备系列: %1").arg(series));
    m_overlay->hide();
    m_selectionWindow->hide();
    hide();
    QTimer::singleShot(0, this, [this, series] {
        m_detector->cleanupAllDevices();
        auto *panel = new Widget;
        m_controlPanel = panel;
        panel->setAttribute(Qt::WA_DeleteOnClose);
        panel->resize(400, 800);
        if (QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect g = screen->geometry();
            panel->move((g.width() - 400) / 2, (g.height() - 800) / 2);
        }
        panel->setSelectedSeries(series);
        panel->show();
        panel->raise();
        connect(panel, &QObject::destroyed, this, [this] {
            m_controlPanel = nullptr;
            quitApplication();
        });
        emit controlPanelOpened(panel);
        QTimer::singleShot(100, panel, [panel, series] { panel->activateSeriesDevice(series); });
        deviceLog(INFO, QStringLiteral("设备匹配成功，控制面板已打开，选择的设备是: %1").arg(series));
    });
    userLog(QStringLiteral("正在打开控制面板..."));
}

bool StartupWindow::isChoosingSeries() const
{
    return !m_panelOpened && (m_severalSeries || (m_selectionWindow && m_selectionWindow->isVisible()));
}
