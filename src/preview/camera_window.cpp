#include "camera_window.h"

#include "face_collection_overlay.h"
#include "preview_dialogs.h"
#include "preview_lut_settings.h"
#include "preview_picture_view.h"
#include "video_frame_source.h"
#include "video_inputs.h"

#include <QCloseEvent>
#include <QDebug>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include <exception>

namespace {

const char *const kTitleButtonStyle = "QPushButton { background: transparent; border: none; }"
                                      "QPushButton:hover { background-color: #1b89ef; }"
                                      "QPushButton:pressed { background-color: #1b89ef; }";

const char *const kLutButtonStyle = "QPushButton { background-color: #272c33; color: white; font-size: 13px;"
                                    " border: 1px solid #43474c; border-radius: 4px; }"
                                    "QPushButton:hover { background-color: #1b89ef; border-color: #1b89ef; }"
                                    "QPushButton:pressed { background-color: #1e90ff; }";

const char *const kLutMenuStyle = "QMenu { background-color: #1e1e1e; color: white; border: 1px solid #43474c; }"
                                  "QMenu::item { padding: 6px 20px; }"
                                  "QMenu::item:selected { background-color: #1b89ef; }";

} // namespace

CameraWindow::CameraWindow(const QString &deviceId, int cameraIndex, QWidget *parent)
    : QWidget(parent), m_deviceId(deviceId), m_cameraIndex(cameraIndex) {
    setWindowTitle(tr("摄像头预览"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setStyleSheet("background: transparent;");

    setMinimumSize(kMinimumWidth, kMinimumHeight);
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        const int w = qMax(kMinimumWidth, int(0.7 * available.width()));
        const int h = qMax(kMinimumHeight, int(0.7 * available.height()));
        resize(w, h);
        move((available.width() - w) / 2, (available.height() - h) / 2);
    }

    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildTitleBar());

    auto *content = new QWidget(this);
    content->setStyleSheet("background-color: #10121a; border-bottom-left-radius: 15px;"
                           " border-bottom-right-radius: 15px;");
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setSpacing(0);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    auto *inner = new QWidget(content);
    inner->setStyleSheet("background-color: #0a0c10; border-bottom-left-radius: 15px;"
                         " border-bottom-right-radius: 15px;");
    auto *innerLayout = new QVBoxLayout(inner);
    innerLayout->setSpacing(0);
    innerLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->addWidget(inner, 1);
    layout->addWidget(content, 1);

    m_imageLabel = new QLabel(inner);
    m_imageLabel->setAlignment(Qt::AlignCenter);
    m_imageLabel->setStyleSheet("background: transparent; color: white;");
    m_imageLabel->setMinimumSize(400, 260);
    m_imageLabel->setText(tr("正在启动摄像头..."));
    innerLayout->addWidget(m_imageLabel, 1);
    m_pictureView = new PreviewPictureView(m_imageLabel);

    m_source = VideoFrameSource::create(this);
    connect(m_source, &VideoFrameSource::frameReady, this, &CameraWindow::onQtVideoFrame,
            Qt::UniqueConnection);
    connect(m_source, &VideoFrameSource::errorOccurred, this, &CameraWindow::onSourceError);

    m_faceCollection = new FaceCollectionOverlay(this);
    connect(m_faceCollection, &FaceCollectionOverlay::commandReady, this, &CameraWindow::sendFaceCollectionCommand);
    connect(m_faceCollection, &FaceCollectionOverlay::succeeded, this, &CameraWindow::faceDataCollectionSuccess);
    connect(m_faceCollection, &FaceCollectionOverlay::failed, this, &CameraWindow::faceDataCollectionFailed);
    connect(m_faceCollection, &FaceCollectionOverlay::closeRequested, this, &CameraWindow::close);

    const QString startupCube = PreviewLutSettings::startupCube();
    if (!startupCube.isEmpty())
        loadStartupLut(startupCube);
    openCameraById(deviceId);
}

CameraWindow::~CameraWindow() {
    stopCamera();
}

