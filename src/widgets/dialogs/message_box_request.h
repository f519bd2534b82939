#pragma once

#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

// What a modal box is about to show, as handed to the test responder of MessageBoxes.
struct MessageBoxRequest {
    enum Kind {
        Styled,      // the panel's dark box with Chinese captions
        TimedNotice, // the dark notice that accepts itself after timeoutMs
        Information, // plain Qt boxes
        Warning,
        Critical,
        Question,
        Custom, // a box the caller built itself (own buttons, icon or style)
    };

    Kind kind = Custom;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QStringList buttons;                        // captions as shown, in the box's button order
    QList<QMessageBox::StandardButton> buttonIds; // per caption; NoButton for the caller's own buttons
    QString defaultButton;                      // caption of the chosen default; empty: Qt's choice
    QPointer<QWidget> parent;
    int timeoutMs = 0; // notices only
    QString styleSheet;

    // Position of the button with this caption, or -1.
    int buttonIndex(const QString &caption) const { return buttons.indexOf(caption); }
    bool hasButton(const QString &caption) const { return buttons.contains(caption); }
};
