#include "message_boxes.h"

#include "camera_io_scope.h"
#include "log_manager.h"


#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

const char *const MessageBoxes::kPanelStyleSheet =
    "QMessageBox {   background-color: #1e1e1e;   border-radius: 10px;   padding: 20px;}"
    "QMessageBox QLabel {   color: #ffffff !important;   font-size: 14px;   padding: 10px;   min-width: 200px;}"
    "QMessageBox QPushButton {   background-color: #1b89ef;   color: #ffffff !important;   border: none;"
    "   border-radius: 5px;   padding: 8px 20px;   font-size: 12px;   min-width: 80px;   margin: 5px;}"
    "QMessageBox QPushButton:hover {   background-color: #262a2d;}"
    "QMessageBox QPushButton:pressed {   background-color: #262a2d;}";

const char *const MessageBoxes::kWideStyleSheet =
    "QMessageBox {   background-color: #1e1e1e;   border-radius: 10px;   padding: 20px;   min-width: 350px;"
    "   min-height: 180px;}"
    "QMessageBox QLabel {   color: #ffffff !important;   font-size: 14px;   padding: 10px;   min-width: 300px;"
    "   max-width: 320px;}"
    "QMessageBox QPushButton {   background-color: #1b89ef;   color: #ffffff !important;   border: none;"
    "   border-radius: 5px;   padding: 8px 20px;   font-size: 12px;   min-width: 80px;   margin: 5px;}"
    "QMessageBox QPushButton:hover {   background-color: #262a2d;}"
    "QMessageBox QPushButton:pressed {   background-color: #262a2d;}";

const char *const MessageBoxes::kButtonTextStyle = "color: #ffffff !important;";

// Appended to the box styles: the default button keeps the accent colour, the others
// are grey, so the choice that Enter takes can be seen; the icon of a plain box is
// not given the text's width.
const char *const MessageBoxes::kBoxStyleAdditions =
    "QMessageBox QLabel#qt_msgboxex_icon_label {   min-width: 0px;   padding: 10px 0px;}"
    "QMessageBox QPushButton:!default {   background-color: #43474c;}"
    "QMessageBox QPushButton:!default:hover {   background-color: #262a2d;}"
    "QMessageBox QPushButton:!default:pressed {   background-color: #262a2d;}";

namespace {
// The dynamic property setBoxStyle leaves on a widget.
const char *const kBoxStyleProperty = "kestraneMessageBoxStyle";

MessageBoxes::Responder &testResponder()
{
    static MessageBoxes::Responder responder;
    return responder;
}

MessageBoxRequest describe(QMessageBox *box, MessageBoxRequest::Kind kind, int timeoutMs)
{
    MessageBoxRequest request;
    request.kind = kind;
    request.icon = box->icon();
    request.title = box->windowTitle();
    request.text = box->text();
    for (QAbstractButton *button : box->buttons()) {
        request.buttons << button->text();
        request.buttonIds << box->standardButton(button);
    }
    if (QPushButton *chosen = box->defaultButton())
        request.defaultButton = chosen->text();
    request.parent = box->parentWidget();
    request.timeoutMs = timeoutMs;
    request.styleSheet = box->styleSheet();
    return request;
}
} // namespace

void MessageBoxes::setBoxStyle(QWidget *scope, Style style)
{
    scope->setProperty(kBoxStyleProperty, int(style));
}

MessageBoxes::Style MessageBoxes::resolvedStyle(const QWidget *parent, Style style)
{
    if (style != Style::OfParent)
        return style;
    for (const QWidget *w = parent; w; w = w->parentWidget()) {
        const QVariant asked = w->property(kBoxStyleProperty);
        if (asked.isValid() && Style(asked.toInt()) != Style::OfParent)
            return Style(asked.toInt());
    }
    return Style::Panel;
}

QMessageBox *MessageBoxes::createStyledMessageBox(QWidget *parent, const QString &title, const QString &text,
                                                  QMessageBox::StandardButtons buttons, Style style)
{
    auto *box = new QMessageBox(parent);
    box->setWindowTitle(title);
    box->setText(text);
    box->setStandardButtons(buttons);
    if (resolvedStyle(parent, style) == Style::Wide) {
        box->setStyleSheet(QLatin1String(kWideStyleSheet) + QLatin1String(kBoxStyleAdditions));
        if (auto *buttonBox = box->findChild<QDialogButtonBox *>())
            buttonBox->setCenterButtons(true);
    } else {
        box->setStyleSheet(QLatin1String(kPanelStyleSheet) + QLatin1String(kBoxStyleAdditions));
    }
    return box;
}

