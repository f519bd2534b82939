#pragma once

#include <QObject>

class QWidget;

// Keeps the mouse wheel from changing sliders and combo boxes of a scrolling page:
// the wheel scrolls the nearest enclosing scroll area instead. Outside any scroll
// area the widget handles the wheel itself.
class WheelEventFilter : public QObject {
    Q_OBJECT
public:
    // Scroll units per standard wheel notch (angle delta 120).
    static constexpr int kAngleDeltaPerUnit = 12;

    explicit WheelEventFilter(QObject *parent = nullptr);

    // Creates a filter owned by the widget and installs it there.
    static WheelEventFilter *install(QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
