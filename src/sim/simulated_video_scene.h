#pragma once

#include <QImage>
#include <QString>
#include <QVector>

#include <vector>

class SimulatedCamera;

// The picture a simulated camera's video input shows: a wide scene with a colour
// wheel, colour bars, a grey ramp, a grid and the camera's name, seen through the
// camera's state. Pan and tilt move the view over the scene and zoom narrows it;
// "Luminance", "Contrast" and "Saturation" and the two 24-point hue/saturation tables
// change the colours; a camera mounted in portrait (direction 2) delivers the scene
// turned a quarter clockwise, as a rotated sensor would. "bHorzInvert" mirrors and
// "bVertInvert" flips the picture the camera sends, in the sensor's own orientation,
// so a portrait camera's mirror turns into a flip once the preview stands it upright.
//
// The scene is drawn once per camera name; a frame is a nearest-neighbour sample of it
// through a colour table that is rebuilt only when the colour settings change.
class SimulatedVideoScene {
public:
    static constexpr int kFrameWidth = 1280;
    static constexpr int kFrameHeight = 720;
    static constexpr int kWorldWidth = 2560;
    static constexpr int kWorldHeight = 1440;
    static constexpr double kMaxZoomFactor = 4.0;
    // Scene pixels the view moves per degree of pan or tilt.
    static constexpr double kPixelsPerDegree = 8.0;

    // What of the camera's state the picture depends on.
    struct View {
        QString name;
        double pan = 0;  // degrees the picture looks right of home
        double tilt = 0; // degrees the picture looks above home
        double zoom = 0; // percent, 0 ... 100
        int direction = 1;
        bool mirrored = false; // "bHorzInvert": left and right swapped
        bool flipped = false;  // "bVertInvert": top and bottom swapped
        int luminance = 50;
        int contrast = 50;
        int saturation = 50;
        QVector<int> hueTable;
        QVector<int> satTable;
    };

    static View viewOf(SimulatedCamera &camera);

    // One frame of packed YUYV (BT.601, video range), kFrameWidth x kFrameHeight, into
    // `dst` with the given row stride.
    void renderYuyv(const View &view, unsigned char *dst, int bytesPerLine);
    // The same frame as an RGB picture (before the YUV encoding), for tests.
    QImage renderRgb(const View &view);
    // The drawn scene.
    const QImage &world(const QString &name);

private:
    struct Sampling {
        std::vector<int> column; // per frame x: world column (landscape) or world row (portrait)
        std::vector<int> row;    // per frame y: world row (landscape) or world column (portrait)
        bool portrait = false;
    };

    Sampling sampling(const View &view) const;
    void ensureColourTable(const View &view);
    static int colourIndex(QRgb pixel) {
        return int(((pixel >> 18) & 0x3f) << 12 | ((pixel >> 10) & 0x3f) << 6 | ((pixel >> 2) & 0x3f));
    }

    QImage m_world;
    QString m_worldName;
    std::vector<unsigned char> m_yuv; // per 6-bit RGB: Y, U, V
    std::vector<QRgb> m_rgb;          // per 6-bit RGB: the adjusted colour
    QVector<int> m_colourKey;
};
