#pragma once

#include "message_box_request.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QString>

#include <functional>

// The one place where the tool's modal message boxes are shown: the panel's dark
// styled box, the self-closing notice, Qt's plain information/warning/critical/
// question boxes and boxes that callers build themselves.
//
// Tests install a responder that receives each box instead of the user: the box is
// built as usual, described in a MessageBoxRequest, and the responder's answer is
// clicked without anything being shown. The answer is a QMessageBox::StandardButton
// of the box, or a position in MessageBoxRequest::buttons (buttonIndex(caption)), or
// kCloseWithoutButton: the box closes without a click — for a notice that is its
// timer running out (the accept result), for other boxes a rejection.
class MessageBoxes {
    Q_DECLARE_TR_FUNCTIONS(MessageBoxes)

public:
    enum class Style {
        Panel,    // the control panel's box
        Wide,     // the wider variant of the lens-selection camera's panel
        OfParent, // the style the nearest ancestor of the box's parent asks for
                  // (setBoxStyle), else Panel
    };
    using Responder = std::function<int(const MessageBoxRequest &request)>;

    static constexpr int kCloseWithoutButton = -1;
    static const char *const kPanelStyleSheet;
    static const char *const kWideStyleSheet;
    static const char *const kButtonTextStyle;
    static const char *const kBoxStyleAdditions;
    // Widest line of text a box shows before it wraps.
    static constexpr int kMaxTextWidth = 560;

    // The style of the styled boxes shown over `scope` and its descendants (a panel
    // whose boxes differ from the control panel's).
    static void setBoxStyle(QWidget *scope, Style style);
    // The style a box with this parent gets for `style` (OfParent resolved).
    static Style resolvedStyle(const QWidget *parent, Style style);

    // A new dark box owned by the caller; captions are left as Qt gives them.
    static QMessageBox *createStyledMessageBox(QWidget *parent, const QString &title, const QString &text,
                                               QMessageBox::StandardButtons buttons,
                                               Style style = Style::OfParent);

    // Shows the dark box modally with "确定" / "取消" / "重启" captions and returns the
    // clicked standard button. defaultButton NoButton keeps Qt's default choice.
    static int showStyledMessageBox(QWidget *parent, const QString &title, const QString &text,
                                    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
                                    Style style = Style::OfParent);

    // A dark box with an OK button that accepts itself after the given time. Returns
    // the accept result (QDialog::Accepted) when it ran out, QMessageBox::Ok when the
    // user clicked OK first.
    static int showTimedNotice(QWidget *parent, const QString &title, const QString &text, int milliseconds);

    // The notice's box, before its timer; owned by the caller.
    static QMessageBox *createTimedNotice(QWidget *parent, const QString &title, const QString &text);

    // Qt's plain boxes (as QMessageBox::information() and friends) in the dark style;
    // parent may be null. The box of the four functions below, owned by the caller.
    static QMessageBox *createPlainMessageBox(QMessageBox::Icon icon, QWidget *parent, const QString &title,
                                              const QString &text, QMessageBox::StandardButtons buttons);
    static QMessageBox::StandardButton information(QWidget *parent, const QString &title, const QString &text,
                                                   QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                   QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton warning(QWidget *parent, const QString &title, const QString &text,
                                               QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                               QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton critical(QWidget *parent, const QString &title, const QString &text,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton question(QWidget *parent, const QString &title, const QString &text,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Yes |
                                                                                       QMessageBox::No,
                                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    // A dark box without buttons for a caller that adds its own, owned by the caller;
    // `styleSheet` replaces the panel's box style when given.
    static QMessageBox *createCustomBox(QWidget *parent, const QString &title, const QString &text,
                                        const QString &styleSheet = QString());

    // Runs a box the caller built (own buttons, icon, style) modally and returns its
    // exec() result; afterwards box->clickedButton() tells which button was chosen.
    static int exec(QMessageBox *box);

    // The caption table of the styled box: "OK" → "确定", "Cancel" → "取消",
    // Retry ("重试") → "重启"; other captions stay.
    static QString replacedCaption(const QString &caption);
    static void applyStyledCaptions(QMessageBox *box);

    // Before a box is shown: its buttons lose Qt's icons and its text gets the width it
    // needs in the font it is shown in, up to kMaxTextWidth (and two thirds of the
    // screen); longer texts wrap, paths after their separators.
    static void fitToText(QMessageBox *box);

    // Installs the test responder; an empty function shows boxes for real again.
    static void setTestResponder(Responder responder);
    static bool hasTestResponder();

private:
    static int present(QMessageBox *box, MessageBoxRequest::Kind kind, int timeoutMs = 0);
    static int presentLater(QMessageBox *box, MessageBoxRequest::Kind kind, int timeoutMs);
    static QMessageBox::StandardButton showPlain(MessageBoxRequest::Kind kind, QMessageBox::Icon icon,
                                                 QWidget *parent, const QString &title, const QString &text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton);
};
