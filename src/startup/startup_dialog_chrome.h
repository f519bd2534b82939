#pragma once

#include <QString>

class QPainter;
class QPixmap;
class QPushButton;
class QRect;
class QWidget;

// What the two start-up dialogs (series selection and "device not connected") have in
// common: the title bar with its return and close buttons, the rounded painting, and
// the rule that picks a series' letter.
class StartupDialogChrome {
public:
    static constexpr int kCornerRadius = 15;
    static constexpr int kTitleBarHeight = 40;

    // Builds the 40 px title bar (return button, stretch, empty label, stretch, close
    // button) as a child of parent and hands out the two buttons.
    static QWidget *createTitleBar(QWidget *parent, QPushButton *&returnButton, QPushButton *&closeButton);

    // Paints the window: rounded clip, background stretched to rect (or the plain dark
    // fill when the picture is null), then a faint white outline.
    static void paintRoundedFrame(QPainter &painter, const QRect &rect, const QPixmap &background,
                                  int radius);

    // The first letter of text (any Unicode letter), or an empty string when it has none.
    static QString firstLetter(const QString &text);

    // A picture of the given size filled with the windows' plain dark background colour.
    static QPixmap plainBackground(int width, int height);

private:
    static QPushButton *createTitleButton(QWidget *parent, const QString &iconPath, const char *warning,
                                          const QString &fallbackText);
};
