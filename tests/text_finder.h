#pragma once

#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

// One text a window shows: which widget draws it, where (window coordinates), and
// whether it has the room it needs in the font it is drawn in.
struct ShownText {
    QPointer<QWidget> widget;
    QString text;
    QRect drawn;  // where the text is drawn, within the room it has
    QRect room;   // the room the widget gives the text
    QSize needed; // what the whole text needs
    bool fits = true;
    QString what; // "label", "button", "item 3", "caption" ...
};

// Finds the texts of a window's visible widgets (labels, buttons, combos, line edits,
// headers, item views, menus, progress bars) and the captions the polar palette
// paints itself, each measured with the font it is drawn in.
class TextFinder {
public:
    static QList<ShownText> find(QWidget *window);
    // The texts of one widget (not of its children).
    static QList<ShownText> ofWidget(QWidget *widget, QWidget *window);
};