QWidget *CameraWindow::buildTitleBar() {
    auto *bar = new QWidget(this);
    bar->setFixedHeight(kTitleBarHeight);
    bar->setStyleSheet(
        "background-color: #10121a; border-top-left-radius: 15px; border-top-right-radius: 15px;");
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(30, 5, 10, 0);
    row->setSpacing(5);

    auto *title = new QLabel(tr("摄像头预览"), bar);
    title->setFixedHeight(kTitleBarHeight);
    title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    title->setStyleSheet("color: white; font-weight: bold; font-size: 16px;"
                         " font-family: 'Microsoft YaHei', Arial, sans-serif;");
    row->addWidget(title);

    m_lutButton = new QPushButton(QStringLiteral("LUT"), bar);
    m_lutButton->setFixedSize(60, 30);
    m_lutButton->setStyleSheet(kLutButtonStyle);
    m_lutButton->setVisible(PreviewLutSettings::buttonShown());
    connect(m_lutButton, &QPushButton::clicked, this, &CameraWindow::onLutButtonClicked);
    m_lutMenu = new QMenu(m_lutButton);
    m_lutMenu->setStyleSheet(kLutMenuStyle);
    m_lutMenu->addAction(tr("清除LUT"), this, &CameraWindow::clearLUT);
    m_lutMenu->addAction(tr("选择 LUT 文件"), this, &CameraWindow::onLoadLUTClicked);
    row->addWidget(m_lutButton);
    row->addStretch();

    auto titleButton = [bar](const char *icon) {
        auto *button = new QPushButton(bar);
        button->setFixedSize(30, 30);
        button->setIcon(QIcon(QStringLiteral(":/icons/resources/icons/") + QLatin1String(icon)));
        button->setIconSize(QSize(16, 16));
        button->setStyleSheet(kTitleButtonStyle);
        return button;
    };
    m_minimizeButton = titleButton("minimize.png");
    m_closeButton = titleButton("close.png");
    connect(m_minimizeButton, &QPushButton::clicked, this, &CameraWindow::onMinimizeClicked);
    connect(m_closeButton, &QPushButton::clicked, this, &CameraWindow::onCloseClicked);
    row->addWidget(m_minimizeButton);
    row->addWidget(m_closeButton);
    return bar;
}

// ---------------------------------------------------------------------------------------
// Capture

void CameraWindow::openCameraById(const QString &deviceId) {
    bool found = false;
    for (const VideoInput &input : VideoInputs::list()) {
        if (input.id == deviceId) {
            found = true;
            break;
        }
    }
    if (!found) {
        qWarning() << "未找到匹配的设备 ID:" << deviceId;
        QMetaObject::invokeMethod(this, &CameraWindow::showCameraNotFoundDialog, Qt::QueuedConnection);
        return;
    }
    m_deviceId = deviceId;
    if (m_source->isOpen()) {
        m_source->close();
        qDebug() << "释放旧的 QCamera";
    }
    m_source->open(deviceId);
    qDebug() << "Qt 摄像头启动成功";
    if (m_source->selectFormat(QVideoFrameFormat::Format_YUYV, QSize(1280, 720), 30.0f))
        qDebug() << "强制设置摄像头格式: 1280x720 YUY2 30fps";
    else
        qWarning() << "未找到要求的格式，使用默认格式";
}

void CameraWindow::onSourceError(const QString &text) {
    qWarning() << "相机打开失败:" << text;
    m_source->deactivate();
    QMetaObject::invokeMethod(this, &CameraWindow::showCameraNotFoundDialog, Qt::QueuedConnection);
}

void CameraWindow::stopCamera() {
    if (m_source)
        m_source->close();
    if (m_imageLabel) {
        m_pictureView->clearPicture();
        releaseShownFrame();
        m_imageLabel->setText(tr("摄像头已关闭"));
    }
    qDebug() << "摄像头已停止";
}

