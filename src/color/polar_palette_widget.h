#pragma once

#include "control_point.h"
#include "palette_lut.h"
#include "palette_state.h"

#include <QImage>
#include <QList>
#include <QPointF>
#include <QRandomGenerator>
#include <QVector>
#include <QWidget>

// The hue/saturation wheel with its polar grid of control points (angles × rings).
// Dragging a point records, for its cell, a relative change of saturation (its
// distance from the centre) and a change of hue in degrees (its rotation around the
// centre). The two tables are the adjustment; from them the widget builds the colour
// cube and the image processor's table, and saves and loads them as JSON.
class PolarPaletteWidget : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDefaultAngles = 24;
    static constexpr int kDefaultRadii = 12;
    // Small enough for the control panel's column, with room to scroll around it.
    static constexpr int kMinimumSide = 300;
    // A press nearer than this to a point picks it up.
    static constexpr double kPickDistance = 15.0;
    static constexpr const char *kHexFileName = "hisi_output_hex.txt";

    explicit PolarPaletteWidget(QWidget *parent = nullptr);

    void applyRandomAdjustment();
    void resetAdjustments();
    void generate3DLUT();
    void convertToHisiFormat();
    // False when nothing was written; lastFileError() then says why.
    bool saveToFile(const QString &path);
    // False when the file was refused; the palette is then unchanged.
    bool loadFromFile(const QString &path);
    QString lastFileError() const { return m_lastFileError; }

    // Sets one cell and moves its points to show it, like a drag would; emits nothing.
    // Ignored for a cell outside the grid.
    void setCellAdjustment(int angleIdx, int radiusIdx, float deltaSat, float deltaHue);

    int numAngles() const { return m_numAngles; }
    int numRadii() const { return m_numRadii; }
    const PaletteTable &deltaSaturation() const { return m_deltaSaturation; }
    const PaletteTable &deltaHue() const { return m_deltaHue; }
    const QList<ControlPoint> &controlPoints() const { return m_controlPoints; }
    QPointF centre() const { return QPointF(m_centerX, m_centerY); }
    float radius() const { return m_radius; }
    // kCubeSize colours, index PaletteLut::cubeIndex(r, g, b).
    const QVector<QRgb> &colourCube() const { return m_cube; }
    const HisiTable &hisiTable() const { return m_hisiTable; }
    PaletteState state() const;

    // A text the wheel paints: the ring and angle marks and the changes of the cells.
    struct Caption {
        QRect rect; // what the text covers
        QString text;
        QColor colour;
        QColor plate; // drawn behind the text; invalid for none
        QFont font;
        int flags = 0; // of QPainter::drawText
    };
    // Where the captions are painted now, in the order they are painted.
    QList<Caption> captions() const;

signals:
    void pointMoved(int angleIdx, int radiusIdx, float deltaSat, float deltaHue);
    void adjustmentChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutControlPoints();
    void rebuildWheel();
    void paintGrid(QPainter &painter);
    void paintMesh(QPainter &painter);
    void paintPoints(QPainter &painter);
    void paintCaptions(QPainter &painter);
    bool hasCell(int angleIdx, int radiusIdx) const;
    float cellSaturation(const ControlPoint &p) const;
    float cellHue(const ControlPoint &p) const;
    // Places a point at its original position turned by `deltaHue` degrees and moved
    // out by `deltaSat`, no farther than the rim.
    void placePoint(ControlPoint &p, float deltaSat, float deltaHue) const;
    double polarAngle(double x, double y) const;
    // The hue (0…1) the wheel shows, and the points adjust, at a polar angle.
    static double hueAt(double polarAngle);

    int m_numAngles = kDefaultAngles;
    int m_numRadii = kDefaultRadii;
    PaletteTable m_deltaSaturation;
    PaletteTable m_deltaHue;
    QList<ControlPoint> m_controlPoints;
    double m_centerX = 0.0;
    double m_centerY = 0.0;
    float m_radius = 0.0f;
    QImage m_wheel;
    QRandomGenerator m_random;
    int m_selected = -1; // index into m_controlPoints
    QPoint m_dragStart;
    QVector<QRgb> m_cube;
    HisiTable m_hisiTable;
    QString m_lastFileError;
};
