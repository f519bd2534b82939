#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

class QPainter;

// The camera picture, drawn where it is painted: a child of the picture area that
// covers exactly the rectangle the picture takes in it, centred as a label centres a
// pixmap. It is opaque, so a new picture repaints only its own pixels, never the
// window's rounded chrome or the style-sheet backgrounds beneath it.
//
// The picture is not kept as an image of its own: a paint of the whole view into a
// plain 32-bit image at one pixel per pixel (the window's backing store, a grab) has
// the picture drawn straight into that image's memory, which spares a copy of every
// picture. Any other paint (a part of the view, a scaled or high-DPI device) draws
// the picture into an image of the view's own once and copies from it.
class PreviewPictureView : public QWidget {
    Q_OBJECT
public:
    // Draws the picture into `target`, a 32-bit RGB image of the picture's size that
    // may share memory with the image being painted. Must not throw.
    using Renderer = std::function<void(QImage &target)>;

    // Placed in `area`, whose resizes it follows; hidden until the first picture.
    explicit PreviewPictureView(QWidget *area);

    // Shows a new picture of `size` pixels, which `render` draws whenever it is needed
    // until the next picture or clearPicture().
    void setPicture(const QSize &size, Renderer render);
    // Hides the picture and lets its renderer go.
    void clearPicture();
    QSize pictureSize() const { return m_size; }
    // The picture as an image of its own (null without one), drawn when first asked for.
    QImage picture() const;
    // How many paints drew the picture straight into the painted image.
    int directPaints() const { return m_directPaints; }

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void place();
    bool paintDirectly(QPainter &painter, const QRegion &region);

    QSize m_size;
    Renderer m_render;
    // The picture drawn into memory of the view's own, for the paints that cannot take
    // it directly and for picture(); stale after each new picture until then.
    mutable QImage m_image;
    mutable bool m_imageStale = false;
    int m_directPaints = 0;
};
