#include "palette_label.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include <cmath>

namespace {
// Event positions are taken to whole pixels, halves away from zero.
double roundedPixel(double v)
{
    return std::round(v);
}
} // namespace

PaletteLabel::PaletteLabel(const QString &imagePath, int minValue, int maxValue, QWidget *parent)
    : QLabel(parent), m_minValue(minValue), m_maxValue(maxValue), m_debounceTimer(new QTimer(this))
{
    QPixmap picture(imagePath);
    if (!picture.isNull())
        setPixmap(picture.scaled(kPictureWidth, kPictureHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    setScaledContents(true);
    setMaximumSize(kPictureWidth, kPictureHeight);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    int initial = (minValue + maxValue) / 2;
    if (minValue == -64 && maxValue == 64)
        initial = 0;
    else if (minValue == 0 && maxValue == 255)
        initial = 64;
    for (int i = 0; i < kPoints; ++i)
        m_values << initial;

    m_debounceTimer->setSingleShot(true);
    m_debounceTimer->setInterval(kDebounceMs);
    connect(m_debounceTimer, &QTimer::timeout, this, &PaletteLabel::onDebounceTimeout);
}

int PaletteLabel::clamp(int value) const
{
    return qBound(m_minValue, value, m_maxValue);
}

void PaletteLabel::setValues(const QList<int> &values)
{
    if (values.size() != m_values.size())
        return;
    bool changed = false;
    for (int i = 0; i < values.size(); ++i) {
        const int v = clamp(values[i]);
        if (m_values[i] != v) {
            m_values[i] = v;
            changed = true;
        }
    }
    if (changed)
        update();
}

void PaletteLabel::setValue(int index, int value)
{
    if (index < 0 || index >= kPoints)
        return;
    const int v = clamp(value);
    if (m_values[index] == v)
        return;
    m_values[index] = v;
    update();
}

void PaletteLabel::setHighlights(const QList<int> &indices)
{
    if (indices == m_highlights)
        return;
    m_highlights = indices;
    update();
    emit highlightChanged(int(m_highlights.size()), !m_highlights.isEmpty());
}

void PaletteLabel::clearHighlights()
{
    if (m_highlights.isEmpty())
        return;
    m_highlights.clear();
    update();
    emit highlightChanged(0, false);
}

int PaletteLabel::indexFromX(double x) const
{
    const int w = width();
    if (w <= 0)
        return 0;
    x = roundedPixel(x);
    const double step = w / double(kPoints - 1);
    if (x < 0.5 * step)
        return 0;
    if (x >= (kPoints - 1.5) * step)
        return kPoints - 1;
    return qBound(0, int(x / step + 0.5), kPoints - 1);
}

int PaletteLabel::valueFromY(double y) const
{
    const int h = height();
    if (h <= 0)
        return m_minValue;
    y = roundedPixel(y);
    const double v = (1.0 - y / h) * (m_maxValue - m_minValue) + m_minValue;
    // Far outside the label the product can leave the int range; clamp before converting.
    return clamp(int(std::trunc(qBound(double(m_minValue) - 1.0, v, double(m_maxValue) + 1.0))));
}

QPoint PaletteLabel::pointPosition(int index) const
{
    const int w = width();
    const int h = height();
    const int span = m_maxValue - m_minValue;
    const double fraction = span == 0 ? 0.0 : double(m_values.value(index) - m_minValue) / span;
    return QPoint(int(double(w) * index / (kPoints - 1)), int(h * (1.0 - fraction)));
}

void PaletteLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // A marker at the label's edge is drawn just inside it, so it is seen whole.
    const QRect inside = rect().adjusted(kMarkerReach, kMarkerReach, -kMarkerReach, -kMarkerReach);
    for (int i = 0; i < kPoints; ++i) {
        const QPoint at = pointPosition(i);
        const QPoint p(qBound(inside.left(), at.x(), qMax(inside.left(), inside.right())),
                       qBound(inside.top(), at.y(), qMax(inside.top(), inside.bottom())));
        const QRect dot(QPoint(p.x() - 4, p.y() - 4), QPoint(p.x() + 3, p.y() + 3));
        if (m_highlights.contains(i)) {
            painter.setPen(QPen(Qt::red, 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(QRect(QPoint(p.x() - 6, p.y() - 6), QPoint(p.x() + 5, p.y() + 5)));
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(255, 255, 0));
            painter.drawEllipse(dot);
        } else {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0, 100, 200));
            painter.drawEllipse(dot);
        }
    }
}

void PaletteLabel::mousePressEvent(QMouseEvent *event)
{
    m_dragIndex = indexFromX(event->position().x());
    m_pressed = true;
    QLabel::mousePressEvent(event);
}

void PaletteLabel::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed || m_dragIndex < 0) {
        QLabel::mouseMoveEvent(event);
        return;
    }
    const int value = valueFromY(event->position().y());
    if (value == m_values[m_dragIndex])
        return;
    m_values[m_dragIndex] = value;
    update();
    m_pendingIndex = m_dragIndex;
    m_pendingValue = value;
    m_debounceTimer->start(); // restarts a running timer
    emit immediateClicked(m_dragIndex, value);
}

void PaletteLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_pressed && m_pendingIndex >= 0) {
        m_debounceTimer->stop();
        const int index = m_pendingIndex;
        m_pendingIndex = -1;
        emit logicalClicked(index, m_pendingValue);
    }
    m_pressed = false;
    m_dragIndex = -1;
    QLabel::mouseReleaseEvent(event);
}

void PaletteLabel::onDebounceTimeout()
{
    if (m_pendingIndex < 0)
        return;
    const int index = m_pendingIndex;
    m_pendingIndex = -1;
    emit logicalClicked(index, m_pendingValue);
}
