#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QPoint>

#include <functional>

class QWidget;

// Picking a colour from the camera preview. While picking, every application event
// passes through here: a left press inside the preview samples the pixel under the
// pointer (while a LUT grades the preview, the camera's colour of that pixel before
// the LUT), a right press or Escape ends picking, the pointer turns into a cross over
// the preview and mouse moves go nowhere else.
class ColourPicker : public QObject {
    Q_OBJECT
public:
    // Where a pick takes its colour from: the pixel shown at a global position.
    using Sampler = std::function<QColor(const QPoint &globalPos)>;
    using PreviewLookup = std::function<QWidget *()>;

    explicit ColourPicker(QObject *parent = nullptr);
    ~ColourPicker() override;

    // The preview window, or null when there is none.
    void setPreviewLookup(PreviewLookup lookup) { m_preview = std::move(lookup); }
    QWidget *preview() const;
    bool previewVisible() const;

    // Replaces the screen grab, for platforms without one (tests use sampleWidget).
    void setSampler(Sampler sampler) { m_sampler = std::move(sampler); }
    // The pixel of the screen under a global position; invalid when the grab is empty.
    static QColor sampleScreen(const QPoint &globalPos);
    // The pixel a widget renders at a global position.
    static QColor sampleWidget(QWidget *widget, const QPoint &globalPos);

    bool isPicking() const { return m_picking; }
    void start();
    // Restores the pointer; emits nothing.
    void stop();

    // The table point nearest to a colour's hue (−1 for grey), and the points a picked
    // colour highlights: that point and, near the edge of its 15° band, a neighbour.
    static int nearestHueIndex(const QColor &colour);
    static QList<int> pointsForColour(const QColor &colour);

signals:
    void colourPicked(const QColor &colour);
    // A pick, a right click or Escape ended picking.
    void pickEnded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool insidePreview(const QPoint &globalPos) const;
    void updateCursor(const QPoint &globalPos);
    void restoreCursor();

    PreviewLookup m_preview;
    Sampler m_sampler;
    bool m_picking = false;
    bool m_crossCursorSet = false;
};
