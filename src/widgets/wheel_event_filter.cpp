#include "wheel_event_filter.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>

WheelEventFilter::WheelEventFilter(QObject *parent) : QObject(parent)
{
}

WheelEventFilter *WheelEventFilter::install(QWidget *widget)
{
    auto *filter = new WheelEventFilter(widget);
    widget->installEventFilter(filter);
    return filter;
}

bool WheelEventFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Wheel)
        return QObject::eventFilter(watched, event);
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return QObject::eventFilter(watched, event);

    QWidget *ancestor = widget->isWindow() ? nullptr : widget->parentWidget();
    for (; ancestor; ancestor = ancestor->parentWidget()) {
        if (auto *area = qobject_cast<QScrollArea *>(ancestor)) {
            if (QScrollBar *bar = area->verticalScrollBar()) {
                const int delta = static_cast<QWheelEvent *>(event)->angleDelta().y();
                bar->setValue(bar->value() - delta / kAngleDeltaPerUnit);
                return true;
            }
        }
        if (ancestor->isWindow())
            break;
    }
    return QObject::eventFilter(watched, event);
}
