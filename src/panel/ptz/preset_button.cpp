#include "preset_button.h"

#include <QLayout>
#include <QResizeEvent>
#include <QShowEvent>
#include <QStyle>
#include <QStyleOptionButton>

PresetButton::PresetButton(const QString &plainLabel, QWidget *parent)
    : QPushButton(plainLabel, parent), m_plainLabel(plainLabel), m_name(plainLabel)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void PresetButton::setLabel(const QString &name, const QString &suffix, const QString &toolTip)
{
    m_name = name;
    m_suffix = suffix;
    m_toolTip = toolTip;
    updateGeometry();
    // Share the row out again now, so that the label fits the room it gets at once.
    if (QWidget *row = parentWidget(); row && row->layout())
        row->layout()->activate();
    fitLabel();
}

QSize PresetButton::sizeFor(const QString &text) const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text = text;
    const QSize contents(fontMetrics().horizontalAdvance(text), fontMetrics().height());
    return style()->sizeFromContents(QStyle::CT_PushButton, &option, contents, this);
}

QSize PresetButton::sizeHint() const
{
    return sizeFor(fullLabel()).expandedTo(sizeFor(m_plainLabel));
}

QSize PresetButton::minimumSizeHint() const
{
    // A bound preset keeps its shortcut readable (an unnamed one its whole label), a
    // named one gives way down to "…" before the shortcut; never more than a third of
    // the row, so that three bound presets still fit.
    QSize least = sizeFor(m_plainLabel);
    if (!m_suffix.isEmpty()) {
        int third = least.width();
        if (const QWidget *row = parentWidget())
            third = qMax(third, row->contentsRect().width() / 3);
        const QString kept = m_name == m_plainLabel ? fullLabel() : QStringLiteral("…") + m_suffix;
        least.setWidth(qBound(least.width(), sizeFor(kept).width(), third));
    }
    return least;
}

void PresetButton::resizeEvent(QResizeEvent *event)
{
    QPushButton::resizeEvent(event);
    fitLabel();
}

void PresetButton::showEvent(QShowEvent *event)
{
    QPushButton::showEvent(event);
    fitLabel();
}

int PresetButton::textRoom() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    const int chrome = style()->sizeFromContents(QStyle::CT_PushButton, &option, QSize(0, 0), this).width();
    return width() - chrome;
}

void PresetButton::fitLabel()
{
    const QFontMetrics metrics = fontMetrics();
    const QString whole = fullLabel();
    const int room = textRoom();
    QString shown = whole;
    // A button not shown yet has no room of its own: it is fitted once it is shown.
    if (isVisible() && metrics.horizontalAdvance(whole) > room) {
        const int nameRoom = room - metrics.horizontalAdvance(m_suffix);
        // The name gives way first; then the label keeps its end, where the shortcut is.
        if (m_suffix.isEmpty())
            shown = metrics.elidedText(whole, Qt::ElideRight, room);
        else if (nameRoom >= metrics.horizontalAdvance(QStringLiteral("…")))
            shown = metrics.elidedText(m_name, Qt::ElideRight, nameRoom) + m_suffix;
        else
            shown = metrics.elidedText(whole, Qt::ElideLeft, room);
    }
    setText(shown);
    if (shown == whole)
        setToolTip(m_toolTip);
    else
        setToolTip(m_toolTip.isEmpty() ? whole : whole + QLatin1Char('\n') + m_toolTip);
}
