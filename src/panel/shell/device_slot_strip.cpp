#include "device_slot_strip.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {
const char *const kToolTipStyle = "QToolTip {   background-color: white;   color: black;   border: none;   "
                                  "padding: 5px;   font-size: 12px;   font-family: 'Microsoft YaHei', sans-serif;}";
const char *const kPlainButtonStyle = "QPushButton { background: transparent; border: none; }";
const char *const kLabelStyle = "QLabel { color: #cccccc; font-size: 10px; background: transparent; }";
} // namespace

DeviceSlotStrip::DeviceSlotStrip(QHBoxLayout *row, QWidget *parent) : QObject(parent)
{
    for (int i = 0; i < kSlotCount; ++i) {
        auto *container = new QWidget(parent);
        container->setFixedSize(75, 80);
        auto *layout = new QVBoxLayout(container);
        layout->setSpacing(2);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setAlignment(Qt::AlignCenter);

        auto *button = new QPushButton(container);
        button->setFixedSize(60, 60);
        button->setEnabled(false);
        button->setFocusPolicy(Qt::NoFocus);
        button->setProperty("active", false);
        button->setStyleSheet(kPlainButtonStyle);
        layout->addWidget(button, 0, Qt::AlignHCenter);

        auto *label = new QLabel(container);
        label->setFixedSize(70, 18);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignCenter);
        label->setCursor(Qt::PointingHandCursor);
        label->setStyleSheet(kLabelStyle);
        label->setProperty("deviceIndex", i);
        label->installEventFilter(this);
        layout->addWidget(label, 0, Qt::AlignHCenter);

        connect(button, &QPushButton::clicked, this, [this, i] { emit slotClicked(i); });
        container->hide();
        row->addWidget(container);
        m_slotButtons << button;
        m_slotLabels << label;
        m_slotContainers << container;
    }
}

QString DeviceSlotStrip::elide(const QString &text)
{
    return text.size() > 12 ? text.left(10) + "..." : text;
}

void DeviceSlotStrip::setDeviceButtonStyle(QPushButton *button, const QString &iconBase, bool active)
{
    button->setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; }"
                                         "QPushButton:enabled { border-image: url(%1_off.png); }"
                                         "QPushButton:enabled:hover { border-image: url(%1_on.png); }"
                                         "QPushButton[active=\"true\"] { border-image: url(%1_on.png); }"
                                         "QPushButton:disabled { border-image: none; background: transparent; }")
                              .arg(iconBase));
    button->setProperty("active", active);
    button->style()->unpolish(button);
    button->style()->polish(button);
    button->update();
}

void DeviceSlotStrip::setPlainStyle(QPushButton *button)
{
    button->setStyleSheet(kPlainButtonStyle);
    button->setProperty("active", false);
    button->style()->unpolish(button);
    button->style()->polish(button);
}

void DeviceSlotStrip::showDevice(int slot, const QString &labelText, const QString &toolTip, const QString &iconBase)
{
    QPushButton *b = m_slotButtons.value(slot);
    if (!b)
        return;
    QLabel *l = m_slotLabels[slot];
    QWidget *c = m_slotContainers[slot];
    b->setEnabled(true);
    b->show();
    l->show();
    c->show();
    l->setText(elide(labelText));
    for (QWidget *w : {static_cast<QWidget *>(b), static_cast<QWidget *>(l), c}) {
        w->setToolTip(toolTip);
        if (!w->styleSheet().contains("QToolTip"))
            w->setStyleSheet(w->styleSheet() + kToolTipStyle);
    }
    setDeviceButtonStyle(b, iconBase, false);
    b->setStyleSheet(b->styleSheet() + kToolTipStyle);
}

void DeviceSlotStrip::clear()
{
    for (int i = 0; i < kSlotCount; ++i) {
        m_slotButtons[i]->setEnabled(false);
        m_slotButtons[i]->hide();
        m_slotLabels[i]->hide();
        m_slotContainers[i]->hide();
        setPlainStyle(m_slotButtons[i]);
        m_slotLabels[i]->setStyleSheet(kLabelStyle);
        m_slotContainers[i]->setStyleSheet(QString());
        m_slotLabels[i]->clear();
        m_slotButtons[i]->setToolTip(QString());
        m_slotLabels[i]->setToolTip(QString());
        m_slotContainers[i]->setToolTip(QString());
    }
}

bool DeviceSlotStrip::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        const QVariant slot = watched->property("deviceIndex");
        if (slot.isValid()) {
            emit slotLabelDoubleClicked(slot.toInt());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
