#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

// Mouse events as a user's drag delivers them: the button stays held during moves.
namespace MouseEvents {

inline void send(QWidget *w, QEvent::Type type, QPoint pos, Qt::MouseButtons held) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}
inline void press(QWidget *w, QPoint pos) {
    send(w, QEvent::MouseButtonPress, pos, Qt::LeftButton);
}
inline void move(QWidget *w, QPoint pos) {
    send(w, QEvent::MouseMove, pos, Qt::LeftButton);
}
inline void release(QWidget *w, QPoint pos) {
    send(w, QEvent::MouseButtonRelease, pos, Qt::NoButton);
}
inline void drag(QWidget *w, QPoint from, QPoint to) {
    press(w, from);
    move(w, to);
    release(w, to);
}

} // namespace MouseEvents
