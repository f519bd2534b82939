#include "polar_palette_widget.h"

#include "adjustment_file.h"
#include "app_paths.h"
#include "hsv_colour.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
const QColor kOutsideWheel(0x1e, 0x22, 0x29);

double length(double x, double y) {
    return std::sqrt(x * x + y * y);
}

} // namespace

PolarPaletteWidget::PolarPaletteWidget(QWidget *parent)
    : QWidget(parent), m_random(quint32(QDateTime::currentMSecsSinceEpoch())),
      m_cube(PaletteLut::kCubeSize, qRgb(0, 0, 0)), m_hisiTable(PaletteLut::zeroHisiTable()) {
    setMinimumSize(400, 400);
    setStyleSheet(QStringLiteral("background-color: #272c33;"));
    m_deltaSaturation = PaletteTable(m_numAngles, QVector<float>(m_numRadii, 0.0f));
    m_deltaHue = m_deltaSaturation;
}

PaletteState PolarPaletteWidget::state() const {
    PaletteState s;
    s.numAngles = m_numAngles;
    s.numRadii = m_numRadii;
    s.deltaSaturation = m_deltaSaturation;
    s.deltaHue = m_deltaHue;
    s.controlPoints = m_controlPoints;
    s.hisiOutput = m_hisiTable;
    return s;
}

double PolarPaletteWidget::polarAngle(double x, double y) const {
    return std::atan2(y - m_centerY, x - m_centerX);
}

bool PolarPaletteWidget::hasCell(int angleIdx, int radiusIdx) const {
    return angleIdx >= 0 && angleIdx < m_deltaSaturation.size() && angleIdx < m_deltaHue.size() &&
           radiusIdx >= 0 && radiusIdx < m_deltaSaturation[angleIdx].size() &&
           radiusIdx < m_deltaHue[angleIdx].size();
}

float PolarPaletteWidget::cellSaturation(const ControlPoint &p) const {
    return hasCell(p.angleIdx, p.radiusIdx) ? m_deltaSaturation[p.angleIdx][p.radiusIdx] : 0.0f;
}

float PolarPaletteWidget::cellHue(const ControlPoint &p) const {
    return hasCell(p.angleIdx, p.radiusIdx) ? m_deltaHue[p.angleIdx][p.radiusIdx] : 0.0f;
}

void PolarPaletteWidget::layoutControlPoints() {
    m_controlPoints.clear();
    m_selected = -1;
    m_centerX = width() * 0.5 - 40;
    m_centerY = height() * 0.5;
    m_radius = float(std::min(width(), height()) * 0.4);
    for (int i = 0; i < m_numAngles; ++i) {
        const double theta = i * 2.0 * kPi / m_numAngles;
        for (int j = 0; j < m_numRadii; ++j) {
            const double r = double(j + 1) / m_numRadii * m_radius;
            ControlPoint p;
            p.angleIdx = i;
            p.radiusIdx = j;
            p.x = p.originalX = float(m_centerX + r * std::cos(theta));
            p.y = p.originalY = float(m_centerY + r * std::sin(theta));
            m_controlPoints.append(p);
        }
    }
}

void PolarPaletteWidget::placePoint(ControlPoint &p, float deltaSat, float deltaHue) const {
    const double theta = polarAngle(p.originalX, p.originalY) + deltaHue * kPi / 180.0;
    const double original = length(p.originalX - m_centerX, p.originalY - m_centerY);
    const double r = std::clamp((1.0 + deltaSat) * original, 0.0, double(m_radius));
    p.x = m_centerX + r * std::cos(theta);
    p.y = m_centerY + r * std::sin(theta);
}

