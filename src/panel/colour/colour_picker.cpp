#include "colour_picker.h"

#include "camera_window.h"
#include "hsv_table.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

ColourPicker::ColourPicker(QObject *parent) : QObject(parent) {}

ColourPicker::~ColourPicker()
{
    stop();
}

QWidget *ColourPicker::preview() const
{
    return m_preview ? m_preview() : nullptr;
}

bool ColourPicker::previewVisible() const
{
    QWidget *w = preview();
    return w && w->isVisible();
}

void ColourPicker::start()
{
    if (m_picking)
        return;
    m_picking = true;
    qApp->installEventFilter(this);
}

void ColourPicker::stop()
{
    if (!m_picking)
        return;
    m_picking = false;
    qApp->removeEventFilter(this);
    restoreCursor();
}

bool ColourPicker::insidePreview(const QPoint &globalPos) const
{
    QWidget *w = preview();
    if (!w || !w->isVisible())
        return false;
    return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()).contains(globalPos);
}

void ColourPicker::updateCursor(const QPoint &globalPos)
{
    if (!previewVisible())
        return;
    if (insidePreview(globalPos)) {
        const QCursor *current = QGuiApplication::overrideCursor();
        if (!m_crossCursorSet && !(current && current->shape() == Qt::CrossCursor)) {
            QGuiApplication::setOverrideCursor(Qt::CrossCursor);
            m_crossCursorSet = true;
        }
    } else {
        restoreCursor();
    }
}

void ColourPicker::restoreCursor()
{
    // Only the cursor pushed here is popped; someone else's stays.
    if (m_crossCursorSet) {
        QGuiApplication::restoreOverrideCursor();
        m_crossCursorSet = false;
    }
}

bool ColourPicker::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_picking)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint pos = mouse->globalPosition().toPoint();
        if (mouse->button() == Qt::LeftButton) {
            if (!insidePreview(pos))
                return false; // a press elsewhere goes on; picking continues
            // The tables act on the camera's own colours: under a LUT the preview knows
            // the colour before the grade; otherwise the pixel shown is the camera's.
            const auto *camera = qobject_cast<const CameraWindow *>(preview());
            QColor colour = camera ? camera->cameraColourAt(pos) : QColor();
            if (!colour.isValid())
                colour = m_sampler ? m_sampler(pos) : sampleScreen(pos);
            if (colour.isValid())
                emit colourPicked(colour);
            emit pickEnded();
            return true;
        }
        if (mouse->button() == Qt::RightButton) {
            emit pickEnded();
            return true;
        }
        return false;
    }
    case QEvent::MouseMove:
        updateCursor(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        return true;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            emit pickEnded();
            return true;
        }
        return false;
    default:
        return false;
    }
}

QColor ColourPicker::sampleScreen(const QPoint &globalPos)
{
    QScreen *screen = QGuiApplication::screenAt(globalPos);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QColor();
    // The grab takes coordinates within the screen, which matters beside the primary one.
    const QPoint local = globalPos - screen->geometry().topLeft();
    const QImage image = screen->grabWindow(0, local.x(), local.y(), 1, 1).toImage();
    if (image.isNull() || image.width() < 1 || image.height() < 1)
        return QColor();
    return image.pixelColor(0, 0);
}

QColor ColourPicker::sampleWidget(QWidget *widget, const QPoint &globalPos)
{
    if (!widget)
        return QColor();
    const QPoint local = widget->mapFromGlobal(globalPos);
    if (!widget->rect().contains(local))
        return QColor();
    const QImage image = widget->grab(QRect(local, QSize(1, 1))).toImage();
    if (image.isNull())
        return QColor();
    return image.pixelColor(0, 0);
}

int ColourPicker::nearestHueIndex(const QColor &colour)
{
    if (!colour.isValid())
        return -1;
    const int hue = colour.hsvHue();
    if (hue < 0)
        return -1; // grey has no hue
    const int n = int(std::round(hue / double(HsvTable::kDegreesPerPoint)));
    return n == HsvTable::kPoints ? 0 : n;
}

QList<int> ColourPicker::pointsForColour(const QColor &colour)
{
    const int n = nearestHueIndex(colour);
    if (n < 0)
        return {};
    QList<int> points{n};
    // A hue exactly on a point needs no neighbour.
    const int offset = colour.hsvHue() % HsvTable::kDegreesPerPoint;
    if (offset >= 1 && offset <= 3)
        points << (n + HsvTable::kPoints - 1) % HsvTable::kPoints;
    else if (offset >= 12)
        points << (n + 1) % HsvTable::kPoints;
    std::sort(points.begin(), points.end());
    return points;
}
