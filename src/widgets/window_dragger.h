#pragma once

#include <QObject>
#include <QPoint>

class QMouseEvent;
class QWidget;

// Moves a frameless window while the left button is held. The window's own mouse
// handlers pass their events in and say whether a press may start a move there.
class WindowDragger {
public:
    explicit WindowDragger(QWidget *window) : m_window(window) {}

    // A left-button press where `allowed` starts a move; returns whether it did.
    bool press(QMouseEvent *event, bool allowed);
    // Moves the window while a move runs and the left button is held.
    bool move(QMouseEvent *event);
    // A left-button release ends the move.
    void release(QMouseEvent *event);
    bool isDragging() const { return m_dragging; }

private:
    QWidget *m_window;
    bool m_dragging = false;
    QPoint m_dragOffset; // cursor position minus the window's top-left at the press
};

// Lets the user change a window's height by dragging a grip widget (e.g. its footer):
// the new height is the height at the press plus the cursor's vertical travel, never
// below the window's minimum height.
class HeightGrip : public QObject {
public:
    HeightGrip(QWidget *window, QWidget *grip);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QWidget *m_grip;
    bool m_resizing = false;
    int m_startY = 0;
    int m_startHeight = 0;
};