void PolarPaletteWidget::setCellAdjustment(int angleIdx, int radiusIdx, float deltaSat, float deltaHue) {
    if (!hasCell(angleIdx, radiusIdx) || !std::isfinite(deltaSat) || !std::isfinite(deltaHue))
        return;
    m_deltaSaturation[angleIdx][radiusIdx] = deltaSat;
    m_deltaHue[angleIdx][radiusIdx] = deltaHue;
    for (ControlPoint &p : m_controlPoints) {
        if (p.angleIdx == angleIdx && p.radiusIdx == radiusIdx)
            placePoint(p, deltaSat, deltaHue);
    }
    update();
}

void PolarPaletteWidget::applyRandomAdjustment() {
    for (int i = 0; i < m_numAngles; ++i) {
        for (int j = 0; j < m_numRadii; ++j) {
            m_deltaSaturation[i][j] = float(m_random.generateDouble() - 0.5);
            m_deltaHue[i][j] = float(m_random.bounded(600) / 10.0 - 30.0);
        }
    }
    for (ControlPoint &p : m_controlPoints)
        placePoint(p, cellSaturation(p), cellHue(p));
    update();
    emit adjustmentChanged();
}

void PolarPaletteWidget::resetAdjustments() {
    for (QVector<float> &row : m_deltaSaturation)
        row.fill(0.0f);
    for (QVector<float> &row : m_deltaHue)
        row.fill(0.0f);
    for (ControlPoint &p : m_controlPoints) {
        p.x = p.originalX;
        p.y = p.originalY;
    }
    m_hisiTable = PaletteLut::zeroHisiTable();
    update();
    emit adjustmentChanged();
}

void PolarPaletteWidget::generate3DLUT() {
    PaletteLut::generateCube(m_deltaSaturation, m_deltaHue, m_numAngles, m_numRadii, &m_cube);
    qDebug() << "3D LUT生成成功";
}

void PolarPaletteWidget::convertToHisiFormat() {
    m_hisiTable = PaletteLut::toHisiTable(m_cube, m_deltaSaturation, m_deltaHue, m_numAngles, m_numRadii);
    qDebug() << "已转换为海思17×324格式";
    // Beside the other files the tool writes: an installed build has no say over its
    // working directory (often the home directory or /).
    if (PaletteLut::writeHexFile(m_hisiTable, QDir(AppPaths::filesDir()).filePath(QString::fromLatin1(kHexFileName))))
        qDebug() << "数据已保存到 hisi_output_hex.txt";
}

bool PolarPaletteWidget::saveToFile(const QString &path) {
    m_lastFileError.clear();
    if (!AdjustmentFile::save(state(), path, &m_lastFileError))
        return false;
    qDebug().noquote() << "调整表已保存到" << path;
    return true;
}

bool PolarPaletteWidget::loadFromFile(const QString &path) {
    m_lastFileError.clear();
    PaletteState loaded;
    if (!AdjustmentFile::load(path, state(), &loaded, &m_lastFileError))
        return false;
    m_numAngles = loaded.numAngles;
    m_numRadii = loaded.numRadii;
    m_deltaSaturation = loaded.deltaSaturation;
    m_deltaHue = loaded.deltaHue;
    m_controlPoints = loaded.controlPoints;
    m_hisiTable = loaded.hisiOutput;
    m_selected = -1;
    m_dragStart = QPoint();
    m_wheel = QImage();
    update();
    emit adjustmentChanged();
    qDebug().noquote() << "调整表已从" << path << "加载";
    return true;
}

void PolarPaletteWidget::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    layoutControlPoints();
}

void PolarPaletteWidget::rebuildWheel() {
    m_wheel = QImage(size(), QImage::Format_RGB32);
    const QRgb outside = kOutsideWheel.rgb();
    for (int y = 0; y < m_wheel.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(m_wheel.scanLine(y));
        const double dy = y - m_centerY;
        for (int x = 0; x < m_wheel.width(); ++x) {
            const double dx = x - m_centerX;
            const double d = length(dx, dy);
            QRgb colour = outside;
            if (d <= m_radius && m_radius > 0)
                HsvColour::toRgb((std::atan2(dy, dx) + kPi) / (2 * kPi), d / m_radius, 1.0, &colour);
            line[x] = colour;
        }
    }
}