void CameraWindow::onQtVideoFrame(const QVideoFrame &frame) {
    if (!frame.isValid() || !isSeen())
        return;
    // The frame stays mapped while its picture is shown: the picture is drawn from it
    // where it is painted.
    QVideoFrame mapped(frame);
    if (!mapped.map(QVideoFrame::ReadOnly))
        return;
    PreviewFramePipeline::Status status = PreviewFramePipeline::Status::Truncated;
    if (!prepareFrame(mapped, status)) {
        mapped.unmap();
        return;
    }
    if (status != PreviewFramePipeline::Status::Shown) {
        mapped.unmap();
        warnDropped(status, frame.pixelFormat());
        return;
    }
    ++m_framesShown;
    releaseShownFrame();
    m_shownFrame = mapped;
    m_shownFrameMapped = true;
    showPicture();
}

bool CameraWindow::prepareFrame(const QVideoFrame &mapped, PreviewFramePipeline::Status &status) {
    const Lut3d *lut = m_lutEnabled && !m_lut.lutData().empty() ? &m_lut : nullptr;
    try {
        status = m_frames.prepare(MappedFrame::fromMapped(mapped), lut, m_isLandscape, m_imageLabel->size());
        return true;
    } catch (const std::exception &e) {
        qWarning() << "更新帧失败:" << e.what();
        if (!m_frames.isPrepared()) {
            m_pictureView->clearPicture();
            releaseShownFrame();
        }
        return false;
    }
}

// The shown frame again, with the LUT now chosen: a LUT loaded or cleared shows at once,
// also on a picture that is only repainted (a camera that stopped sending, a window
// uncovered).
void CameraWindow::reshowFrame() {
    PreviewFramePipeline::Status status = PreviewFramePipeline::Status::Truncated;
    if (m_shownFrameMapped && prepareFrame(m_shownFrame, status) && status == PreviewFramePipeline::Status::Shown)
        showPicture();
}

void CameraWindow::releaseShownFrame() {
    if (m_shownFrameMapped)
        m_shownFrame.unmap();
    m_shownFrameMapped = false;
    m_shownFrame = QVideoFrame();
}

QImage CameraWindow::currentImage() const {
    return m_pictureView->picture();
}

void CameraWindow::renderPicture(QImage &target) {
    cv::Mat out(target.height(), target.width(), CV_8UC4, target.bits(), size_t(target.bytesPerLine()));
    try {
        m_frames.render(out);
    } catch (const std::exception &e) {
        qWarning() << "更新帧失败:" << e.what();
        target.fill(Qt::black);
    }
}

QColor CameraWindow::cameraColourAt(const QPoint &globalPos) const {
    if (!m_lutEnabled || !m_lut.hasTable() || !m_shownFrame.isValid() || m_pictureView->isHidden())
        return QColor();
    const QSize shown = m_pictureView->pictureSize();
    const QPoint local = m_pictureView->mapFromGlobal(globalPos);
    if (shown.isEmpty() || !QRect(QPoint(0, 0), shown).contains(local))
        return QColor();
    QVideoFrame frame(m_shownFrame);
    if (!frame.map(QVideoFrame::ReadOnly))
        return QColor();
    const MappedFrame mapped = MappedFrame::fromMapped(frame);
    // The picture is the frame scaled, and for a portrait camera turned a quarter
    // counter-clockwise: picture (u, v) shows frame (width - 1 - v, u).
    const QSize upright = m_isLandscape ? QSize(mapped.width, mapped.height) : QSize(mapped.height, mapped.width);
    const int u = int((local.x() + 0.5) * upright.width() / shown.width());
    const int v = int((local.y() + 0.5) * upright.height() / shown.height());
    const QColor colour = m_isLandscape ? PreviewFramePipeline::pixelAt(mapped, u, v)
                                        : PreviewFramePipeline::pixelAt(mapped, mapped.width - 1 - v, u);
    frame.unmap();
    return colour;
}

// Whether a picture drawn now could be seen: not while the window is minimised, or
// shown but not exposed (covered, on a hidden desktop). A window not yet shown still
// converts its frames, so that it opens with a picture.
bool CameraWindow::isSeen() const {
    if (isMinimized())
        return false;
    const QWindow *handle = windowHandle();
    return !isVisible() || !handle || handle->isExposed();
}

