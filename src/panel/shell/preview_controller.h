#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class CameraWindow;
class PanelCameraContext;
class QPushButton;
class QTimer;
class QWidget;

// The control panel's side of the preview: the one preview window, opening it on the
// active camera's video input or re-pointing it, placing it beside the preview
// toggle, the 1000 ms orientation probe while it is open, and the commands the
// preview sends back to the camera.
class PreviewController : public QObject {
    Q_OBJECT
public:
    static constexpr int kDirectionProbeIntervalMs = 1000;

    // How the preview's commands reach the camera: as they are, or (for a preview
    // opened by a face-model flow) followed by the active model panel's focus mode
    // after a collection start.
    enum class Forwarding { Plain, ResendFocusMode };
    // The focus-mode code of the active model panel's "模式" combo; -1 when no panel of
    // the kinds that need it is active.
    using FocusModeCode = std::function<int()>;

    // What the preview needs from the control panel.
    struct Host {
        QWidget *window = nullptr;            // parents the boxes
        QPushButton *toggle = nullptr;        // the preview toggle
        PanelCameraContext *camera = nullptr; // the control panel's: active index and senders
        std::function<bool()> testConnection;
        // Whether the camera at `index` is listed with an enabled slot button.
        std::function<bool(int index)> isListed;
        // Chooses the active camera's video input; its id.
        std::function<QString()> chooseVideoInput;
        std::function<bool()> isLandscape;
        // Whether the camera at `index` answers the orientation probe, and the probe.
        std::function<bool(int index)> canProbe;
        std::function<void(int index)> probe;
        // The camera at `index` was told to restart (the end of a face recording).
        std::function<void(int index)> restarting;
    };

    PreviewController(const Host &host, QObject *parent = nullptr);
    ~PreviewController() override;

    // The panel's preview toggle changed state: checked tests the link and opens the
    // preview, unchecked closes it.
    void onToggleClicked();
    // Opens the preview for the face-model flows: no link test, and the commands of a
    // collection are followed by the focus mode.
    void openForFaceModels();
    // Picks the active camera's input and opens the preview on it, or re-points the
    // open one; shows it beside the toggle and starts the orientation probe.
    void open(Forwarding forwarding);
    // The toggle was unchecked: close the preview and stop probing.
    void close();
    // The active camera changed: follow it if the preview is open.
    void followActiveCamera();
    void setLandscape(bool landscape);
    // While paused (nothing else may reach the camera), the orientation probe sends
    // nothing; it resumes with the preview still open.
    void setProbePaused(bool paused);
    void forward(const QString &command, Forwarding forwarding);
    void setFocusModeCode(FocusModeCode code) { m_focusModeCode = std::move(code); }

    CameraWindow *cameraWindow() const;
    bool isOpen() const { return m_cameraWindowOpen; }
    QTimer *directionTimer() const { return m_directionTimer; }

signals:
    // The preview's face data collection outcome, for the face-model flows.
    void faceDataCollectionSuccess();
    void faceDataCollectionFailed();

private:
    void openOnActiveCamera(Forwarding forwarding);
    // Whether a camera is selected; if not, says so and unchecks the toggle.
    bool hasSelection();
    void createWindow(const QString &input, Forwarding forwarding);
    void startDirectionProbe();
    void stopDirectionProbe();
    void probeActiveCamera();
    void placeBesideToggle();
    void resetToggle();
    void onWindowClosed();

    Host m_host;
    QPointer<CameraWindow> m_cameraWindow;
    bool m_cameraWindowOpen = false;
    QTimer *m_directionTimer = nullptr;
    bool m_probePaused = false;
    FocusModeCode m_focusModeCode;
};
