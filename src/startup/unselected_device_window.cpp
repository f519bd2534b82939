#include "unselected_device_window.h"

#include "startup_dialog_chrome.h"

#include <QDebug>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kWindowWidth = 600;
constexpr int kWindowHeight = 405;

const char *const kGenericBackground = ":/icons/resources/icons/deviceselection.png";

} // namespace

UnselectedDeviceWindow::UnselectedDeviceWindow(const QString &series, QWidget *parent)
    : QWidget(parent), m_series(series), m_cornerRadius(StartupDialogChrome::kCornerRadius) {
    qDebug().noquote() << "=== 创建 UnselectedDeviceWindow ===";

    setWindowTitle(tr("设备未连接"));
    setFixedSize(kWindowWidth, kWindowHeight);
    setAttribute(Qt::WA_TranslucentBackground);

    auto *mainLayout = new QVBoxLayout(this);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(0);
    mainLayout->addWidget(StartupDialogChrome::createTitleBar(this, m_returnButton, m_closeButton));
    mainLayout->addStretch(1);

    connect(m_returnButton, &QPushButton::clicked, this, &UnselectedDeviceWindow::onReturnClicked);
    connect(m_closeButton, &QPushButton::clicked, this, &UnselectedDeviceWindow::onCloseClicked);

    loadBackground();
}

QString UnselectedDeviceWindow::backgroundPathForSeries(const QString &series) {
    const QString letter = StartupDialogChrome::firstLetter(series);
    if (letter.isEmpty())
        return QString::fromLatin1(kGenericBackground);
    return QStringLiteral(":/icons/resources/icons/Unselected_Series_%1.png").arg(letter);
}

void UnselectedDeviceWindow::loadBackground() {
    QString path = backgroundPathForSeries(m_series);
    if (!m_background.load(path) && path != QLatin1String(kGenericBackground)) {
        qWarning().noquote() << QStringLiteral("无法加载未选中设备背景图片: %1").arg(path);
        path = QString::fromLatin1(kGenericBackground);
        m_background.load(path);
    }
    if (m_background.isNull()) {
        qWarning().noquote() << "无法加载未选中设备背景图片，使用默认背景";
        m_background = StartupDialogChrome::plainBackground(kWindowWidth, kWindowHeight);
        path.clear();
    }
    m_backgroundPath = path;
}

void UnselectedDeviceWindow::onReturnClicked() {
    emit returnClicked();
}

void UnselectedDeviceWindow::onCloseClicked() {
    emit closeClicked();
}

void UnselectedDeviceWindow::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    StartupDialogChrome::paintRoundedFrame(painter, rect(), m_background, m_cornerRadius);
}
