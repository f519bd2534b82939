#include "device_selection_window.h"

#include "startup_dialog_chrome.h"

#include <QColor>
#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

constexpr int kWindowWidth = 600;
constexpr int kWindowHeight = 405;
constexpr int kPreviewSize = 60;
constexpr int kCenterImageSize = 112;
constexpr int kMissingPictureSize = 100;
constexpr qreal kPreviewOpacity = 0.5;

const char *const kArrowButtonStyle = "QPushButton {"
                                      "background-color: white;"
                                      "color: #404040;"
                                      "border: none;"
                                      "border-radius: 15px;"
                                      "font-size: 16px;"
                                      "font-weight: bold;"
                                      "}"
                                      "QPushButton:hover {"
                                      "background-color: #1b89ef;"
                                      "color: white;"
                                      "}"
                                      "QPushButton:pressed {"
                                      "background-color: #0a79df;"
                                      "color: white;"
                                      "}";

const char *const kPreviewStyle = "QLabel {"
                                  "background: transparent;"
                                  "border-radius: 5px;"
                                  "}"
                                  "QLabel:hover {"
                                  "background: rgba(255, 255, 255, 0.1);"
                                  "border-radius: 5px;"
                                  "}";

QPixmap scaledWithOpacity(const QPixmap &source, int size, qreal opacity) {
    const QPixmap scaled = source.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (opacity >= 1.0)
        return scaled;
    QPixmap faded(scaled.size());
    faded.fill(Qt::transparent);
    QPainter painter(&faded);
    painter.setOpacity(opacity);
    painter.drawPixmap(0, 0, scaled);
    return faded;
}

QPushButton *createArrowButton(QWidget *parent, const QString &text, const char *objectName) {
    auto *button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setFixedSize(30, 30);
    button->setStyleSheet(kArrowButtonStyle);
    return button;
}

// The arrow buttons sit vertically centred in the carousel row.
QVBoxLayout *centredColumn(QWidget *widget) {
    auto *column = new QVBoxLayout;
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addStretch();
    column->addWidget(widget);
    column->addStretch();
    return column;
}

QLabel *createPreview(QWidget *parent, const char *objectName) {
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setFixedSize(kPreviewSize, kPreviewSize);
    label->setAlignment(Qt::AlignCenter);
    label->setCursor(Qt::PointingHandCursor);
    label->setStyleSheet(kPreviewStyle);
    return label;
}

} // namespace

DeviceSelectionWindow::DeviceSelectionWindow(QWidget *parent) : QWidget(parent) {
    setWindowTitle(tr("选择设备"));
    setFixedSize(kWindowWidth, kWindowHeight);
    loadBackground();
    loadSeries();
    setupUi();
    showCurrentSeries();
}

void DeviceSelectionWindow::loadBackground() {
    if (m_background.load(":/icons/resources/icons/deviceselection.png"))
        return;
    qWarning().noquote() << "无法加载设备选择背景图片: deviceselection.png";
    if (m_background.load(":/icons/resources/deviceselection.png"))
        return;
    qWarning().noquote() << "无法加载设备选择背景图片: /icons/resources/deviceselection.png";
    m_background = StartupDialogChrome::plainBackground(kWindowWidth, kWindowHeight);
}

void DeviceSelectionWindow::loadSeries() {
    m_series = seriesTable();
    for (const SeriesInfo &series : m_series) {
        QPixmap picture(series.picture);
        if (picture.isNull()) {
            qWarning().noquote() << "无法加载设备图片:" << series.picture;
            picture = QPixmap(kMissingPictureSize, kMissingPictureSize);
            picture.fill(QColor(100, 100, 100));
        }
        m_seriesPixmaps.append(picture);
    }
}

void DeviceSelectionWindow::setupUi() {
    auto *mainLayout = new QVBoxLayout(this);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(0);

    mainLayout->addWidget(StartupDialogChrome::createTitleBar(this, m_returnButton, m_closeButton));
    mainLayout->addStretch(8);
    mainLayout->addWidget(createCarousel());
    mainLayout->addStretch(6);

    m_promptLabel = new QLabel(tr("请选择您的设备进行连接"), this);
    m_promptLabel->setObjectName("promptLabel");
    m_promptLabel->setAlignment(Qt::AlignCenter);
    m_promptLabel->setStyleSheet("color: #404040;font-size: 20px;font-weight: normal;background: "
                                 "transparent;border: none;margin-bottom: 30px;");
    mainLayout->addWidget(m_promptLabel);

    connect(m_returnButton, &QPushButton::clicked, this, &DeviceSelectionWindow::onReturnClicked);
    connect(m_closeButton, &QPushButton::clicked, this, &DeviceSelectionWindow::onCloseClicked);
    connect(m_prevButton, &QPushButton::clicked, this, &DeviceSelectionWindow::onPrevClicked);
    connect(m_nextButton, &QPushButton::clicked, this, &DeviceSelectionWindow::onNextClicked);
}

