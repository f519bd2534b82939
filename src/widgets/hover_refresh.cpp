#include "hover_refresh.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QTimer>
#include <QWidget>

void HoverRefresh::install()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || app->findChild<HoverRefresh *>(QString(), Qt::FindDirectChildrenOnly))
        return;
    app->installEventFilter(new HoverRefresh(app));
}

void HoverRefresh::refresh()
{
    const QPoint pointer = QCursor::pos();
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget *widget : widgets) {
        if (!widget->testAttribute(Qt::WA_UnderMouse) || !widget->isVisible())
            continue;
        if (widget->rect().contains(widget->mapFromGlobal(pointer)))
            continue;
        widget->setAttribute(Qt::WA_UnderMouse, false);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(widget, &leave);
        widget->update();
    }
}

bool HoverRefresh::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
        scheduleRefresh();
        break;
    case QEvent::Hide:
        if (watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow())
            scheduleRefresh();
        break;
    default:
        break;
    }
    return false;
}

void HoverRefresh::scheduleRefresh()
{
    // After the release or the closing has been handled: one look for any number of events.
    if (m_scheduled)
        return;
    m_scheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_scheduled = false;
        refresh();
    });
}