void PolarPaletteWidget::paintEvent(QPaintEvent *) {
    if (m_controlPoints.isEmpty())
        layoutControlPoints();
    // The wheel depends on the size alone, so it is kept until the size changes.
    if (m_wheel.isNull() || m_wheel.size() != size())
        rebuildWheel();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawImage(0, 0, m_wheel);
    paintGrid(painter);
    paintMesh(painter);
    paintPoints(painter);
}

void PolarPaletteWidget::paintGrid(QPainter &painter) {
    const QPointF c = centre();
    const QPen gridPen(QColor(200, 200, 200, 150), 1);
    for (int i = 1; i <= m_numRadii; ++i) {
        const double r = m_radius * double(i) / m_numRadii;
        painter.setPen(gridPen);
        painter.drawEllipse(c, r, r);
        if (i % 3 == 0) {
            painter.setPen(Qt::blue);
            painter.drawText(QPointF(c.x() + r + 10, c.y()),
                             QStringLiteral("S=%1").arg(double(i) / m_numRadii, 0, 'f', 2));
        }
    }
    for (int i = 0; i < m_numAngles; ++i) {
        const double theta = i * 2.0 * kPi / m_numAngles;
        const QPointF direction(std::cos(theta), std::sin(theta));
        painter.setPen(gridPen);
        painter.drawLine(c, c + m_radius * direction);
        if (i % 3 == 0) {
            const QPointF at = c + (m_radius + 30.0) * direction;
            painter.setPen(Qt::red);
            painter.drawText(QRectF(at.x() - 30, at.y() - 10, 60, 20), Qt::AlignCenter,
                             QStringLiteral("H=%1°").arg(i * 360.0 / m_numAngles, 0, 'f', 0));
        }
    }
}

void PolarPaletteWidget::paintMesh(QPainter &painter) {
    painter.setPen(QPen(QColor(100, 100, 100, 150), 1, Qt::DashLine));
    const QPointF c = centre();
    QVector<QPointF> line;
    for (int i = 0; i < m_numAngles; ++i) {
        line.clear();
        for (const ControlPoint &p : std::as_const(m_controlPoints)) {
            if (p.angleIdx == i)
                line.append(QPointF(p.x, p.y));
        }
        std::sort(line.begin(), line.end(), [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); });
        painter.drawPolyline(line.constData(), int(line.size()));
    }
    QVector<std::pair<float, QPointF>> ring;
    for (int j = 0; j < m_numRadii; ++j) {
        ring.clear();
        for (const ControlPoint &p : std::as_const(m_controlPoints)) {
            if (p.radiusIdx == j)
                ring.append({float(polarAngle(p.x, p.y)), QPointF(p.x, p.y)});
        }
        std::stable_sort(ring.begin(), ring.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        line.clear();
        for (const auto &entry : std::as_const(ring))
            line.append(entry.second);
        painter.drawPolyline(line.constData(), int(line.size()));
    }
    for (const ControlPoint &p : std::as_const(m_controlPoints)) {
        if (p.radiusIdx == 0)
            painter.drawLine(c, QPointF(p.x, p.y));
    }
}