void CameraWindow::warnDropped(PreviewFramePipeline::Status status, QVideoFrameFormat::PixelFormat format) {
    // One warning per pixel format and kind of fault; a camera repeats it every frame.
    const int key = int(format) * 2 + (status == PreviewFramePipeline::Status::Truncated ? 1 : 0);
    if (m_warnedFormats.contains(key))
        return;
    m_warnedFormats.insert(key);
    if (status == PreviewFramePipeline::Status::UnsupportedFormat)
        qWarning() << "不支持的视频帧格式，帧已丢弃:" << QVideoFrameFormat::pixelFormatToString(format);
    else
        qWarning() << "视频帧数据不完整，帧已丢弃:" << QVideoFrameFormat::pixelFormatToString(format);
}

void CameraWindow::showPicture() {
    // The picture comes already scaled to the label's size and replaces its text.
    if (!m_imageLabel->text().isEmpty())
        m_imageLabel->clear();
    m_pictureView->setPicture(m_frames.shownSize(), [this](QImage &target) { renderPicture(target); });
    const QSize area = m_imageLabel->size();
    if (area.width() < 1 || area.height() < 1)
        qWarning() << "imageLabel 尺寸无效，无法显示";
}

void CameraWindow::setLandscape(bool isLandscape) {
    if (isLandscape == m_isLandscape) {
        qDebug() << "isLandscape the same, no not change";
        return;
    }
    m_isLandscape = isLandscape;
}

void CameraWindow::showCameraNotFoundDialog() {
    PreviewDialogs::notify(this, tr("相机未找到"),
                           tr("请检查：\n\n1. 确认相机USB线已接牢固\n2. 确认相机指示灯已点亮\n3. "
                              "确认相机未在其他软件拉流"));
    close();
}

// ---------------------------------------------------------------------------------------
// 3D LUT

bool CameraWindow::loadLUT(const QString &path) {
    return m_lut.loadLUT(path);
}

cv::Mat CameraWindow::applyLUTFast(const cv::Mat &frame) const {
    if (!m_lutEnabled)
        return frame.clone();
    return m_lut.applyLUTFast(frame);
}

void CameraWindow::clearLUT() {
    m_lutEnabled = false;
    reshowFrame();
}

// Without a LUT on, the button loads one; with one on, it offers to clear it or to
// load another, so that a look never sticks.
void CameraWindow::onLutButtonClicked() {
    if (!m_lutEnabled) {
        onLoadLUTClicked();
        return;
    }
    m_lutMenu->popup(m_lutButton->mapToGlobal(QPoint(0, m_lutButton->height())));
}

void CameraWindow::onLoadLUTClicked() {
    const QString path = PreviewDialogs::openFileName(this, tr("选择 LUT 文件"),
                                                      tr("LUT 文件 (*.cube);;所有文件 (*.*)"));
    if (path.isEmpty())
        return;
    // A refused file changes nothing: a LUT that is on stays on.
    const bool loaded = loadLUT(path);
    m_lutEnabled = m_lutEnabled || loaded;
    if (loaded)
        reshowFrame();
    showLutResult(loaded);
}

// The cube given on the command line, loaded as each preview opens. Success is only
// logged; a failure is logged each time and shown once per run.
void CameraWindow::loadStartupLut(const QString &path) {
    m_lutEnabled = loadLUT(path);
    if (m_lutEnabled)
        return;
    qWarning() << "LUT 文件加载失败:" << path;
    if (PreviewLutSettings::claimFailureReport())
        QMetaObject::invokeMethod(this, [this] { showLutResult(false); }, Qt::QueuedConnection);
}

void CameraWindow::showLutResult(bool loaded) {
    if (loaded)
        PreviewDialogs::notify(this, tr("成功"), tr("3D LUT (大小 %1) 加载成功").arg(m_lut.lutSize()));
    else
        PreviewDialogs::notify(this, tr("失败"), tr("LUT 加载失败，请确保文件是有效的 3D LUT (.cube 格式)"));
}

// ---------------------------------------------------------------------------------------
// Face data collection: the work is done by m_faceCollection.

void CameraWindow::setFaceModelId(int id) {
    m_faceCollection->setFaceModelId(id);
}

bool CameraWindow::collectionFinished() const {
    return m_faceCollection->finished();
}

