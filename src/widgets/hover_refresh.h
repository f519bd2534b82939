#pragma once

#include <QObject>

// Qt sends no Leave to a widget that the pointer left while a menu, a modal box, a
// file dialog or a mouse grab held it, so a button keeps its :hover colour (设备重置,
// 预置位, the PTZ arrows, 吸取颜色, the palette's buttons) until the pointer passes over
// it again. Installed once on the application, this filter looks again whenever a
// menu or dialog window closes and after each mouse release, and takes the hover off
// every widget the pointer is no longer over.
class HoverRefresh : public QObject {
    Q_OBJECT
public:
    // Installs the filter on the running application (once; later calls do nothing).
    static void install();
    // Takes the hover off every widget the pointer is not over, now.
    static void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit HoverRefresh(QObject *parent) : QObject(parent) {}
    void scheduleRefresh();

    bool m_scheduled = false;
};
