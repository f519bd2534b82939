#include "preview_picture_view.h"

#include <QEvent>
#include <QGuiApplication>
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

void PreviewPictureView::setPicture(const QImage &image) {
    const bool resized = image.size() != m_image.size();
    m_image = image;
    if (resized)
        place();
    if (isHidden())
        show();
    update();
}

void PreviewPictureView::clearPicture() {
    hide();
    m_image = QImage();
}

// Where a label with centred alignment draws a pixmap of the picture's size.
void PreviewPictureView::place() {
    const QWidget *area = parentWidget();
    setGeometry(QStyle::alignedRect(QGuiApplication::layoutDirection(), Qt::AlignCenter, m_image.size(),
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
    if (watched == parentWidget() && event->type() == QEvent::Resize && !m_image.isNull())
        place();
    return QWidget::eventFilter(watched, event);
}

void PreviewPictureView::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    const QRect r = event->rect();
    painter.drawImage(r.topLeft(), m_image, r);
}