void PolarPaletteWidget::paintPoints(QPainter &painter) {
    QFont labelFont(QStringLiteral("Arial"));
    labelFont.setPointSize(8);
    const QFontMetricsF metrics(labelFont);
    for (const ControlPoint &p : std::as_const(m_controlPoints)) {
        const float ds = cellSaturation(p);
        const float dh = cellHue(p);
        QColor fill = Qt::white;
        double r = 3;
        if (ds > 0.01f) {
            fill = Qt::red, r = 4;
        } else if (ds < -0.01f) {
            fill = Qt::blue, r = 4;
        } else if (std::fabs(dh) > 1.0f) {
            fill = ds > 0 ? Qt::red : Qt::blue, r = 4;
        }
        painter.setPen(QPen(Qt::black, 2));
        painter.setBrush(fill);
        painter.drawEllipse(QPointF(p.x, p.y), r, r);
        if (std::fabs(ds) > 0.01f || std::fabs(dh) > 1.0f) {
            painter.setPen(Qt::white);
            painter.setFont(labelFont);
            painter.drawText(QPointF(p.x, p.y - 20), QStringLiteral("ΔS:%1").arg(double(ds), 0, 'f', 2));
            painter.drawText(QPointF(p.x, p.y - 20 + metrics.lineSpacing()),
                             QStringLiteral("ΔH:%1").arg(double(dh), 0, 'f', 1));
        }
    }
    painter.setBrush(Qt::NoBrush);
}

void PolarPaletteWidget::mousePressEvent(QMouseEvent *event) {
    const QPoint pos = event->position().toPoint();
    int nearest = -1;
    double nearestDistance = kPickDistance;
    for (int k = 0; k < m_controlPoints.size(); ++k) {
        const double d = length(m_controlPoints[k].x - pos.x(), m_controlPoints[k].y - pos.y());
        if (d < nearestDistance) {
            nearest = k;
            nearestDistance = d;
        }
    }
    if (nearest < 0)
        return;
    m_selected = nearest;
    m_dragStart = pos;
    const ControlPoint &p = m_controlPoints[nearest];
    emit pointMoved(p.angleIdx, p.radiusIdx, cellSaturation(p), cellHue(p));
    update();
}

void PolarPaletteWidget::mouseMoveEvent(QMouseEvent *event) {
    const QPoint pos = event->position().toPoint();
    if (m_selected >= 0 && m_selected < m_controlPoints.size() && !m_dragStart.isNull()) {
        ControlPoint &p = m_controlPoints[m_selected];
        float vx = float(pos.x() - m_centerX);
        float vy = float(pos.y() - m_centerY);
        if (std::sqrt(vx * vx + vy * vy) > m_radius) {
            const float angle = std::atan2(vy, vx);
            vx = m_radius * std::cos(angle);
            vy = m_radius * std::sin(angle);
        }
        p.x = m_centerX + vx;
        p.y = m_centerY + vy;
        double deltaHue = (polarAngle(p.x, p.y) - polarAngle(p.originalX, p.originalY)) * 180.0 / kPi;
        while (deltaHue > 180.0)
            deltaHue -= 360.0;
        while (deltaHue <= -180.0)
            deltaHue += 360.0;
        const double original = length(p.originalX - m_centerX, p.originalY - m_centerY);
        const double deltaSat =
            original > 0.0 ? (length(p.x - m_centerX, p.y - m_centerY) - original) / original : 0.0;
        if (hasCell(p.angleIdx, p.radiusIdx)) {
            m_deltaSaturation[p.angleIdx][p.radiusIdx] = float(deltaSat);
            m_deltaHue[p.angleIdx][p.radiusIdx] = float(deltaHue);
        }
        emit pointMoved(p.angleIdx, p.radiusIdx, float(deltaSat), float(deltaHue));
        update();
    }
    const double d = length(pos.x() - m_centerX, pos.y() - m_centerY);
    if (d <= m_radius && m_radius > 0) {
        const double hue = (polarAngle(pos.x(), pos.y()) + kPi) / (2 * kPi) * 360.0;
        qDebug().noquote()
            << QStringLiteral("鼠标位置: H=%1°, S=%2").arg(hue, 0, 'f', 1).arg(d / m_radius, 0, 'f', 2);
    }
}

void PolarPaletteWidget::mouseReleaseEvent(QMouseEvent *) {
    if (m_selected < 0)
        return;
    m_selected = -1;
    m_dragStart = QPoint();
    emit adjustmentChanged();
}