int MessageBoxes::showStyledMessageBox(QWidget *parent, const QString &title, const QString &text,
                                       QMessageBox::StandardButtons buttons,
                                       QMessageBox::StandardButton defaultButton, Style style)
{
    // The box goes with its parent if that is destroyed while the box runs.
    QPointer<QMessageBox> box = createStyledMessageBox(parent, title, text, buttons, style);
    if (defaultButton != QMessageBox::NoButton)
        box->setDefaultButton(defaultButton);
    applyStyledCaptions(box);
    const int result = present(box, MessageBoxRequest::Styled);
    delete box.data();
    return result;
}

QMessageBox *MessageBoxes::createTimedNotice(QWidget *parent, const QString &title, const QString &text)
{
    auto *box = new QMessageBox(parent);
    box->setWindowTitle(title);
    box->setText(text);
    box->setStandardButtons(QMessageBox::Ok);
    box->setDefaultButton(QMessageBox::Ok);
    box->setStyleSheet(QLatin1String(kPanelStyleSheet) + QLatin1String(kBoxStyleAdditions));
    return box;
}

int MessageBoxes::showTimedNotice(QWidget *parent, const QString &title, const QString &text, int milliseconds)
{
    QPointer<QMessageBox> box = createTimedNotice(parent, title, text);
    QTimer::singleShot(milliseconds, milliseconds >= 2000 ? Qt::CoarseTimer : Qt::PreciseTimer, box.data(),
                       &QMessageBox::accept);
    const int result = present(box, MessageBoxRequest::TimedNotice, milliseconds);
    delete box.data();
    return result;
}

QMessageBox *MessageBoxes::createPlainMessageBox(QMessageBox::Icon icon, QWidget *parent, const QString &title,
                                                 const QString &text, QMessageBox::StandardButtons buttons)
{
    auto *box = new QMessageBox(icon, title, text, buttons, parent);
    box->setStyleSheet(QLatin1String(kPanelStyleSheet) + QLatin1String(kBoxStyleAdditions));
    return box;
}

QMessageBox::StandardButton MessageBoxes::information(QWidget *parent, const QString &title, const QString &text,
                                                      QMessageBox::StandardButtons buttons,
                                                      QMessageBox::StandardButton defaultButton)
{
    return showPlain(MessageBoxRequest::Information, QMessageBox::Information, parent, title, text, buttons,
                     defaultButton);
}

QMessageBox::StandardButton MessageBoxes::warning(QWidget *parent, const QString &title, const QString &text,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton defaultButton)
{
    return showPlain(MessageBoxRequest::Warning, QMessageBox::Warning, parent, title, text, buttons,
                     defaultButton);
}

QMessageBox::StandardButton MessageBoxes::critical(QWidget *parent, const QString &title, const QString &text,
                                                   QMessageBox::StandardButtons buttons,
                                                   QMessageBox::StandardButton defaultButton)
{
    return showPlain(MessageBoxRequest::Critical, QMessageBox::Critical, parent, title, text, buttons,
                     defaultButton);
}

QMessageBox::StandardButton MessageBoxes::question(QWidget *parent, const QString &title, const QString &text,
                                                   QMessageBox::StandardButtons buttons,
                                                   QMessageBox::StandardButton defaultButton)
{
    return showPlain(MessageBoxRequest::Question, QMessageBox::Question, parent, title, text, buttons,
                     defaultButton);
}

QMessageBox *MessageBoxes::createCustomBox(QWidget *parent, const QString &title, const QString &text,
                                           const QString &styleSheet)
{
    auto *box = new QMessageBox(parent);
    box->setWindowTitle(title);
    box->setText(text);
    box->setStyleSheet(styleSheet.isEmpty() ? QLatin1String(kPanelStyleSheet) + QLatin1String(kBoxStyleAdditions)
                                            : styleSheet);
    return box;
}

int MessageBoxes::exec(QMessageBox *box)
{
    return present(box, MessageBoxRequest::Custom);
}

QString MessageBoxes::replacedCaption(const QString &caption)
{
    if (caption == QLatin1String("OK") || caption == QMessageBox::tr("OK"))
        return tr("确定");
    if (caption == QLatin1String("Cancel") || caption == QMessageBox::tr("Cancel"))
        return tr("取消");
    if (caption == QStringLiteral("重试") || caption == QMessageBox::tr("Retry"))
        return tr("重启");
    return caption;
}

void MessageBoxes::applyStyledCaptions(QMessageBox *box)
{
    for (QPushButton *button : box->findChildren<QPushButton *>()) {
        button->setStyleSheet(kButtonTextStyle);
        button->setText(replacedCaption(button->text()));
    }
}

