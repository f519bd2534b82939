#pragma once

#include "lut3d.h"
#include "preview_frame_pipeline.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSet>
#include <QVideoFrame>
#include <QWidget>

class FaceCollectionOverlay;
class PreviewPictureView;
class QLabel;
class QMenu;
class QPushButton;
class VideoFrameSource;

// The live preview of one camera's video input: a frameless, rounded, dark window
// with its own title bar, moved by its title bar and resized by its edges. Frames
// pass through PreviewFramePipeline (conversion, optional 3D LUT, quarter turn for
// portrait mounting) into the picture area.
class CameraWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTitleBarHeight = 40;
    static constexpr int kMinimumWidth = 640;
    static constexpr int kMinimumHeight = 480;
    static constexpr int kEdgeZone = 15;
    static constexpr int kCornerRadius = 15;

    enum ResizeEdge { EdgeTop = 1, EdgeLeft = 2, EdgeRight = 4, EdgeBottom = 8 };

    explicit CameraWindow(const QString &deviceId, int cameraIndex = 0, QWidget *parent = nullptr);
    ~CameraWindow() override;

    void openCameraById(const QString &deviceId);
    void setLandscape(bool isLandscape);
    bool isLandscape() const { return m_isLandscape; }

    // 3D LUT.
    bool loadLUT(const QString &path);
    void buildLutTable() { m_lut.buildLutTable(); }
    cv::Mat applyLUTFast(const cv::Mat &frame) const;
    bool lutEnabled() const { return m_lutEnabled; }
    // Back to the plain picture; the loaded cube stays for the window's life.
    void clearLUT();
    // While a LUT grades the picture: the camera's own colour (before the LUT) of the
    // picture pixel at a global position. Invalid without a LUT, outside the picture or
    // before the first frame: then the picture shows the camera's colours as they are.
    QColor cameraColourAt(const QPoint &globalPos) const;
    const Lut3d &lut() const { return m_lut; }

    // Face data collection.
    void setFaceModelId(int id);
    void showFaceCollectionPanel();
    bool collectionFinished() const;
    FaceCollectionOverlay *faceCollection() const { return m_faceCollection; }

    // The picture area (showing status texts until the first picture), the picture in
    // it and the last picture shown, at the size it is shown at.
    QLabel *imageLabel() const { return m_imageLabel; }
    PreviewPictureView *pictureView() const { return m_pictureView; }
    QImage currentImage() const;
    int framesShown() const { return m_framesShown; }
    int cameraIndex() const { return m_cameraIndex; }
    QString deviceId() const { return m_deviceId; }
    VideoFrameSource *frameSource() const { return m_source; }
    QPushButton *minimizeButton() const { return m_minimizeButton; }
    QPushButton *closeButton() const { return m_closeButton; }
    QPushButton *lutButton() const { return m_lutButton; }
    // What a click on the "LUT" button offers while a LUT is on.
    QMenu *lutMenu() const { return m_lutMenu; }
    // The resize edges (ResizeEdge bits) whose zones contain a local point.
    int edgesAt(const QPoint &local) const;

signals:
    void windowClosed();
    void faceDataCollectionFailed();
    void faceDataCollectionSuccess();
    void sendFaceCollectionCommand(const QString &cmd);

public slots:
    void onMinimizeClicked();
    void onCloseClicked();
    void onLoadLUTClicked();
    void onStartCollectionClicked();
    void onQtVideoFrame(const QVideoFrame &frame);
    void showCameraNotFoundDialog();
    void handleFaceCollectionStatus(const QString &status);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildTitleBar();
    void stopCamera();
    void onSourceError(const QString &text);
    void showPicture();
    void renderPicture(QImage &target);
    void releaseShownFrame();
    // Prepares a mapped frame for showing with the LUT now chosen; false after a
    // conversion error, which is logged and, if it left no picture, clears it.
    bool prepareFrame(const QVideoFrame &mapped, PreviewFramePipeline::Status &status);
    void reshowFrame();
    bool isSeen() const;
    void onLutButtonClicked();
    void loadStartupLut(const QString &path);
    void showLutResult(bool loaded);
    void warnDropped(PreviewFramePipeline::Status status, QVideoFrameFormat::PixelFormat format);

    QString m_deviceId;
    int m_cameraIndex = 0;
    bool m_isLandscape = false;
    QLabel *m_imageLabel = nullptr;
    PreviewPictureView *m_pictureView = nullptr;
    QPushButton *m_lutButton = nullptr;
    QMenu *m_lutMenu = nullptr;
    QPushButton *m_minimizeButton = nullptr;
    QPushButton *m_closeButton = nullptr;
    VideoFrameSource *m_source = nullptr;
    PreviewFramePipeline m_frames;
    int m_framesShown = 0;
    QSet<int> m_warnedFormats;

    bool m_dragging = false;
    QPoint m_dragOffset;
    bool m_resizing = false;
    int m_resizeEdges = 0;
    QPoint m_pressPosition;
    QRect m_pressGeometry;
    QColor m_backgroundColor = QColor("#10121a");

    bool m_lutEnabled = false;
    Lut3d m_lut;
    // The frame the picture is drawn from (shared with the source, not copied, and
    // kept mapped), also read for the camera's own colours under a graded picture.
    QVideoFrame m_shownFrame;
    bool m_shownFrameMapped = false;

    FaceCollectionOverlay *m_faceCollection = nullptr;
};
