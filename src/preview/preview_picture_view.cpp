#include "preview_picture_view.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>

PreviewPictureView::PreviewPictureView(QWidget *area) : QWidget(area) {
    setAttribute(Qt::WA_NoSystemBackground);
    // Clicks and the pointer belong to the window beneath (dragging, picking).
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
    area->installEventFilter(this);
}

void PreviewPictureView::setPicture(const QSize &size, Renderer render) {
    const bool resized = size != m_size;
    m_size = size;
    m_render = std::move(render);
    m_imageStale = true;
    if (resized)
        place();
    if (isHidden())
        show();
    update();
}

void PreviewPictureView::clearPicture() {
    hide();
    m_size = QSize();
    m_render = nullptr;
    m_image = QImage();
    m_imageStale = false;
}

QImage PreviewPictureView::picture() const {
    if (m_imageStale && m_render && !m_size.isEmpty()) {
        if (m_image.size() != m_size || !m_image.isDetached())
            m_image = QImage(m_size, QImage::Format_RGB32);
        m_render(m_image);
        m_imageStale = false;
    }
    return m_render ? m_image : QImage();
}

// Where a label with centred alignment draws a pixmap of the picture's size.
void PreviewPictureView::place() {
    const QWidget *area = parentWidget();
    setGeometry(QStyle::alignedRect(QGuiApplication::layoutDirection(), Qt::AlignCenter, m_size,
                                    area->contentsRect()));
}

bool PreviewPictureView::event(QEvent *event) {
    const bool handled = QWidget::event(event);
    // The window's style sheet, polishing its children, takes the opaque paint from
    // every widget; this one paints every pixel it covers.
    if (event->type() == QEvent::Polish || event->type() == QEvent::StyleChange)
        setAttribute(Qt::WA_OpaquePaintEvent);
    return handled;
}

bool PreviewPictureView::eventFilter(QObject *watched, QEvent *event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize && !m_size.isEmpty())
        place();
    return QWidget::eventFilter(watched, event);
}

void PreviewPictureView::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    if (paintDirectly(painter, event->region())) {
        ++m_directPaints;
        return;
    }
    const QImage image = picture();
    const QRect r = event->rect();
    painter.drawImage(r.topLeft(), image, r);
}

// Draws the whole picture straight into the painted image where every pixel of the
// view is to be painted there one to one, opaque and unclipped; false where not.
bool PreviewPictureView::paintDirectly(QPainter &painter, const QRegion &region) {
    QPaintEngine *engine = painter.paintEngine();
    if (!m_render || m_size.isEmpty() || size() != m_size || region != QRegion(rect()) || !engine ||
        !engine->paintDevice() || engine->paintDevice()->devType() != QInternal::Image)
        return false;
    auto *device = static_cast<QImage *>(engine->paintDevice());
    const QImage::Format format = device->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied &&
        format != QImage::Format_ARGB32)
        return false;
    // A translation by whole pixels only, at full opacity, into an image that nobody
    // shares (writing to a shared one would change the others' copies).
    const QTransform transform = painter.deviceTransform();
    const QPoint offset(int(transform.dx()), int(transform.dy()));
    if (transform.type() > QTransform::TxTranslate || offset.x() != transform.dx() ||
        offset.y() != transform.dy() || device->devicePixelRatio() != 1.0 || painter.opacity() < 1.0 ||
        !device->isDetached())
        return false;
    const QRect target(offset, m_size);
    const QRegion systemClip = engine->systemClip();
    if (!device->rect().contains(target) || (!systemClip.isEmpty() && systemClip.intersected(target) != target))
        return false;
    const qsizetype stride = device->bytesPerLine();
    QImage view(device->bits() + qsizetype(target.y()) * stride + qsizetype(target.x()) * 4, target.width(),
                target.height(), stride, QImage::Format_RGB32);
    m_render(view);
    return true;
}
