#pragma once

#include <QLabel>
#include <QList>

class QTimer;

// The editor of one 24-point colour table: a gradient picture with 24 draggable points.
// Point i sits at i/23 of the width; its height is proportional to its value (minimum
// at the bottom edge, maximum at the top). A drag reports every change at once
// (immediateClicked) and the value to commit (logicalClicked) after 75 ms without
// movement or on release. Any set of points can be marked as highlighted.
class PaletteLabel : public QLabel {
    Q_OBJECT
public:
    static constexpr int kPoints = 24;
    static constexpr int kDebounceMs = 75;
    static constexpr int kPictureWidth = 330;
    static constexpr int kPictureHeight = 110;

    PaletteLabel(const QString &imagePath, int minValue, int maxValue, QWidget *parent = nullptr);

    // Ignored unless the list has exactly 24 entries; entries are clamped to the range.
    void setValues(const QList<int> &values);
    QList<int> values() const { return m_values; }
    // Ignored for an index outside 0..23; the value is clamped.
    void setValue(int index, int value);

    void setHighlights(const QList<int> &indices);
    void clearHighlights();
    QList<int> highlights() const { return m_highlights; }

    int minValue() const { return m_minValue; }
    int maxValue() const { return m_maxValue; }

    // The mapping between positions and points, for the current size.
    int indexFromX(double x) const;
    int valueFromY(double y) const;
    QPoint pointPosition(int index) const;
    // How far a highlighted marker reaches from its point (ring and pen).
    static constexpr int kMarkerReach = 7;

signals:
    void highlightChanged(int count, bool hasHighlights);
    void immediateClicked(int index, int value);
    void logicalClicked(int index, int value);

public slots:
    void onDebounceTimeout();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int clamp(int value) const;

    QList<int> m_values;
    QList<int> m_highlights;
    int m_minValue;
    int m_maxValue;
    int m_dragIndex = -1;
    bool m_pressed = false;
    QTimer *m_debounceTimer;
    int m_pendingIndex = -1;
    int m_pendingValue = 0;
};
