#include "polar_palette_widget.h"

#include "adjustment_file.h"
#include "app_paths.h"
#include "hsv_colour.h"

#include <QDateTime>
#include <QDebug>
#include <QFontMetrics>
#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
const QColor kOutsideWheel(0x1e, 0x22, 0x29);

// Every caption sits on a dark, half-see-through plate: readable over any colour of
// the wheel, and the wheel still shows through.
const QColor kPlate(16, 18, 26, 170);
const QColor kRingCaption(0xcf, 0xe6, 0xff);
const QColor kAngleCaption(0xff, 0xb4, 0xab);
const QColor kChangeCaption(Qt::white);
constexpr int kPlateMarginX = 3;
constexpr int kPlateMarginY = 1;
// The angle captions lie this far outside the rim.
constexpr double kAngleCaptionGap = 30.0;
// The ring captions lie on the ray half a grid step clockwise of straight up.
constexpr double kRingCaptionAngle = -82.5 * kPi / 180.0;

QRect plated(const QRect &text) {
    return text.adjusted(-kPlateMarginX, -kPlateMarginY, kPlateMarginX, kPlateMarginY);
}

QFont changeFont() {
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(8);
    return f;
}

double length(double x, double y) {
    return std::sqrt(x * x + y * y);
}

} // namespace