void CameraWindow::showFaceCollectionPanel() {
    m_faceCollection->showPanel();
}

void CameraWindow::onStartCollectionClicked() {
    m_faceCollection->onStartClicked();
}

void CameraWindow::handleFaceCollectionStatus(const QString &status) {
    m_faceCollection->handleStatus(status);
}

// ---------------------------------------------------------------------------------------
// Window chrome

void CameraWindow::onMinimizeClicked() {
    showMinimized();
}

void CameraWindow::onCloseClicked() {
    close();
}

int CameraWindow::edgesAt(const QPoint &p) const {
    int edges = 0;
    if (p.x() <= kEdgeZone)
        edges |= EdgeLeft;
    if (p.x() >= width() - kEdgeZone)
        edges |= EdgeRight;
    if (p.y() <= kEdgeZone)
        edges |= EdgeTop;
    if (p.y() >= height() - kEdgeZone)
        edges |= EdgeBottom;
    return edges;
}

bool CameraWindow::eventFilter(QObject *watched, QEvent *event) {
    return QWidget::eventFilter(watched, event);
}

void CameraWindow::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint local = event->position().toPoint();
    const QPoint global = event->globalPosition().toPoint();
    if (local.y() <= kTitleBarHeight) {
        for (QPushButton *button : {m_minimizeButton, m_closeButton})
            if (button->geometry().translated(button->parentWidget()->pos()).contains(local))
                return;
        m_dragging = true;
        m_dragOffset = global - frameGeometry().topLeft();
        event->accept();
        return;
    }
    m_resizeEdges = edgesAt(local);
    if (m_resizeEdges == 0) {
        event->ignore();
        return;
    }
    m_resizing = true;
    m_pressPosition = global;
    m_pressGeometry = geometry();
    event->accept();
}

void CameraWindow::mouseMoveEvent(QMouseEvent *event) {
    const QPoint global = event->globalPosition().toPoint();
    if (m_resizing) {
        QRect r = m_pressGeometry;
        const QPoint d = global - m_pressPosition;
        if (m_resizeEdges & EdgeLeft)
            r.setLeft(m_pressGeometry.left() + d.x());
        if (m_resizeEdges & EdgeRight)
            r.setRight(m_pressGeometry.right() + d.x());
        if (m_resizeEdges & EdgeTop)
            r.setTop(m_pressGeometry.top() + d.y());
        if (m_resizeEdges & EdgeBottom)
            r.setBottom(m_pressGeometry.bottom() + d.y());
        if (r.width() >= minimumWidth() && r.height() >= minimumHeight())
            setGeometry(r);
        event->accept();
        return;
    }
    const int edges = edgesAt(event->position().toPoint());
    const bool left = edges & EdgeLeft, right = edges & EdgeRight, top = edges & EdgeTop,
               bottom = edges & EdgeBottom;
    if ((left && top) || (right && bottom))
        setCursor(Qt::SizeFDiagCursor);
    else if ((left && bottom) || (right && top))
        setCursor(Qt::SizeBDiagCursor);
    else if (left || right)
        setCursor(Qt::SizeHorCursor);
    else if (top || bottom)
        setCursor(Qt::SizeVerCursor);
    else if (!m_dragging)
        setCursor(Qt::ArrowCursor);
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        move(global - m_dragOffset);
    event->accept();
}

void CameraWindow::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) {
        m_dragging = false;
        m_resizing = false;
    }
    QWidget::mouseReleaseEvent(event);
}

void CameraWindow::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(rect(), kCornerRadius, kCornerRadius);
    painter.setClipPath(clip);
    painter.fillRect(rect(), m_backgroundColor);
    painter.setPen(QPen(QColor(255, 255, 255, 50), 1));
    painter.drawRoundedRect(QRectF(1, 1, width() - 2, height() - 2), kCornerRadius, kCornerRadius);
}

void CameraWindow::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
}

void CameraWindow::closeEvent(QCloseEvent *event) {
    if (!m_faceCollection->finished())
        emit faceDataCollectionFailed();
    stopCamera();
    setAttribute(Qt::WA_DeleteOnClose);
    event->accept();
    emit windowClosed();
}
