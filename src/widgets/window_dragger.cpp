#include "window_dragger.h"

#include <QMouseEvent>
#include <QWidget>

bool WindowDragger::press(QMouseEvent *event, bool allowed)
{
    if (event->button() != Qt::LeftButton || !allowed)
        return false;
    m_dragging = true;
    m_dragOffset = event->globalPosition().toPoint() - m_window->frameGeometry().topLeft();
    return true;
}

bool WindowDragger::move(QMouseEvent *event)
{
    if (!m_dragging || !(event->buttons() & Qt::LeftButton))
        return false;
    m_window->move(event->globalPosition().toPoint() - m_dragOffset);
    return true;
}

void WindowDragger::release(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
}

HeightGrip::HeightGrip(QWidget *window, QWidget *grip) : QObject(grip), m_window(window), m_grip(grip)
{
    grip->installEventFilter(this);
}

bool HeightGrip::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched != m_grip ||
        (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease))
        return QObject::eventFilter(watched, event);
    auto *mouse = static_cast<QMouseEvent *>(event);
    const int y = int(mouse->globalPosition().y());
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
        m_resizing = true;
        m_startY = y;
        m_startHeight = m_window->height();
        return true;
    }
    if (type == QEvent::MouseMove && m_resizing) {
        const int h = qMax(m_window->minimumHeight(), m_startHeight + y - m_startY);
        m_window->setGeometry(m_window->x(), m_window->y(), m_window->width(), h);
        return true;
    }
    if (type == QEvent::MouseButtonRelease && m_resizing) {
        m_resizing = false;
        return true;
    }
    return QObject::eventFilter(watched, event);
}