PolarPaletteWidget::PolarPaletteWidget(QWidget *parent)
    : QWidget(parent), m_random(quint32(QDateTime::currentMSecsSinceEpoch())),
      m_cube(PaletteLut::kCubeSize, qRgb(0, 0, 0)), m_hisiTable(PaletteLut::zeroHisiTable()) {
    setMinimumSize(kMinimumSide, kMinimumSide);
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

// The wheel's hue at a polar angle: red on the left, turning clockwise. The points at
// an angle adjust the hue drawn under them (PaletteLut::anglePosition), and the angle
// captions name it.
double PolarPaletteWidget::hueAt(double polarAngle) {
    const double turn = (polarAngle + kPi) / (2 * kPi);
    return turn >= 1.0 ? turn - 1.0 : turn;
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
    // Left of the middle, 0.4 of the smaller side: smaller and nearer the middle only
    // where the wheel and its angle captions would not fit in the widget otherwise.
    const QFontMetrics grid(font());
    const double marginX = kAngleCaptionGap + grid.horizontalAdvance(QStringLiteral("H=315°")) / 2.0 + kPlateMarginX + 2;
    const double marginY = kAngleCaptionGap + grid.height() / 2.0 + kPlateMarginY + 2;
    m_radius = float(std::max(10.0, std::min({std::min(width(), height()) * 0.4, width() / 2.0 - marginX,
                                              height() / 2.0 - marginY})));
    m_centerX = std::clamp(width() * 0.5 - 40, marginX + m_radius, std::max(marginX + m_radius, width() - marginX - m_radius));
    m_centerY = height() * 0.5;
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
                HsvColour::toRgb(hueAt(std::atan2(dy, dx)), d / m_radius, 1.0, &colour);
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
    paintCaptions(painter);
}

void PolarPaletteWidget::paintGrid(QPainter &painter) {
    const QPointF c = centre();
    painter.setPen(QPen(QColor(200, 200, 200, 150), 1));
    for (int i = 1; i <= m_numRadii; ++i) {
        const double r = m_radius * double(i) / m_numRadii;
        painter.drawEllipse(c, r, r);
    }
    for (int i = 0; i < m_numAngles; ++i) {
        const double theta = i * 2.0 * kPi / m_numAngles;
        painter.drawLine(c, c + m_radius * QPointF(std::cos(theta), std::sin(theta)));
    }
}


QList<PolarPaletteWidget::Caption> PolarPaletteWidget::captions() const {
    QList<Caption> out;
    const QPointF c = centre();
    const QFont gridFont = font();
    const QFontMetrics grid(gridFont);
    auto centredCaption = [&](const QString &text, const QPointF &at, const QColor &colour) {
        Caption caption;
        caption.text = text;
        caption.flags = Qt::AlignCenter;
        const QSize size(grid.horizontalAdvance(text), grid.height());
        caption.rect = plated(QRect(QPoint(qRound(at.x() - size.width() / 2.0), qRound(at.y() - size.height() / 2.0)),
                                    size));
        caption.colour = colour;
        caption.plate = kPlate;
        caption.font = gridFont;
        return caption;
    };
    for (int i = 3; i <= m_numRadii; i += 3) {
        const double r = m_radius * double(i) / m_numRadii;
        out << centredCaption(QStringLiteral("S=%1").arg(double(i) / m_numRadii, 0, 'f', 2),
                              c + r * QPointF(std::cos(kRingCaptionAngle), std::sin(kRingCaptionAngle)), kRingCaption);
    }
    for (int i = 0; i < m_numAngles; i += 3) {
        const double theta = i * 2.0 * kPi / m_numAngles;
        out << centredCaption(QStringLiteral("H=%1°").arg(std::fmod(std::round(hueAt(theta) * 360.0), 360.0), 0, 'f', 0),
                              c + (m_radius + kAngleCaptionGap) * QPointF(std::cos(theta), std::sin(theta)),
                              kAngleCaption);
    }
    // The changes of the cells: the dragged point's first, then the larger changes,
    // each only where it runs into no other caption and stays inside the widget.
    QList<int> changed;
    for (int k = 0; k < m_controlPoints.size(); ++k) {
        const ControlPoint &p = m_controlPoints[k];
        if (std::fabs(cellSaturation(p)) > 0.01f || std::fabs(cellHue(p)) > 1.0f)
            changed << k;
    }
    auto weight = [this](int k) {
        const ControlPoint &p = m_controlPoints[k];
        return k == m_selected ? 1e9 : std::fabs(cellSaturation(p)) * 100.0 + std::fabs(cellHue(p));
    };
    std::stable_sort(changed.begin(), changed.end(), [&](int a, int b) { return weight(a) > weight(b); });
    const QFont labelFont = changeFont();
    const QFontMetrics metrics(labelFont);
    const QRect inside = rect();
    for (int k : std::as_const(changed)) {
        const ControlPoint &p = m_controlPoints[k];
        Caption caption;
        caption.text = QStringLiteral("ΔS:%1\nΔH:%2").arg(double(cellSaturation(p)), 0, 'f', 2)
                           .arg(double(cellHue(p)), 0, 'f', 1);
        caption.flags = Qt::AlignLeft | Qt::AlignTop;
        const QRect text = metrics.boundingRect(QRect(QPointF(p.x, p.y - 20).toPoint() - QPoint(0, metrics.ascent()),
                                                      QSize(400, 400)),
                                                caption.flags, caption.text);
        caption.rect = plated(text);
        caption.colour = kChangeCaption;
        caption.plate = kPlate;
        caption.font = labelFont;
        const bool free = std::none_of(out.cbegin(), out.cend(),
                                       [&](const Caption &other) { return other.rect.intersects(caption.rect); });
        if (free && inside.contains(caption.rect))
            out << caption;
    }
    return out;
}

void PolarPaletteWidget::paintCaptions(QPainter &painter) {
    for (const Caption &caption : captions()) {
        if (caption.plate.isValid()) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(caption.plate);
            painter.drawRoundedRect(caption.rect, 3, 3);
            painter.setBrush(Qt::NoBrush);
        }
        painter.setFont(caption.font);
        painter.setPen(caption.colour);
        painter.drawText(caption.rect.adjusted(kPlateMarginX, kPlateMarginY, -kPlateMarginX, -kPlateMarginY),
                         caption.flags, caption.text);
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
        const double hue = hueAt(polarAngle(pos.x(), pos.y())) * 360.0;
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
