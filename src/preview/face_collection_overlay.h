#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>

class QLabel;
class QPushButton;
class QTimer;
class QWidget;

// The guided face data collection over the preview picture: a small panel with the
// four step indicators and the start/cancel button, a big countdown, and the prompt
// box. It drives the camera's training through the commands it emits ("start",
// "run", "stop", the status query every few seconds, the restart after success) and
// turns the statuses the host hands it into step results. Three successful steps of
// four make a success.
//
// Every timed step of a collection belongs to that collection: a cancel, reset, new
// start or close of the panel ends them, so none of them fires into a later one.
class FaceCollectionOverlay : public QObject {
    Q_OBJECT
public:
    static constexpr int kSteps = 4;
    static constexpr int kSuccessesNeeded = 3;

    // The collection's clock, in milliseconds. Tests shorten it.
    struct Timings {
        int tickMs = 1000;        // one countdown second
        int firstPromptMs = 4000; // the first step's long prompt, before "数据采集中"
        int nextStepMs = 2000;    // pause between a step result and the next countdown
        int pollMs = 5000;        // status query interval
        int maxPollsPerStep = 24; // queries without a result before the step counts as failed
    };
    static Timings timings();
    static void setTimings(const Timings &timings);

    enum class Placement { High, Middle, Low };
    // The prompt's y in a window of the given height.
    static int promptY(Placement placement, int windowHeight);

    enum StepResult { None = 0, Success = 1, Failure = 2 };

    explicit FaceCollectionOverlay(QWidget *host);

    void setFaceModelId(int id) { m_faceModelId = id; }
    int faceModelId() const { return m_faceModelId; }
    // Builds the panel on the first call, then shows it.
    void showPanel();
    // The panel's button: close the window when finished, cancel while collecting,
    // start otherwise.
    void onStartClicked();
    // A training status from the camera.
    void handleStatus(const QString &status);
    // The panel's close button.
    void onPanelCloseClicked();

    bool running() const { return m_running; }
    bool runSent() const { return m_runSent; }
    bool finished() const { return m_finished; }
    int currentStep() const { return m_currentStep; }
    int stepResult(int step) const { return step >= 0 && step < kSteps ? m_stepResults[size_t(step)] : None; }

    QWidget *panel() const { return m_panel; }
    QPushButton *startButton() const { return m_startButton; }
    QPushButton *panelCloseButton() const { return m_panelCloseButton; }
    QLabel *promptLabel() const { return m_promptLabel; }
    QLabel *countdownLabel() const { return m_countdownLabel; }
    QLabel *stepLabel(int step) const;
    QTimer *pollTimer() const { return m_pollTimer; }

signals:
    void commandReady(const QString &command);
    void succeeded();
    void failed();
    // The collection is over and the window should close.
    void closeRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildPanel();
    void start();
    void cancel();
    void reset();
    void beginCountdown();
    void countdownTick(int secondsLeft);
    void countdownDone();
    void stepDone(int result, const QString &prompt);
    void finish();
    void pollStatus();
    void refreshIndicators();
    void showPrompt(const QString &text, Placement placement);
    void placePrompt(Placement placement);
    void placeCountdown();
    void stopPolling();
    // Ends every pending timed step of the current collection.
    void endTimedSteps();
    void sendTrain(const char *type);
    void send(const char *logText, const QString &command);

    QWidget *m_host;
    int m_faceModelId = 1;
    int m_currentStep = 0;
    std::array<int, kSteps> m_stepResults{};
    bool m_running = false;
    bool m_runSent = false;
    bool m_finished = false;
    int m_pollsThisStep = 0;
    Placement m_promptPlacement = Placement::Middle;

    QTimer *m_pollTimer = nullptr;
    QPointer<QObject> m_timedSteps; // context of the collection's single-shot steps
    QWidget *m_panel = nullptr;
    QPushButton *m_startButton = nullptr;
    QPushButton *m_panelCloseButton = nullptr;
    QLabel *m_promptLabel = nullptr;
    QLabel *m_countdownLabel = nullptr;
};
