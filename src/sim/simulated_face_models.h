#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The camera's face-focus models and the guided training that records one.
//
// Training: "start" opens a session ("start_done"); each "run" captures one step
// ("run_done" while capturing, then "finish" or "error" once the capture time has
// passed); "stop" ends the session ("stop_done"). When four steps have run and at
// least three succeeded, the model exists (a new id gets an empty name).
class SimulatedFaceModels {
public:
    struct Model {
        int id = 0;
        QString name;
    };

    static constexpr int kSteps = 4;
    static constexpr int kMaxModels = 32;
    static constexpr int kMaxNameBytes = 63;

    SimulatedFaceModels();

    QList<Model> models() const { return m_models; }
    QList<int> ids() const;
    QStringList names() const;
    bool contains(int id) const;

    int enabledFaceId() const { return m_enabledFaceId; }
    int faceModeId() const { return m_faceModeId; }
    int portraitModeId() const { return m_portraitModeId; }

    // Each returns false (the request fails) for an id the camera cannot use.
    bool select(int id);
    bool setFaceModeId(int id);
    bool setPortraitModeId(int id);
    bool rename(int id, const QString &name);
    bool remove(int id);
    void clear();
    void addModel(int id, const QString &name); // for tests and defaults

    bool train(const QString &type, int id, qint64 nowMs);
    QString trainingStatus(qint64 nowMs);
    // How the next capture steps end, in order. "silent" is a step whose result never
    // comes (the status stays "run_done"); a negative capture time takes the default.
    // Steps beyond the script succeed after the default capture time.
    struct Step {
        QString outcome = QStringLiteral("finish"); // "finish", "error" or "silent"
        int captureMs = -1;
    };
    void setStepScript(const QList<Step> &steps) { m_script = steps; }
    // The outcomes only ("finish" or "error"), each after the default capture time.
    void setStepOutcomes(const QStringList &outcomes);
    void setCaptureMs(int ms) { m_captureMs = qMax(0, ms); }
    int stepsRun() const { return m_stepsRun; }
    bool trainingActive() const { return m_session; }
    void abortTraining();

private:
    void settleCapture(qint64 nowMs);
    int indexOf(int id) const;

    QList<Model> m_models;
    int m_enabledFaceId = 0;
    int m_faceModeId = 0;
    int m_portraitModeId = 0;

    bool m_session = false;
    int m_trainingId = 0;
    int m_stepsRun = 0;
    int m_stepsOk = 0;
    bool m_capturing = false;
    qint64 m_captureEnds = 0;
    QString m_status = QStringLiteral("idle");
    QList<Step> m_script;
    Step m_step; // the capture in progress
    int m_captureMs = 4000;
};
