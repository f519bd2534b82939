#pragma once

#include <QImage>
#include <QWidget>

// The camera picture, drawn straight from its image: a child of the picture area
// that covers exactly the rectangle the picture takes in it, centred as a label
// centres a pixmap. It is opaque, so a new picture repaints only its own pixels,
// never the window's rounded chrome or the style-sheet backgrounds beneath it, and
// it needs no pixmap made of each picture.
class PreviewPictureView : public QWidget {
    Q_OBJECT
public:
    // Placed in `area`, whose resizes it follows; hidden until the first picture.
    explicit PreviewPictureView(QWidget *area);

    // Shows `image` (opaque 32-bit RGB) at its own size. The image is shared, not
    // copied: its owner must not write to it while it is shown (QImage::isDetached()
    // tells).
    void setPicture(const QImage &image);
    // Hides the picture and lets it go.
    void clearPicture();
    const QImage &picture() const { return m_image; }

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void place();

    QImage m_image;
};
