#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

// Pan, tilt, zoom, focus and preset commands of the control panel. Every press of a
// PTZ button starts a movement with one "ReqPtzCtrl" command and every release stops
// it with another; presets are stored, recalled and deleted in the camera with
// "ReqPresetCtrl". The slots are what the PTZ buttons and preset menus call.
class PtzCommands : public QObject {
    Q_OBJECT
public:
    // Where the commands go, read at the moment a command is sent.
    struct Context {
        // Sends one command text as a plain JSON request without waiting for a reply.
        std::function<bool(int index, const QByteArray &text)> send;
        const int *currentIndex = nullptr;     // the active camera, -1 when none
        const QString *currentModel = nullptr; // its product model
        const bool *sendEnabled = nullptr;     // the panel's send guard; null: always open
    };

    // Panel preset n addresses camera preset n + 1.
    static constexpr int kCameraPresetOffset = 1;

    explicit PtzCommands(const Context &context, QObject *parent = nullptr);

    // Sends `{"Cmd":"ReqPtzCtrl",...}` to the active camera. False, and nothing sent,
    // while the send guard is closed or no camera is active.
    bool sendPtzCommand(const QString &ptzCmd);
    // Sends "ReqPresetCtrl" with the camera preset number; same guard as above.
    bool sendPresetCommand(const QString &presetCmd, int presetId);

    // A drive button that disappears while held (the area is hidden or rebuilt) never
    // sends its release: this sends the stop of the running drive to the camera that
    // started it. Nothing happens when no drive runs.
    void stopRunningDrive();
    bool driveRunning() const { return !m_runningStop.isEmpty(); }

    // The camera's word for a direction the user sees on the active model.
    QString cameraWord(const QString &direction) const;
    // The left/right commands of the active model: exchanged for the swapped models.
    QString leftCommand() const;
    QString rightCommand() const;

public slots:
    // "变焦+" is wired to the ZoomOut slots and drives towards tele, "变焦-" to the
    // ZoomIn slots and drives towards wide.
    void onZoomOutPressed();
    void onZoomOutReleased();
    void onZoomInPressed();
    void onZoomInReleased();
    void onFocusPlusPressed();
    void onFocusPlusReleased();
    void onFocusMinusPressed();
    void onFocusMinusReleased();
    // The tilt is inverted with respect to the arrows: up sends "Down", down sends "Up".
    void onPTUpPressed();
    void onPTUpReleased();
    void onPTDownPressed();
    void onPTDownReleased();
    void onPTLeftPressed();
    void onPTLeftReleased();
    void onPTRightPressed();
    void onPTRightReleased();
    void onPTHomeClicked();
    // The speed row is local only: no command carries a speed.
    void onSpeedChanged(int value);
    // "add", "call" or "delete" on panel preset `presetId`; other words send nothing.
    void onPresetActionTriggered(int presetId, const QString &action);

private:
    bool sendAllowed() const { return !m_context.sendEnabled || *m_context.sendEnabled; }
    int currentIndex() const { return m_context.currentIndex ? *m_context.currentIndex : -1; }

    void startDrive(const QString &ptzCmd, const QString &stopCmd);
    void endDrive(const QString &stopCmd);

    Context m_context;
    QString m_runningStop; // the stop of the drive a held button started
    int m_runningIndex = -1;
};