void MessageBoxes::fitToText(QMessageBox *box)
{
    for (QAbstractButton *button : box->buttons())
        button->setIcon(QIcon());
    auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    if (!label)
        return;
    box->ensurePolished(); // the label's font and padding come from the style sheet
    const QFontMetrics metrics(label->font());
    int textWidth = 0;
    for (const QString &line : box->text().split(QLatin1Char('\n')))
        textWidth = qMax(textWidth, metrics.horizontalAdvance(line));
    const QMargins padding = label->contentsMargins();
    int limit = kMaxTextWidth;
    if (const QScreen *screen = box->screen())
        limit = qMin(limit, screen->availableGeometry().width() * 2 / 3);
    // A character's width to spare: glyphs may render a little wider than measured.
    const int width = qMin(textWidth + metrics.averageCharWidth(), limit) + padding.left() + padding.right();
    if (width > label->minimumWidth())
        label->setMinimumWidth(width);
    // A path has few places to break a line at: let it break after its separators.
    if (textWidth > limit && label->textFormat() != Qt::RichText && !Qt::mightBeRichText(box->text())) {
        QString text = box->text();
        text.replace(QLatin1Char('/'), QStringLiteral("/\u200b"));
        label->setText(text);
    }
}

void MessageBoxes::setTestResponder(Responder responder)
{
    testResponder() = std::move(responder);
}

bool MessageBoxes::hasTestResponder()
{
    return bool(testResponder());
}

QMessageBox::StandardButton MessageBoxes::showPlain(MessageBoxRequest::Kind kind, QMessageBox::Icon icon,
                                                    QWidget *parent, const QString &title, const QString &text,
                                                    QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton)
{
    QPointer<QMessageBox> box = createPlainMessageBox(icon, parent, title, text, buttons);
    if (defaultButton != QMessageBox::NoButton && box->button(defaultButton))
        box->setDefaultButton(defaultButton);
    present(box, kind);
    if (!box)
        return QMessageBox::NoButton;
    const QMessageBox::StandardButton clicked = box->standardButton(box->clickedButton());
    delete box.data();
    return clicked;
}

// A box asked for while a camera is being read cannot wait for the user there (its
// loop could close the connection under the read): a copy is shown as soon as the read
// is over, and the caller gets the answer of a box closed without a click.
int MessageBoxes::presentLater(QMessageBox *box, MessageBoxRequest::Kind kind, int timeoutMs)
{
    auto *later = new QMessageBox(box->icon(), box->windowTitle(), box->text(), QMessageBox::NoButton,
                                  box->parentWidget());
    later->setStyleSheet(box->styleSheet());
    later->setTextFormat(box->textFormat());
    for (QAbstractButton *button : box->buttons()) {
        const QMessageBox::StandardButton standard = box->standardButton(button);
        QAbstractButton *copy = standard != QMessageBox::NoButton ? later->addButton(standard)
                                                                  : later->addButton(button->text(), box->buttonRole(button));
        copy->setText(button->text());
    }
    LogManager::instance()->log(INFO, "Dialog", QStringLiteral("box shown after the camera read: %1").arg(box->windowTitle()));
    QTimer::singleShot(0, later, [later, kind, timeoutMs] {
        if (kind == MessageBoxRequest::TimedNotice && timeoutMs > 0)
            QTimer::singleShot(timeoutMs, later, &QMessageBox::accept);
        present(later, kind, timeoutMs);
        later->deleteLater();
    });
    return kind == MessageBoxRequest::TimedNotice ? int(QDialog::Accepted) : int(QDialog::Rejected);
}

int MessageBoxes::present(QMessageBox *box, MessageBoxRequest::Kind kind, int timeoutMs)
{
    if (CameraIoScope::active())
        return presentLater(box, kind, timeoutMs);
    const Responder &responder = testResponder();
    if (!responder) {
        fitToText(box);
        return box->exec();
    }

    const MessageBoxRequest request = describe(box, kind, timeoutMs);
    const int answer = responder(request);
    const QList<QAbstractButton *> buttons = box->buttons();
    QAbstractButton *chosen = nullptr;
    if (answer > 0)
        chosen = box->button(QMessageBox::StandardButton(answer));
    if (!chosen && answer >= 0 && answer < buttons.size())
        chosen = buttons.at(answer);

    if (chosen)
        chosen->click();
    else if (kind == MessageBoxRequest::TimedNotice)
        box->accept();
    else
        box->reject();
    return box->result();
}