QWidget *DeviceSelectionWindow::createCarousel() {
    auto *area = new QWidget(this);
    area->setObjectName("carouselArea");
    area->setStyleSheet("background: transparent;");
    auto *areaLayout = new QVBoxLayout(area);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    areaLayout->setSpacing(0);

    m_prevButton = createArrowButton(area, "<", "prevButton");
    m_nextButton = createArrowButton(area, ">", "nextButton");
    m_leftPreview = createPreview(area, "leftPreview");
    m_rightPreview = createPreview(area, "rightPreview");

    m_centerWidget = new QWidget(area);
    m_centerWidget->setObjectName("centerWidget");
    m_centerWidget->setStyleSheet("background: transparent;");
    m_centerWidget->setCursor(Qt::PointingHandCursor);
    auto *centerLayout = new QVBoxLayout(m_centerWidget);
    centerLayout->setContentsMargins(0, 0, 0, 0);
    centerLayout->setSpacing(5);

    m_centerImage = new QLabel(m_centerWidget);
    m_centerImage->setObjectName("centerImage");
    m_centerImage->setFixedSize(kCenterImageSize, kCenterImageSize);
    m_centerImage->setAlignment(Qt::AlignCenter);
    m_centerImage->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_seriesLabel = new QLabel(m_centerWidget);
    m_seriesLabel->setObjectName("seriesLabel");
    m_seriesLabel->setAlignment(Qt::AlignCenter);
    m_seriesLabel->setStyleSheet(
        "color: #0c2442;font-size: 40px;font-weight: bold;background: transparent;border: none;");
    m_seriesLabel->setAttribute(Qt::WA_TransparentForMouseEvents);

    centerLayout->addWidget(m_centerImage, 0, Qt::AlignCenter);
    centerLayout->addWidget(m_seriesLabel, 0, Qt::AlignCenter);
    centerLayout->addStretch();

    auto *row = new QHBoxLayout;
    row->setContentsMargins(30, 0, 30, 0);
    row->setSpacing(0);
    row->addLayout(centredColumn(m_prevButton));
    row->addWidget(m_leftPreview);
    row->addStretch(1);
    row->addWidget(m_centerWidget);
    row->addStretch(1);
    row->addWidget(m_rightPreview);
    row->addLayout(centredColumn(m_nextButton));

    areaLayout->addLayout(row);
    areaLayout->addStretch(2);

    m_leftPreview->installEventFilter(this);
    m_rightPreview->installEventFilter(this);
    m_centerWidget->installEventFilter(this);
    return area;
}

QString DeviceSelectionWindow::currentSeries() const {
    if (m_currentIndex < 0 || m_currentIndex >= m_series.size())
        return QString();
    return m_series.at(m_currentIndex).name;
}

QString DeviceSelectionWindow::seriesLabelText(const QString &seriesName) {
    const QString letter = StartupDialogChrome::firstLetter(seriesName);
    return letter.isEmpty() ? seriesName : tr("%1系列").arg(letter);
}

void DeviceSelectionWindow::showCurrentSeries() {
    const int n = m_series.size();
    if (n == 0) {
        m_leftPreviewIndex = m_rightPreviewIndex = -1;
        return;
    }
    m_leftPreviewIndex = (m_currentIndex + n - 1) % n;
    m_rightPreviewIndex = (m_currentIndex + 1) % n;

    m_leftPreview->setPixmap(
        scaledWithOpacity(m_seriesPixmaps.at(m_leftPreviewIndex), kPreviewSize, kPreviewOpacity));
    m_centerImage->setPixmap(scaledWithOpacity(m_seriesPixmaps.at(m_currentIndex), kCenterImageSize, 1.0));
    m_rightPreview->setPixmap(
        scaledWithOpacity(m_seriesPixmaps.at(m_rightPreviewIndex), kPreviewSize, kPreviewOpacity));
    m_seriesLabel->setText(seriesLabelText(m_series.at(m_currentIndex).name));
}

void DeviceSelectionWindow::onPrevClicked() {
    const int n = m_series.size();
    if (n == 0)
        return;
    m_currentIndex = (n + m_currentIndex - 1) % n;
    showCurrentSeries();
}

void DeviceSelectionWindow::onNextClicked() {
    const int n = m_series.size();
    if (n == 0)
        return;
    m_currentIndex = (m_currentIndex + 1) % n;
    showCurrentSeries();
}

void DeviceSelectionWindow::onDeviceClicked() {
    const QString series = currentSeries();
    if (series.isEmpty())
        return;
    qDebug().noquote() << "用户选择了设备:" << series;
    emit deviceSelected(series);
}

void DeviceSelectionWindow::onCancelClicked() {
    emit cancelClicked();
}

void DeviceSelectionWindow::onReturnClicked() {
    emit cancelClicked();
}

void DeviceSelectionWindow::onCloseClicked() {
    emit cancelClicked();
}

void DeviceSelectionWindow::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    StartupDialogChrome::paintRoundedFrame(painter, rect(), m_background, StartupDialogChrome::kCornerRadius);
}

void DeviceSelectionWindow::wheelEvent(QWheelEvent *event) {
    if (event->angleDelta().y() > 0)
        onPrevClicked();
    else
        onNextClicked();
    event->accept();
}

bool DeviceSelectionWindow::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == m_leftPreview) {
            onPrevClicked();
            return true;
        }
        if (watched == m_rightPreview) {
            onNextClicked();
            return true;
        }
        if (watched == m_centerWidget) {
            onDeviceClicked();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
