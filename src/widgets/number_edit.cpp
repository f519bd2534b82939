#include "number_edit.h"

#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const char *const kBoxStyle = "QFrame#numberEditBox { background-color: #181a1b; border-radius: 3px; border: none; }";
const char *const kLineEditStyle = "QLineEdit { background: transparent; color: #ffffff; font-size: 14px;"
                                   " padding: 0px 3px; border: none; }";
const char *const kButtonColumnStyle =
    "QFrame#numberEditButtons { border: 1px solid #181a1b; border-top-right-radius: 3px;"
    " border-bottom-right-radius: 3px; }"
    "QPushButton { font-size: 12px; background-color: #272c33; color: #ffffff; border: none; padding: 0px; }"
    "QPushButton:hover { background-color: #1e90ff; }"
    "QPushButton:pressed { background-color: #1e90ff; }";
constexpr int kHeight = 20;
constexpr int kButtonWidth = 12;
// Beside the text: the line edit's own margins (2 + 2), its padding (3 + 3), room for
// the cursor, and the button column's border (1 + 1).
constexpr int kTextMargins = 2 + 2 + 3 + 3 + 1 + 1 + 1;

QPushButton *makeStepButton(const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setMinimumWidth(kButtonWidth);
    button->setMaximumWidth(kButtonWidth);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    return button;
}
} // namespace

NumberEdit::NumberEdit(QWidget *parent) : QWidget(parent)
{
    auto *outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto *box = new QFrame(this);
    box->setObjectName("numberEditBox");
    box->setFixedHeight(kHeight);
    box->setStyleSheet(kBoxStyle);
    outer->addWidget(box);

    auto *boxLayout = new QHBoxLayout(box);
    boxLayout->setContentsMargins(0, 0, 0, 0);
    boxLayout->setSpacing(0);

    m_lineEdit = new QLineEdit(box);
    m_lineEdit->setStyleSheet(kLineEditStyle);
    m_lineEdit->setAlignment(Qt::AlignCenter);
    m_lineEdit->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_lineEdit->setFixedHeight(kHeight);
    boxLayout->addWidget(m_lineEdit);

    auto *buttons = new QFrame(box);
    buttons->setObjectName("numberEditButtons");
    buttons->setFixedHeight(kHeight);
    buttons->setStyleSheet(kButtonColumnStyle);
    auto *buttonLayout = new QVBoxLayout(buttons);
    buttonLayout->setContentsMargins(0, 0, 0, 0);
    buttonLayout->setSpacing(0);
    m_plusButton = makeStepButton("+", buttons);
    m_minusButton = makeStepButton("-", buttons);
    buttonLayout->addWidget(m_plusButton);
    buttonLayout->addWidget(m_minusButton);
    boxLayout->addWidget(buttons);

    setBoxWidth(kWidth);

    connect(m_plusButton, &QPushButton::clicked, this, &NumberEdit::onPlusClicked);
    connect(m_minusButton, &QPushButton::clicked, this, &NumberEdit::onMinusClicked);
}

void NumberEdit::setBoxWidth(int width)
{
    setMinimumWidth(width);
    setMaximumWidth(width);
}

void NumberEdit::fitText(const QStringList &texts)
{
    m_lineEdit->ensurePolished(); // the font comes from the style sheet
    const QFontMetrics metrics(m_lineEdit->font());
    int widest = 0;
    for (const QString &text : texts)
        widest = qMax(widest, metrics.horizontalAdvance(text));
    const int width = widest + kTextMargins + kButtonWidth;
    if (width > minimumWidth())
        setBoxWidth(width);
}

void NumberEdit::onPlusClicked()
{
    emit plusClicked();
}

void NumberEdit::onMinusClicked()
{
    emit minusClicked();
}
